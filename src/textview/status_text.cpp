#include "textview/status_text.h"

#include "document/numbering.h"
#include "text/sjis.h"
#include "textview/link_target.h"

namespace tavrel::textview {

SiteAddresses siteAddresses(const SupportAddresses& support) {
    SiteAddresses s;
    s.top = support.site;
    s.programHistory = support.programHistory;
    s.lawRevisions = support.lawRevisions;
    s.notificationRevisions = support.notificationRevisions;
    if (!support.mail.empty()) s.mail = "mailto:" + support.mail;
    return s;
}

std::string describePageLink(const std::string& url, const PageDescriptions& pages) {
    const std::string id = linkTarget(url);
    const auto kind = numbering::pageKind(id);
    if (!kind) return {};

    std::string marker;
    int number = 0, count = 0;
    if (pages.splitPage(id, number, count)) marker = text::format("(%d/%d)", number, count);
    std::string caption = pages.caption(id);

    const std::string law = pages.lawShortName(id.substr(0, 3));
    std::optional<std::string> title;
    std::string description;
    switch (*kind) {
        case numbering::Article:
            title = pages.articleHeading(id);
            if (title) description = law + " " + *title;
            break;
        case numbering::Supplementary:
            description = law + " " + SJ("附則");
            break;
        case numbering::Notification:
            title = pages.notificationTitle(id);
            if (title) description = *title;
            break;
        case numbering::AppendedTable:
            title = pages.tableTitle(id);
            if (title) description = law + " " + *title;
            break;
        case numbering::SpecialPage:
            break;
    }
    if (!marker.empty()) description += " " + marker;
    if (!caption.empty() && caption != SJ("なし")) {
        if (caption.size() > kStatusCaptionLimit) caption = text::safeCut(caption, kStatusCaptionLimit) + " ... ";
        description += SJ(" 「") + caption + SJ("」");
    }
    return description;
}

std::string statusTextFor(const std::string& status, const SiteAddresses& sites, const PageDescriptions& pages) {
    if (!sites.programHistory.empty() && status.rfind(sites.programHistory, 0) == 0)
        return SJ("ソラテの更新情報が掲載されているページです。");
    if (!sites.lawRevisions.empty() && status == sites.lawRevisions) return SJ("収録法令の改正履歴の掲載ページです。");
    if (!sites.notificationRevisions.empty() && status == sites.notificationRevisions)
        return SJ("収録告示の改正履歴の掲載ページです。");
    if (!sites.top.empty() && status == sites.top) return SJ("ソラテのサポートサイトのトップページです。");
    if (!sites.mail.empty() && status == sites.mail)
        return SJ("ご意見・ご要望・不具合のご報告は、メールでお寄せください。");

    const std::string upper = text::upperAscii(status);
    const auto has = [&upper](const char* part) { return upper.find(part) != std::string::npos; };
    if (has("00A-Z0090000")) return SJ("建築設計資料トップページ");
    if (has("00A-Z0090001")) return SJ("建築設計資料－断面性能表－等辺山形鋼");
    if (has("00A-Z0090002")) return SJ("建築設計資料－断面性能表－不等辺山形鋼");
    if (has("00A-Z0090003")) return SJ("建築設計資料－断面性能表－不等辺不等厚山形鋼");
    if (has("00A-Z0090004")) return SJ("建築設計資料－断面性能表－Ｉ 形鋼");
    if (has("00A-Z0090005")) return SJ("建築設計資料－断面性能表－溝形鋼");
    if (has("00A-Z0090006")) return SJ("建築設計資料－断面性能表－Ｈ 形鋼");
    if (upper.find(kPageLinkSuffix) != std::string::npos) return describePageLink(status, pages);
    return status;
}

}  // namespace tavrel::textview
