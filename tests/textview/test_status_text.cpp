// Status-bar texts for hovered links.
#include "text/sjis.h"
#include "textview/status_text.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace tavrel::textview {
namespace {

class FakePages : public PageDescriptions {
  public:
    std::string lawShortName(const std::string& idHN) const override {
        return idHN == "01A" ? text::fromUtf8("建基法") : std::string();
    }
    std::optional<std::string> articleHeading(const std::string& idFN) const override {
        if (idFN == "01A-00030000-00") return text::fromUtf8("第三条");
        return std::nullopt;
    }
    std::optional<std::string> notificationTitle(const std::string& idFN) const override {
        if (idFN == "01A-K0010000-00") return text::fromUtf8("平成12年建設省告示第1399号");
        return std::nullopt;
    }
    std::optional<std::string> tableTitle(const std::string& idFN) const override {
        if (idFN == "01A-T0010000-00") return text::fromUtf8("別表第一");
        return std::nullopt;
    }
    std::string caption(const std::string& idFN) const override {
        const auto it = captions.find(idFN);
        return it == captions.end() ? std::string() : it->second;
    }
    bool splitPage(const std::string& idFN, int& number, int& count) const override {
        if (idFN != split) return false;
        number = 2;
        count = 3;
        return true;
    }
    std::map<std::string, std::string> captions;
    std::string split;
};

class StatusTextTest : public ::testing::Test {
  protected:
    std::string status(const std::string& s) { return text::toUtf8(statusTextFor(s, sites, pages)); }
    static SupportAddresses installed() {
        SupportAddresses a;
        a.site = "https://support.test/";
        a.programHistory = "https://support.test/history";
        a.lawRevisions = "https://support.test/laws.html";
        a.notificationRevisions = "https://support.test/notifications.html";
        a.mail = "author@support.test";
        return a;
    }
    SiteAddresses sites = siteAddresses(installed());
    FakePages pages;
};

TEST_F(StatusTextTest, SupportSiteAddressesGetTheirSentences) {
    EXPECT_EQ(status("https://support.test/history/2008.html"), "ソラテの更新情報が掲載されているページです。");
    EXPECT_EQ(status("https://support.test/laws.html"), "収録法令の改正履歴の掲載ページです。");
    EXPECT_EQ(status("https://support.test/notifications.html"), "収録告示の改正履歴の掲載ページです。");
    EXPECT_EQ(status("https://support.test/"), "ソラテのサポートサイトのトップページです。");
    EXPECT_EQ(status("mailto:author@support.test"), "ご意見・ご要望・不具合のご報告は、メールでお寄せください。");
    // Only the exact addresses, except for the history prefix.
    EXPECT_EQ(status("https://support.test/other.html"), "https://support.test/other.html");
    EXPECT_EQ(status("https://example.org/"), "https://example.org/");
    EXPECT_EQ(status(""), "");
}

// With no addresses set (the default) no link is taken for one of them.
TEST_F(StatusTextTest, WithoutAddressesEveryLinkShowsItself) {
    sites = siteAddresses(SupportAddresses{});
    for (const std::string& url : {std::string("https://support.test/"), std::string("mailto:"),
                                   std::string("mailto:author@support.test"), std::string("")})
        EXPECT_EQ(status(url), url);
}

TEST_F(StatusTextTest, DesignDataPagesAreNamedInAnyCase) {
    EXPECT_EQ(status("http://00a-z0090000_tavrel/"), "建築設計資料トップページ");
    EXPECT_EQ(status("http://00A-Z0090003-00_TAVREL"), "建築設計資料－断面性能表－不等辺不等厚山形鋼");
    EXPECT_EQ(status("http://00A-Z0090006_TAVREL"), "建築設計資料－断面性能表－Ｈ 形鋼");
}

TEST_F(StatusTextTest, PageLinksDescribeTheirTarget) {
    EXPECT_EQ(status("http://01a-00030000_tavrel/"), "建基法 第三条");
    EXPECT_EQ(status("http://01A-F0010000-00_TAVREL"), "建基法 附則");
    EXPECT_EQ(status("http://01A-K0010000-00_TAVREL"), "平成12年建設省告示第1399号");
    EXPECT_EQ(status("http://01A-T0010000-00_TAVREL"), "建基法 別表第一");
}

TEST_F(StatusTextTest, SplitMarkerAndCaptionAreAppended) {
    pages.split = "01A-00030000-00";
    pages.captions["01A-00030000-00"] = text::fromUtf8("（適用の除外）");
    EXPECT_EQ(status("http://01A-00030000-00_TAVREL"), "建基法 第三条 (2/3) 「（適用の除外）」");
    pages.captions["01A-00030000-00"] = text::fromUtf8("なし");
    EXPECT_EQ(status("http://01A-00030000-00_TAVREL"), "建基法 第三条 (2/3)");
}

TEST_F(StatusTextTest, UnknownOrSpecialTargetsGiveAnEmptyText) {
    EXPECT_EQ(status("http://01A-00990000-00_TAVREL"), "");  // no heading
    EXPECT_EQ(status("http://00A-Z0010000-00_TAVREL"), "");  // special page
    EXPECT_EQ(status("http://01A-0003_TAVREL"), "");         // no identifier
}

TEST_F(StatusTextTest, CaptionIsCutAfter180Bytes) {
    const std::string id = "01A-00030000-00";
    const std::string url = "http://" + id + "_TAVREL";
    const std::string head = "建基法 第三条 「";

    pages.captions[id] = std::string(180, 'x');
    EXPECT_EQ(status(url), head + std::string(180, 'x') + "」");

    pages.captions[id] = std::string(181, 'x');
    EXPECT_EQ(status(url), head + std::string(180, 'x') + " ... 」");

    // Byte 180 would split a double-byte character: 179 bytes are kept.
    pages.captions[id] = std::string(179, 'x') + text::fromUtf8("条");
    EXPECT_EQ(status(url), head + std::string(179, 'x') + " ... 」");
}

}  // namespace
}  // namespace tavrel::textview
