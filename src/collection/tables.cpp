#include "collection/tables.h"

#include "collection/build_error.h"
#include "collection/steps.h"


namespace tavrel::collection {

namespace {

// Character data directly inside an element, its parts joined (the text of
// child elements left out), entities decoded.
std::string directText(const pugi::xml_node& n) {
    std::string out;
    for (const pugi::xml_node& c : n.children())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) out += c.value();
    return out;
}

// Removes ASCII blanks at both ends.
std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string border(const pugi::xml_node& cell, const char* attr, const char* css) {
    const std::string v = cell.attribute(attr).value();
    return std::string(css) + (v == "solid" ? ":.5pt solid windowtext;" : ":none;");
}

// Align and Valign of a cell (none in the sample's tables).
std::string alignment(const pugi::xml_node& cell) {
    std::string css;
    const std::string align = cell.attribute("Align").value(), valign = cell.attribute("Valign").value();
    if (align == "left" || align == "center" || align == "right" || align == "justify") css += "text-align:" + align + ";";
    if (valign == "top" || valign == "middle" || valign == "bottom") css += "vertical-align:" + valign + ";";
    return css;
}

}  // namespace

std::string htmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string excelDocument(const std::string& tableHtml) {
    return "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"\n"
           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"\n"
           "xmlns=\"http://www.w3.org/TR/REC-html40\">\n"
           "<head>\n"
           "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">\n"
           "<meta name=ProgId content=Excel.Sheet>\n"
           "<style>\n"
           "<!--\n"
           "table {mso-displayed-decimal-separator:\"\\.\"; mso-displayed-thousand-separator:\"\\,\";}\n"
           "td {padding:2px 4px; font-size:9.0pt; font-family:\"ＭＳ Ｐゴシック\"; vertical-align:middle;}\n"
           ".xl24 {font-size:9.0pt; white-space:normal;}\n"
           "-->\n"
           "</style>\n"
           "</head>\n"
           "<body>\n" +
           tableHtml +
           "</body>\n"
           "</html>\n";
}

TableHtml tableFromXml(const pugi::xml_node& root, const std::function<std::string(const std::string&)>& cellText,
                       const std::function<std::string(const pugi::xml_node&)>& sentenceText,
                       const std::function<std::string(const std::string&)>& finishHtml) {
    TableHtml out;
    const auto firstNamed = [&](const char* name) {
        if (std::string(root.name()) == name) return root;
        return root.find_node([name](const pugi::xml_node& n) { return std::string(n.name()) == name; });
    };
    if (const pugi::xml_node t = firstNamed("AppdxTableTitle")) out.title = trimmed(directText(t));
    if (const pugi::xml_node r = firstNamed("RelatedArticleNum")) out.related = trimmed(directText(r));
    const pugi::xml_node table = firstNamed("Table");
    if (!table) throw BuildError("no <Table> element");
    const auto textOf = [&](const pugi::xml_node& sentence) {
        return sentenceText ? sentenceText(sentence) : directText(sentence);
    };
    const auto finish = [&](const std::string& html) { return finishHtml ? finishHtml(html) : html; };
    std::string html =
        "<table border=0 cellpadding=0 cellspacing=0 style='border-collapse:collapse;table-layout:auto'>\n";
    for (const pugi::xml_node& row : table.children("TableRow")) {
        html += "<tr>\n";
        for (const pugi::xml_node& cell : row.children("TableColumn")) {
            std::string content;
            std::string plain, searchable;
            for (const pugi::xml_node& sentence : cell.children("Sentence")) {
                const std::string t = textOf(sentence);
                const std::string converted = cellText(t);
                if (!content.empty()) content += "<br>";
                content += finish(htmlEscape(converted));
                if (!plain.empty()) plain += " ";
                plain += t;
                if (!searchable.empty()) searchable += " ";
                searchable += converted;
            }
            std::string td = "<td class=xl24";
            const std::string colspan = cell.attribute("colspan").value(), rowspan = cell.attribute("rowspan").value();
            if (!colspan.empty()) td += " colspan=" + colspan;
            if (!rowspan.empty()) td += " rowspan=" + rowspan;
            td += " style='font-size:9.0pt;" + border(cell, "BorderTop", "border-top") +
                  border(cell, "BorderBottom", "border-bottom") + border(cell, "BorderLeft", "border-left") +
                  border(cell, "BorderRight", "border-right") + alignment(cell) + "'";
            const std::string trimmedPlain = trimmed(plain);
            if (!trimmedPlain.empty() && trimmedPlain != "　") td += " x:str=\"" + htmlEscape(stripInlineMarks(plain)) + "\"";
            td += ">" + (content.empty() ? std::string("　") : content) + "</td>\n";
            html += td;
            if (!trimmedPlain.empty()) {
                if (!out.plain.empty()) out.plain += " ";
                out.plain += stripInlineMarks(searchable);
            }
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    // An appended table shows its title and the articles it belongs to above it.
    if (!out.title.empty()) {
        // The title names the table itself: it is not turned into a link.
        std::string related = out.related;
        if (related.rfind("　", 0) == 0) related = related.substr(std::string("　").size());
        std::string heading = "<p style='font-size:9.0pt;'><b>" + htmlEscape(out.title) + "</b>";
        if (!related.empty()) heading += "　" + finish(htmlEscape(cellText(related)));
        html = heading + "</p>\n" + html;
        out.plain = out.title + " " + cellText(related) + " " + out.plain;
    }
    out.html = excelDocument(html);
    return out;
}

}  // namespace tavrel::collection
