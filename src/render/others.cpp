#include "render/others.h"

#include "database/identifiers.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "render/links.h"
#include "render/render_support.h"
#include "text/sjis.h"

namespace tavrel::render {

namespace {

ReportTarget othersReport() { return {SJ("テーブル「T_他」からHTMLデータを抽出する"), "CTavrelDoc::_html_others()"}; }

const std::string& notFoundBody() {
    return SJ("データベース中のテーブル「T_他」にHTMLデータを\n見つけることができませんでした。\n\n");
}

}  // namespace

bool buildSpecialPage(Document& doc, const std::string& idFN, std::string& html) {
    html.clear();
    const std::optional<std::string> sql = db::sql::otherPieces(idFN);
    if (!sql) {
        reportFailure(doc, othersReport(), notFoundBody());
        return false;
    }
    try {
        db::Recordset rs = doc.connection().execute(*sql);
        if (rs.isEOF()) {
            rs.close();
            reportFailure(doc, othersReport(), notFoundBody());
            return false;
        }
        for (; !rs.isEOF(); rs.moveNext()) html += rs.text(SJ("HTMLデータ"));
        rs.close();
    } catch (const db::DbError& e) {
        html.clear();
        reportFailure(doc, othersReport(), db::errorObjectBody(e.error(), db::ReportIndent::Plain));
        return false;
    } catch (const std::exception&) {
        html.clear();
        reportFailure(doc, othersReport(), db::unexpectedExceptionBody());
        return false;
    }

    const std::string images = pageImageFolder(doc);
    if (idFN == "00A-Z0010000-00" || idFN == "00A-Z0050000-00") {
        html = text::replaceAll(html, "tavrel_title.bmp", images + "tavrel_title.bmp");
        html = text::replaceAll(html, "season.gif", images + "season.gif");
        html = explicitLinks("", html);
    } else if (idFN.compare(0, 8, "00A-Z009") == 0) {
        html = text::replaceAll(html, "images/basic/", images + "basic/");
        html = text::replaceAll(html, "images/design/", images + "design/");
        html = explicitLinks("", html);
    }
    return true;
}

}  // namespace tavrel::render
