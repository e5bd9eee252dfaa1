#include "egov/law_extras.h"

#include "collection/build_error.h"
#include "collection/structure.h"
#include "document/numbering.h"
#include "text/sjis.h"

#include <algorithm>
#include <set>

namespace tavrel::egov {

using namespace tavrel::collection;

namespace {

constexpr size_t kPrefix = 12;  // article prefix of an ID_FN or ID_BN
constexpr size_t kSourceLength = 35, kTargetStart = 39, kTargetLength = 12;  // marker key: ID_BN "-to-" target

bool ofLaw(const std::string& id, const std::string& law) { return id.compare(0, 3, law) == 0; }

// "第5条（05A-00050000-00）": the page's designation, then the identifier.
std::string named(const std::string& id) {
    const std::string idFN = id.size() >= 15 ? id.substr(0, 15) : id + "-00";  // a marker's target has 12
    std::optional<std::string> label;
    if (const auto kind = numbering::pageKind(idFN)) {
        switch (*kind) {
            case numbering::Article: label = numbering::articleLabel(idFN); break;
            case numbering::Supplementary: label = SJ("附則"); break;
            case numbering::AppendedTable: label = numbering::appendedTableLabel(idFN); break;
            case numbering::Notification: label = numbering::notificationNumberText(idFN); break;
            case numbering::SpecialPage: break;
        }
    }
    return (label ? text::toUtf8(*label) : std::string()) + "（" + id + "）";
}

bool hasPageWithPrefix(const Collection& c, const std::string& prefix12) {
    const auto it = c.pages.lower_bound(prefix12);
    return it != c.pages.end() && it->first.compare(0, kPrefix, prefix12) == 0;
}

}  // namespace

LawExtras LawExtras::take(Collection& c, const std::string& idHN) {
    LawExtras x;
    x.law_ = idHN;
    x.recorded_ = std::any_of(c.tables.begin(), c.tables.end(),
                              [&](const TablePiece& t) { return t.fromLawXml && ofLaw(t.idBN, idHN); });
    std::set<std::string> split;  // article prefixes of split pages
    for (auto it = c.pages.lower_bound(idHN); it != c.pages.end() && ofLaw(it->first, idHN); ++it) {
        const Page& p = it->second;
        const std::string prefix = p.idFN.substr(0, kPrefix);
        if (p.split > 0) split.insert(prefix);
        if ((p.split > 0 || !p.supplement.empty()) && !x.layouts_.count(prefix))
            x.layouts_.emplace(prefix, articleLayout(c, prefix));
        if (p.large || !p.shown) x.flags_[p.idFN] = Flags{p.large, p.shown};
    }
    // A sentence of a split page in its one-page form.
    const auto unsplit = [&](std::string& idBN) {
        if (idBN.size() >= 15 && ofLaw(idBN, idHN) && split.count(idBN.substr(0, kPrefix))) idBN.replace(13, 2, "00");
    };
    // Reference rows and markers never come from the XML: they stay where
    // they are (so the tables keep their order) and are checked after the
    // new rows are in.
    for (Reference& r : c.references) unsplit(r.idBN);
    for (Marker& m : c.markers) {
        if (m.key.size() >= kSourceLength) {
            std::string source = m.key.substr(0, kSourceLength);
            unsplit(source);
            m.key.replace(0, kSourceLength, source);
        }
        unsplit(m.value);
    }
    for (auto it = c.tables.begin(); it != c.tables.end();) {
        if (!ofLaw(it->idBN, idHN) || it->fromLawXml) {
            ++it;
            continue;
        }
        x.tables_.push_back(std::move(*it));
        unsplit(x.tables_.back().idBN);
        it = c.tables.erase(it);
    }
    return x;
}

std::vector<std::string> LawExtras::restore(Collection& c) const {
    std::vector<std::string> dropped;

    // Hand-made pieces go back after the XML's pieces of their sentence when
    // the new XML took their place.
    for (TablePiece t : tables_) {
        // A law with no piece recorded as the XML's (the bundled one, or one
        // imported before the record was kept): there a piece on a sentence
        // the XML gives a table of its own is that table's earlier form.
        const auto xmlPiece = [&](const TablePiece& o) { return o.idBN == t.idBN && o.fromLawXml; };
        if (!recorded_ && std::any_of(c.tables.begin(), c.tables.end(), xmlPiece)) continue;
        const auto same = [&](const TablePiece& o) { return o.idBN == t.idBN && o.order == t.order; };
        if (std::any_of(c.tables.begin(), c.tables.end(), same)) {
            int last = 0;
            for (const TablePiece& o : c.tables)
                if (o.idBN == t.idBN) last = std::max(last, o.order);
            t.order = last + 1;
        }
        c.tables.push_back(std::move(t));
    }

    // Layouts: a split moves the sentences and every row on them.
    for (const auto& [prefix, layout] : layouts_) {
        const auto page = c.pages.find(pageId(prefix, 0));
        const bool isSplit = layout.firstParagraphs.size() > 1;
        if (page == c.pages.end()) {
            dropped.push_back((isSplit ? "分割：" : "補足：") + named(pageId(prefix, 0)));
            continue;
        }
        if (!isSplit) {
            page->second.supplement = layout.supplements.front();
            continue;
        }
        const Page whole = page->second;
        try {
            splitArticle(c, prefix, layout.firstParagraphs, layout.supplements, whole.origin);
        } catch (const BuildError&) {
            // The new text has fewer paragraphs than the layout needs: the
            // article stays on one page.
            for (size_t i = 0; i < layout.firstParagraphs.size(); ++i) c.pages.erase(pageId(prefix, static_cast<int>(i)));
            c.pages[whole.idFN] = whole;
            dropped.push_back("分割：" + named(whole.idFN));
        }
    }
    for (const auto& [idFN, f] : flags_) {
        const auto page = c.pages.find(idFN);
        if (page != c.pages.end()) {
            page->second.large = f.large;
            page->second.shown = f.shown;
            continue;
        }
        if (f.large) dropped.push_back("大型：" + named(idFN));
        if (!f.shown) dropped.push_back("非表示：" + named(idFN));
    }

    // Rows on the law's sentences, and rows of other laws that point into it.
    std::erase_if(c.references, [&](const Reference& r) {
        if (!ofLaw(r.idBN, law_) && !ofLaw(r.targetFN, law_)) return false;
        Sentence* s = c.sentence(r.idBN);
        if (s && c.pages.count(r.targetFN)) {
            s->reference = true;
            return false;
        }
        dropped.push_back("参照リンク：" + named(r.idBN) + "→ " + named(r.targetFN));
        return true;
    });
    std::erase_if(c.tables, [&](const TablePiece& t) {
        if (!ofLaw(t.idBN, law_) || t.fromLawXml) return false;
        if (Sentence* s = c.sentence(t.idBN)) {
            s->table = true;
            return false;
        }
        // A piece of a whole page (an appended table) hangs on no sentence.
        if (t.idBN.compare(15, std::string::npos, "-0000-0000-0000-0000") == 0 && c.pages.count(t.idBN.substr(0, 15)))
            return false;
        dropped.push_back("表：" + named(t.idBN));
        return true;
    });
    std::erase_if(c.markers, [&](const Marker& m) {
        if (m.key.size() < kTargetStart + kTargetLength) return false;
        const std::string source = m.key.substr(0, kSourceLength), target = m.key.substr(kTargetStart, kTargetLength);
        if (!ofLaw(source, law_) && !ofLaw(target, law_) && !ofLaw(m.value, law_)) return false;
        if (c.sentence(source) && c.sentence(m.value) && hasPageWithPrefix(c, target)) return false;
        dropped.push_back("マーカー：" + named(source) + "→ " + named(target));
        return true;
    });
    return dropped;
}

}  // namespace tavrel::egov
