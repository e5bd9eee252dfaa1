#include "egov/importer.h"

#include "collection/build_error.h"
#include "collection/checks.h"
#include "collection/steps.h"
#include "collection/tables.h"
#include "collection/text_convert.h"
#include "egov/law_extras.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace tavrel::egov {

using namespace tavrel::collection;

namespace {

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool prefixed(const std::string& id, const std::string& law) { return id.compare(0, 3, law) == 0; }

char kindLetter(const std::string& lawType) {
    if (lawType == "CabinetOrder" || lawType == "ImperialOrder") return 'B';
    if (lawType == "MinisterialOrdinance" || lawType == "Rule") return 'C';
    return 'A';
}

// Everything the law with identifier id owns, taken out of the collection;
// its reference rows and markers stay, for LawExtras to check against the
// new rows.
void removeLaw(Collection& c, const std::string& id) {
    for (auto it = c.divisions.begin(); it != c.divisions.end();)
        it = prefixed(it->first, id) ? c.divisions.erase(it) : std::next(it);
    for (auto it = c.pages.begin(); it != c.pages.end();) it = prefixed(it->first, id) ? c.pages.erase(it) : std::next(it);
    std::erase_if(c.tables, [&](const TablePiece& t) { return prefixed(t.idBN, id); });
    std::erase_if(c.specials, [&](const SpecialPiece& s) { return prefixed(s.idFN, id); });
    std::erase_if(c.histories, [&](const History& h) { return prefixed(h.idFN, id); });
    std::erase_if(c.lawSources, [&](const LawSource& s) { return s.idHN == id; });
}

// A TableStruct's title above its table and its remarks (備考) below it.
std::string withTitleAndRemarks(std::string html, const pugi::xml_node& tableStruct, const LawFile& f,
                                const std::function<std::string(const std::string&)>& convert) {
    if (std::strcmp(tableStruct.name(), "TableStruct") != 0) return html;
    auto paragraph = [&](const pugi::xml_node& n) {
        return "<p style='font-size:9.0pt;'>" + expandInlineMarks(convert(inlineText(f, n, true, nullptr))) + "</p>\n";
    };
    if (const pugi::xml_node title = tableStruct.child("TableStructTitle")) {
        const size_t body = html.find("<body>\n");
        if (body != std::string::npos) html.insert(body + 7, paragraph(title));
    }
    std::string remarks;
    for (const pugi::xml_node& r : tableStruct.children("Remarks"))
        for (const pugi::xml_node& part : r.children())
            if (part.type() == pugi::node_element) remarks += paragraph(part);
    if (!remarks.empty()) {
        const size_t end = html.rfind("</body>");
        if (end != std::string::npos) html.insert(end, remarks);
    }
    return html;
}

// A piece for an appended note, style or figure: its sentences as paragraphs.
std::string textPiece(const pugi::xml_node& n, const LawFile& f,
                      const std::function<std::string(const std::string&)>& convert) {
    std::string body;
    for (pugi::xml_node c = n.first_child(); c;) {
        const bool sentence = std::strcmp(c.name(), "Sentence") == 0 || std::strstr(c.name(), "Title") != nullptr;
        if (sentence)
            body += "<p style='font-size:9.0pt;'>" + expandInlineMarks(convert(inlineText(f, c, true, nullptr))) +
                    "</p>\n";
        if (std::strcmp(c.name(), "Fig") == 0)
            body += "<p style='font-size:9.0pt;'>［図　" + std::string(c.attribute("src").value()) +
                    "（画像は収録されていません）］</p>\n";
        if (!sentence && c.first_child()) {
            c = c.first_child();
            continue;
        }
        while (c && c != n && !c.next_sibling()) c = c.parent();
        if (!c || c == n) break;
        c = c.next_sibling();
    }
    return excelDocument(body);
}

}  // namespace

std::string placeLaw(const Collection& c, const LawFile& f) {
    for (const LawSource& s : c.lawSources)
        if (s.lawId == f.lawId) return s.idHN;
    for (const Law& l : c.laws)
        if (l.formal == f.title) return l.id;
    const char kind = kindLetter(f.lawType);
    auto taken = [&](const std::string& id) { return c.law(id) != nullptr; };
    if (kind != 'A') {
        for (const char* suffix : {"施行令", "施行規則"}) {
            if (!endsWith(f.title, suffix)) continue;
            const std::string act = f.title.substr(0, f.title.size() - std::strlen(suffix));
            for (const Law& l : c.laws) {
                if (l.formal != act || l.id[2] != 'A') continue;
                const std::string id = l.id.substr(0, 2) + kind;
                if (!taken(id)) return id;
            }
        }
    }
    std::set<std::string> families;
    for (const Law& l : c.laws) families.insert(l.id.substr(0, 2));
    for (int n = 1; n <= 99; ++n) {
        char family[4];
        std::snprintf(family, sizeof family, "%02d", n);
        if (!families.count(family)) return family + std::string(1, kind);
    }
    throw ImportError(f.fileName + ": no free law identifier is left in the collection");
}

std::vector<LawSummary> importLaws(Collection& c, const std::vector<LawFile>& files, const std::string& importedAt) {
    std::vector<LawSummary> summaries;
    std::set<std::string> imported;
    for (const LawFile& f : files) {
        LawSummary sum;
        sum.file = f.fileName;
        sum.title = f.title;
        sum.lawId = f.lawId;
        sum.idHN = placeLaw(c, f);
        if (!imported.insert(sum.idHN).second)
            throw ImportError(f.fileName + ": the same law (" + sum.idHN + ") is named twice");
        LawContent content = convertLaw(f, sum.idHN);

        // The law's names: a replaced law keeps the names the collection lists
        // it by; a new order or ordinance of a family is 令 or 規則 in it.
        Law law = content.law;
        const std::string family = sum.idHN.substr(0, 2);
        if (const Law* old = c.law(sum.idHN)) {
            law.common = old->common, law.shortName = old->shortName, law.shown = old->shown;
            law.aliases = old->aliases;  // the builder's collection.ini names some; a database has none
            sum.replaced = true;
        } else if (sum.idHN[2] == 'B' && c.law(family + "A")) {
            law.shortName = "令";
        } else if (sum.idHN[2] == 'C' && c.law(family + "A")) {
            law.shortName = "規則";
        }
        // References: 法 of an order or ordinance is its family's act, 令 of an
        // ordinance the family's order; every other law of the collection by
        // its formal, common and short titles (longer names first).
        // A name the law already has keeps its meaning.
        const auto alias = [&law](const std::string& name, const std::string& id) {
            if (std::none_of(law.aliases.begin(), law.aliases.end(), [&](const LawAlias& a) { return a.name == name; }))
                law.aliases.push_back({name, id});
        };
        for (const Law& other : c.laws) {
            if (other.id == sum.idHN) continue;
            for (const std::string* name : {&other.formal, &other.common})
                if (!name->empty()) alias(*name, other.id);
        }
        if (sum.idHN[2] != 'A' && c.law(family + "A")) alias("法", family + "A");
        if (sum.idHN[2] == 'C' && c.law(family + "B")) alias("令", family + "B");
        std::stable_sort(law.aliases.begin(), law.aliases.end(),
                         [](const LawAlias& a, const LawAlias& b) { return a.name.size() > b.name.size(); });

        // What the collection holds beyond the XML text stays with the law.
        const LawExtras extras = LawExtras::take(c, sum.idHN);
        removeLaw(c, sum.idHN);
        std::erase_if(c.laws, [&](const Law& l) { return l.id == sum.idHN; });
        c.laws.push_back(law);
        std::sort(c.laws.begin(), c.laws.end(), [](const Law& a, const Law& b) { return a.id < b.id; });
        for (const Division& d : content.divisions) c.divisions[d.idSN] = d;
        for (Page& p : content.pages) {
            sum.sentences += p.sentences.size();
            c.pages[p.idFN] = std::move(p);
        }
        sum.pages = content.pages.size();

        convertPages(c, sum.idHN);
        fillSearchTexts(c, sum.idHN);
        const ConvertContext ctx = conversionContext(c, sum.idHN);
        const auto convert = [&ctx](const std::string& t) { return convertReferences(t, ctx); };
        for (const PendingTable& t : content.tables) {
            TablePiece piece;
            piece.idBN = t.idBN;
            piece.order = t.order;
            piece.origin = {f.fileName, f.lineOf(t.source)};
            const bool table = std::strcmp(t.source.name(), "TableStruct") == 0 ||
                               std::strcmp(t.source.name(), "AppdxTable") == 0;
            if (table) {
                try {
                    const TableHtml h = tableFromXml(
                        t.source, convert, [&f](const pugi::xml_node& s) { return inlineText(f, s, false, nullptr); },
                        expandInlineMarks);
                    piece.html = withTitleAndRemarks(h.html, t.source, f, convert);
                    piece.search = searchText(h.plain);
                } catch (const BuildError& e) {
                    content.warnings.push_back({f.pathOf(t.source), f.lineOf(t.source), e.what()});
                    piece.html = textPiece(t.source, f, convert);
                    piece.search = searchText(piece.html.substr(piece.html.find("<body>")));
                }
            } else {
                piece.html = textPiece(t.source, f, convert);
                piece.search = searchText(piece.html.substr(piece.html.find("<body>")));
            }
            piece.fromLawXml = true;
            c.tables.push_back(std::move(piece));
        }
        sum.tables = content.tables.size();
        sum.fittedTexts = fitToCp932(c, sum.idHN, f.withoutCp932Form);
        sum.uncheckedLabels = content.uncheckedLabels;
        sum.warnings = std::move(content.warnings);
        sum.dropped = extras.restore(c);
        c.lawSources.push_back({sum.idHN, f.lawId, f.lawNum, f.revision, importedAt});
        summaries.push_back(std::move(sum));
    }
    std::sort(c.lawSources.begin(), c.lawSources.end(),
              [](const LawSource& a, const LawSource& b) { return a.idHN < b.idHN; });
    try {
        checkCollection(c);
    } catch (const BuildError& e) {
        throw ImportError(std::string("the collection does not pass its checks: ") + e.what());
    }
    return summaries;
}

}  // namespace tavrel::egov
