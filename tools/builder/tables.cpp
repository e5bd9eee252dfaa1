#include "tables.h"

#include "build_error.h"
#include "source_files.h"

#include <memory>
#include <vector>

namespace tavrel::builder {

namespace {

struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::string text;  // character data directly inside (concatenated)
    std::string attribute(const std::string& key) const {
        for (const auto& [k, v] : attributes)
            if (k == key) return v;
        return "";
    }
    const XmlNode* child(const std::string& n) const {
        for (const auto& c : children)
            if (c->name == n) return c.get();
        return nullptr;
    }
};

class XmlReader {
  public:
    XmlReader(const std::string& text, const std::string& file) : s_(text), file_(file) {}

    std::unique_ptr<XmlNode> document() {
        skipProlog();
        auto root = element();
        return root;
    }

  private:
    [[noreturn]] void fail(const std::string& what) {
        int line = 1;
        for (size_t i = 0; i < pos_ && i < s_.size(); ++i)
            if (s_[i] == '\n') ++line;
        throw BuildError(file_, line, "malformed table XML: " + what);
    }
    void skipSpace() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
            ++pos_;
    }
    void skipProlog() {
        for (;;) {
            skipSpace();
            if (s_.compare(pos_, 2, "<?") == 0) {
                const size_t e = s_.find("?>", pos_);
                if (e == std::string::npos) fail("unterminated declaration");
                pos_ = e + 2;
            } else if (s_.compare(pos_, 4, "<!--") == 0) {
                const size_t e = s_.find("-->", pos_);
                if (e == std::string::npos) fail("unterminated comment");
                pos_ = e + 3;
            } else {
                return;
            }
        }
    }
    static std::string decode(const std::string& raw) {
        std::string out;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '&') {
                const size_t e = raw.find(';', i);
                if (e != std::string::npos) {
                    const std::string ent = raw.substr(i + 1, e - i - 1);
                    const char* rep = ent == "amp"    ? "&"
                                      : ent == "lt"   ? "<"
                                      : ent == "gt"   ? ">"
                                      : ent == "quot" ? "\""
                                      : ent == "apos" ? "'"
                                                      : nullptr;
                    if (rep) {
                        out += rep;
                        i = e;
                        continue;
                    }
                }
            }
            out += raw[i];
        }
        return out;
    }
    std::string name() {
        const size_t b = pos_;
        while (pos_ < s_.size() &&
               (isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == ':' || s_[pos_] == '-'))
            ++pos_;
        if (b == pos_) fail("expected a name");
        return s_.substr(b, pos_ - b);
    }
    std::unique_ptr<XmlNode> element() {
        if (pos_ >= s_.size() || s_[pos_] != '<') fail("expected an element");
        ++pos_;
        auto node = std::make_unique<XmlNode>();
        node->name = name();
        for (;;) {
            skipSpace();
            if (s_.compare(pos_, 2, "/>") == 0) {
                pos_ += 2;
                return node;
            }
            if (pos_ < s_.size() && s_[pos_] == '>') {
                ++pos_;
                break;
            }
            const std::string key = name();
            skipSpace();
            if (pos_ >= s_.size() || s_[pos_] != '=') fail("expected '=' after an attribute name");
            ++pos_;
            skipSpace();
            const char q = pos_ < s_.size() ? s_[pos_] : 0;
            if (q != '"' && q != '\'') fail("expected a quoted attribute value");
            const size_t e = s_.find(q, pos_ + 1);
            if (e == std::string::npos) fail("unterminated attribute value");
            node->attributes.emplace_back(key, decode(s_.substr(pos_ + 1, e - pos_ - 1)));
            pos_ = e + 1;
        }
        for (;;) {
            const size_t lt = s_.find('<', pos_);
            if (lt == std::string::npos) fail("unterminated element " + node->name);
            node->text += decode(s_.substr(pos_, lt - pos_));
            pos_ = lt;
            if (s_.compare(pos_, 2, "</") == 0) {
                pos_ += 2;
                const std::string end = name();
                if (end != node->name) fail("</" + end + "> closes <" + node->name + ">");
                skipSpace();
                if (pos_ >= s_.size() || s_[pos_] != '>') fail("expected '>'");
                ++pos_;
                return node;
            }
            if (s_.compare(pos_, 4, "<!--") == 0) {
                const size_t e = s_.find("-->", pos_);
                if (e == std::string::npos) fail("unterminated comment");
                pos_ = e + 3;
                continue;
            }
            node->children.push_back(element());
        }
    }

    const std::string& s_;
    std::string file_;
    size_t pos_ = 0;
};

const XmlNode* findDeep(const XmlNode* n, const std::string& name) {
    if (n->name == name) return n;
    for (const auto& c : n->children)
        if (const XmlNode* f = findDeep(c.get(), name)) return f;
    return nullptr;
}

std::string border(const XmlNode& cell, const char* attr, const char* css) {
    const std::string v = cell.attribute(attr);
    return std::string(css) + (v == "solid" ? ":.5pt solid windowtext;" : ":none;");
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

TableHtml tableFromXml(const std::filesystem::path& file,
                       const std::function<std::string(const std::string&)>& cellText) {
    const std::string text = readText(file);
    XmlReader reader(text, displayName(file));
    const auto root = reader.document();
    TableHtml out;
    if (const XmlNode* t = findDeep(root.get(), "AppdxTableTitle")) out.title = trim(t->text);
    if (const XmlNode* r = findDeep(root.get(), "RelatedArticleNum")) out.related = trim(r->text);
    const XmlNode* table = findDeep(root.get(), "Table");
    if (!table) throw BuildError(displayName(file), 0, "no <Table> element");
    std::string html =
        "<table border=0 cellpadding=0 cellspacing=0 style='border-collapse:collapse;table-layout:auto'>\n";
    for (const auto& row : table->children) {
        if (row->name != "TableRow") continue;
        html += "<tr>\n";
        for (const auto& cell : row->children) {
            if (cell->name != "TableColumn") continue;
            std::string content;
            std::string plain, searchable;
            for (const auto& sentence : cell->children) {
                if (sentence->name != "Sentence") continue;
                const std::string t = sentence->text;
                const std::string converted = cellText(t);
                if (!content.empty()) content += "<br>";
                content += htmlEscape(converted);
                if (!plain.empty()) plain += " ";
                plain += t;
                if (!searchable.empty()) searchable += " ";
                searchable += converted;
            }
            std::string td = "<td class=xl24";
            if (!cell->attribute("colspan").empty()) td += " colspan=" + cell->attribute("colspan");
            if (!cell->attribute("rowspan").empty()) td += " rowspan=" + cell->attribute("rowspan");
            td += " style='font-size:9.0pt;" + border(*cell, "BorderTop", "border-top") +
                  border(*cell, "BorderBottom", "border-bottom") + border(*cell, "BorderLeft", "border-left") +
                  border(*cell, "BorderRight", "border-right") + "'";
            const std::string trimmedPlain = trim(plain);
            if (!trimmedPlain.empty() && trimmedPlain != "　") td += " x:str=\"" + htmlEscape(plain) + "\"";
            td += ">" + (content.empty() ? std::string("　") : content) + "</td>\n";
            html += td;
            if (!trimmedPlain.empty()) {
                if (!out.plain.empty()) out.plain += " ";
                out.plain += searchable;
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
        if (!related.empty()) heading += "　" + htmlEscape(cellText(related));
        html = heading + "</p>\n" + html;
        out.plain = out.title + " " + cellText(related) + " " + out.plain;
    }
    out.html = excelDocument(html);
    return out;
}

}  // namespace tavrel::builder
