#include "collection/article_pages.h"

#include "collection/build_error.h"
#include "collection/structure.h"

#include <algorithm>
#include <map>

namespace tavrel::collection {

int paragraphOf(const std::string& idBN) {
    if (idBN.size() < 18) return 0;
    const char tens = idBN[16], ones = idBN[17];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return 0;
    return (tens - '0') * 10 + (ones - '0');
}

void splitArticle(Collection& c, const std::string& prefix12, const std::vector<int>& firstParagraphs,
                  const std::vector<std::string>& supplements, const Origin& where) {
    const auto whole = c.pages.find(pageId(prefix12, 0));
    if (whole == c.pages.end()) throw BuildError(where.file, where.line, "no article page " + prefix12 + "-00 to split");
    if (firstParagraphs.empty() || firstParagraphs.front() != 1 ||
        std::adjacent_find(firstParagraphs.begin(), firstParagraphs.end(), std::greater_equal<int>()) !=
            firstParagraphs.end())
        throw BuildError(where.file, where.line, "split starts with 1 and ascends");
    if (!supplements.empty() && supplements.size() != firstParagraphs.size())
        throw BuildError(where.file, where.line, "one supplement per page");
    if (c.pages.count(pageId(prefix12, 1)))
        throw BuildError(where.file, where.line, "article " + prefix12 + " is split already");

    const Page original = std::move(whole->second);
    c.pages.erase(whole);
    std::vector<Page> pages(firstParagraphs.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        Page& p = pages[i];
        p.idFN = pageId(prefix12, static_cast<int>(i));
        p.idSN = original.idSN;
        p.caption = i == 0 ? original.caption : std::string();
        p.supplement = supplements.empty() ? (i == 0 ? original.supplement : std::string()) : supplements[i];
        p.large = original.large;
        p.shown = original.shown;
        p.split = pages.size() > 1 ? static_cast<int>(pages.size()) : 0;
        p.origin = original.origin;
    }
    std::map<std::string, std::string> moved;  // old ID_BN -> new ID_BN
    for (const Sentence& s : original.sentences) {
        size_t page = 0;
        while (page + 1 < firstParagraphs.size() && paragraphOf(s.idBN) >= firstParagraphs[page + 1]) ++page;
        Sentence copy = s;
        copy.idBN = pages[page].idFN + s.idBN.substr(15);
        if (copy.idBN != s.idBN) moved[s.idBN] = copy.idBN;
        pages[page].sentences.push_back(std::move(copy));
    }
    for (const Page& p : pages)
        if (p.sentences.empty()) throw BuildError(where.file, where.line, "page " + p.idFN + " of the split has no sentence");
    for (Page& p : pages) c.pages[p.idFN] = std::move(p);

    auto follow = [&moved](std::string& idBN) {
        if (const auto it = moved.find(idBN); it != moved.end()) idBN = it->second;
    };
    for (TablePiece& t : c.tables) follow(t.idBN);
    for (Reference& r : c.references) follow(r.idBN);
    for (Marker& m : c.markers) {
        // Key: the ID_BN of the sentence with the link, "-to-", its target;
        // value: the ID_BN of the sentence the link means.
        if (m.key.size() >= 35) {
            std::string source = m.key.substr(0, 35);
            follow(source);
            m.key.replace(0, 35, source);
        }
        follow(m.value);
    }
}

ArticleLayout articleLayout(const Collection& c, const std::string& prefix12) {
    ArticleLayout layout;
    for (auto it = c.pages.lower_bound(prefix12); it != c.pages.end() && it->first.compare(0, 12, prefix12) == 0; ++it) {
        const Page& p = it->second;
        layout.firstParagraphs.push_back(
            layout.firstParagraphs.empty() || p.sentences.empty() ? 1 : paragraphOf(p.sentences.front().idBN));
        layout.supplements.push_back(p.supplement);
    }
    return layout;
}

}  // namespace tavrel::collection
