// Page-link addresses, as the page builder writes them and as the browser
// hands them back, and the words of a search text.
#include "text/sjis.h"
#include "textview/link_target.h"
#include "textview/search_words.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrel::textview {
namespace {

struct LinkCase {
    const char* url;
    const char* target;
};

class LinkTargetTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkTargetTest, Target) { EXPECT_EQ(linkTarget(GetParam().url), GetParam().target); }

INSTANTIATE_TEST_SUITE_P(Addresses, LinkTargetTest,
                         ::testing::Values(
                             // As written by the builder.
                             LinkCase{"http://01A-00030000-00_TAVREL", "01A-00030000-00"},
                             LinkCase{"http://01A-00030000_TAVREL", "01A-00030000-00"},
                             // As the browser reports them: host lower-cased, "/" appended.
                             LinkCase{"http://01a-00030000-00_tavrel/", "01A-00030000-00"},
                             LinkCase{"http://01a-00030000_tavrel/", "01A-00030000-00"},
                             LinkCase{"http://01a-00030000_tavrel///", "01A-00030000-00"},
                             // An identifier ending in a letter of the suffix keeps that letter.
                             LinkCase{"http://01A-0003000A_TAVREL", "01A-0003000A-00"},
                             LinkCase{"http://01a-0003000e_tavrel/", "01A-0003000E-00"},
                             // Wrong lengths give no target.
                             LinkCase{"http://01A-0003000_TAVREL", ""}, LinkCase{"http://01A-00030000-0_TAVREL", ""},
                             LinkCase{"http://_TAVREL", ""},
                             // Not a page link.
                             LinkCase{"http://01A-00030000-00", ""},
                             LinkCase{"https://example.org/01A-00030000-00/", ""}));

TEST(PageLink, RecognisedInAnyCase) {
    EXPECT_TRUE(isPageLink("http://01a-00030000_tavrel/"));
    EXPECT_TRUE(isPageLink("HTTP://01A-00030000-00_TAVREL"));
    EXPECT_FALSE(isPageLink("https://tavrel.example.org/support/"));
    EXPECT_FALSE(isPageLink("about:blank"));
}

std::vector<std::string> words(const std::string& utf8, bool* result = nullptr) {
    std::vector<std::string> out;
    const bool r = splitSearchWords(text::fromUtf8(utf8), out);
    if (result) *result = r;
    for (auto& w : out) w = text::toUtf8(w);
    return out;
}

TEST(SearchWords, SplitsAtBlanksAndIdeographicSpaces) {
    bool ok = false;
    EXPECT_EQ(words("　建築物　 延べ面積  高さ ", &ok), (std::vector<std::string>{"建築物", "延べ面積", "高さ"}));
    EXPECT_TRUE(ok);
}

TEST(SearchWords, EmptyOrOverlongTextGivesNothing) {
    bool ok = true;
    EXPECT_TRUE(words("　 　", &ok).empty());
    EXPECT_FALSE(ok);
    std::vector<std::string> out;
    EXPECT_TRUE(splitSearchWords(std::string(2048, 'a'), out));
    out.clear();
    EXPECT_FALSE(splitSearchWords(std::string(2049, 'a'), out));
    EXPECT_TRUE(out.empty());
}

TEST(SearchWords, AppendsToWordsAlreadyInTheList) {
    std::vector<std::string> out{"x"};
    EXPECT_TRUE(splitSearchWords("a b", out));
    EXPECT_EQ(out, (std::vector<std::string>{"x", "a", "b"}));
}

TEST(SearchWords, NormalisesWidthAndCase) {
    std::string s = text::fromUtf8("ａｂｃＸＹＺ０９abc建築９条");
    normaliseSearchText(s);
    EXPECT_EQ(text::toUtf8(s), "ABCXYZ09ABC建築9条");
    // A trail byte that looks like "a" stays part of its character.
    std::string t = text::fromUtf8("ヂa");
    normaliseSearchText(t);
    EXPECT_EQ(text::toUtf8(t), "ヂA");
}

}  // namespace
}  // namespace tavrel::textview
