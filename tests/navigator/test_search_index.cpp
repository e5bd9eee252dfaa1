// The in-memory search index against the three search statements: the same
// pages for every word, on small collections made to trip a byte-wise scan,
// on the sample collection and on a scaled copy of it.
#include "navigator/search.h"
#include "navigator/search_index.h"
#include "text/sjis.h"

#include "library_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifdef TAVREL_HAVE_COLLECTION_GENERATOR
#include "collection_generator.h"
#endif

namespace {

using namespace tavrel;
using namespace tavrel::nav;
using tavrel::testing::FakeMessageSink;
using tavrel::testing::LibraryTest;
using tavrel::testing::TempDir;

std::string cp(const std::string& utf8) { return text::fromUtf8(utf8); }

// The pages of one word by the statements and by the index.
struct BothPaths {
    explicit BothPaths(Document& doc) : reference(doc), indexed(doc) { reference.setIndexEnabled(false); }

    std::vector<std::string> byStatements(const std::string& word) {
        std::vector<std::string> ids;
        EXPECT_TRUE(reference.searchOneWord(word, ids)) << text::toUtf8(word);
        return ids;
    }
    std::vector<std::string> byIndex(const std::string& word) {
        std::vector<std::string> ids;
        EXPECT_TRUE(indexed.searchOneWord(word, ids)) << text::toUtf8(word);
        return ids;
    }
    // Every word alone, then the words two and three at a time (the result
    // rows of a whole search).
    void expectSame(const std::vector<std::string>& words) {
        ASSERT_TRUE(indexed.prepareIndex());
        size_t nonEmpty = 0;
        for (const std::string& w : words) {
            const auto expected = byStatements(w);
            EXPECT_EQ(byIndex(w), expected) << "word " << text::toUtf8(w);
            nonEmpty += !expected.empty();
        }
        EXPECT_GT(nonEmpty, 0u) << "the words find something";
        for (size_t i = 0; i + 2 < words.size(); i += 3) {
            for (const std::string& text :
                 {words[i] + " " + words[i + 1], words[i] + " " + words[i + 1] + " " + words[i + 2]}) {
                const bool a = reference.searchAllPages(text);
                const bool b = indexed.searchAllPages(text);
                ASSERT_EQ(a, b) << text::toUtf8(text);
                std::vector<std::string> ra, rb;
                for (const auto& r : reference.records()) ra.push_back(r.idFN + r.lawName + r.designation);
                for (const auto& r : indexed.records()) rb.push_back(r.idFN + r.lawName + r.designation);
                EXPECT_EQ(rb, ra) << "search " << text::toUtf8(text);
            }
        }
    }

    SearchResults reference, indexed;
};

// ---- Collections made to trip a byte-wise scan ----

class SearchIndexTest : public LibraryTest {};

TEST_F(SearchIndexTest, SecondBytesOfDoubleByteCharactersAreNeverTheStartOfAMatch) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "目的");
    page("01A-00020000-00", "定義");
    page("01A-00030000-00", "適用");
    // "ア" ends in the byte of "A", "ヂ" in the byte of "a"; "亜唖" holds, one
    // byte in, the two bytes of another character.
    sentence(bn("01A-00010000-00"), "ア");
    sentence(bn("01A-00020000-00"), "ヂ");
    sentence(bn("01A-00030000-00"), "亜唖");
    // Characters CP932 lacks (beyond the plane, accented letters) beside
    // half-width katakana and kanji.
    page("01A-00040000-00", "混在");
    sentence(bn("01A-00040000-00"), "😀ｱｲ建築é");
    start();
    const std::string shifted = cp("亜唖").substr(1, 2);
    ASSERT_TRUE(text::isLeadByte(shifted[0]));
    ASSERT_EQ(cp("ア")[1], 'A');
    ASSERT_EQ(cp("ヂ")[1], 'a');

    BothPaths paths(*doc);
    for (const std::string& w :
         {std::string("A"), std::string("a"), cp("ア"), shifted, cp("亜"), cp("唖"), cp("ｱｲ"), cp("ｲ建"), cp("築")})
        EXPECT_EQ(paths.byIndex(w), paths.byStatements(w)) << text::toUtf8(w);
    EXPECT_TRUE(paths.byIndex("A").empty()) << "the A inside ア is not a letter A";
    EXPECT_TRUE(paths.byIndex(shifted).empty());
    // ASCII capitals are made only of letters: ヂ does not turn into ア.
    EXPECT_EQ(paths.byIndex(cp("ア")), (std::vector<std::string>{"01A-00010000-00"}));
    EXPECT_EQ(paths.byIndex(cp("唖")), (std::vector<std::string>{"01A-00030000-00"}));
    EXPECT_EQ(paths.byIndex(cp("ｲ建")), (std::vector<std::string>{"01A-00040000-00"}));
}

TEST_F(SearchIndexTest, OnlyDisplayedPagesOfDisplayedLawsAreFoundInCaptionsSentencesAndTables) {
    law("01A", "建築基準法");
    law("09A", "非表示の法令", false);
    page("01A-00010000-00", "目的 rc造");
    page("01A-00020000-00", "隠れた条", 0, false);
    page("01A-00030000-00", "表の条");
    page("09A-00010000-00", "隠れた法の条");
    sentence(bn("01A-00010000-00"), "建築物の構造");
    sentence(bn("01A-00020000-00"), "建築物の構造");
    sentence(bn("01A-00030000-00", 1), "本文");
    sentence(bn("01A-00030000-00", 2), "本文の続き");
    tablePiece(bn("01A-00030000-00", 1), 1, "免震材料 構造");
    tablePiece(bn("01A-00030000-00", 1), 2, "SRC");
    sentence(bn("09A-00010000-00"), "建築物の構造");
    // A page named with a character beyond ASCII: its sentences are the
    // rows whose first 15 characters (not bytes) name it.
    page("01A-0005000Ｘ-00", "変な名前の条");
    sentence(bn("01A-0005000Ｘ-00"), "免震材料");
    // A sentence whose page is missing belongs to no page.
    sentence(bn("01A-00990000-00"), "建築物の構造");
    start();

    BothPaths paths(*doc);
    const std::vector<std::string> words{cp("構造"), cp("免震材料"), "SRC",        "RC",
                                         "rc",       "Rc造",         cp("隠れた"), cp("本文"),
                                         cp("の続"), cp("条"),       cp("無い語"), cp("目的 rc")};
    for (const std::string& w : words) EXPECT_EQ(paths.byIndex(w), paths.byStatements(w)) << text::toUtf8(w);
    EXPECT_EQ(paths.byIndex(cp("構造")), (std::vector<std::string>{"01A-00010000-00", "01A-00030000-00"}));
    EXPECT_EQ(paths.byIndex("rc"), (std::vector<std::string>{"01A-00010000-00", "01A-00030000-00"}))
        << "ASCII letters without case, in captions and tables";
    EXPECT_TRUE(paths.byIndex(cp("隠れた")).empty());
    EXPECT_EQ(paths.byIndex(cp("免震材料")), (std::vector<std::string>{"01A-00030000-00", cp("01A-0005000Ｘ-00")}));
    // A word is found inside one field, never across two.
    EXPECT_TRUE(paths.byIndex(cp("本文本文")).empty());
    EXPECT_TRUE(paths.byIndex(cp("材料 構造SRC")).empty());
}

TEST_F(SearchIndexTest, WordsTheIndexCannotServeGoToTheStatementsAndTheProgressStepsStay) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "目的");
    page("01A-00020000-00", "定義");
    sentence(bn("01A-00010000-00"), "50%以上");
    sentence(bn("01A-00020000-00"), "500以上 A_B");
    start();
    EXPECT_FALSE(SearchIndex::serves("50%"));
    EXPECT_FALSE(SearchIndex::serves("A_B"));
    EXPECT_FALSE(SearchIndex::serves(std::string("A\0B", 3)));
    EXPECT_FALSE(SearchIndex::serves(""));
    EXPECT_TRUE(SearchIndex::serves(cp("建築")));

    BothPaths paths(*doc);
    EXPECT_EQ(paths.byIndex("50%"), (std::vector<std::string>{"01A-00010000-00"}));
    EXPECT_EQ(paths.byIndex("A_B"), (std::vector<std::string>{"01A-00020000-00"}));

    struct Steps : SearchProgress {
        void start(int range) override { calls.push_back("start " + std::to_string(range)); }
        void step() override { ++steps; }
        std::vector<std::string> calls;
        int steps = 0;
    } progress;
    paths.indexed.setProgress(&progress);
    ASSERT_TRUE(paths.indexed.searchAllPages(cp("以上 50")));
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"start 12"}));
    EXPECT_EQ(progress.steps, 12);
    EXPECT_EQ(paths.indexed.records().size(), 2u);
    ASSERT_NE(paths.indexed.index(), nullptr);
    EXPECT_EQ(paths.indexed.index()->pageCount(), 2u);
}

TEST_F(SearchIndexTest, ADatabaseThatCannotBeReadAtTheFirstSearchIsReportedByTheStatements) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "目的");
    sentence(bn("01A-00010000-00"), "建築物");
    start();
    db->exec("DROP TABLE T_表");
    for (const bool background : {false, true}) {
        sink.clear();
        SearchResults list(*doc);
        if (background) list.startIndexRead();
        EXPECT_FALSE(list.searchAllPages(cp("建築物")));
        EXPECT_EQ(list.index(), nullptr);
        ASSERT_EQ(sink.shown().size(), 1u) << "background " << background;
        EXPECT_EQ(sink.shown()[0].captionUtf8(), "全文検索");
        EXPECT_NE(sink.shown()[0].textUtf8().find("TListSch::_search_in_all_pages_sub()"), std::string::npos);
    }
}

// The index read on a worker thread (through its own connection) serves the
// first search; a search started before the read has ended waits for it.
TEST_F(SearchIndexTest, AnIndexReadInTheBackgroundServesTheFirstSearch) {
    law("01A", "建築基準法");
    page("01A-00010000-00", "目的");
    page("01A-00020000-00", "定義");
    sentence(bn("01A-00010000-00"), "建築物の敷地");
    sentence(bn("01A-00020000-00"), "建築物 50%以上");
    start();
    BothPaths paths(*doc);
    std::atomic<int> done{0};
    paths.indexed.startIndexRead([&done]() { ++done; });
    ASSERT_TRUE(paths.indexed.searchAllPages(cp("建築物")));
    EXPECT_EQ(done.load(), 1);
    EXPECT_FALSE(paths.indexed.indexReadRunning());
    ASSERT_NE(paths.indexed.index(), nullptr);
    EXPECT_EQ(paths.indexed.index()->pageCount(), 2u);
    EXPECT_EQ(paths.indexed.records().size(), 2u);
    EXPECT_EQ(paths.byIndex("50%"), paths.byStatements("50%"));

    // Read once: a second start reads nothing.
    paths.indexed.startIndexRead([&done]() { ++done; });
    EXPECT_FALSE(paths.indexed.indexReadRunning());
    EXPECT_EQ(done.load(), 1);
    EXPECT_THROW(SearchIndex::readFile(dir.folder() + "missing.orl"), std::exception);
}

// Closing the list while its index is being read stops the read and waits
// for the thread (no thread outlives the list, nothing leaks).
TEST(SearchIndexBackground, AListClosedDuringTheReadWaitsForItsThread) {
    const std::string folder = std::string(TAVREL_BINARY_DIR) + "/bin/";
    TempDir user;
    MemorySettingsStore settings;
    FakeMessageSink sink;
    Document doc(settings, sink, DocumentFolders{folder, user.folder()});
    ASSERT_TRUE(doc.startUp());
    std::atomic<int> done{0};
    for (int i = 0; i < 3; ++i) {
        SearchResults list(doc);
        list.startIndexRead([&done]() { ++done; });
    }
    EXPECT_EQ(done.load(), 3);
    EXPECT_TRUE(sink.empty());
}

// ---- Real collections ----

// Words of every kind: common and rare, absent, one and two characters,
// ASCII, full-width, mixed.
std::vector<std::string> fixedWords() {
    std::vector<std::string> out;
    for (const char* w : {"建築物", "建築",       "構造",   "政令", "耐火",     "建築基準法", "免震",
                          "防火",   "の",         "法",     "条",   "第",       "（",         "。",
                          "、",     "ア",         "A",      "B",    "RC",       "JIS",        "m",
                          "1",      "2",          "10",     "100",  "ｍ",       "㎡",         "　",
                          "定義",   "用語の定義", "昇降機", "避難", "排煙設備", "無い語句",   "存在しない言葉",
                          "表",     "ソ",         "能",     "規則", "告示",     "一",         "二",
                          "附則",   "に",         "す"})
        out.push_back(cp(w));
    // "%" and "_" are wildcards to the statements' Like: the pages must still
    // hold the word as typed.
    for (const char* w : {"%", "_", "建_物", "建築_", "_築物", "1%", "%以上", "A_", "第_条"}) out.push_back(cp(w));
    return out;
}

// Character-aligned pieces of 1 to 4 characters of every seventh search
// text of the collection.
std::vector<std::string> sampledWords(Document& doc, size_t limit) {
    std::vector<std::string> out;
    db::Recordset rows = doc.connection().execute(cp("SELECT [検索用データ] FROM T_文"));
    for (size_t n = 0; !rows.isEOF() && out.size() < limit; rows.moveNext(), ++n) {
        if (n % 7) continue;
        const std::string t = rows.text(cp("検索用データ"));
        if (t.empty()) continue;
        size_t pos = 0;
        for (size_t skip = (n * 13) % 40; skip > 0 && pos < t.size(); --skip) pos += text::charLength(t, pos);
        if (pos >= t.size()) pos = 0;
        size_t end = pos;
        for (size_t c = 0; c < 1 + n % 4 && end < t.size(); ++c) end += text::charLength(t, end);
        const std::string w = t.substr(pos, end - pos);
        if (SearchIndex::serves(w) && w.find(' ') == std::string::npos && !hasForbiddenSearchChar(w)) out.push_back(w);
    }
    rows.close();
    return out;
}

std::string sampleFolder() { return std::string(TAVREL_BINARY_DIR) + "/bin/"; }

TEST(SearchIndexCollections, TheSampleCollectionGivesTheSamePagesByBothPaths) {
    ASSERT_TRUE(std::filesystem::exists(sampleFolder() + "TL2008.orl"));
    TempDir user;
    MemorySettingsStore settings;
    FakeMessageSink sink;
    Document doc(settings, sink, DocumentFolders{sampleFolder(), user.folder()});
    ASSERT_TRUE(doc.startUp());
    BothPaths paths(doc);
    std::vector<std::string> words = fixedWords();
    for (std::string& w : sampledWords(doc, 120)) words.push_back(std::move(w));
    paths.expectSame(words);
}

#ifdef TAVREL_HAVE_COLLECTION_GENERATOR
TEST(SearchIndexCollections, AScaledCollectionGivesTheSamePagesByBothPaths) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(bench::makeCollection(sampleFolder(), dir.path() / "data", bench::ScalePlan{4, 2}, &error)) << error;
    TempDir user;
    MemorySettingsStore settings;
    FakeMessageSink sink;
    Document doc(settings, sink, DocumentFolders{dir.folder() + "data/", user.folder()});
    ASSERT_TRUE(doc.startUp());
    BothPaths paths(doc);
    std::vector<std::string> words = fixedWords();
    for (std::string& w : sampledWords(doc, 150)) words.push_back(std::move(w));
    paths.expectSame(words);
    // Four copies of each law: a word of the original is found in every copy.
    const auto found = paths.byIndex(cp("用語の定義"));
    EXPECT_EQ(found.size() % 4, 0u);
    EXPECT_GE(found.size(), 4u);
}
#endif

}  // namespace
