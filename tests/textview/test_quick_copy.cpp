// Quick copy: the 512-byte limit that never cuts a double-byte character,
// the notice flag, and the in-page search dialog's texts and placement.
#include "document/options.h"
#include "document/settings_store.h"
#include "text/sjis.h"
#include "textview/page_search.h"
#include "textview/quick_copy.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrel::textview {
namespace {

std::string sj(const char* utf8) { return text::fromUtf8(utf8); }

TEST(QuickCopy, AtMost512BytesAndNeverHalfACharacter) {
    const std::string exact(512, 'a');
    auto r = boundQuickCopyText(exact, 0);
    EXPECT_EQ(r.text, exact);
    EXPECT_FALSE(r.truncated);
    EXPECT_FALSE(r.showNotice);

    r = boundQuickCopyText(std::string(513, 'a'), 0);
    EXPECT_EQ(r.text, std::string(512, 'a') + " ...");
    EXPECT_TRUE(r.truncated);
    EXPECT_TRUE(r.showNotice);

    // 511 single bytes, then a double-byte character on bytes 512-513.
    const std::string straddling = std::string(511, 'a') + sj("条") + "bc";
    r = boundQuickCopyText(straddling, 0);
    EXPECT_EQ(r.text, std::string(511, 'a') + " ...");

    // Double-byte characters only: 512 bytes are 256 whole characters.
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += sj("法");
    r = boundQuickCopyText(wide, 0);
    EXPECT_EQ(r.text.size(), 512u + 4);
    EXPECT_EQ(r.text.substr(0, 512), wide.substr(0, 512));

    // A trail byte that looks like a lead byte is still a trail byte: "ｱ"
    // (one byte) shifts the pairs so that byte 512 ends a character.
    const std::string shifted = sj("ｱ") + wide;
    r = boundQuickCopyText(shifted, 0);
    EXPECT_EQ(r.text.substr(0, 511), shifted.substr(0, 511));
    EXPECT_EQ(r.text.size(), 511u + 4);
}

TEST(QuickCopy, NoticeUntilClipChkIsSet) {
    EXPECT_TRUE(boundQuickCopyText(std::string(600, 'x'), 0).showNotice);
    EXPECT_FALSE(boundQuickCopyText(std::string(600, 'x'), 1).showNotice);
    EXPECT_TRUE(boundQuickCopyText(std::string(600, 'x'), 1).truncated);

    MemorySettingsStore store;
    EXPECT_EQ(readClipChk(store), 0);
    writeClipChk(store, true);
    EXPECT_EQ(store.readInt("Settings-2008", "ClipChk", -1), 1);
    EXPECT_EQ(readClipChk(store), 1);
    writeClipChk(store, false);
    EXPECT_EQ(readClipChk(store), 0);

    EXPECT_EQ(text::toUtf8(quickCopyNoticeCaption()), "ぷちコピーについて");
    EXPECT_EQ(text::toUtf8(quickCopyNoticeCheckBox()), "今後、このメッセージは表示しない");
    EXPECT_NE(text::toUtf8(quickCopyNoticeMessage()).find("256"), std::string::npos);
}

TEST(PageSearchDialog, ResultLines) {
    EXPECT_EQ(text::toUtf8(searchResultMessage(3)), "3個見つかりました。");
    EXPECT_EQ(text::toUtf8(searchResultMessage(1)), "1個見つかりました。");
    EXPECT_EQ(text::toUtf8(searchResultMessage(0)), "見つかりませんでした。");
    EXPECT_EQ(text::toUtf8(searchResultMessage(-2)), "検索できる単語は３個までです。");
    EXPECT_EQ(text::toUtf8(searchResultMessage(-1)), "検索に失敗しました。");
}

TEST(PageSearchDialog, SearchClearsOldMarksFirstAndRemembersSuccess) {
    std::string viewMarks = "old";
    std::vector<std::pair<std::string, int>> calls;
    int answer = 2;
    PageSearchDialog dlg(
        "start", [&] { return viewMarks; },
        [&](const std::string& w, int flag) {
            calls.emplace_back(w, flag);
            if (flag == 1) viewMarks.clear();
            return flag == 1 ? 1 : answer;
        });
    EXPECT_EQ(dlg.text(), "start");
    EXPECT_TRUE(dlg.searchEnabled());
    EXPECT_FALSE(dlg.resultShown());
    // Closing without a search keeps the text it opened with.
    EXPECT_EQ(dlg.lastSearched(), "start");

    dlg.textChanged("");
    EXPECT_FALSE(dlg.searchEnabled());
    EXPECT_EQ(dlg.search(), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(dlg.resultShown());

    dlg.textChanged("word");
    EXPECT_EQ(dlg.search(), 2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(std::string("old"), 1));
    EXPECT_EQ(calls[1], std::make_pair(std::string("word"), 0));
    EXPECT_EQ(text::toUtf8(dlg.resultMessage()), "2個見つかりました。");
    EXPECT_EQ(dlg.lastSearched(), "word");

    // A failed search keeps the last successful text; no marks, no clearing.
    answer = -2;
    dlg.textChanged("a b c d");
    EXPECT_EQ(dlg.search(), -2);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(text::toUtf8(dlg.resultMessage()), "検索できる単語は３個までです。");
    EXPECT_EQ(dlg.lastSearched(), "word");
}

TEST(PageSearchDialog, OpensCentredThenWhereItWasLeftInsideTheWorkArea) {
    MemorySettingsStore store;
    const ScreenRect main{100, 50, 800, 600};
    // First opening: centred on the main window.
    EXPECT_EQ(openingSearchDialogPosition(store, main, 200, 100, 1920, 1080), std::make_pair(400, 300));

    storeSearchDialogPosition(store, main, ScreenRect{800, 600, 200, 100});
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgA"), 1.0);
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgB"), 1.0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(store.readBinary("Settings-2008", "SchDlgA", bytes));
    EXPECT_EQ(bytes.size(), 8u);
    EXPECT_EQ(openingSearchDialogPosition(store, main, 200, 100, 1920, 1080), std::make_pair(800, 600));

    // Kept inside the work area on both sides.
    EXPECT_EQ(openingSearchDialogPosition(store, main, 200, 100, 850, 620), std::make_pair(650, 520));
    EXPECT_EQ(searchDialogPosition(ScreenRect{-500, -400, 100, 100}, 200, 100, 0.5, 0.5, 1920, 1080),
              std::make_pair(0, 0));
    // A dialog larger than the work area starts at its corner.
    EXPECT_EQ(searchDialogPosition(main, 3000, 2000, 0.5, 0.5, 1920, 1080), std::make_pair(0, 0));
}

TEST(PageSearchDialog, OnlyEightByteFractionsCount) {
    MemorySettingsStore store;
    store.writeBinary("Settings-2008", "SchDlgA", std::vector<uint8_t>(7, 0));
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgA"), 0.5);
    store.writeInt("Settings-2008", "SchDlgA", 1);
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgA"), 0.5);
    std::vector<uint8_t> nan(8, 0xFF);
    store.writeBinary("Settings-2008", "SchDlgB", nan);
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgB"), 0.5);
    writeSearchDialogFraction(store, "SchDlgB", 0.25);
    EXPECT_DOUBLE_EQ(readSearchDialogFraction(store, "SchDlgB"), 0.25);
}

}  // namespace
}  // namespace tavrel::textview
