#include "render/split_indicator.h"

#include "document/document.h"
#include "render/render_support.h"
#include "text/sjis.h"

namespace tavrel::render {

std::string splitIndicator(const Document& doc, const std::string& idFN) {
    int count = 0;
    int number = 0;
    if (idFN.size() != 15 || !doc.splitPage(idFN, count, number) || count <= 1) return {};

    std::string s = "\n<!---------------------------------------->\n";
    s += SJ("<!--↓タヴレルが挿入した分割インジケータ-->\n");
    s += "<br>\n<div align='right'>\n";
    for (int i = 0; i < count; ++i) {
        const std::string sibling = idFN.substr(0, 12) + text::format("-%02d", i);
        ArticleInfo info;
        const std::string supplement =
            doc.articleInfo(sibling, info) ? text::replaceAll(info.supplement, SJ("　"), " ") : std::string();
        std::string title;
        std::string image;
        if (i == number - 1) {
            title = " title='" + supplement + SJ("　(現在位置 P.") + text::format("%d/%d", i + 1, count) + ")' ";
            image = "src='./images/indicator_red.gif' width='10' height='10'>";
        } else {
            title = " title='" + supplement + SJ("　(P.") + text::format("%d/%d", i + 1, count) + ")' ";
            image = "src='./images/indicator_blue.gif' width='10' height='10'>";
        }
        s += "<a href='http://" + sibling + "_TAVREL" + "'>";
        s += "<img border='0'" + title + image;
        s += "</a>";
    }
    s += "\n</div>\n";
    s += SJ("<!--↑タヴレルが挿入した分割インジケータ-->\n");
    s += "<!---------------------------------------->\n";
    return text::replaceAll(s, "./images/", pageImageFolder(doc) + "system/");
}

}  // namespace tavrel::render
