#include "render/page_builder.h"

#include "database/identifiers.h"
#include "database/report.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "render/cited_by_block.h"
#include "render/history.h"
#include "render/links.h"
#include "render/others.h"
#include "render/page_parts.h"
#include "render/render_support.h"
#include "render/sentence_block.h"
#include "render/split_indicator.h"
#include "render/tables.h"
#include "text/sjis.h"

#include <fstream>

namespace tavrel::render {

std::string authorContact(const Document& doc) {
    std::string text = SJ("お手数ですが、表示しようとした条文とジャンプ元の条文を作者まで電子メールでお知らせください。");
    if (const std::string& mail = doc.supportAddresses().mail; !mail.empty()) text += "\n" + mail;
    return text;
}

namespace {

const char* const kOperation = "CTavrelDoc::_html_build()";
const std::string& purpose() { return SJ("HTML形式の法文を作成"); }

// The page's row of T_条 with its division names.
struct TitleRow {
    std::string caption, chapter, section, subsection, division, idSN;
    int large = 0, split = 0;
};

}  // namespace

PageBuilder::PageBuilder(Document& doc) : doc_(doc) {}

void PageBuilder::report(const std::string& body) { reportFailure(doc_, {purpose(), kOperation}, body); }

bool PageBuilder::buildPage(const std::string& idFN, std::string& html) {
    html.clear();
    // Only a well-formed identifier is looked at further (it names files and
    // goes into SQL).
    const std::optional<numbering::PageKind> kind =
        db::isIdFN(idFN) ? numbering::pageKind(idFN) : std::optional<numbering::PageKind>();
    if (!kind) {
        report(SJ("法文のタイプの識別ができませんでした。\n\n"));
        return false;
    }
    switch (*kind) {
        case numbering::Article:
            if (!numbering::articleNumber(idFN)) {
                report(SJ("条番号の抽出に失敗しました。\n\n"));
                return false;
            }
            break;
        case numbering::Notification:
            if (!numbering::notificationNumber(idFN)) {
                report(SJ("告示番号の抽出に失敗しました。\n\n"));
                return false;
            }
            break;
        case numbering::AppendedTable:
            if (!buildTablePage(doc_, idFN + "-0000-0000-0000-0000", html)) {
                html.clear();
                report(SJ("別表の抽出に失敗しました。\n\n"));
                return false;
            }
            html = removeXStrAttributes(html);
            if (doc_.citedByShown()) insertCitedByBlock(idFN, html);
            return true;
        case numbering::SpecialPage:
            if (!buildSpecialPage(doc_, idFN, html)) {
                html.clear();
                report(SJ("テーブル「T_他」からのHTMLデータの抽出に失敗しました。\n\n"));
                return false;
            }
            html = removeXStrAttributes(html);
            return true;
        case numbering::Supplementary:
            break;
    }
    bool ok = false;
    try {
        ok = assemble(idFN, *kind, html);
    } catch (const db::DbError& e) {
        report(db::errorObjectBody(e.error(), db::ReportIndent::Plain));
    } catch (const std::exception&) {
        report(db::unexpectedExceptionBody());
    }
    if (!ok) html.clear();
    return ok;
}

bool PageBuilder::assemble(const std::string& idFN, numbering::PageKind kind, std::string& html) {
    const OptionBlock& options = doc_.options();
    const std::optional<std::string> titleSql = db::sql::pageTitle(idFN);
    if (!titleSql) {
        report(SJ("法文のタイプの識別ができませんでした。\n\n"));
        return false;
    }

    TitleRow title;
    {
        db::Recordset rs = doc_.connection().execute(*titleSql);
        if (rs.isEOF()) {
            rs.close();
            const std::string text = SJ("データベースに法文タイトルを見つけることが\nできませんでした。\n\n") +
                                     SJ("関数 = ") + kOperation + "\n" + SJ("条ID = ") + idFN + "\n\n" +
                                     authorContact(doc_);
            doc_.messages().show(purpose(), text, MsgButtons::Ok, MsgIcon::Error, true);
            return false;
        }
        title.caption = rs.text(SJ("条名"));
        title.chapter = rs.text(SJ("章名"));
        title.section = rs.text(SJ("節名"));
        title.subsection = rs.text(SJ("款名"));
        title.division = rs.text(SJ("目名"));
        title.idSN = rs.text(SJ("T_条.ID_SN"));
        title.large = rs.int16(SJ("大型"));
        title.split = rs.int16(SJ("分割"));
        rs.close();
    }

    int splitPageNumber = 0;
    if (title.split > 1) {
        splitPageNumber = static_cast<int>(text::toLong(idFN.substr(13, 2))) + 1;
        ArticleInfo info;
        if (title.caption.empty() && doc_.articleInfo(idFN, info)) title.caption = info.caption;
    }

    const std::optional<numbering::DivisionNumber> division = numbering::divisionNumber(title.idSN);
    if (!division) {
        report(SJ("章番号の抽出に失敗しました。\n\n"));
        return false;
    }
    auto divisionLabel = [&](int flag) { return numbering::divisionLabel(title.idSN, flag).value_or(std::string()); };

    html += pageHead(options);
    html += bodyTag(options);
    html += imageAnchor();

    const std::string idHN = idFN.substr(0, 3);
    if (kind == numbering::Article) {
        html += articleHeading(options, numbering::articleNumber(idFN).value_or(numbering::ArticleNumber{}),
                               doc_.lawName(idHN, 3));
    } else if (kind == numbering::Supplementary) {
        html += supplementaryHeading(options, doc_.lawName(idHN, 3));
    } else {
        html +=
            notificationHeading(options, numbering::notificationNumber(idFN).value_or(numbering::NotificationNumber{}),
                                doc_.lawName(idHN, 1));
    }

    if (kind == numbering::Article && division->chapter.number > 0) {
        html += text::format("<font style=\"font-size: %dpt; font-weight: bold; color: %s\">\n", options[FontSizeBasic],
                             htmlColor(options[FontColorJouSection]).c_str());
        auto caption = [&](const std::string& label, const std::string& name) {
            html += SJ("<div align=\"right\">第") + label + " " + name + "</div>\n";
        };
        caption(divisionLabel(numbering::ChapterLevel), title.chapter);
        if (division->section.number > 0) caption(divisionLabel(numbering::SectionLevel), title.section);
        if (division->subsection.number > 0) caption(divisionLabel(numbering::SubsectionLevel), title.subsection);
        if (division->division.number > 0) caption(divisionLabel(numbering::DivisionOnlyLevel), title.division);
        html += "</font>\n";
    }

    html += "<hr>\n<br>\n";
    if (kind == numbering::Article) html += abolishedLawNotice(idHN);

    if (!title.caption.empty()) {
        if (title.caption != SJ("なし")) {
            std::string caption = title.caption;
            if (title.split > 1) caption += SJ(" （") + text::format("%d/%d", splitPageNumber, title.split) + SJ("）");
            if (kind == numbering::Article)
                html += SJ("【") + caption + SJ("】") + "<br>\n";
            else if (kind == numbering::Notification)
                html += caption + "<br>\n";
        }
        if (kind != numbering::Supplementary) html += "<br>\n";
    }

    if (kind == numbering::Notification) {
        const numbering::NotificationNumber number =
            numbering::notificationNumber(idFN).value_or(numbering::NotificationNumber{});
        html += buildHistoryBlock(doc_, idFN, number.era, number.year, number.number, options[FontSizeBasic]);
    }

    const std::string indicator = title.split > 1 ? splitIndicator(doc_, idFN) : std::string();
    if (title.split > 1)
        html += indicator;
    else if (kind != numbering::Supplementary)
        html += "<br>\n<br>\n";

    if (title.large != 0 && !fullPage_) {
        html += largePageLink(idFN);
        doc_.addLargePage(idFN);
        return true;
    }

    if (!appendSentences(idFN, kind, html)) return false;
    if (doc_.citedByShown()) html += buildCitedByBlock(doc_, idFN);

    if (title.split > 1) html += indicator;
    html += "</body>\n</html>\n";
    return true;
}

void PageBuilder::insertCitedByBlock(const std::string& idFN, std::string& html) {
    // An appended table is a page of its own: the block goes after the
    // table, inside the body of its last piece.
    const std::string block = buildCitedByBlock(doc_, idFN);
    const size_t end = html.rfind("</body>");
    if (block.empty() || end == std::string::npos) return;
    html.insert(end, block);
}

bool PageBuilder::appendSentences(const std::string& idFN, numbering::PageKind kind, std::string& html) {
    // idFN has passed the identifier check in buildPage.
    const std::optional<std::string> sql = db::sql::sentencesByPrefix(idFN);
    if (!sql) {
        report(SJ("法文のタイプの識別ができませんでした。\n\n"));
        return false;
    }
    db::Recordset rs = doc_.connection().execute(*sql);
    if (rs.isEOF()) {
        rs.close();
        report(SJ("データベースのテーブル(T_文)内に法文データを\n見つけることができませんでした。\n\n"));
        return false;
    }
    SentenceRenderer renderer(doc_, kind);
    for (; !rs.isEOF(); rs.moveNext()) {
        SentenceRow row;
        row.idBN = rs.text("ID_BN");
        row.text = rs.text(SJ("法文"));
        row.formatCode = rs.text(SJ("書式コード"));
        row.hasTable = rs.int16(SJ("表式")) != 0;
        row.labelHidden = rs.int16(SJ("札抜")) != 0;
        row.hasReferences = rs.int16(SJ("参照")) != 0;
        row.hasFigures = rs.int16(SJ("図入")) != 0;
        html += renderer.render(row);
    }
    rs.close();
    return true;
}

bool PageBuilder::writePageFile(const std::string& idFN, const std::string& html) const {
    if (!db::isIdFN(idFN)) return false;
    const std::string path = doc_.tempFolder() + idFN + "." + "tmp";
    std::string bytes;
    bytes.reserve(html.size() + html.size() / 16);
    for (char c : html) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace tavrel::render
