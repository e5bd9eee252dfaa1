#include "render/history.h"

#include "database/identifiers.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "document/numbering.h"
#include "render/render_support.h"
#include "text/sjis.h"

namespace tavrel::render {

namespace {

ReportTarget historyReport() { return {SJ("告示の履歴(html形式)を生成する"), "CTavrelDoc::_html_history()"}; }

const std::string& notFoundBody() {
    return SJ("データベースのテーブル(T_告)内に告示履歴データを\n見つけることができませんでした。\n\n");
}

bool digitsAt(const std::string& s, size_t pos, size_t count) {
    for (size_t i = pos; i < pos + count; ++i)
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    return true;
}

}  // namespace

std::string eraDate(const std::string& isoDate) {
    // "YYYY-MM-DD", optionally followed by a time of day.
    if (isoDate.size() < 10 || !digitsAt(isoDate, 0, 4) || isoDate[4] != '-' || !digitsAt(isoDate, 5, 2) ||
        isoDate[7] != '-' || !digitsAt(isoDate, 8, 2))
        return {};
    const int year = static_cast<int>(text::toLong(isoDate.substr(0, 4)));
    const int month = static_cast<int>(text::toLong(isoDate.substr(5, 2)));
    const int day = static_cast<int>(text::toLong(isoDate.substr(8, 2)));
    const std::optional<numbering::EraYear> era = numbering::toEra(year, month, day);
    const std::string name = era ? era->era : std::string();
    const int shownYear = era ? era->year : year;
    return name + text::format("%d", shownYear) + SJ("年") + text::format("%d", month) + SJ("月") +
           text::format("%d", day) + SJ("日");
}

std::string buildHistoryBlock(Document& doc, const std::string& idFN, int /*era*/, int /*year*/, int number,
                          int fontSize) {
    const std::string firstPage = idFN.substr(0, db::kIdFNPrefixLength) + "-00";
    const std::optional<std::string> sql = db::sql::history(firstPage);
    if (!sql) {
        reportFailure(doc, historyReport(), notFoundBody());
        return {};
    }
    std::string promulgation;
    std::string revision;
    try {
        db::Recordset rs = doc.connection().execute(*sql);
        if (rs.isEOF()) {
            rs.close();
            reportFailure(doc, historyReport(), notFoundBody());
            return {};
        }
        const bool hasPromulgation = !rs.isNull(SJ("公布年月日"));
        const std::string promulgated = rs.text(SJ("公布年月日"));
        const bool hasRevision = !rs.isNull(SJ("改正年月日")) && !rs.isNull(SJ("改正告示番号"));
        const std::string revised = rs.text(SJ("改正年月日"));
        const long revisionNumber = static_cast<long>(rs.int64(SJ("改正告示番号")));
        const std::string promulgator = rs.text(SJ("公布省名"));
        const std::string reviser = rs.text(SJ("改正省名"));
        rs.close();

        if (hasPromulgation) {
            promulgation = eraDate(promulgated) + SJ("　");
            if (!promulgator.empty()) promulgation += promulgator;
            promulgation += SJ("告示第") + text::format("%d", number) + SJ("号");
        }
        if (hasRevision) {
            revision = SJ("最終改正　") + eraDate(revised) + SJ("　");
            if (!reviser.empty()) revision += reviser;
            revision += SJ("告示第") + text::format("%ld", revisionNumber) + SJ("号");
        }
    } catch (const db::DbError& e) {
        reportFailure(doc, historyReport(), db::errorObjectBody(e.error(), db::ReportIndent::Plain));
        return {};
    } catch (const std::exception&) {
        reportFailure(doc, historyReport(), db::unexpectedExceptionBody());
        return {};
    }

    if (promulgation.empty()) return {};
    std::string block = "<br>\n";
    block += text::format("<font style=\"font-size: %dpt; font-weight: normal; color: %s\">\n", fontSize - 1,
                          htmlColor(doc.options()[FontColorKkjDate]).c_str());
    block += "<div align=\"right\">" + promulgation + "</div>\n";
    if (!revision.empty()) block += "<div align=\"right\">" + revision + "</div>\n";
    block += "</font>\n";
    return block;
}

}  // namespace tavrel::render
