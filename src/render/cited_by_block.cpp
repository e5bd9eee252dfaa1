#include "render/cited_by_block.h"

#include "citations/citation_index.h"
#include "database/connection.h"
#include "database/identifiers.h"
#include "database/report.h"
#include "document/document.h"
#include "document/numbering.h"
#include "render/render_support.h"
#include "text/sjis.h"


namespace tavrel::render {

namespace {

constexpr std::string_view kAnchorPrefix = "cited-by-";
constexpr const char* kOperation = "buildCitedByBlock()";

// The rows in the block's order, at most limit of them (0: all); total gets
// the number of all rows.
std::vector<CitedByEntry> fromTable(Document& doc, const std::string& idFN, size_t limit, size_t& total) {
    std::vector<CitedByEntry> out;
    // idFN has passed the identifier check: its characters are 0-9, A-Z, "-".
    const std::string where = "WHERE ID_FN = '" + idFN + "'";
    // The table holds a page's rows in the block's order.
    std::string sql = SJ("SELECT * FROM T_被引用 ") + where + SJ(" ORDER BY 順序");
    if (limit > 0) sql += " LIMIT " + std::to_string(limit + 1);
    db::Recordset rs = doc.connection().execute(sql);
    for (; !rs.isEOF(); rs.moveNext()) {
        CitedByEntry e;
        e.citingSentence = rs.text("ID_BN");
        e.part = rs.text(SJ("部分"));
        const std::string kind = rs.text(SJ("種別"));
        e.kind = kind.empty() ? 'p' : kind[0];
        e.before = rs.text(SJ("抜粋前"));
        e.words = rs.text(SJ("参照語"));
        e.after = rs.text(SJ("抜粋後"));
        out.push_back(std::move(e));
    }
    rs.close();
    total = out.size();
    if (limit > 0 && out.size() > limit) {
        out.resize(limit);
        db::Recordset count = doc.connection().execute(SJ("SELECT count(*) AS n FROM T_被引用 ") + where);
        total = count.isEOF() ? limit : static_cast<size_t>(count.int64("n"));
        count.close();
    }
    return out;
}

std::vector<CitedByEntry> fromIndex(const citations::CitationIndex& index, const std::string& idFN, size_t limit,
                                    size_t& total) {
    std::vector<CitedByEntry> out;
    const auto [first, last] = index.citing(idFN);
    total = static_cast<size_t>(last - first);
    for (const citations::CitationRow* r = first; r != last && (limit == 0 || out.size() < limit); ++r) {
        CitedByEntry e;
        e.citingSentence = r->citingSentence;  // ASCII
        e.part = text::fromUtf8(r->part);
        e.kind = static_cast<char>(r->kind);
        e.before = text::fromUtf8(r->before);
        e.words = text::fromUtf8(r->words);
        e.after = text::fromUtf8(r->after);
        out.push_back(std::move(e));
    }
    return out;
}

std::string escaped(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t n = text::charLength(s, i);
        if (n == 1 && s[i] == '<')
            out += "&lt;";
        else if (n == 1 && s[i] == '>')
            out += "&gt;";
        else
            out.append(s, i, n);
        i += n;
    }
    return out;
}

}  // namespace

std::vector<CitedByEntry> citedByEntries(Document& doc, const std::string& idFN, size_t limit, size_t* total) {
    std::vector<CitedByEntry> rows;
    size_t all = 0;
    if (total) *total = 0;
    if (!db::isIdFN(idFN)) return rows;
    try {
        if (doc.hasCitationTable()) {
            rows = fromTable(doc, idFN, limit, all);
        } else if (const citations::CitationIndex* index = doc.citationIndex()) {
            rows = fromIndex(*index, idFN, limit, all);
        }
    } catch (const db::DbError& e) {
        db::report(doc.messages(), SJ("被引用の一覧を作成"), kOperation,
                   db::errorObjectBody(e.error(), db::ReportIndent::Plain), db::ReportIndent::Plain);
        return {};
    }
    if (total) *total = all;
    return rows;
}

std::string citingLabel(const Document& doc, const std::string& idBN) {
    if (!db::isIdBN(idBN)) return {};
    const std::string idFN = idBN.substr(0, db::kIdFNLength);
    std::string label = doc.lawName(idBN.substr(0, db::kIdHNLength), 1);
    const auto kind = numbering::pageKind(idFN);
    if (!kind) return label;
    std::string provision;
    switch (*kind) {
        case numbering::Article: {
            provision = numbering::articleLabel(idFN).value_or(std::string());
            const auto e = numbering::articleElement(idBN);
            if (e && e->paragraph > 0) {
                provision += SJ("第") + std::to_string(e->paragraph) + SJ("項");
                if (e->paragraphBranch > 1) provision += SJ("の") + std::to_string(e->paragraphBranch);
                if (e->item > 0) {
                    provision += SJ("第") + numbering::kanji(e->item) + SJ("号");
                    if (e->itemBranch > 1) provision += SJ("の") + numbering::kanji(e->itemBranch);
                }
            }
            break;
        }
        case numbering::Notification:
            provision = numbering::notificationNumberText(idFN).value_or(std::string());
            break;
        case numbering::Supplementary:
            provision = SJ("附則");
            break;
        case numbering::AppendedTable:
            provision = numbering::appendedTableLabel(idFN).value_or(std::string());
            break;
        case numbering::SpecialPage:
            break;
    }
    return label.empty() ? provision : label + " " + provision;
}

std::string buildCitedByBlock(Document& doc, const std::string& idFN) {
    size_t total = 0;
    const std::vector<CitedByEntry> rows = citedByEntries(doc, idFN, kMaxBlockLines, &total);
    if (rows.empty()) return {};
    const OptionBlock& options = doc.options();
    std::string html = "<div id=\"cited-by\" style=\"margin-top: 2.0em\">\n<hr>\n";
    html += text::format("<font style=\"font-size: %dpt; font-weight: bold; color: %s\">", options[FontSizeBasic],
                         htmlColor(options[FontColorJouSection]).c_str()) +
            SJ("被引用（") + std::to_string(total) + SJ("件）") + "</font>\n";
    html += text::format("<font style=\"font-size: %dpt; font-weight: normal; \">\n", options[FontSizeBasic] - 1);
    int line = 0;
    for (const CitedByEntry& e : rows) {
        if (!db::isIdBN(e.citingSentence)) continue;
        ++line;
        html += "<div style=\"margin-left: 1.5em; margin-top: 0.4em\">";
        html += "<a id=\"" + citedByAnchorId(e.citingSentence, line) + "\" href='http://" +
                e.citingSentence.substr(0, db::kIdFNLength) + "_TAVREL'>" + citingLabel(doc, e.citingSentence) +
                "</a>";
        if (!e.part.empty()) html += SJ("　→ ") + escaped(e.part);
        html += "<br>\n<span style=\"color: #" + colorToHtml(options[FontColorTop]) + "\">" + escaped(e.before) +
                "<b>" + escaped(e.words) + "</b>" + escaped(e.after) + "</span></div>\n";
    }
    if (total > rows.size())
        html += "<div style=\"margin-left: 1.5em; margin-top: 0.4em\">" + SJ("ほか") + std::to_string(total - rows.size()) +
                SJ("件") + "</div>\n";
    html += "</font>\n</div>\n";
    return html;
}

std::string citedByAnchorId(const std::string& idBN, int line) {
    return std::string(kAnchorPrefix) + idBN + text::format("-%02d", line % 100);
}

std::optional<std::string> citedBySentence(std::string_view anchorId) {
    if (anchorId.substr(0, kAnchorPrefix.size()) != kAnchorPrefix) return std::nullopt;
    const std::string_view id = anchorId.substr(kAnchorPrefix.size(), db::kIdBNLength);
    if (!db::isIdBN(id) || anchorId.size() != kAnchorPrefix.size() + db::kIdBNLength + 3) return std::nullopt;
    return std::string(id);
}

}  // namespace tavrel::render
