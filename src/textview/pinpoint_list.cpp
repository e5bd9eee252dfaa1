#include "textview/pinpoint_list.h"

#include "database/identifiers.h"
#include "database/report.h"
#include "database/sql_texts.h"
#include "document/document.h"
#include "text/sjis.h"
#include "textview/pinpoint.h"

namespace tavrel::textview {

namespace {

constexpr const char* kOperation = "CPinPointDlg::_show()";

struct LabelRule {
    bool labelled = false;
    int flag = 0;
    int indent = 0;
};

// Articles and supplementary provisions; numbered = the article has numbered
// paragraphs (a row of level 1).
LabelRule articleRule(int level, bool numbered) {
    switch (level) {
        case 0:
            return numbered ? LabelRule{true, 2, 0} : LabelRule{};
        case 1:
            return {true, 2, 0};
        case 2:
        case 3:
        case 4:
        case 5:
            return {true, 1 << level, level - 2 + (numbered ? 1 : 0)};
        default:
            return {};
    }
}

// Notifications; deeper = no level-1 row without its label has come yet.
LabelRule notificationRule(int level, int tagOff, bool deeper) {
    if (level == 1) return tagOff != 0 ? LabelRule{} : LabelRule{true, 8, 0};
    if (level >= 2 && level <= 6) return {true, 1 << (level + 2), level - 2 + (deeper ? 1 : 0)};
    if (level >= 9 && level <= 12) return {true, 1 << (level + 2), 0};
    return {};
}

bool hasVisibleText(const std::string& label) {
    std::string copy = text::replaceAll(label, SJ("　"), "");
    copy = text::replaceAll(copy, " ", "");
    copy = text::replaceAll(copy, "-", "");
    return !copy.empty();
}

std::string indentation(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += SJ("　");
    return s;
}

}  // namespace

std::optional<std::vector<PinPointItem>> pinPointItems(numbering::PageKind kind, const std::string& target,
                                                       const std::vector<PinPointRow>& rows, const std::string& marker,
                                                       const numbering::SupplementLookup& supplement) {
    const bool notification = kind == numbering::Notification;
    if (!notification && kind != numbering::Article && kind != numbering::Supplementary) return std::nullopt;

    std::vector<int> levels;
    levels.reserve(rows.size());
    bool numbered = false;
    for (const auto& row : rows) {
        const auto level =
            notification ? numbering::notificationElementLevel(row.idBN) : numbering::articleElementLevel(row.idBN);
        if (!level) return std::nullopt;
        levels.push_back(*level);
        if (*level == 1) numbered = true;
    }

    std::vector<PinPointItem> items;
    items.push_back({SJ("頁トップ"), target, marker.empty()});
    bool deeper = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        LabelRule rule;
        if (notification) {
            if (levels[i] == 1 && row.tagOff != 0) deeper = false;
            rule = notificationRule(levels[i], row.tagOff, deeper);
        } else {
            rule = articleRule(levels[i], numbered);
        }
        if (!rule.labelled) continue;
        const auto label =
            notification ? numbering::notificationElementLabel(row.idBN, rule.flag, row.formatCode, true, supplement)
                         : numbering::articleElementLabel(row.idBN, rule.flag, row.formatCode, true, supplement);
        const std::string text = indentation(rule.indent) + label.value_or(std::string());
        if (!hasVisibleText(text)) continue;
        items.push_back({text, row.idBN, !marker.empty() && row.idBN == marker});
    }
    return items;
}

PinPointList buildPinPointList(Document& doc, const std::string& anchorId, const std::string& target) {
    PinPointList out;
    const auto kind = numbering::pageKind(target);
    if (!kind || (*kind != numbering::Article && *kind != numbering::Notification && *kind != numbering::Supplementary))
        return out;
    const std::string marker = currentMarker(doc, anchorId);
    const auto sql = db::sql::sentencesByPrefix(std::string_view(target).substr(0, db::kIdFNPrefixLength));
    if (!sql) return out;

    std::vector<PinPointRow> rows;
    try {
        auto rs = doc.connection().execute(*sql);
        const std::string formatField = SJ("書式コード");
        const std::string tagField = SJ("札抜");
        while (!rs.isEOF()) {
            // A row without its identifier or format code ends the rows.
            if (rs.isNull("ID_BN") || rs.isNull(formatField)) break;
            rows.push_back({rs.text("ID_BN"), rs.text(formatField), rs.int16(tagField)});
            rs.moveNext();
        }
    } catch (const db::DbError& e) {
        db::report(doc.messages(), SJ("選択ジャンプ用のダイアログを表示"), kOperation,
                   db::errorObjectBody(e.error(), db::ReportIndent::Indented), db::ReportIndent::Indented);
        out.result = 0;
        return out;
    } catch (...) {
        db::report(doc.messages(), SJ("選択ジャンプ用のダイアログを表示"), kOperation, db::unexpectedExceptionBody(),
                   db::ReportIndent::Indented);
        out.result = 0;
        return out;
    }

    const auto supplement = [&doc](const std::string& idFN) {
        ArticleInfo info;
        return doc.articleInfo(idFN, info) ? info.supplement : std::string();
    };
    auto items = pinPointItems(*kind, target, rows, marker, supplement);
    // A sentence the element analysis cannot read: no list; the ordinary
    // context menu opens instead.
    if (!items) return out;

    out.result = 1;
    if (items->size() > 1) {
        out.items = std::move(*items);
        for (size_t i = 0; i < out.items.size(); ++i)
            if (out.items[i].current) out.currentIndex = static_cast<int>(i);
    } else if (!rows.empty()) {
        out.directPage = pinPointItemPage(rows.back().idBN);
    }
    return out;
}

PinPointListGeometry pinPointListGeometry(int x, int y, int widestText, int itemHeight, int itemCount, int maxHeight,
                                          int borderWidth, int scrollBarWidth) {
    PinPointListGeometry g;
    g.x = x;
    g.y = y + 10;
    g.columnWidth = widestText + 32;
    const long long full = (static_cast<long long>(itemHeight) + 1) * itemCount + 2;
    g.scrollBar = full > maxHeight;
    g.height = static_cast<int>(g.scrollBar ? maxHeight : full);
    g.width = g.columnWidth + 2 * borderWidth + (g.scrollBar ? scrollBarWidth : 0);
    return g;
}

std::string pinPointItemPage(const std::string& data) { return data.substr(0, db::kIdFNLength); }

}  // namespace tavrel::textview
