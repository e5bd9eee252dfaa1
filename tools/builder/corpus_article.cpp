#include "corpus_article.h"

#include "collection/build_error.h"
#include "collection/utf8.h"
#include "source_files.h"

#include <regex>

namespace tavrel::collection {

CorpusArticle readCorpusArticle(const std::filesystem::path& file) {
    static const std::regex name(R"(^article_(\d{3,4})(?:_(\d{1,2}))?(?:_(\d{1,2}))?\.txt$)");
    std::smatch m;
    const std::string base = file.filename().string();
    if (!std::regex_match(base, m, name))
        throw BuildError(displayName(file), 0, "an article file is named article_NNN[_M[_K]].txt");
    CorpusArticle a;
    a.file = displayName(file);
    a.number = std::stoi(m[1].str());
    a.branch1 = m[2].matched ? std::stoi(m[2].str()) : 0;
    a.branch2 = m[3].matched ? std::stoi(m[3].str()) : 0;
    const std::vector<SourceLine> lines = readLines(file);
    if (lines.size() < 3) throw BuildError(a.file, 0, "an article needs a caption line, a title line and a body");
    const std::u32string cap = utf8::decode(lines[0].text);
    if (cap.size() < 2 || cap.front() != U'（' || cap.back() != U'）')
        throw BuildError(a.file, 1, "the first line is the caption in full-width parentheses, e.g. （目的）");
    a.caption = utf8::encode(cap.substr(1, cap.size() - 2));
    a.title = lines[1].text;
    // The title must name the article of the file name.
    const std::u32string t = utf8::decode(a.title);
    size_t i = 1;
    int number = 0, b1 = 0, b2 = 0, dummy = 0;
    bool ok = !t.empty() && t[0] == U'第' && readNumeralWithBranch(t, i, number, dummy) && dummy == 0 && i < t.size() &&
              t[i] == U'条';
    if (ok) {
        ++i;
        if (i < t.size()) ok = t[i] == U'の' && readNumeralWithBranch(t, ++i, b1, b2) && i == t.size();
    }
    if (!ok) throw BuildError(a.file, 2, "the second line is the article title, e.g. 第六条の二");
    if (number != a.number || b1 != a.branch1 || b2 != a.branch2)
        throw BuildError(a.file, 2, "the title " + a.title + " does not match the file name " + base);
    std::vector<std::pair<int, std::string>> body;
    for (size_t k = 2; k < lines.size(); ++k) body.emplace_back(lines[k].number, lines[k].text);
    a.elements = parseBody(body, a.file);
    std::string label = "第" + std::to_string(a.number) + "条";
    if (a.branch1 > 1) label += "の" + std::to_string(a.branch1);
    if (a.branch1 > 1 && a.branch2 > 1) label += "の" + std::to_string(a.branch2);
    a.elements.front().printedLabel = label;
    return a;
}

}  // namespace tavrel::collection
