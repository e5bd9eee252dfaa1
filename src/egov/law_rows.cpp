#include "egov/law_xml.h"
#include "egov/xml_text.h"

#include "collection/steps.h"
#include "collection/structure.h"
#include "collection/text_convert.h"
#include "collection/utf8.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <set>
#include <string_view>

namespace tavrel::egov {

using namespace tavrel::collection;
using xml::htmlEscapeText;
using xml::named;

namespace {

// "6_2" -> {6, 2}; "17:18" -> {17} with range set. Empty on anything else.
struct NumAttr {
    std::vector<int> parts;
    bool range = false;
};
NumAttr parseNum(const std::string& raw) {
    NumAttr n;
    std::string first = raw;
    if (const size_t colon = raw.find(':'); colon != std::string::npos) {
        n.range = true;
        first = raw.substr(0, colon);
    }
    int v = -1;
    for (char c : first + "_") {
        if (c >= '0' && c <= '9') {
            v = (v < 0 ? 0 : v * 10) + (c - '0');
            if (v > 99999) return {};
        } else if (c == '_' && v >= 0) {
            n.parts.push_back(v);
            v = -1;
        } else {
            return {};
        }
    }
    return n;
}

// Full-width digits, letters and parentheses of a printed label to the form
// the numbering prints: "２" -> "2", "（１）" -> "(1)", "（ｉｉ）" -> "（ⅱ）".
std::string normalizedLabel(const std::string& printed) {
    std::u32string s = utf8::decode(printed);
    bool roman = s.size() > 2 && s.front() == U'（' && s.back() == U'）';
    for (size_t i = 1; roman && i + 1 < s.size(); ++i) roman = s[i] == U'ｉ' || s[i] == U'ｖ' || s[i] == U'ｘ';
    if (roman) {
        int total = 0, previous = 0;
        for (size_t i = s.size() - 2; i >= 1; --i) {
            const int v = s[i] == U'ｉ' ? 1 : s[i] == U'ｖ' ? 5 : 10;
            total += v < previous ? -v : v;
            previous = std::max(previous, v);
        }
        return "（" + romanText(total) + "）";
    }
    std::u32string out;
    for (char32_t c : s) {
        if (c >= U'０' && c <= U'９')
            out += static_cast<char32_t>(U'0' + (c - U'０'));
        else if (c == U'（')
            out += U'(';
        else if (c == U'）')
            out += U')';
        else
            out += c;
    }
    return utf8::encode(out);
}

std::string withoutParentheses(const std::string& caption) {
    std::u32string s = utf8::decode(caption);
    if (s.size() >= 2 && s.front() == U'（' && s.back() == U'）') s = s.substr(1, s.size() - 2);
    return utf8::encode(s);
}

// The name of a division title after its number: "第三章　都市計画区域等" -> "都市計画区域等".
std::string divisionName(const std::string& title) {
    const std::u32string s = utf8::decode(title);
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == U'　' || s[i] == U' ') return utf8::encode(s.substr(i + 1));
    return title;
}

std::string articleLabelText(int n, int b1, int b2) {
    std::string label = "第" + std::to_string(n) + "条";
    if (b1 > 1) label += "の" + std::to_string(b1);
    if (b1 > 1 && b2 > 1) label += "の" + std::to_string(b2);
    return label;
}

// Elements of a law whose text the import keeps without a place of their own.
const std::set<std::string, std::less<>> kInlineBlocks = {"StyleStruct", "FormatStruct", "NoteStruct", "QuoteStruct",
                                             "AmendProvision", "List", "Class", "ArithFormula"};

class Converter {
  public:
    Converter(const LawFile& f, std::string id) : f_(f), id_(std::move(id)) {}

    LawContent run() {
        out_.law.id = id_;
        out_.law.formal = f_.title;
        // A long title is listed by its abbreviation.
        out_.law.common = !f_.abbrev.empty() && utf8::decode(f_.title).size() > 20 ? f_.abbrev : f_.title;
        out_.law.shortName = !f_.abbrev.empty() ? f_.abbrev : out_.law.common;
        out_.law.origin = {f_.fileName, f_.lineOf(f_.law)};
        const pugi::xml_node body = f_.law.child("LawBody");
        for (const pugi::xml_node& c : body.children()) {
            if (c.type() != pugi::node_element) continue;
            if (named(c, "LawTitle") || named(c, "TOC")) continue;
            if (named(c, "MainProvision")) {
                mainProvision(c);
            } else if (named(c, "SupplProvision")) {
                supplProvision(c);
            } else if (named(c, "AppdxTable")) {
                appendedTable(c);
            } else if (named(c, "AppdxNote") || named(c, "AppdxStyle") || named(c, "AppdxFormat") ||
                       named(c, "AppdxFig") || named(c, "Appdx")) {
                appendedOther(c);
            } else if (named(c, "EnactStatement") || named(c, "Preamble")) {
                // No page kind holds a 制定文 or 前文: named in the summary with its text.
                warn(c, std::string("not shown (no page kind holds it): ") + plain(c));
            } else {
                warn(c, "unknown element: not read, its text is " + plain(c));
            }
        }
        return std::move(out_);
    }

  private:
    struct Row {
        ElementAddress address;
        std::string text;
        std::optional<std::string> printedLabel;
        std::string formatCode = kArticleFormatCode;
        std::vector<pugi::xml_node> tables;
        int line = 0;
        bool convert = true;
    };

    void warn(const pugi::xml_node& n, const std::string& message) {
        out_.warnings.push_back({f_.pathOf(n), f_.lineOf(n), message});
    }
    std::string plain(const pugi::xml_node& n) { return stripInlineMarks(inlineText(f_, n, false, nullptr)); }
    std::string text(const pugi::xml_node& n) { return inlineText(f_, n, true, &out_.warnings); }

    // ---------------------------------------------------------------- divisions

    void mainProvision(const pugi::xml_node& mp) {
        DivisionPath path;
        walkDivisions(mp, path, 0);
    }

    struct DivisionPath {
        std::string groups[4] = {"0000", "0000", "0000", "0000"};
        std::string names[4];
    };

    std::string divisionId(const DivisionPath& p) const {
        std::string id = id_;
        for (const std::string& g : p.groups) id += "-" + g;
        return id;
    }

    // 第七章の二の二 (Num="7_2_2") is the group "0722": two digits of the
    // number, then the first and the second branch as one base-36 character
    // each, so it sorts after 第七章の二 (0720) and before 第七章の三 (0730).
    // A third branch, or a number past 99 or a branch past 35, has no
    // character of its own: such a division shares the group of the
    // nearest one that fits and is counted among the warnings.
    std::string group(const pugi::xml_node& n) {
        const NumAttr num = parseNum(n.attribute("Num").value());
        if (num.parts.empty() || num.range) {
            warn(n, "a division without a number: listed under the one before it");
            return "";
        }
        int number = num.parts[0], b1 = num.parts.size() > 1 ? num.parts[1] : 0, b2 = num.parts.size() > 2 ? num.parts[2] : 0;
        if (num.parts.size() > 3 || number > 99 || b1 > 35 || b2 > 35) {
            warn(n, "the division's number has no place in a division identifier: it shares its neighbour's");
            number = std::min(number, 99), b1 = std::min(b1, 35), b2 = std::min(b2, 35);
        }
        char buf[24];
        std::snprintf(buf, sizeof buf, "%02d%c%c", number, base36Char(b1), base36Char(b2));
        return buf;
    }

    void walkDivisions(const pugi::xml_node& parent, const DivisionPath& path, int level) {
        static const char* const kLevels[] = {"Chapter", "Section", "Subsection", "Division"};
        for (const pugi::xml_node& c : parent.children()) {
            if (c.type() != pugi::node_element) continue;
            if (named(c, "Article")) {
                article(c, divisionId(path));
                continue;
            }
            if (named(c, "Paragraph")) {
                // A law without articles: its paragraphs make one page.
                articleless(parent, divisionId(path));
                return;
            }
            if (named(c, "Part")) {
                warn(c, "a part (編) has no level in a division identifier: its chapters are listed without it");
                walkDivisions(c, path, level);
                continue;
            }
            if (named(c, "PartTitle") || named(c, "ChapterTitle") || named(c, "SectionTitle") ||
                named(c, "SubsectionTitle") || named(c, "DivisionTitle"))
                continue;
            int k = -1;
            for (int i = 0; i < 4; ++i)
                if (named(c, kLevels[i])) k = i;
            if (k < 0) {
                if (kInlineBlocks.count(c.name()) || named(c, "TableStruct") || named(c, "FigStruct"))
                    warn(c, "a block outside any article: not shown, its text is " + plain(c));
                else
                    warn(c, "unknown element: not read, its text is " + plain(c));
                continue;
            }
            if (k < level) warn(c, "a division inside a lower one: listed at its own level");
            DivisionPath p = path;
            const std::string g = group(c);
            if (!g.empty()) p.groups[k] = g;
            for (int i = k + 1; i < 4; ++i) p.groups[i] = "0000", p.names[i].clear();
            const pugi::xml_node title = c.child((std::string(kLevels[k]) + "Title").c_str());
            p.names[k] = divisionName(plain(title));
            Division d;
            d.idSN = divisionId(p);
            for (int i = 0; i <= k; ++i) d.names[i] = p.names[i];
            if (!seenDivisions_.insert(d.idSN).second)
                warn(c, "a second division with the identifier " + d.idSN + ": its articles are listed under the first");
            else
                out_.divisions.push_back(d);
            walkDivisions(c, p, k + 1);
        }
    }

    // ---------------------------------------------------------------- articles

    void article(const pugi::xml_node& a, const std::string& idSN) {
        const NumAttr num = parseNum(a.attribute("Num").value());
        if (num.parts.empty()) {
            warn(a, "an article without a readable number: not read, its text is " + plain(a));
            return;
        }
        const int n = num.parts[0], b1 = num.parts.size() > 1 ? num.parts[1] : 0,
                  b2 = num.parts.size() > 2 ? num.parts[2] : 0;
        if (n < 1 || n > 9999 || b1 > 99 || b2 > 99 || num.parts.size() > 3) {
            warn(a, "an article number with no place in a page identifier: not read, its text is " + plain(a));
            return;
        }
        Page p;
        p.idFN = pageId(articlePrefix(id_, n, b1, b2), 0);
        p.idSN = idSN;
        p.caption = withoutParentheses(plain(a.child("ArticleCaption")));
        p.origin = {f_.fileName, f_.lineOf(a)};
        std::vector<Row> rows;
        for (const pugi::xml_node& c : a.children()) {
            if (c.type() != pugi::node_element || named(c, "ArticleCaption") || named(c, "ArticleTitle")) continue;
            if (named(c, "Paragraph"))
                paragraph(c, rows);
            else
                warn(c, "unknown element in an article: not read, its text is " + plain(c));
        }
        if (rows.empty()) {
            warn(a, "an article without paragraphs: not read");
            return;
        }
        if (num.range) {
            // 第十七条及び第十八条 削除: the page of the first number, the
            // printed title kept in the text.
            rows.front().text = text(a.child("ArticleTitle")) + "　" + rows.front().text;
            rows.front().printedLabel.reset();
            rows.front().convert = false;  // its own title is no reference (and the text is 削除)
            ++out_.uncheckedLabels;
            warn(a, "a range of articles: one page under the first number, the printed title kept in its text");
        } else {
            rows.front().printedLabel = articleLabelText(n, b1, b2);
        }
        // A caption of the first paragraph (施行令) is the article's caption.
        if (p.caption.empty())
            if (const pugi::xml_node pc = a.child("Paragraph").child("ParagraphCaption"))
                p.caption = withoutParentheses(plain(pc)), rows.front().text = stripCaption(rows.front().text, pc);
        addPage(std::move(p), rows, a);
    }

    std::string stripCaption(const std::string& rowText, const pugi::xml_node& caption) {
        const std::string c = text(caption) + "　";
        return rowText.rfind(c, 0) == 0 ? rowText.substr(c.size()) : rowText;
    }

    void articleless(const pugi::xml_node& parent, const std::string& idSN) {
        Page p;
        p.idFN = pageId(articlePrefix(id_, 1, 0, 0), 0);
        p.idSN = idSN;
        p.origin = {f_.fileName, f_.lineOf(parent)};
        std::vector<Row> rows;
        for (const pugi::xml_node& c : parent.children("Paragraph")) paragraph(c, rows);
        if (rows.empty()) return;
        rows.front().printedLabel.reset();
        ++out_.uncheckedLabels;
        warn(parent, "a provision of paragraphs without articles: one page, shown as 第1条");
        addPage(std::move(p), rows, parent);
    }

    void paragraph(const pugi::xml_node& para, std::vector<Row>& rows) {
        Row r;
        r.line = f_.lineOf(para);
        const NumAttr num = parseNum(para.attribute("Num").value());
        r.address.paragraph = num.parts.empty() ? static_cast<int>(rows.empty() ? 1 : rows.back().address.paragraph + 1)
                                                : num.parts[0];
        r.address.paragraphBranch = num.parts.size() > 1 ? num.parts[1] : 0;
        const std::string printed = plain(para.child("ParagraphNum"));
        if (r.address.paragraph > 1) {
            if (printed.empty()) {
                ++out_.uncheckedLabels;
                warn(para, "a paragraph printed without its number: the page shows the computed one");
            } else {
                r.printedLabel = normalizedLabel(printed);
            }
        }
        if (r.address.paragraph < 1 || r.address.paragraph > 99 || r.address.paragraphBranch > 35) {
            warn(para, "a paragraph number with no place in a sentence identifier: kept in the text before");
            appendToLast(rows, printed + "　" + text(para.child("ParagraphSentence")));
            return;
        }
        std::string t;
        if (const pugi::xml_node pc = para.child("ParagraphCaption")) t = text(pc) + "　";
        t += text(para.child("ParagraphSentence"));
        r.text = std::move(t);
        const ElementAddress address = r.address;
        rows.push_back(std::move(r));
        const size_t self = rows.size() - 1;
        blocks(para, rows, self, {"ParagraphCaption", "ParagraphNum", "ParagraphSentence", "Item"});
        for (const pugi::xml_node& item : para.children("Item")) this->item(item, address, rows);
    }

    void item(const pugi::xml_node& it, const ElementAddress& parent, std::vector<Row>& rows) {
        Row r;
        r.line = f_.lineOf(it);
        r.address = parent;
        const NumAttr num = parseNum(it.attribute("Num").value());
        const std::string title = plain(it.child("ItemTitle"));
        r.text = text(it.child("ItemSentence"));
        if (num.parts.empty() || num.range || num.parts[0] > 99 || (num.parts.size() > 1 && num.parts[1] > 35) ||
            num.parts.size() > 2) {
            // 一から十一まで: one row after the previous item, the printed
            // label kept in the text, no computed label.
            r.address.item = lastItem(rows, parent) + 1;
            r.address.itemBranch = 0;
            r.formatCode[4] = 'C';
            r.text = text(it.child("ItemTitle")) + "　" + r.text;
            ++out_.uncheckedLabels;
            warn(it, "an item label the numbering cannot compute: kept in the text");
        } else {
            r.address.item = num.parts[0];
            r.address.itemBranch = num.parts.size() > 1 ? num.parts[1] : 0;
            r.printedLabel = title;
        }
        if (r.address.item > 99) {
            warn(it, "an item with no place in a sentence identifier: kept in the text before");
            appendToLast(rows, title + "　" + r.text);
            return;
        }
        const ElementAddress address = r.address;
        rows.push_back(std::move(r));
        const size_t self = rows.size() - 1;
        blocks(it, rows, self, {"ItemTitle", "ItemSentence", "Subitem1"});
        for (const pugi::xml_node& s : it.children("Subitem1")) subitem(s, 1, address, rows);
    }

    // Subitem1 イ, Subitem2 (1), Subitem3 (i) have places of their own;
    // Subitem4 and deeper go into the text of their parent row.
    void subitem(const pugi::xml_node& s, int depth, const ElementAddress& parent, std::vector<Row>& rows) {
        const std::string tag = "Subitem" + std::to_string(depth);
        const std::string child = "Subitem" + std::to_string(depth + 1);
        const std::string title = plain(s.child((tag + "Title").c_str()));
        const std::string sentence = text(s.child((tag + "Sentence").c_str()));
        if (depth > 3) {
            ++out_.uncheckedLabels;
            warn(s, "a sub-item deeper than three levels has no place of its own: kept in its parent's text");
            appendToLast(rows, text(s.child((tag + "Title").c_str())) + "　" + sentence);
            blocks(s, rows, rows.size() - 1, {tag + "Title", tag + "Sentence", child});
            for (const pugi::xml_node& c : s.children(child.c_str())) subitem(c, depth + 1, parent, rows);
            return;
        }
        Row r;
        r.line = f_.lineOf(s);
        r.address = parent;
        const NumAttr num = parseNum(s.attribute("Num").value());
        int& slot = depth == 1 ? r.address.subItem : depth == 2 ? r.address.bracketed : r.address.smallRoman;
        // The places of (1) and (i) hold one character: the numbering reads
        // (1) to (9) and (i) to (xiv) there.
        const int limit = depth == 1 ? 99 : depth == 2 ? 9 : 14;
        const bool computable = !num.parts.empty() && !num.range && num.parts.size() == 1 && num.parts[0] <= limit;
        slot = computable ? num.parts[0] : lastSlot(rows, parent, depth) + 1;
        r.text = sentence;
        if (computable) {
            r.printedLabel = normalizedLabel(title);
        } else if (depth == 1 && slot <= 99) {
            r.formatCode[8] = 'C';
            r.text = text(s.child((tag + "Title").c_str())) + "　" + sentence;
            ++out_.uncheckedLabels;
            warn(s, "a sub-item label the numbering cannot compute: kept in the text");
        } else {
            ++out_.uncheckedLabels;
            warn(s, "a sub-item with no place in a sentence identifier: kept in its parent's text");
            appendToLast(rows, text(s.child((tag + "Title").c_str())) + "　" + sentence);
            return;
        }
        const ElementAddress address = r.address;
        rows.push_back(std::move(r));
        blocks(s, rows, rows.size() - 1, {tag + "Title", tag + "Sentence", child});
        for (const pugi::xml_node& c : s.children(child.c_str())) subitem(c, depth + 1, address, rows);
    }

    int lastItem(const std::vector<Row>& rows, const ElementAddress& parent) {
        int last = 0;
        for (const Row& r : rows)
            if (r.address.paragraph == parent.paragraph && r.address.paragraphBranch == parent.paragraphBranch)
                last = std::max(last, r.address.item);
        return last;
    }
    int lastSlot(const std::vector<Row>& rows, const ElementAddress& parent, int depth) {
        int last = 0;
        for (const Row& r : rows) {
            const ElementAddress& a = r.address;
            if (a.paragraph != parent.paragraph || a.paragraphBranch != parent.paragraphBranch || a.item != parent.item ||
                a.itemBranch != parent.itemBranch)
                continue;
            if (depth == 1) last = std::max(last, a.subItem);
            if (depth == 2 && a.subItem == parent.subItem) last = std::max(last, a.bracketed);
            if (depth == 3 && a.subItem == parent.subItem && a.bracketed == parent.bracketed)
                last = std::max(last, a.smallRoman);
        }
        return last;
    }

    void appendToLast(std::vector<Row>& rows, const std::string& t) {
        if (rows.empty()) return;
        rows.back().text += "　" + t;
    }

    // The blocks of an element besides its own parts: tables become pieces
    // after its row, figures a placeholder, lists and other structures text.
    void blocks(const pugi::xml_node& n, std::vector<Row>& rows, size_t row,
                std::initializer_list<std::string_view> own) {
        for (const pugi::xml_node& c : n.children()) {
            if (c.type() != pugi::node_element || std::find(own.begin(), own.end(), c.name()) != own.end()) continue;
            if (named(c, "TableStruct")) {
                rows[row].tables.push_back(c);
            } else if (named(c, "FigStruct")) {
                rows[row].text += "　" + figurePlaceholder(c);
            } else if (kInlineBlocks.count(c.name())) {
                rows[row].text += "　" + blockText(c);
            } else if (std::string(c.name()).rfind("Subitem", 0) == 0 || named(c, "Item")) {
                warn(c, "an element out of its place: its text is kept in the row before");
                rows[row].text += "　" + blockText(c);
            } else {
                warn(c, "unknown element: its text is kept as text");
                rows[row].text += "　" + blockText(c);
            }
        }
    }

    // The text of a block: every sentence and title in it, in order.
    std::string blockText(const pugi::xml_node& n) {
        std::string out;
        auto add = [&out](const std::string& t) {
            if (t.empty()) return;
            if (!out.empty()) out += "　";
            out += t;
        };
        for (const pugi::xml_node& c : n.children()) {
            if (c.type() == pugi::node_pcdata) {
                add(text(n));
                return out;
            }
            if (c.type() != pugi::node_element) continue;
            if (named(c, "Sentence") || std::string(c.name()).find("Title") != std::string::npos ||
                named(c, "ArithFormula") || named(c, "Column"))
                add(text(c));
            else if (named(c, "TableStruct"))
                add(tableAsText(c));
            else if (named(c, "FigStruct") || named(c, "Fig"))
                add(figurePlaceholder(c));
            else
                add(blockText(c));
        }
        return out;
    }

    std::string tableAsText(const pugi::xml_node& t) {
        warn(t, "a table inside a list or quotation: its cells are kept as text");
        std::string out;
        for (pugi::xml_node n = t.first_child(); n;) {
            if (named(n, "Sentence")) {
                if (!out.empty()) out += "　";
                out += text(n);
            }
            if (n.first_child() && !named(n, "Sentence")) {
                n = n.first_child();
                continue;
            }
            while (n && n != t && !n.next_sibling()) n = n.parent();
            if (!n || n == t) break;
            n = n.next_sibling();
        }
        return out;
    }

    std::string figurePlaceholder(const pugi::xml_node& n) {
        std::string name = plain(n.child("FigStructTitle"));
        const pugi::xml_node fig = named(n, "Fig") ? n : n.child("Fig");
        const std::string src = fig.attribute("src").value();
        if (name.empty()) name = src.empty() ? "図" : src;
        return "［図　" + htmlEscapeText(name) + "（画像は収録されていません）］";
    }

    void addPage(Page p, std::vector<Row>& rows, const pugi::xml_node& where) {
        if (!seenPages_.insert(p.idFN).second)
            throw ImportError(f_.fileName + ":" + std::to_string(f_.lineOf(where)) + ": " + f_.pathOf(where) +
                              ": a second page with the identifier " + p.idFN);
        std::set<std::string> ids;
        for (Row& r : rows) {
            Sentence s;
            s.idBN = sentenceId(p.idFN, r.address);
            if (!ids.insert(s.idBN).second)
                throw ImportError(f_.fileName + ":" + std::to_string(r.line) + ": " + f_.pathOf(where) +
                                  ": two rows with the identifier " + s.idBN);
            s.text = std::move(r.text);
            s.formatCode = std::move(r.formatCode);
            s.printedLabel = std::move(r.printedLabel);
            s.convert = r.convert;
            s.origin = {f_.fileName, r.line};
            int order = 0;
            for (const pugi::xml_node& t : r.tables) out_.tables.push_back({s.idBN, ++order, t});
            s.table = order > 0;
            p.sentences.push_back(std::move(s));
        }
        out_.pages.push_back(std::move(p));
    }

    // ---------------------------------------------------------------- 附則

    // Every SupplProvision is one page of the 附則 kind, F + a 7-digit order.
    // Its rows are numbered in reading order (row r: paragraph 1 + r / 99,
    // item 1 + r % 99) under a format code that shows no computed label: the
    // articles, paragraphs and items of a 附則 keep their printed labels
    // (第一条, ２, 一) in their text.
    void supplProvision(const pugi::xml_node& sp) {
        Page p;
        char order[16];
        std::snprintf(order, sizeof order, "F%07d", supplCount_++);
        p.idFN = id_ + "-" + order + "-00";
        p.idSN = id_ + "-0000-0000-0000-0000";
        const std::string amend = sp.attribute("AmendLawNum").value();
        p.caption = amend.empty() ? "附則" : "附則（" + amend + "）";
        p.origin = {f_.fileName, f_.lineOf(sp)};
        std::vector<Row> rows;
        supplChildren(sp, rows);
        if (rows.empty()) {
            Row r;
            r.text = plain(sp.child("SupplProvisionLabel"));
            r.line = f_.lineOf(sp);
            rows.push_back(std::move(r));
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            if (i >= 99 * 99) throw ImportError(f_.fileName + ": " + f_.pathOf(sp) + ": more rows than a 附則 page holds");
            rows[i].address = ElementAddress{};
            rows[i].address.paragraph = 1 + static_cast<int>(i / 99);
            rows[i].address.item = 1 + static_cast<int>(i % 99);
            rows[i].formatCode = kSupplementFormatCode;
            rows[i].printedLabel.reset();
            // An amending law's 附則 cites that law's own articles (第一条,
            // 前条): no reference of it is taken for one of this law.
            if (!amend.empty()) rows[i].convert = false;
        }
        addPage(std::move(p), rows, sp);
    }

    static constexpr const char* kSupplementFormatCode = "0000C00000000000";

    void supplChildren(const pugi::xml_node& n, std::vector<Row>& rows) {
        for (const pugi::xml_node& c : n.children()) {
            if (c.type() != pugi::node_element || named(c, "SupplProvisionLabel")) continue;
            if (named(c, "Article")) {
                std::string head = text(c.child("ArticleTitle"));
                if (const pugi::xml_node cap = c.child("ArticleCaption")) head = text(cap) + "　" + head;
                bool first = true;
                for (const pugi::xml_node& para : c.children()) {
                    if (para.type() != pugi::node_element || named(para, "ArticleCaption") ||
                        named(para, "ArticleTitle"))
                        continue;
                    if (named(para, "Paragraph")) {
                        flatParagraph(para, rows, first ? head : std::string());
                        first = false;
                    } else {
                        warn(para, "unknown element in an article: its text is kept as text");
                        flatText(para, rows, blockText(para));
                    }
                }
                if (first) flatText(c, rows, head);
            } else if (named(c, "Paragraph")) {
                flatParagraph(c, rows, {});
            } else if (named(c, "Chapter") || named(c, "Section")) {
                flatText(c, rows, plain(c.child((std::string(c.name()) + "Title").c_str())));
                supplChildren(c, rows);
            } else if (named(c, "SupplProvisionAppdxTable") || named(c, "SupplProvisionAppdxStyle") ||
                       named(c, "SupplProvisionAppdx")) {
                Row r;
                r.line = f_.lineOf(c);
                for (const pugi::xml_node& t : c.children())
                    if (std::string(t.name()).find("Title") != std::string::npos ||
                        named(t, "RelatedArticleNum"))
                        r.text += (r.text.empty() ? "" : "　") + text(t);
                rows.push_back(std::move(r));
                blocks(c, rows, rows.size() - 1,
                       {"SupplProvisionAppdxTableTitle", "SupplProvisionAppdxStyleTitle", "ArithFormulaNum",
                        "RelatedArticleNum"});
            } else {
                warn(c, "unknown element in a 附則: its text is kept as text");
                flatText(c, rows, blockText(c));
            }
        }
    }

    void flatText(const pugi::xml_node& n, std::vector<Row>& rows, const std::string& t) {
        Row r;
        r.line = f_.lineOf(n);
        r.text = t;
        rows.push_back(std::move(r));
    }

    void flatParagraph(const pugi::xml_node& para, std::vector<Row>& rows, const std::string& head) {
        Row r;
        r.line = f_.lineOf(para);
        std::string t = head;
        const std::string num = text(para.child("ParagraphNum"));
        if (!num.empty()) t += (t.empty() ? "" : "　") + num;
        if (const pugi::xml_node pc = para.child("ParagraphCaption")) t = text(pc) + (t.empty() ? "" : "　") + t;
        const std::string body = text(para.child("ParagraphSentence"));
        r.text = t.empty() ? body : t + "　" + body;
        rows.push_back(std::move(r));
        blocks(para, rows, rows.size() - 1, {"ParagraphCaption", "ParagraphNum", "ParagraphSentence", "Item"});
        for (const pugi::xml_node& it : para.children("Item")) flatItem(it, "Item", rows);
    }

    void flatItem(const pugi::xml_node& it, const std::string& tag, std::vector<Row>& rows) {
        const std::string child = tag == "Item" ? "Subitem1" : "Subitem" + std::to_string(std::stoi(tag.substr(7)) + 1);
        Row r;
        r.line = f_.lineOf(it);
        const std::string title = text(it.child((tag + "Title").c_str()));
        const std::string body = text(it.child((tag + "Sentence").c_str()));
        r.text = title.empty() ? body : title + "　" + body;
        rows.push_back(std::move(r));
        blocks(it, rows, rows.size() - 1, {tag + "Title", tag + "Sentence", child});
        for (const pugi::xml_node& c : it.children(child.c_str())) flatItem(c, child, rows);
    }

    // ---------------------------------------------------------------- 別表

    // 別表第N (N from the title; 別表 alone is 1) is the page T + NNN + BB00:
    // 別表第一 of 01A is 01A-T0010000-00; its first piece is the AppdxTable
    // itself (title, related articles, table), further TableStructs follow.
    void appendedTable(const pugi::xml_node& t) {
        const std::string title = plain(t.child("AppdxTableTitle"));
        const std::u32string u = utf8::decode(title);
        int number = 1, branch = 0;
        if (const size_t dai = u.find(U'第'); dai != std::u32string::npos) {
            size_t i = dai + 1;
            int n = 0, b = 0;
            if (readNumeralWithBranch(u, i, n, b)) number = n, branch = b;
        }
        const NumAttr num = parseNum(t.attribute("Num").value());
        if (!num.parts.empty()) number = num.parts[0], branch = num.parts.size() > 1 ? num.parts[1] : 0;
        if (number > 999 || branch > 99) {
            warn(t, "an appended table number with no place in a page identifier: not read");
            return;
        }
        Page p;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s-T%03d%02d00-00", id_.c_str(), number, branch);
        p.idFN = buf;
        p.idSN = id_ + "-0000-0000-0000-0000";
        // The caption: the related-articles line without its leading blank and
        // its closing （…関係）.
        std::u32string related = utf8::decode(plain(t.child("RelatedArticleNum")));
        while (!related.empty() && (related.front() == U'　' || related.front() == U' ')) related.erase(0, 1);
        if (!related.empty() && related.back() == U'）') {
            int depth = 0;
            for (size_t i = related.size(); i-- > 0;) {
                if (related[i] == U'）') ++depth;
                if (related[i] == U'（' && --depth == 0) {
                    related.resize(i);
                    break;
                }
            }
        }
        p.caption = related.empty() ? title : utf8::encode(related);
        p.origin = {f_.fileName, f_.lineOf(t)};
        if (!seenPages_.insert(p.idFN).second)
            throw ImportError(f_.fileName + ":" + std::to_string(f_.lineOf(t)) + ": " + f_.pathOf(t) +
                              ": a second page with the identifier " + p.idFN);
        const std::string idBN = p.idFN + "-0000-0000-0000-0000";
        int order = 0;
        for (const pugi::xml_node& c : t.children()) {
            if (c.type() != pugi::node_element || named(c, "AppdxTableTitle") || named(c, "RelatedArticleNum")) continue;
            if (named(c, "TableStruct"))
                out_.tables.push_back({idBN, ++order, order == 1 ? t : c});
            else
                warn(c, "an element of an appended table that has no place on its page: its text is " + plain(c));
        }
        if (order == 0) warn(t, "an appended table without a table");
        out_.pages.push_back(std::move(p));
    }

    // 別記, 様式, 書式, 別図 and the like: a page of the appended-table kind
    // after the 別表 (from T900), their text and figures as a piece.
    void appendedOther(const pugi::xml_node& n) {
        Page p;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s-T%03d0000-00", id_.c_str(), 900 + otherCount_++);
        p.idFN = buf;
        p.idSN = id_ + "-0000-0000-0000-0000";
        std::string title;
        for (const pugi::xml_node& c : n.children())
            if (std::string(c.name()).find("Title") != std::string::npos) title = plain(c);
        p.caption = title.empty() ? std::string(n.name()) : title;
        p.origin = {f_.fileName, f_.lineOf(n)};
        warn(n, "shown as a page of the appended-table kind (numbered from 900)");
        out_.tables.push_back({p.idFN + "-0000-0000-0000-0000", 1, n});
        out_.pages.push_back(std::move(p));
    }

    const LawFile& f_;
    std::string id_;
    LawContent out_;
    std::set<std::string> seenPages_, seenDivisions_;
    int supplCount_ = 0, otherCount_ = 0;
};

}  // namespace

LawContent convertLaw(const LawFile& file, const std::string& lawIdHN) { return Converter(file, lawIdHN).run(); }

}  // namespace tavrel::egov
