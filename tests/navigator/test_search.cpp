#include "document/options.h"
#include "navigator/search.h"
#include "text/sjis.h"

#include "library_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tavrel;
using namespace tavrel::nav;
using tavrel::testing::LibraryTest;

std::string cp(const std::string& utf8) { return text::fromUtf8(utf8); }
std::string u8(const std::string& cp932) { return text::toUtf8(cp932); }

class RecordingProgress : public SearchProgress {
  public:
    void open() override { calls.push_back("open"); }
    void start(int range) override { calls.push_back("start " + std::to_string(range)); }
    void step() override { ++steps; }
    void hide() override { calls.push_back("hide"); }
    void close() override { calls.push_back("close"); }
    std::vector<std::string> calls;
    int steps = 0;
};

// ---- The typed text ----

TEST(SearchText, FullWidthLettersAndDigitsBecomeAsciiCapitalsAndOtherCharactersStay) {
    EXPECT_EQ(u8(prepareSearchText(cp("  ａｂｃ　１２ xyz\t"))), "ABC　12 XYZ");
    EXPECT_EQ(u8(prepareSearchText(cp("ＡＺａｚ０９"))), "AZAZ09");
    // Neighbours of the converted runs and kana/kanji are left alone.
    EXPECT_EQ(u8(prepareSearchText(cp("＠［｀｛建築ｱｲ"))), "＠［｀｛建築ｱｲ");
}

TEST(SearchText, ForbiddenCharactersAreFoundOnlyAsWholeCharacters) {
    for (const char c : kForbiddenSearchChars) {
        EXPECT_TRUE(hasForbiddenSearchChar(cp("建築") + c + "A")) << c;
    }
    // The second byte of a double-byte character may have the value of a
    // backslash, "[", "]", "^", "|" or "~" (表, ソ, 構, 能 end in a backslash):
    // such characters are searched.
    for (const char* word : {"表", "ソ", "構", "能", "予", "十", "申"}) {
        const std::string w = cp(word);
        ASSERT_EQ(w.size(), 2u);
        ASSERT_EQ(w[1], '\\') << word;
        EXPECT_FALSE(hasForbiddenSearchChar(w)) << word;
        EXPECT_FALSE(hasForbiddenSearchChar("A" + w + "B")) << word;
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!text::isLeadByte(static_cast<unsigned char>(lead))) continue;
        for (const char trail : std::string("[]\\^|~")) {
            const std::string w{static_cast<char>(lead), trail};
            EXPECT_FALSE(hasForbiddenSearchChar(w)) << lead << " " << trail;
        }
    }
    // A lead byte at the very end is a character of its own; a forbidden
    // character right after a double-byte character is still found.
    EXPECT_FALSE(hasForbiddenSearchChar(std::string("A\x95")));
    EXPECT_TRUE(hasForbiddenSearchChar(cp("表") + "\\"));
    for (const char* word : {"50%", "A_B", "--", "(1)", "*", "@", "{}", "+=", ",.", "/"}) {
        EXPECT_FALSE(hasForbiddenSearchChar(word)) << word;
    }
}

TEST(SearchText, ForbiddenMessageListsEveryCharacterFollowedByTwoBlanks) {
    EXPECT_EQ(u8(forbiddenSearchMessage()),
              "次の文字が含まれる語句は検索できません。\n\n[  ]  <  >  \"  '  !  ?  |  :  ;  \\  #  $  &  ^  ~  ");
}

// ---- Identifier lists ----

TEST(IdentifierLists, UnionAndIntersectionKeepAscendingByteOrderAndEachIdentifierOnce) {
    const std::vector<std::string> a{"01A-00010000-00", "01A-00030000-00", "02A-00010000-00"};
    const std::vector<std::string> b{"01A-00030000-00", "01A-00040000-00", "02A-00010000-00", "03A-00010000-00"};
    EXPECT_EQ(unionSorted(a, b), (std::vector<std::string>{"01A-00010000-00", "01A-00030000-00", "01A-00040000-00",
                                                           "02A-00010000-00", "03A-00010000-00"}));
    EXPECT_EQ(intersectSorted(a, b), (std::vector<std::string>{"01A-00030000-00", "02A-00010000-00"}));
    EXPECT_EQ(unionSorted({}, b), b);
    EXPECT_TRUE(intersectSorted(a, {}).empty());
    EXPECT_EQ(intersectSorted(a, a), a);
}

TEST(IdentifierLists, AListOutOfOrderIsSortedAndRepeatsDropped) {
    std::vector<std::string> ids{"01A-F0000000-00", "01A-00020000-00", "01A-00020000-00", "01A-00010000-00"};
    makeSortedUnique(ids);
    EXPECT_EQ(ids, (std::vector<std::string>{"01A-00010000-00", "01A-00020000-00", "01A-F0000000-00"}));
    std::vector<std::string> repeatsInOrder{"A", "A", "B"};
    makeSortedUnique(repeatsInOrder);
    EXPECT_EQ(repeatsInOrder, (std::vector<std::string>{"A", "B"}));
}

// ---- Searching a collection ----

class SearchTest : public LibraryTest {
  protected:
    void standardCollection() {
        law("01A", "建築基準法");
        law("02A", "施行令");
        law("09A", "廃止された法", false);
        page("01A-00010000-00", "目的");
        page("01A-00020000-00", "用語の定義");
        page("01A-00030000-00", "適用の除外");
        page("01A-00040000-00", "隠された条", 0, false);
        page("02A-00010000-00", "敷地");
        page("09A-00010000-00", "耐火建築物");
        sentence(bn("01A-00010000-00"), "この法律は、建築物の敷地、構造、設備及び用途に関する最低の基準を定める。");
        sentence(bn("01A-00020000-00"), "建築物 土地に定着する工作物のうち、屋根及び柱若しくは壁を有するもの");
        sentence(bn("01A-00020000-00", 2), "耐火構造 壁、柱、床その他の建築物の部分の構造のうち");
        sentence(bn("01A-00030000-00"), "この法律の規定は、次の各号のいずれかに該当する建築物については、適用しない。");
        sentence(bn("01A-00040000-00"), "耐火構造の隠された規定");
        sentence(bn("02A-00010000-00"), "敷地は、これに接する道の境より高くしなければならない。");
        tablePiece(bn("02A-00010000-00"), 1, "区分 耐火構造 1時間");
    }
    std::vector<std::string> foundIds(SearchTab& tab) {
        std::vector<std::string> ids;
        for (const SearchRecord& r : tab.results().records()) ids.push_back(r.idFN);
        return ids;
    }
    std::string onlyMessage() {
        EXPECT_EQ(sink.shown().size(), 1u);
        return sink.shown().empty() ? std::string() : sink.shown().back().textUtf8();
    }
};

TEST_F(SearchTest, AWordIsFoundInCaptionsSentencesAndTablesOfShownPagesOnly) {
    standardCollection();
    start();
    SearchTab tab(*doc);
    EXPECT_EQ(tab.start(cp("耐火")), SearchOutcome::Searched);
    // 01A-0002: sentence; 02A-0001: only in its table; 01A-0004 is hidden and
    // 09A-0001 (caption) belongs to a law that is not shown.
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00020000-00", "02A-00010000-00"}));
    EXPECT_EQ(onlyMessage(), "2件見つかりました。");
    EXPECT_EQ(sink.shown()[0].captionUtf8(), "検索結果");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Information);

    sink.clear();
    EXPECT_EQ(tab.start(cp("定義")), SearchOutcome::Searched);  // caption only
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00020000-00"}));
    EXPECT_EQ(onlyMessage(), "1件見つかりました。");
}

TEST_F(SearchTest, SeveralWordsSelectThePagesHoldingEveryWord) {
    standardCollection();
    start();
    SearchTab tab(*doc);
    EXPECT_EQ(tab.start(cp("建築物　構造")), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00", "01A-00020000-00"}));
    sink.clear();
    EXPECT_EQ(tab.start(cp("建築物  構造 法律")), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00"}));

    // Each word found, but never in the same page: an empty result replaces
    // the earlier rows.
    sink.clear();
    EXPECT_EQ(tab.start(cp("定義 敷地")), SearchOutcome::Searched);
    EXPECT_TRUE(tab.results().records().empty());
    EXPECT_EQ(tab.results().size(), 0);
    EXPECT_EQ(onlyMessage(), "見つかりませんでした。");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Information);
}

TEST_F(SearchTest, FullWidthLettersDigitsAndBlanksAreSearchedAsAsciiWords) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "目的");
    page("01A-00020000-00", "定義");
    sentence(bn("01A-00010000-00"), "JIS ABC 12 による");
    sentence(bn("01A-00020000-00"), "ABC のみ");
    start();
    SearchTab tab(*doc);
    EXPECT_EQ(tab.start(cp("ａｂｃ　１２")), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00"}));
    EXPECT_EQ(u8(tab.lastSearchText()), "ABC　12");
    // ASCII small letters find capitals too.
    EXPECT_EQ(tab.start("abc"), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00", "01A-00020000-00"}));
}

TEST_F(SearchTest, ResultRowsCarryLawNameAndDesignationOfEveryPageKind) {
    law("01A", "建築基準法");
    law("01K", "告示");
    page("01A-00050000-00", "第五条");
    page("01A-00050200-00", "第五条の二");
    page("01A-F0000000-00", "附則（平成三〇年六月二七日法律第六七号）");
    page("01A-T0020000-00", "別表第二");
    page("01K-KD191234-00", "告示の本文");
    page("01K-KC050007-00", "古い告示");
    start();
    SearchTab tab(*doc);
    ASSERT_EQ(tab.start(cp("条")), SearchOutcome::Searched);
    std::vector<std::string> rows;
    for (const SearchRecord& r : tab.results().records())
        rows.push_back(r.idFN + " " + u8(r.lawName) + " " + u8(r.designation));
    EXPECT_EQ(rows, (std::vector<std::string>{"01A-00050000-00 建築基準法 5条", "01A-00050200-00 建築基準法 5条の2"}));

    ASSERT_EQ(tab.start(cp("告示")), SearchOutcome::Searched);
    rows.clear();
    for (const SearchRecord& r : tab.results().records()) rows.push_back(u8(r.lawName) + " " + u8(r.designation));
    EXPECT_EQ(rows, (std::vector<std::string>{"告示 昭5年 7号", "告示 平19年 1234号"}));

    ASSERT_EQ(tab.start(cp("附則")), SearchOutcome::Searched);
    ASSERT_EQ(tab.results().size(), 1);
    EXPECT_EQ(u8(tab.results().rows()[0].columns[1]), "附則（平成三〇年六月二七日法律第六七号）");
    ASSERT_EQ(tab.start(cp("別表")), SearchOutcome::Searched);
    ASSERT_EQ(tab.results().size(), 1);
    EXPECT_EQ(u8(tab.results().rows()[0].columns[0]), "建築基準法");
    EXPECT_EQ(u8(tab.results().rows()[0].columns[1]), "別表第2");
    EXPECT_EQ(tab.results().rows()[0].id, "01A-T0020000-00");
    EXPECT_EQ(tab.results().findRow("01A-T0020000-00"), 0);
}

TEST_F(SearchTest, APageOfASplitArticleShowsItsPageNumberAndCount) {
    law("01A", "建築基準法");
    page("01A-00200000-00", "構造耐力", 3);
    page("01A-00200000-01", "", 3);
    page("01A-00200000-02", "", 3);
    page("01A-00210000-00", "一頁だけ", 1);
    sentence(bn("01A-00200000-01"), "保有水平耐力の計算");
    sentence(bn("01A-00210000-00"), "保有水平耐力");
    start();
    SearchTab tab(*doc);
    ASSERT_EQ(tab.start(cp("保有水平耐力")), SearchOutcome::Searched);
    ASSERT_EQ(tab.results().size(), 2);
    EXPECT_EQ(u8(tab.results().records()[0].designation), "20条 (P.02/03)");
    EXPECT_EQ(u8(tab.results().records()[1].designation), "21条");
}

TEST_F(SearchTest, RejectedTextsShowTheirMessageAndLeaveTheEarlierRows) {
    standardCollection();
    start();
    RecordingProgress progress;
    SearchTab tab(*doc, &progress);
    ASSERT_EQ(tab.start(cp("耐火")), SearchOutcome::Searched);
    const auto before = foundIds(tab);
    progress.calls.clear();
    progress.steps = 0;

    struct Case {
        std::string typed, message;
    };
    for (const Case& c : {Case{"", "検索する語句を入力して下さい。"}, Case{" \t ", "検索する語句を入力して下さい。"},
                          Case{"耐火'構造", ""}, Case{"A[B", ""}, Case{"~", ""}, Case{"建築 #1", ""}}) {
        sink.clear();
        EXPECT_EQ(tab.start(cp(c.typed)), SearchOutcome::Rejected) << c.typed;
        ASSERT_EQ(sink.shown().size(), 1u) << c.typed;
        EXPECT_EQ(sink.shown()[0].captionUtf8(), "検索結果");
        EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(sink.shown()[0].text, c.message.empty() ? forbiddenSearchMessage() : cp(c.message));
        EXPECT_TRUE(tab.lastSearchText().empty());
        EXPECT_EQ(foundIds(tab), before);
    }
    EXPECT_TRUE(progress.calls.empty()) << "no progress window for a rejected text";

    // Four words: the three-word message, no query, no rows changed.
    sink.clear();
    EXPECT_EQ(tab.start(cp("建築物 構造 耐火 法律")), SearchOutcome::Failed);
    EXPECT_EQ(onlyMessage(), "検索できる単語は３個までです。");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"open", "close"}));
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(foundIds(tab), before);

    // Only full-width blanks: nothing to split, no message.
    sink.clear();
    progress.calls.clear();
    EXPECT_EQ(tab.start(cp("　　")), SearchOutcome::Failed);
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"open", "close"}));
    EXPECT_EQ(foundIds(tab), before);

    // Longer than 2048 bytes: no message, no search.
    EXPECT_EQ(tab.start(std::string(2049, 'A')), SearchOutcome::Failed);
    EXPECT_TRUE(sink.empty());
}

TEST_F(SearchTest, TheHiddenCodeAsksForTheHiddenPageInsteadOfSearching) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "7310582946");
    start();
    RecordingProgress progress;
    SearchTab tab(*doc, &progress);
    EXPECT_EQ(tab.start(cp(" ７３１０５８２９４６ ")), SearchOutcome::HiddenPage);
    EXPECT_TRUE(sink.empty());
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_TRUE(tab.lastSearchText().empty());
    EXPECT_EQ(tab.results().size(), 0);
    EXPECT_EQ(tab.start("7310582946 "), SearchOutcome::HiddenPage);
    // With another word it is an ordinary search.
    EXPECT_EQ(tab.start("7310582946 1"), SearchOutcome::Searched);
}

TEST_F(SearchTest, TheProgressBarRunsSixStepsPerWord) {
    standardCollection();
    start();
    RecordingProgress progress;
    SearchTab tab(*doc, &progress);
    ASSERT_EQ(tab.start(cp("建築物 構造")), SearchOutcome::Searched);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"open", "start 12", "hide", "close"}));
    EXPECT_EQ(progress.steps, 12);
}

// A list on screen must show the new rows before the count message appears.
TEST_F(SearchTest, TheRowsAreAnnouncedBeforeTheCountMessage) {
    standardCollection();
    start();
    struct Watcher : SearchProgress {
        const tavrel::testing::FakeMessageSink* sink = nullptr;
        const ListRows* rows = nullptr;
        int calls = 0, rowsSeen = -1;
        size_t messagesSeen = 99;
        void rowsReplaced() override {
            ++calls;
            rowsSeen = rows->size();
            messagesSeen = sink->shown().size();
        }
    } watcher;
    SearchTab tab(*doc, &watcher);
    watcher.sink = &sink;
    watcher.rows = &tab.results();
    ASSERT_EQ(tab.start(cp("建築物")), SearchOutcome::Searched);
    EXPECT_EQ(watcher.calls, 1);
    EXPECT_EQ(watcher.rowsSeen, tab.results().size());
    EXPECT_GT(watcher.rowsSeen, 0);
    EXPECT_EQ(watcher.messagesSeen, 0u);
    EXPECT_EQ(sink.shown().size(), 1u);
    // A rejected text replaces nothing and announces nothing.
    sink.clear();
    EXPECT_EQ(tab.start(cp("A B C D")), SearchOutcome::Failed);
    EXPECT_EQ(watcher.calls, 1);
}

TEST_F(SearchTest, WildcardsQuotesAndCommentMarksOfAWordAreOrdinaryCharacters) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "一");
    page("01A-00020000-00", "二");
    page("01A-00030000-00", "三");
    page("01A-00040000-00", "四");
    page("01A-00050000-00", "五");
    sentence(bn("01A-00010000-00"), "勾配が50%以上");
    sentence(bn("01A-00020000-00"), "勾配が500以上");
    sentence(bn("01A-00030000-00"), "記号A_Bを用いる");
    sentence(bn("01A-00040000-00"), "記号AXBを用いる");
    tablePiece(bn("01A-00050000-00"), 1, "区分--注");
    sentence(bn("01A-00050000-00"), "表のとおり");
    start();
    SearchTab tab(*doc);
    ASSERT_EQ(tab.start("50%"), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00"}));
    ASSERT_EQ(tab.start("a_b"), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00030000-00"}));
    ASSERT_EQ(tab.start("%"), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00010000-00"}));
    ASSERT_EQ(tab.start("--"), SearchOutcome::Searched);  // found only in a table
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00050000-00"}));
    ASSERT_EQ(tab.start("_"), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00030000-00"}));
    // A word that would close the literal never reaches a statement.
    std::vector<std::string> ids{"kept"};
    EXPECT_FALSE(tab.results().searchOneWord("X' OR '1'='1", ids));
    EXPECT_TRUE(ids.empty());
    // Characters whose second byte is a backslash are searched.
    ASSERT_EQ(tab.start(cp("表")), SearchOutcome::Searched);
    EXPECT_EQ(foundIds(tab), (std::vector<std::string>{"01A-00050000-00"}));
}

TEST_F(SearchTest, ADatabaseErrorIsReportedOnceAndTheRowsStay) {
    standardCollection();
    start();
    RecordingProgress progress;
    SearchTab tab(*doc, &progress);
    // The statements themselves must fail here: the in-memory index, read at
    // the first search, would not see the table dropped afterwards.
    tab.results().setIndexEnabled(false);
    ASSERT_EQ(tab.start(cp("耐火")), SearchOutcome::Searched);
    const auto before = foundIds(tab);
    db->exec("DROP TABLE T_表");
    sink.clear();
    progress.calls.clear();
    progress.steps = 0;
    EXPECT_EQ(tab.start(cp("建築物 構造")), SearchOutcome::Failed);
    ASSERT_EQ(sink.shown().size(), 1u) << "one report, no count message, the second word not searched";
    EXPECT_EQ(sink.shown()[0].captionUtf8(), "全文検索");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Error);
    const std::string text = sink.shown()[0].textUtf8();
    const std::string tail = "\t関数 = TListSch::_search_in_all_pages_sub()";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(progress.steps, 6);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"open", "start 12", "hide", "close"}));
    EXPECT_EQ(foundIds(tab), before);
    EXPECT_EQ(tab.results().size(), static_cast<int>(before.size()));
}

// ---- Emphasis in the shown page ----

class MarkingView : public PageViewPartner {
  public:
    std::string currentPageId() const override { return {}; }
    void setRestorePosition(int, int) override {}
    bool showPage(const std::string&) override { return true; }
    void colorAnchors() override {}
    void setReshow() override {}
    void clearPageCache() override {}
    void printPage(int) override {}
    std::string currentMarks() const override { return marks; }
    int markWords(const std::string& words, int flag) override {
        calls.push_back(u8(words) + (flag ? " clear" : " mark"));
        marks = flag ? std::string() : words;
        return 1;
    }
    std::string runSearchDialog(const std::string& text) override { return text; }
    std::string marks;
    std::vector<std::string> calls;
};

TEST_F(SearchTest, EmphasisClearsTheOldMarksAndMarksTheLastSearchWhenOn) {
    standardCollection();
    start();
    SearchTab tab(*doc);
    MarkingView view;
    view.marks = cp("以前の語");
    EXPECT_EQ(tab.emphasise(view, true), 0) << "no search yet";
    EXPECT_EQ(view.calls, (std::vector<std::string>{"以前の語 clear"}));

    ASSERT_EQ(tab.start(cp("ｂ　耐火")), SearchOutcome::Searched);
    view.calls.clear();
    EXPECT_EQ(tab.emphasise(view, true), 1);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"B　耐火 mark"})) << "the prepared text, as searched";
    view.calls.clear();
    EXPECT_EQ(tab.emphasise(view, false), 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"B　耐火 clear"}));
}

// ---- Recent searches ----

TEST_F(SearchTest, RecentSearchesAreReadOnceKeepTheLastTypedFormOnTopAndHoldTen) {
    standardCollection();
    start();
    settings.writeText(kSettingsSection, "SearchTarget-01", cp("耐火"));
    settings.writeText(kSettingsSection, "SearchTarget-02", "abc");
    settings.writeText(kSettingsSection, "SearchTarget-04", "after a gap");
    SearchTab tab(*doc);
    tab.fillRecent();
    EXPECT_EQ(tab.recentEntries(), (std::vector<std::string>{cp("耐火"), "abc"}));
    settings.writeText(kSettingsSection, "SearchTarget-03", "late");
    tab.fillRecent();
    EXPECT_EQ(tab.recentEntries().size(), 2u) << "read once per process";

    tab.recordRecent("ABC");
    EXPECT_EQ(tab.recentEntries(), (std::vector<std::string>{"ABC", cp("耐火")}));
    EXPECT_EQ(settings.readText(kSettingsSection, "SearchTarget-01", ""), "ABC");
    EXPECT_EQ(settings.readText(kSettingsSection, "SearchTarget-02", ""), cp("耐火"));
    tab.recordRecent("");
    EXPECT_EQ(tab.recentEntries().size(), 2u);

    // Ten newer searches push both out; the newest is on top.
    for (int i = 1; i <= 11; ++i) tab.recordRecent("word" + std::to_string(i));
    ASSERT_EQ(tab.recentEntries().size(), 10u);
    EXPECT_EQ(tab.recentEntries().front(), "word11");
    EXPECT_EQ(tab.recentEntries().back(), "word2");
    EXPECT_EQ(settings.readText(kSettingsSection, "SearchTarget-01", ""), "word11");
    EXPECT_EQ(settings.readText(kSettingsSection, "SearchTarget-10", ""), "word2");
}

}  // namespace
