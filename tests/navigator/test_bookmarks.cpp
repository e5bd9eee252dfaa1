#include "navigator/bookmark_store.h"
#include "navigator/hidden_entries.h"
#include "text/sjis.h"

#include "library_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tavrel;
using namespace tavrel::nav;
using tavrel::testing::LibraryTest;
using tavrel::testing::readFile;
using tavrel::testing::writeFile;

std::string cp(const std::string& utf8) { return text::fromUtf8(utf8); }
std::string u8(const std::string& cp932) { return text::toUtf8(cp932); }

const std::string kId = "01A-00010000-00";

// ---- Lines of the file ----

TEST(BookmarkText, TheIdentifierIsTheTextBeforeTheFirstCommaWithoutBlanks) {
    const std::string text = "VERSION 8.08\r\n" + kId + ", book_mark_root\r\n" +
                             cp("　 01A-00020000-00　, anything, more\r\n") + "01A-000 30000-00,\r\n" +
                             "no comma here\r\n" + "\r\n" + "\t01A-00040000-00, tab stays\r\n" +
                             ",empty before the comma\n" + "01A-00050000-00, last line without a line end";
    EXPECT_EQ(parseBookmarkText(text), (std::vector<std::string>{kId, "01A-00020000-00", "01A-00030000-00",
                                                                 "\t01A-00040000-00", "", "01A-00050000-00"}));
    EXPECT_TRUE(parseBookmarkText("").empty());
    EXPECT_TRUE(parseBookmarkText("VERSION 8.08\r\n\r\n").empty());
}

TEST(BookmarkText, DoubleByteCharactersStayWholeAndAStrayFirstByteSpoilsOnlyItsLine) {
    // 表 ends in the byte of a backslash, ー is not a blank even though a
    // full-width blank shares its first byte.
    EXPECT_EQ(parseBookmarkText(cp("表ー　A,x\n")), (std::vector<std::string>{cp("表ーA")}));
    // A first byte right before the comma or the line end.
    EXPECT_EQ(parseBookmarkText(std::string("AB\x81,x\n") + kId + ",y\n"), (std::vector<std::string>{"AB\x81", kId}));
    EXPECT_EQ(parseBookmarkText(std::string("AB\x81\n") + kId + ",y\n"), (std::vector<std::string>{kId}));
    // A second byte 0x40 belongs to its character only: "@" after a
    // single-byte character is kept.
    EXPECT_EQ(parseBookmarkText("A@,x\n"), (std::vector<std::string>{"A@"}));
}

TEST(BookmarkText, LongTextsBeforeTheCommaCostNoMoreThanTheirFirstBytes) {
    const std::string longId(100000, 'A');
    const auto ids =
        parseBookmarkText(longId + ", x\n" + std::string(500000, ' ') + kId + std::string(3000, ' ') + ", x\n");
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_GT(ids[0].size(), 35u) << "too long to be an identifier";
    EXPECT_LT(ids[0].size(), 100u);
    EXPECT_EQ(ids[1], kId);
}

// ---- The bookmark list on a collection ----

class BookmarkTest : public LibraryTest {
  protected:
    void standardCollection() {
        law("01A", "建築基準法");
        law("01K", "告示");
        law("00A", "表紙など");
        page(kId, "目的");
        page("01A-00020000-00", "用語の定義");
        page("01A-00030000-00", "なし");
        page("01A-00200000-00", "構造耐力", 3);
        page("01A-00200000-01", "", 3);
        page("01A-00200000-02", "", 3);
        page("01A-F0000000-00", "附則（平成三〇年六月二七日法律第六七号）");
        page("01A-T0020000-00", "別表第二");
        page("01K-KD191234-00", "告示の本文");
        page("00A-Z0010000-00", "表紙");
    }
    std::string path() const { return userFolder + "tavrel08.bmk"; }
    std::string fileOf(const std::vector<std::string>& ids) {
        std::string s = "VERSION 8.08\r\n";
        for (const auto& id : ids) s += id + ", book_mark_root\r\n";
        return s + "\r\n";
    }
    // Rows as "id|法名|条|タイトル|fourth".
    static std::vector<std::string> rowTexts(const BookmarkStore& list) {
        std::vector<std::string> out;
        for (const ListRow& r : list.rows())
            out.push_back(r.id + "|" + u8(r.columns[0]) + "|" + u8(r.columns[1]) + "|" + u8(r.columns[2]) + "|" +
                          u8(r.columns[3]));
        return out;
    }
};

TEST_F(BookmarkTest, ReadingKeepsPagesOnceAndDropsEverythingElse) {
    standardCollection();
    start();
    const std::string sentenceId = "01A-00020000-00-0100-0000-0000-0000";
    writeFile(path(),
              "VERSION 8.08\r\n"
              "01A-00030000-00, book_mark_root\r\n"
              "  " +
                  kId + " , book_mark_root\r\n" + kId + ", again\r\n" + sentenceId + ", book_mark_root\r\n" +
                  "01A-00990000-00, unknown page\r\n"
                  "01A-0001000-00, 14 characters\r\n"
                  "01A-00010000-000, 16 characters\r\n"
                  "01A-00020000-00-0100-0000-0000-000, 34 characters\r\n"
                  "01A-00020000-00-0100-0000-0000-00000, 36 characters\r\n"
                  "01A-00020000-00 no comma\r\n\r\n");
    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    EXPECT_TRUE(list.loaded());
    EXPECT_EQ(list.bookmarks(), (std::vector<std::string>{"01A-00030000-00", kId, sentenceId, "01A-00990000-00"}));

    // Read once: a changed file is not read again.
    writeFile(path(), fileOf({"01A-00020000-00"}));
    EXPECT_TRUE(list.load());
    EXPECT_EQ(list.bookmarks().size(), 4u);

    // The sentence identifier is kept in memory but neither shown nor written;
    // the page the collection lacks is not shown but written back.
    list.fill();
    EXPECT_EQ(list.size(), 2);
    ASSERT_TRUE(list.save());
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00030000-00", "01A-00990000-00"}));
}

TEST_F(BookmarkTest, EmptyBinaryAndMissingFilesGiveNoBookmarksAndNoMessage) {
    standardCollection();
    start();
    {
        BookmarkStore list(*doc);
        EXPECT_FALSE(list.load()) << "missing file";
        EXPECT_FALSE(list.loaded());
        EXPECT_TRUE(list.bookmarks().empty());
    }
    EXPECT_FALSE(std::filesystem::exists(path())) << "nothing written without a change";
    for (const std::string& bytes :
         {std::string(), std::string("\0\0\0,\0\n\xff\xfe\x81", 9), std::string("\x81\x40\x81\x40,\x81\n\x81", 8)}) {
        writeFile(path(), bytes);
        BookmarkStore list(*doc);
        EXPECT_TRUE(list.load());
        EXPECT_TRUE(list.bookmarks().empty());
    }
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    writeFile(path(), binary + "\n" + kId + ",x\r\n");
    BookmarkStore list(*doc);
    EXPECT_TRUE(list.load());
    EXPECT_EQ(list.bookmarks(), (std::vector<std::string>{kId}));
    EXPECT_TRUE(sink.empty());
}

TEST_F(BookmarkTest, AHugeFileIsReadLineByLine) {
    standardCollection();
    start();
    std::string bytes = "VERSION 8.08\r\n";
    for (int i = 0; i < 200000; ++i) bytes += "01A-00990000-00, a page that is gone\r\n";
    bytes += std::string(3 * 1024 * 1024, ' ') + "01A-00020000-00" + std::string(1024 * 1024, ' ') + ", far\r\n";
    bytes += kId + ", book_mark_root\r\n";
    writeFile(path(), bytes);
    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.bookmarks(), (std::vector<std::string>{"01A-00990000-00", "01A-00020000-00", kId}));
}

TEST_F(BookmarkTest, RowsShowLawDesignationAndCaptionInIdentifierOrder) {
    standardCollection();
    start();
    writeFile(path(), fileOf({"01K-KD191234-00", "01A-T0020000-00", "01A-F0000000-00", "01A-00200000-01",
                              "01A-00030000-00", kId, "00A-Z0010000-00"}));
    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    list.fill();
    EXPECT_EQ(rowTexts(list), (std::vector<std::string>{
                                  "01A-00010000-00|建築基準法|1条|目的|",
                                  "01A-00030000-00|建築基準法|3条||",  // caption なし
                                  "01A-00200000-01|建築基準法|20条　(02/03)|構造耐力|",
                                  "01A-F0000000-00|建築基準法|附則（平成三〇年六月二七日法律第六七号）||",
                                  "01A-T0020000-00|建築基準法|別表第2|別表第二|",
                                  "01K-KD191234-00|告示|平19年 1234号|告示の本文|",
                              }))
        << "the special page has no designation and is not shown";
    EXPECT_EQ(list.bookmarks().front(), "00A-Z0010000-00") << "sorted by character codes";
    EXPECT_EQ(list.findRow("01A-F0000000-00"), 3);
    EXPECT_EQ(list.findRow("00A-Z0010000-00"), -1);
}

TEST_F(BookmarkTest, AWrittenFileListsTheIdentifiersInOrderAndEndsWithAnEmptyLine) {
    standardCollection();
    start();
    BookmarkStore list(*doc);
    EXPECT_FALSE(list.load());
    EXPECT_GE(list.addPage("01K-KD191234-00"), 0);
    EXPECT_GE(list.addPage("01A-00200000-01"), 0);
    EXPECT_EQ(list.addPage("00A-Z0010000-00"), -1) << "kept in memory, no row";
    EXPECT_GE(list.addPage(kId), 0);
    EXPECT_EQ(readFile(path()),
              "VERSION 8.08\r\n01A-00010000-00, book_mark_root\r\n"
              "01A-00200000-01, book_mark_root\r\n01K-KD191234-00, book_mark_root\r\n\r\n");
    EXPECT_EQ(list.bookmarks().size(), 4u);

    // The file reads back to the same rows in a new run.
    BookmarkStore again(*doc);
    ASSERT_TRUE(again.load());
    again.fill();
    list.fill();
    EXPECT_EQ(rowTexts(again), rowTexts(list));
}

TEST_F(BookmarkTest, AddingIsWrittenAtOnceAndTheSamePageIsKeptOnce) {
    standardCollection();
    start();
    BookmarkStore list(*doc);
    list.load();
    EXPECT_EQ(list.addPage("01A-00030000-00"), 0);
    EXPECT_EQ(readFile(path()), fileOf({"01A-00030000-00"}));
    EXPECT_EQ(list.addPage(kId), 0) << "the new row of the added page is selected";
    EXPECT_EQ(list.addPage(kId), 0);
    EXPECT_EQ(list.bookmarks().size(), 2u);
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00030000-00"}));
    EXPECT_FALSE(list.add(kId));
    // Only 15-character identifiers are added.
    for (const std::string& id : {std::string(), std::string("01A-0001000-00"), std::string("00A-Z0010000-00-")}) {
        EXPECT_EQ(list.addPage(id), -1) << id;
        EXPECT_FALSE(list.add(id)) << id;
    }
    EXPECT_EQ(list.bookmarks().size(), 2u);
    EXPECT_FALSE(list.unsaved());
}

TEST_F(BookmarkTest, DeletingSelectsTheRowThatMovedUpOrTheNewLastRow) {
    standardCollection();
    start();
    writeFile(path(), fileOf({kId, "01A-00020000-00", "01A-00030000-00", "01A-F0000000-00"}));
    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    list.fill();
    ASSERT_EQ(list.size(), 4);

    EXPECT_EQ(list.deleteRow(1), 1) << "a middle row: the next row moves into its place";
    EXPECT_EQ(list.idAt(1), "01A-00030000-00");
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00030000-00", "01A-F0000000-00"}));
    EXPECT_EQ(list.deleteRow(2), 1) << "the last row: the new last row";
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.deleteRow(5), -1) << "no such row";
    EXPECT_EQ(list.deleteRow(-1), -1);
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.deleteRow(0), 0);
    EXPECT_EQ(list.deleteRow(0), -1) << "the only row: nothing left to select";
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(readFile(path()), "VERSION 8.08\r\n\r\n");
}

TEST_F(BookmarkTest, AFailedWriteKeepsTheOldFileAndIsDoneAgainAtTheEnd) {
    standardCollection();
    start();
    writeFile(path(), fileOf({kId}));
    {
        BookmarkStore list(*doc);
        ASSERT_TRUE(list.load());
        setAtomicWriteHook([](const std::string&) { return false; });
        EXPECT_EQ(list.addPage("01A-00020000-00"), 1);
        EXPECT_TRUE(list.unsaved());
        EXPECT_EQ(readFile(path()), fileOf({kId})) << "the old file stays whole";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(userFolder), {}), 2)
            << "no temporary file left beside it (temp/ and the bookmark file)";
        setAtomicWriteHook({});
    }
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00020000-00"}));
}

TEST_F(BookmarkTest, NothingIsReadOrOverwrittenBeforeTheCollectionIsOpen) {
    standardCollection();
    writeFile(path(), fileOf({kId}));
    Document closed(settings, sink, DocumentFolders{dataFolder, userFolder});
    {
        BookmarkStore list(closed);
        EXPECT_FALSE(list.load());
        EXPECT_TRUE(list.bookmarks().empty());
        EXPECT_FALSE(list.save());
    }
    EXPECT_EQ(readFile(path()), fileOf({kId}));
}

TEST_F(BookmarkTest, AFileBesideTheProgramIsReadWhenTheUserFolderHasNone) {
    standardCollection();
    start();
    writeFile(dataFolder + "tavrel08.bmk", fileOf({kId}));
    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.bookmarks(), (std::vector<std::string>{kId}));
    list.addPage("01A-00020000-00");
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00020000-00"}));
    EXPECT_EQ(readFile(dataFolder + "tavrel08.bmk"), fileOf({kId}));
}

}  // namespace

// ---- Pages the collection lacks ----

// A bookmark or a user marker whose page is not in the open collection (a
// re-imported law without the article, the bundled collection back in place
// of the user's) stays in its file, is not shown, and is reported once.
TEST_F(BookmarkTest, PagesTheCollectionLacksStayInTheFilesHiddenAndAreReportedOnce) {
    standardCollection();
    start();
    const std::string gone = "01A-00990000-00", goneNotice = "01K-KD190001-00";
    writeFile(path(), fileOf({kId, gone, goneNotice}));
    const std::string markerOnGone = bn(gone) + "-to-01A-00020000-r01";
    doc->addMarker(false, markerOnGone, bn("01A-00020000-00"));
    doc->addMarker(false, bn(kId) + "-to-01A-00990000-p01", bn(gone));  // jumps to a page that is gone
    doc->addMarker(false, bn(kId) + "-to-01A-00020000-p01", bn("01A-00020000-00"));
    ASSERT_TRUE(doc->saveUserMarkers());
    const std::string markerFile = readFile(doc->userMarkerFilePath());

    BookmarkStore list(*doc);
    ASSERT_TRUE(list.load());
    list.fill();
    EXPECT_EQ(rowTexts(list), (std::vector<std::string>{"01A-00010000-00|建築基準法|1条|目的|"}));
    EXPECT_EQ(list.hiddenBookmarks(), (std::vector<std::string>{gone, goneNotice}));
    EXPECT_EQ(list.addPage("01A-00020000-00"), 1);  // a change writes the hidden ones back too
    EXPECT_EQ(readFile(path()), fileOf({kId, "01A-00020000-00", gone, goneNotice}));

    std::vector<std::string> lines;
    for (const std::string& l : hiddenEntryLines(*doc, list)) lines.push_back(u8(l));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "しおり：建築基準法 99条（01A-00990000-00）",
                         "しおり：告示 平19年 1号（01K-KD190001-00）",
                         "マーカー：建築基準法 1条（01A-00010000-00）→ 99条（01A-00990000-00）",
                         "マーカー：建築基準法 99条（01A-00990000-00）→ 2条（01A-00020000-00）",
                     }));

    // Reported once: not again for the same set (at the next start).
    ASSERT_TRUE(reportHiddenEntries(*doc, list));
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(u8(sink.shown()[0].text),
              "次のしおりとマーカーは、ページが収録データにないため表示していません（ファイルには残っています）：\n\n" +
                  lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3]);
    EXPECT_FALSE(reportHiddenEntries(*doc, list));
    EXPECT_EQ(sink.shown().size(), 1u);
    // A set that changes is reported again.
    doc->removeMarker(false, markerOnGone);
    EXPECT_TRUE(reportHiddenEntries(*doc, list));
    EXPECT_EQ(sink.shown().size(), 2u);

    // Nothing of the user's left the files; the markers stay in the table.
    EXPECT_EQ(doc->markers(false).size(), 2u);
    EXPECT_EQ(readFile(doc->userMarkerFilePath()), markerFile);
}
