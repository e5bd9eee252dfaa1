#include "render/tables.h"

#include "database/identifiers.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "document/numbering.h"
#include "render/links.h"
#include "render/page_parts.h"
#include "render/render_support.h"
#include "render/split_indicator.h"
#include "text/sjis.h"

namespace tavrel::render {

namespace {

constexpr int kDefaultTableFontSize = 9;

ReportTarget tableReport() { return {SJ("HTML形式の表式データを抽出する"), "CTavrelDoc::_html_tbl()"}; }

// Puts the program's pieces into one stored table piece.
void dressPiece(std::string& piece, const std::string& styleBlock, const std::string& indicator, bool tablePage) {
    insertAt(piece, "</head>", styleBlock, false);
    if (!indicator.empty()) insertAt(piece, "<body>", indicator, true);
    // Inserted after the indicator, at the same place: the anchor comes first.
    if (tablePage) insertAt(piece, "<body>", imageAnchor(), true);
    if (!indicator.empty()) insertAt(piece, "</body>", indicator, false);
}

}  // namespace

bool buildTablePage(Document& doc, const std::string& idBN, std::string& html) {
    html.clear();
    const std::optional<std::string> sql = db::sql::tablePieces(idBN);
    if (!sql) {
        reportFailure(doc, tableReport(),
                      SJ("データベース中のテーブル「T_表」から表式データを\n見つけることができませんでした。\n\n"));
        return false;
    }
    try {
        std::string indicator;
        bool tablePage = false;
        const std::string idFN = idBN.substr(0, db::kIdFNLength);
        const std::optional<numbering::PageKind> kind = numbering::pageKind(idFN);
        if (kind && *kind == numbering::AppendedTable) {
            indicator = splitIndicator(doc, idFN);
            tablePage = true;
        }
        const std::string styleBlock = tableStyleBlock(doc.options());

        db::Recordset rs = doc.connection().execute(*sql);
        if (rs.isEOF()) {
            rs.close();
            reportFailure(doc, tableReport(),
                          SJ("データベース中のテーブル「T_表」から表式データを\n見つけることができませんでした。\n\n"));
            return false;
        }
        bool appended = false;
        for (; !rs.isEOF(); rs.moveNext()) {
            if (rs.isNull(SJ("表式データ"))) continue;
            std::string piece = rs.text(SJ("表式データ"));
            dressPiece(piece, styleBlock, indicator, tablePage);
            html += piece;
            appended = true;
        }
        rs.close();

        if (appended) {
            html = inlineReferences(idBN, html, true);
            html = explicitLinks(idBN, html);
            html = text::replaceAll(html, "\n</td>", "</td>");
            html = text::replaceAll(html, "\n<br>", "<br>");
            const int tableSize = doc.options()[FontSizeTable];
            if (tableSize != kDefaultTableFontSize)
                html = text::replaceAll(html, "font-size:9.0pt;", text::format("font-size:%dpt;", tableSize));
        }
        return true;
    } catch (const db::DbError& e) {
        reportFailure(doc, tableReport(), db::errorObjectBody(e.error(), db::ReportIndent::Plain));
    } catch (const std::exception&) {
        reportFailure(doc, tableReport(), db::unexpectedExceptionBody());
    }
    html.clear();
    return false;
}

}  // namespace tavrel::render
