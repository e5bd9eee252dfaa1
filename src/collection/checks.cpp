#include "collection/checks.h"

#include "document/numbering.h"
#include "text/sjis.h"

#include "collection/build_error.h"
#include "collection/steps.h"
#include "collection/structure.h"
#include "collection/utf8.h"

#include <set>

namespace tavrel::collection {

namespace num = tavrel::numbering;

std::string toCp932(const std::string& utf8, const Origin& where) {
    bool ok = true;
    std::string out = text::fromUtf8(utf8, &ok);
    // The usual text: every character known to read back as itself.
    if (ok && hasCp932Forms(utf8)) return out;
    if (!ok) {
        // Name the first character that has no CP932 form.
        std::string bad;
        for (size_t i = 0; i < utf8.size();) {
            const size_t n = collection::utf8::sequenceLength(static_cast<unsigned char>(utf8[i]));
            bool charOk = true;
            text::fromUtf8(utf8.substr(i, n), &charOk);
            if (!charOk) {
                bad = utf8.substr(i, n);
                break;
            }
            i += n;
        }
        throw BuildError(where.file, where.line, "the character \"" + bad + "\" has no Shift-JIS (CP932) form");
    }
    // A character that CP932 stores as another one (〜 U+301C reads back as
    // ～ U+FF5E) would make the page differ from the source: write the other.
    if (text::toUtf8(out) != utf8) {
        for (size_t i = 0; i < utf8.size();) {
            const size_t n = collection::utf8::sequenceLength(static_cast<unsigned char>(utf8[i]));
            const std::string one = utf8.substr(i, n);
            const std::string back = text::toUtf8(text::fromUtf8(one));
            if (back != one)
                throw BuildError(where.file, where.line,
                                 "the character \"" + one + "\" reads back from Shift-JIS (CP932) as \"" + back +
                                     "\"; write \"" + back + "\"");
            i += n;
        }
    }
    return out;
}

std::optional<std::string> computedLabel(const std::string& idBN, const std::string& formatCode, bool hideLabel) {
    const char kind = idBN.size() > 4 ? idBN[4] : 0;
    std::optional<std::string> label;
    if (kind == 'K') {
        const auto level = num::notificationElementLevel(idBN);
        if (!level) throw BuildError("sentence " + idBN + ": the notification level cannot be determined");
        static const std::map<int, int> flags = {{1, 8},   {2, 16},   {3, 32},    {4, 64},    {5, 128},
                                                 {6, 256}, {9, 2048}, {10, 4096}, {11, 8192}, {12, 16384}};
        auto f = flags.find(*level);
        if (f == flags.end()) {
            if (*level != 0)
                throw BuildError("sentence " + idBN + ": level " + std::to_string(*level) + " does not occur");
            return std::nullopt;
        }
        if (*level == 1 && hideLabel) return std::nullopt;
        label = num::notificationElementLabel(idBN, f->second, formatCode, false);
    } else {
        const auto level = num::articleElementLevel(idBN);
        if (!level) throw BuildError("sentence " + idBN + ": the element level cannot be determined");
        if (kind == 'F' && *level == 1) return std::nullopt;
        label = num::articleElementLabel(idBN, 1 << *level, formatCode, false);
    }
    if (!label || label->empty()) return std::nullopt;
    return text::toUtf8(*label);
}

namespace {

// toCp932 for a text whose CP932 form is not needed: the same failures.
void requireCp932Form(const std::string& utf8, const Origin& where) {
    if (!hasCp932Forms(utf8)) toCp932(utf8, where);
}

void checkInlineMarkup(const std::string& cp932, const Origin& where, const std::string& id) {
    const std::string open = SJ("[第"), jo = SJ("条"), dai = SJ("第");
    for (size_t p = text::findText(cp932, open); p != std::string::npos; p = text::findText(cp932, open, p + 1)) {
        const size_t close = cp932.find(']', p);
        if (close == std::string::npos || close - p >= 22)
            throw BuildError(where.file, where.line, id + ": inline reference markup too long or unclosed");
        const size_t j = text::findText(cp932, jo, p);
        if (j == std::string::npos || j > close || j - (p + 1) < 3 || j - (p + 1) > 6)
            throw BuildError(where.file, where.line, id + ": inline reference without a readable article number");
    }
    const std::string lo = "[L", lc = "L]";
    for (size_t p = cp932.find(lo); p != std::string::npos; p = cp932.find(lo, p + 2)) {
        const size_t e = cp932.find(lc, p + 2);
        const size_t slash = cp932.find('/', p + 2);
        if (e == std::string::npos || e - p >= 82 || slash == std::string::npos || slash > e || e - slash - 1 != 12)
            throw BuildError(where.file, where.line, id + ": explicit link markup malformed");
    }
    (void)dai;
}

}  // namespace

void checkCollection(const Collection& c) {
    std::set<std::string> lawIds;
    for (const Law& l : c.laws) {
        lawIds.insert(l.id);
        for (const std::string* t : {&l.common, &l.shortName, &l.formal}) requireCp932Form(*t, l.origin);
        for (const LawAlias& a : l.aliases)
            if (!c.law(a.lawId)) throw BuildError(l.origin.file, l.origin.line, "alias names unknown law " + a.lawId);
    }
    for (const auto& [id, d] : c.divisions) {
        if (!isIdentifierText(id, 23) || !num::divisionNumber(id))
            throw BuildError("division " + id + " is not a valid ID_SN");
        if (!lawIds.count(id.substr(0, 3))) throw BuildError("division " + id + " belongs to no listed law");
        for (const std::string& n : d.names) requireCp932Form(n, {"division " + id, 0});
    }
    for (const auto& [id, p] : c.pages) {
        const Origin& o = p.origin;
        if (!isIdentifierText(id, 15)) throw BuildError(o.file, o.line, id + " is not a valid ID_FN");
        if (!lawIds.count(id.substr(0, 3))) throw BuildError(o.file, o.line, id + " belongs to no listed law");
        const auto kind = num::pageKind(id);
        if (!kind) throw BuildError(o.file, o.line, "the page kind of " + id + " cannot be determined");
        if (*kind == num::Article && !num::articleLabel(id))
            throw BuildError(o.file, o.line, id + ": the article number must be at least 1");
        if (*kind == num::Notification && !num::notificationNumber(id))
            throw BuildError(o.file, o.line, id + ": not a notification number");
        if (*kind == num::AppendedTable && !num::appendedTableLabel(id))
            throw BuildError(o.file, o.line, id + ": not an appended-table number");
        if (p.idSN.substr(0, 3) != id.substr(0, 3)) throw BuildError(o.file, o.line, id + ": division of another law");
        const bool chapterless = p.idSN.substr(4) == "0000-0000-0000-0000";
        if (!chapterless && !c.divisions.count(p.idSN))
            throw BuildError(o.file, o.line, id + ": division " + p.idSN + " has no T_章 row");
        requireCp932Form(p.caption, o);
        requireCp932Form(p.supplement, o);
        if ((*kind == num::Article || *kind == num::Notification || *kind == num::Supplementary) && p.sentences.empty())
            throw BuildError(o.file, o.line, id + " has no sentence");
        for (const Sentence& s : p.sentences) {
            if (!isIdentifierText(s.idBN, 35) || s.idBN.compare(0, 15, id) != 0)
                throw BuildError(s.origin.file, s.origin.line, s.idBN + " is not a sentence id of page " + id);
            const std::string markup = toCp932(s.markup, s.origin);
            requireCp932Form(s.search, s.origin);
            requireCp932Form(s.formatCode, s.origin);
            checkInlineMarkup(markup, s.origin, s.idBN);
            if (s.printedLabel) {
                std::optional<std::string> label;
                try {
                    label = computedLabel(s.idBN, s.formatCode, s.hideLabel);
                } catch (const BuildError& e) {
                    throw BuildError(s.origin.file, s.origin.line, e.what());
                }
                if (label.value_or("") != *s.printedLabel)
                    throw BuildError(s.origin.file, s.origin.line,
                                     s.idBN + " with format code " + s.formatCode + " is labelled \"" +
                                         label.value_or("") + "\", the source prints \"" + *s.printedLabel + "\"");
            }
        }
    }
    for (const TablePiece& t : c.tables) {
        if (!isIdentifierText(t.idBN, 35)) throw BuildError(t.origin.file, t.origin.line, "bad table sentence id");
        const std::string html = toCp932(t.html, t.origin);
        requireCp932Form(t.search, t.origin);
        checkInlineMarkup(html, t.origin, t.idBN);
        const std::string page = t.idBN.substr(0, 15);
        if (!c.pages.count(page)) throw BuildError(t.origin.file, t.origin.line, "table of unknown page " + page);
    }
    for (const SpecialPiece& s : c.specials) {
        const std::string html = toCp932(s.html, s.origin);
        checkInlineMarkup(html, s.origin, s.idFN);
    }
    for (const Reference& r : c.references) {
        for (const std::string* t : {&r.place, &r.keyword, &r.note, &r.extra}) requireCp932Form(*t, r.origin);
        if (r.keyword.find("K") != std::string::npos)
            throw BuildError(r.origin.file, r.origin.line, "a keyword must not contain the letter K of the marks");
    }
    for (const auto& [id, p] : c.pages) {
        if (id[4] != 'K' || id.substr(13) != "00") continue;
        bool has = false;
        for (const History& h : c.histories) has = has || h.idFN == id;
        if (!has) throw BuildError(p.origin.file, p.origin.line, "notification " + id + " needs a history line");
    }
    for (const History& h : c.histories) {
        requireCp932Form(h.promulgatedBy, h.origin);
        requireCp932Form(h.revisedBy, h.origin);
        if (h.idFN.substr(13) != "00")
            throw BuildError(h.origin.file, h.origin.line, "the history belongs to the first page of a notification");
    }
    std::set<std::string> keys;
    for (const Marker& m : c.markers) {
        if (m.key.size() != 55 || m.value.size() != 35)
            throw BuildError(m.origin.file, m.origin.line, "a marker key has 55 characters and its value 35");
        if (!keys.insert(m.key).second) throw BuildError(m.origin.file, m.origin.line, "marker key repeated");
    }
    requireCp932Form(c.helpHtml, {"help08.html", 0});
}

}  // namespace tavrel::collection
