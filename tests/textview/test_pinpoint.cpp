// Pinpoint markers: resolving a link click with the two marker tables, the
// user's picks written to tavrel08.ppj at once, the selective jump list built
// from the sentences of the target article, and the scripts for the marker
// image and the coloured anchors.
#include "document/document.h"
#include "document/settings_store.h"
#include "text/sjis.h"
#include "textview/js_check.h"
#include "textview/pinpoint.h"
#include "textview/pinpoint_list.h"
#include "textview/pinpoint_tools.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavrel::textview {
namespace {

using testing::FixtureDb;
using testing::readFile;
using testing::readJsLiteral;
using testing::writeFile;

std::string sj(const char* utf8) { return text::fromUtf8(utf8); }
std::string u8(const std::string& cp932) { return text::toUtf8(cp932); }

// Sentence identifier of a page: paragraph, item, sub-item (article layout).
std::string bn(const std::string& idFN, int paragraph, int item = 0, int subItem = 0) {
    return idFN + text::format("-%02d00-%02d00-%02d00-0000", paragraph, item, subItem);
}
// A link id of a sentence of the source page to a target article.
std::string linkId(const std::string& sourceBN, const std::string& target12, const char* kind = "p01") {
    return sourceBN + "-to-" + target12 + "-" + kind;
}

const std::string kSource = "01A-00010000-00";
const std::string kTarget = "01A-00200000-00";  // article 20, split in two pages
const std::string kTarget2 = "01A-00200000-01";
const std::string kOther = "01A-00300000-00";
const std::string kAnchor = linkId(bn(kSource, 1), kTarget.substr(0, 12));

class PinPointTest : public ::testing::Test {
protected:
    PinPointTest() {
        std::filesystem::create_directories(dataFolder);
        std::filesystem::create_directories(userFolder);
        db = std::make_unique<FixtureDb>(dataFolder + "TL2008.orl");
        db->exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1)");
        for (const auto& [id, split] :
             std::vector<std::pair<std::string, int>>{{kSource, 0}, {kTarget, 2}, {kTarget2, 2}, {kOther, 0}})
            db->exec("INSERT INTO T_条 (ID_FN, 条名, 補足, 分割, 大型, 表示) VALUES ('" + id + "', 'c', " +
                     FixtureDb::quote("補足の文") + ", " + std::to_string(split) + ", 0, -1)");
    }
    ~PinPointTest() override {
        if (doc) doc->close();
    }

    void sentence(const std::string& idBN, const std::string& formatCode = "0000000000000000", int tagOff = 0) {
        db->exec("INSERT INTO T_文 VALUES ('" + idBN + "', 'x', '" + formatCode + "', 0, " + std::to_string(tagOff) +
                 ", 0, 0, 'x')");
    }
    static std::string line(const std::string& key, const std::string& value) { return key + ", " + value + "\r\n"; }
    void defaultFile(const std::string& lines) { writeFile(dataFolder + "default.ppj", "VERSION 8.08\r\n" + lines); }
    void userFile(const std::string& lines) { writeFile(userFolder + "tavrel08.ppj", "VERSION 8.08\r\n" + lines); }
    std::string userFileText() const { return readFile(userFolder + "tavrel08.ppj"); }

    Document& start(int priority = 1) {
        doc = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, userFolder});
        EXPECT_TRUE(doc->startUp());
        doc->options()[PinPointPriority] = priority;
        sink.clear();
        return *doc;
    }

    testing::TempDir dir;
    std::string dataFolder = dir.folder() + "data/";
    std::string userFolder = dir.folder() + "user/";
    MemorySettingsStore settings;
    testing::FakeMessageSink sink;
    std::unique_ptr<FixtureDb> db;
    std::unique_ptr<Document> doc;
};

// ---- Resolving a link click ----

TEST_F(PinPointTest, PriorityChoosesBetweenTwoMarkersOfOneLink) {
    defaultFile(line(kAnchor, bn(kTarget, 2)));
    userFile(line(kAnchor, bn(kTarget2, 5)));
    auto& d = start(1);
    auto r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_TRUE(r.jump);
    EXPECT_EQ(r.target, kTarget);
    EXPECT_EQ(r.sentence, bn(kTarget, 2));

    d.options()[PinPointPriority] = 0;
    r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_TRUE(r.jump);
    // The user's sentence lies on the second page: that page is shown.
    EXPECT_EQ(r.target, kTarget2);
    EXPECT_EQ(r.sentence, bn(kTarget2, 5));
    EXPECT_EQ(currentMarker(d, kAnchor), bn(kTarget2, 5));
}

TEST_F(PinPointTest, NothingToResolveWithoutAnchorOrMarker) {
    defaultFile(line(kAnchor, bn(kTarget, 2)));
    auto& d = start();
    auto r = resolvePinPoint(d, "", kTarget);
    EXPECT_FALSE(r.jump);
    EXPECT_EQ(r.target, kTarget);
    const std::string unmarked = linkId(bn(kSource, 2), kTarget.substr(0, 12));
    r = resolvePinPoint(d, unmarked, kTarget);
    EXPECT_FALSE(r.jump);
    EXPECT_TRUE(r.sentence.empty());
    // A link without a usable target never touches the marker.
    r = resolvePinPoint(d, kAnchor, "");
    EXPECT_FALSE(r.jump);
    r = resolvePinPoint(d, kAnchor, "01a-00200000-00");
    EXPECT_FALSE(r.jump);
    EXPECT_EQ(d.findMarker(true, kAnchor), bn(kTarget, 2));
}

TEST_F(PinPointTest, StaleMarkersAreDroppedAndTheOtherTableApplies) {
    // The user's marker points into another article: stale.
    defaultFile(line(kAnchor, bn(kTarget, 3)));
    userFile(line(kAnchor, bn(kOther, 2)));
    auto& d = start(0);
    const auto r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_TRUE(r.jump);
    EXPECT_EQ(r.sentence, bn(kTarget, 3));
    EXPECT_TRUE(d.findMarker(false, kAnchor).empty());
    // The user's file is rewritten at once, without the stale line.
    EXPECT_EQ(userFileText(), "VERSION 8.08\r\n");
}

TEST_F(PinPointTest, StaleDefaultMarkerIsForgottenButItsFileStays) {
    const std::string supplied = "VERSION 8.08\r\n" + line(kAnchor, bn(kOther, 2));
    writeFile(dataFolder + "default.ppj", supplied);
    auto& d = start(1);
    const auto r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_FALSE(r.jump);
    EXPECT_EQ(r.target, kTarget);
    EXPECT_TRUE(d.findMarker(true, kAnchor).empty());
    EXPECT_EQ(readFile(dataFolder + "default.ppj"), supplied);
}

TEST_F(PinPointTest, MarkerOnAPageOutsideTheArticleTableIsSkipped) {
    // Page "-07" of article 20 does not exist; the marker stays but is not used.
    defaultFile(line(kAnchor, bn("01A-00200000-07", 1)));
    userFile(line(kAnchor, bn(kTarget, 4)));
    auto& d = start(1);
    const auto r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_TRUE(r.jump);
    EXPECT_EQ(r.sentence, bn(kTarget, 4));
    EXPECT_EQ(d.findMarker(true, kAnchor), bn("01A-00200000-07", 1));
}

TEST_F(PinPointTest, PinPointOffNeverJumps) {
    defaultFile(line(kAnchor, bn(kTarget2, 2)));
    auto& d = start();
    d.toggles().pinPoint = false;
    const auto r = resolvePinPoint(d, kAnchor, kTarget);
    EXPECT_FALSE(r.jump);
    // The page of the marked sentence is still the one shown.
    EXPECT_EQ(r.target, kTarget2);
}

// ---- Picks in the list ----

TEST_F(PinPointTest, PicksAreTheUsersMarkersAndWrittenAtOnce) {
    defaultFile(line(kAnchor, bn(kTarget, 2)));
    auto& d = start(0);
    EXPECT_TRUE(choosePinPoint(d, kAnchor, bn(kTarget2, 3)));
    EXPECT_EQ(d.findMarker(false, kAnchor), bn(kTarget2, 3));
    EXPECT_EQ(userFileText(), "VERSION 8.08\r\n" + line(kAnchor, bn(kTarget2, 3)));
    EXPECT_EQ(resolvePinPoint(d, kAnchor, kTarget).sentence, bn(kTarget2, 3));

    // "頁トップ" removes only the user's marker: the default one applies again.
    EXPECT_TRUE(choosePinPoint(d, kAnchor, kTarget));
    EXPECT_TRUE(d.findMarker(false, kAnchor).empty());
    EXPECT_EQ(userFileText(), "VERSION 8.08\r\n");
    EXPECT_EQ(d.findMarker(true, kAnchor), bn(kTarget, 2));
    EXPECT_EQ(resolvePinPoint(d, kAnchor, kTarget).sentence, bn(kTarget, 2));
}

TEST_F(PinPointTest, PicksForUnusableAnchorsOrItemsAreRefused) {
    auto& d = start();
    EXPECT_FALSE(choosePinPoint(d, kAnchor.substr(1), bn(kTarget, 3)));
    EXPECT_FALSE(choosePinPoint(d, kAnchor.substr(0, 54) + "\"", bn(kTarget, 3)));
    EXPECT_FALSE(choosePinPoint(d, kAnchor, "01A-00200000-00-0100"));
    EXPECT_TRUE(d.markers(false).empty());
}

// ---- The selective jump list ----

TEST_F(PinPointTest, ArticleWithNumberedParagraphs) {
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget, 1, 1));
    sentence(bn(kTarget, 1, 1, 1));
    sentence(bn(kTarget2, 2));
    auto& d = start();
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    EXPECT_EQ(list.result, 1);
    ASSERT_TRUE(list.showList());
    std::vector<std::string> labels;
    for (const auto& it : list.items) labels.push_back(u8(it.label));
    EXPECT_EQ(labels, (std::vector<std::string>{"頁トップ", "第1項", "　第一号", "　　イ", "第2項"}));
    EXPECT_EQ(list.items[0].data, kTarget);
    EXPECT_EQ(list.items[4].data, bn(kTarget2, 2));
    // No marker: the page item is the current choice.
    EXPECT_EQ(list.currentIndex, 0);
    EXPECT_TRUE(list.items[0].current);
    EXPECT_TRUE(sink.empty());
}

TEST_F(PinPointTest, ArticleWithoutParagraphsAndTheCurrentMarker) {
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget, 1, 1));
    sentence(bn(kTarget, 1, 2, 0), "0000B00000000000");
    userFile(line(kAnchor, bn(kTarget, 1, 2)));
    auto& d = start(0);
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    ASSERT_TRUE(list.showList());
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_EQ(u8(list.items[1].label), "第一号");
    EXPECT_EQ(u8(list.items[2].label), "2");
    EXPECT_EQ(list.currentIndex, 2);
    EXPECT_FALSE(list.items[0].current);
    EXPECT_TRUE(list.items[2].current);
}

TEST_F(PinPointTest, ItemsWithoutVisibleTextAreLeftOut) {
    // Style "C" gives items an empty label, "T" the page's supplement.
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget, 1, 1), "0000C00000000000");
    sentence(bn(kTarget, 1, 2), "0000T00000000000");
    auto& d = start();
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(u8(list.items[1].label), "補足の文");
}

TEST_F(PinPointTest, NoLabelledRowShowsThePageOfTheLastRowInstead) {
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget2, 1, 0, 0).substr(0, 30) + "00001");
    auto& d = start();
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    EXPECT_EQ(list.result, 1);
    EXPECT_FALSE(list.showList());
    EXPECT_EQ(list.directPage, kTarget2);
}

TEST_F(PinPointTest, NoRowsShowNothing) {
    auto& d = start();
    const auto list = buildPinPointList(d, kAnchor, kOther);
    EXPECT_EQ(list.result, 1);
    EXPECT_FALSE(list.showList());
    EXPECT_TRUE(list.directPage.empty());
    EXPECT_TRUE(sink.empty());
}

TEST_F(PinPointTest, RowsTheAnalysisCannotReadGiveNoList) {
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget, 2).substr(0, 34));
    auto& d = start();
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    EXPECT_EQ(list.result, 2);
    EXPECT_TRUE(list.items.empty());
    EXPECT_TRUE(list.directPage.empty());
}

TEST_F(PinPointTest, PagesWithoutAListAreNotQueried) {
    auto& d = start();
    db->exec("DROP TABLE T_文");
    EXPECT_EQ(buildPinPointList(d, kAnchor, "01A-T0010000-00").result, 2);
    EXPECT_EQ(buildPinPointList(d, kAnchor, "00A-Z0010000-00").result, 2);
    EXPECT_EQ(buildPinPointList(d, kAnchor, "01A-0020").result, 2);
    EXPECT_TRUE(sink.empty());
}

TEST_F(PinPointTest, DatabaseFailureIsReported) {
    auto& d = start();
    db->exec("DROP TABLE T_文");
    const auto list = buildPinPointList(d, kAnchor, kTarget);
    EXPECT_EQ(list.result, 0);
    EXPECT_FALSE(list.showList());
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].captionUtf8(), "選択ジャンプ用のダイアログを表示");
    const std::string text = sink.shown()[0].textUtf8();
    const std::string tail = "\t関数 = CPinPointDlg::_show()";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(PinPointItems, NotificationIndentationAndSuppressedLabels) {
    const std::string page = "01A-KC031234-00";
    const auto nb = [&](int l1, int l2) { return page + text::format("-%02d00-%02d00-0000-0000", l1, l2); };
    const std::vector<PinPointRow> rows = {
        {nb(1, 0), "0000000000000000", 0},  // level 1, labelled
        {nb(1, 1), "0000000000000000", 0},  // level 2, one more space while none suppressed
        {nb(2, 0), "0000000000000000", 1},  // level 1 without its label: indentation drops
        {nb(2, 1), "0000000000000000", 0}, {page + "-F000-0000-0000-0000", "0000000000000000", 0},  // level 9
        {nb(0, 0), "0000000000000000", 0},                                                          // level 0: no label
    };
    const auto items = pinPointItems(numbering::Notification, page, rows, nb(2, 1), {});
    ASSERT_TRUE(items);
    std::vector<std::string> labels;
    for (const auto& it : *items) labels.push_back(u8(it.label));
    EXPECT_EQ(labels, (std::vector<std::string>{"頁トップ", "第1", "　第一号", "第一号", "附則"}));
    EXPECT_FALSE((*items)[0].current);
    EXPECT_TRUE((*items)[3].current);
    EXPECT_EQ((*items)[3].data, nb(2, 1));

    // A row of the wrong length ends the reading: no list at all.
    EXPECT_FALSE(pinPointItems(numbering::Notification, page, {rows[0], {nb(3, 0).substr(1), "0", 0}}, "", {}));
    EXPECT_FALSE(pinPointItems(numbering::AppendedTable, page, {}, "", {}));
}

TEST(PinPointItems, ListWindowGeometry) {
    // Five items of 16 pixels fit: (16 + 1) x 5 + 2 = 87 high, no scroll bar.
    EXPECT_EQ(pinPointListGeometry(100, 200, 150, 16, 5, 400, 1, 17),
              (PinPointListGeometry{100, 210, 184, 87, 182, false}));
    // Exactly the maximum height still needs no scroll bar; one pixel less does.
    EXPECT_FALSE(pinPointListGeometry(0, 0, 10, 16, 5, 87, 1, 17).scrollBar);
    EXPECT_EQ(pinPointListGeometry(0, 0, 10, 16, 5, 86, 1, 17), (PinPointListGeometry{0, 10, 61, 86, 42, true}));
}

// ---- Scripts ----

TEST(PinPointScripts, JumpCarriesOnlyCheckedValues) {
    const std::string id = bn(kTarget, 2);
    EXPECT_TRUE(jumpToSentenceScript(kTarget, "x").empty());
    EXPECT_TRUE(jumpToSentenceScript(id.substr(0, 34) + "'", "x").empty());
    EXPECT_TRUE(placeMarkerScript("", "x").empty());

    const std::string src = sj("/home/o'k \"x\"/</script>/画像/system/pin_point.gif");
    const std::string s = jumpToSentenceScript(id, src);
    EXPECT_NE(s.find("var id=\"" + id + "\";"), std::string::npos);
    const size_t at = s.find("var src=");
    ASSERT_NE(at, std::string::npos);
    std::string value;
    ASSERT_TRUE(readJsLiteral(s.substr(at + 8, s.find(';', at) - at - 8), value));
    EXPECT_EQ(value, "/home/o'k \"x\"/</script>/画像/system/pin_point.gif");
    EXPECT_EQ(s.find("</"), std::string::npos);
    EXPECT_NE(s.find("0.3*window.innerHeight"), std::string::npos);
    EXPECT_NE(s.find("position: absolute; top:\"+(p.top-10)+\"; left:\"+p.left"), std::string::npos);
    EXPECT_NE(s.find("\"width\",\"11\""), std::string::npos);
    EXPECT_NE(s.find("\"height\",\"10\""), std::string::npos);
    EXPECT_NE(placeMarkerScript(id, src).find("pin(e)"), std::string::npos);
    EXPECT_EQ(placeMarkerScript(id, src).find("scrollTo"), std::string::npos);
    EXPECT_NE(removeMarkerScript().find("\"pin-point-image\""), std::string::npos);
}

TEST(PinPointScripts, AnchorColouringTakesOnlyMarkerKeys) {
    EXPECT_TRUE(isMarkerKey(kAnchor));
    EXPECT_FALSE(isMarkerKey(kAnchor.substr(1)));
    EXPECT_FALSE(isMarkerKey(kAnchor.substr(1) + "\""));
    EXPECT_FALSE(isMarkerKey(kAnchor.substr(1) + sj("条").substr(0, 1)));
    const std::string s = colorAnchorsScript({kAnchor, "bad\"key", kAnchor.substr(1) + "<"}, 0xCCFFFF);
    EXPECT_NE(s.find("var ids=[\"" + kAnchor + "\"];"), std::string::npos);
    EXPECT_NE(s.find("var css=\"background : #FFFFCC\";"), std::string::npos);
    EXPECT_EQ(s.find("bad"), std::string::npos);
}

TEST_F(PinPointTest, AnchorsOfThePageAreColouredOncePerShownPage) {
    const std::string a1 = linkId(bn(kSource, 1), kTarget.substr(0, 12));
    const std::string a2 = linkId(bn(kSource, 2), kTarget.substr(0, 12), "r01");
    const std::string elsewhere = linkId(bn(kOther, 1), kTarget.substr(0, 12));
    defaultFile(line(a2, bn(kTarget, 1)) + line(elsewhere, bn(kTarget, 1)));
    userFile(line(a1, bn(kTarget, 2)));
    auto& d = start();
    // Default keys first, then the user's; only those of the page.
    EXPECT_EQ(markerKeysOfPage(d, kSource), (std::vector<std::string>{a2, a1}));
    EXPECT_TRUE(markerKeysOfPage(d, kSource.substr(0, 12)).empty());
    // A marker on a sentence of a page the collection lacks colours nothing
    // and stays in its table.
    const std::string gone = linkId(bn(kSource, 3), kTarget.substr(0, 12));
    d.addMarker(false, gone, bn(kTarget.substr(0, 12) + "-07", 1));
    EXPECT_EQ(markerKeysOfPage(d, kSource), (std::vector<std::string>{a2, a1}));
    EXPECT_EQ(d.findMarker(false, gone), bn(kTarget.substr(0, 12) + "-07", 1));
    d.removeMarker(false, gone);

    std::string lastColored;
    AnchorColoring coloring(lastColored);
    const std::string first = coloring.onLoadOrFocus(d, kSource);
    EXPECT_NE(first.find("var ids=[\"" + a2 + "\",\"" + a1 + "\"];"), std::string::npos);
    EXPECT_EQ(lastColored, kSource);
    // The focus event on the same page colours nothing again.
    EXPECT_TRUE(coloring.onLoadOrFocus(d, kSource).empty());
    // A page put in again (a redisplay) is coloured again.
    coloring.pageReplaced();
    EXPECT_EQ(coloring.onLoadOrFocus(d, kSource), first);

    // Another view of the same process starts uncoloured but shares the page id.
    AnchorColoring other(lastColored);
    EXPECT_EQ(other.onLoadOrFocus(d, kSource), first);

    // Switched off: the marks stay uncoloured (jumps keep working).
    d.options()[FontColorPioPointOff] = 1;
    coloring.pageReplaced();
    EXPECT_TRUE(coloring.onLoadOrFocus(d, kSource).empty());
    EXPECT_TRUE(coloring.colored());
    d.options()[FontColorPioPointOff] = 0;
    d.toggles().pinPoint = false;
    coloring.pageReplaced();
    EXPECT_TRUE(coloring.onLoadOrFocus(d, kSource).empty());
    d.toggles().pinPoint = true;
    EXPECT_TRUE(coloring.onLoadOrFocus(d, kTarget).empty());  // no marker on that page
    EXPECT_EQ(lastColored, kTarget);
    EXPECT_NE(coloring.onLoadOrFocus(d, kOther).find(elsewhere), std::string::npos);
}

// ---- The view's events ----

TEST_F(PinPointTest, LinkClickJumpsOnceThePageHasLoaded) {
    defaultFile(line(kAnchor, bn(kTarget2, 3)));
    auto& d = start();
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    EXPECT_TRUE(tools.onPageClick(kAnchor).empty());
    EXPECT_EQ(tools.clickedAnchorId(), kAnchor);
    const auto r = tools.onLinkClick(kTarget);
    EXPECT_EQ(r.target, kTarget2);
    tools.afterLinkShown(true, r);
    EXPECT_EQ(tools.pendingPinAnchor(), bn(kTarget2, 3));
    tools.pageReplaced();
    const std::string load = tools.onLoad(kTarget2);
    EXPECT_NE(load.find("var id=\"" + bn(kTarget2, 3) + "\";"), std::string::npos);
    EXPECT_NE(load.find("pin_point.gif"), std::string::npos);
    EXPECT_TRUE(tools.pendingPinAnchor().empty());
    EXPECT_TRUE(tools.pinImageShown());
    EXPECT_TRUE(tools.anchorsColored());
    // The next load (a focus, another page) does not jump again.
    EXPECT_EQ(tools.onLoad(kTarget2).find("var id="), std::string::npos);

    // The next click anywhere takes the image away and forgets the anchor.
    EXPECT_EQ(tools.onPageClick(""), removeMarkerScript());
    EXPECT_FALSE(tools.pinImageShown());
    EXPECT_TRUE(tools.clickedAnchorId().empty());
    EXPECT_TRUE(tools.onPageClick("").empty());
    EXPECT_FALSE(tools.onLinkClick(kTarget).jump);
}

// A marked link clicked, then a link of the new page opened without a click
// first (a middle click): the old anchor no longer counts, so its marker is
// neither used nor taken for stale.
TEST_F(PinPointTest, LinkOpenedOnTheNextPageWithoutAClickKeepsTheMarkers) {
    defaultFile(line(kAnchor, bn(kTarget, 3)));
    userFile(line(kAnchor, bn(kTarget, 4)));
    const std::string userBefore = userFileText();
    auto& d = start(0);
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    tools.onPageClick(kAnchor);
    const auto first = tools.onLinkClick(kTarget);
    ASSERT_TRUE(first.jump);
    tools.afterLinkShown(true, first);
    tools.pageReplaced();
    tools.onLoad(kTarget);

    const auto second = tools.onLinkClick(kOther);
    EXPECT_FALSE(second.jump);
    EXPECT_EQ(second.target, kOther);
    EXPECT_EQ(d.findMarker(false, kAnchor), bn(kTarget, 4));
    EXPECT_EQ(d.findMarker(true, kAnchor), bn(kTarget, 3));
    EXPECT_EQ(userFileText(), userBefore);
}

TEST_F(PinPointTest, ACitedByLineJumpsToItsSentenceWithoutMarkerOrToggle) {
    auto& d = start();
    d.toggles().pinPoint = false;
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    // The block's link carries the citing sentence, on the second page of a split article.
    tools.onPageClick("cited-by-" + bn(kTarget2, 3) + "-01");
    const auto r = tools.onLinkClick(kTarget2);
    EXPECT_EQ(r.target, kTarget2);
    EXPECT_EQ(r.sentence, bn(kTarget2, 3));
    EXPECT_TRUE(r.jump);
    tools.afterLinkShown(true, r);
    tools.pageReplaced();
    EXPECT_NE(tools.onLoad(kTarget2).find("var id=\"" + bn(kTarget2, 3) + "\";"), std::string::npos);
    // An id that only looks like one is an ordinary anchor.
    tools.onPageClick("cited-by-" + bn(kTarget2, 3).substr(0, 34) + "x-01");
    EXPECT_FALSE(tools.onLinkClick(kTarget2).jump);
}

TEST_F(PinPointTest, NoJumpWhenNothingWasShownAndImageGoesOnResize) {
    defaultFile(line(kAnchor, bn(kTarget, 3)));
    auto& d = start();
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    tools.onPageClick(kAnchor);
    tools.afterLinkShown(false, tools.onLinkClick(kTarget));
    EXPECT_TRUE(tools.pendingPinAnchor().empty());

    tools.afterLinkShown(true, tools.onLinkClick(kTarget));
    tools.onLoad(kTarget);
    EXPECT_EQ(tools.onResize(), removeMarkerScript());
    EXPECT_TRUE(tools.onResize().empty());
}

TEST_F(PinPointTest, PinPointOffOffersNoListAndColoursNothing) {
    defaultFile(line(kAnchor, bn(kTarget, 3)));
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget, 2));
    auto& d = start();
    d.toggles().pinPoint = false;
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    EXPECT_EQ(tools.onContextMenu(kAnchor, kTarget).result, 2);
    EXPECT_TRUE(tools.onLoad(kSource).empty());
    tools.onPageClick(kAnchor);
    const auto r = tools.onLinkClick(kTarget);
    tools.afterLinkShown(true, r);
    EXPECT_TRUE(tools.pendingPinAnchor().empty());

    d.toggles().pinPoint = true;
    tools.pageReplaced();
    EXPECT_FALSE(tools.onLoad(kSource).empty());
    EXPECT_TRUE(tools.onFocus(kSource).empty());
    EXPECT_TRUE(tools.onContextMenu(kAnchor, kTarget).showList());
}

TEST_F(PinPointTest, PickInTheListJumpsAndBecomesTheUsersMarker) {
    sentence(bn(kTarget, 1));
    sentence(bn(kTarget2, 2));
    auto& d = start();
    std::string lastColored;
    PinPointTools tools(d, lastColored);
    const auto list = tools.onContextMenu(kAnchor, kTarget);
    ASSERT_TRUE(list.showList());
    const std::string picked = list.items.back().data;
    EXPECT_EQ(PinPointTools::pickedPage(picked), kTarget2);
    tools.afterPickShown(true, picked);
    EXPECT_EQ(tools.pendingPinAnchor(), picked);
    EXPECT_EQ(d.findMarker(false, kAnchor), picked);
    EXPECT_EQ(userFileText(), "VERSION 8.08\r\n" + line(kAnchor, picked));
    tools.onLoad(kTarget2);

    // The page item: no jump, and the user's marker is gone.
    EXPECT_EQ(PinPointTools::pickedPage(list.items.front().data), kTarget);
    tools.afterPickShown(true, list.items.front().data);
    EXPECT_TRUE(tools.pendingPinAnchor().empty());
    EXPECT_TRUE(d.findMarker(false, kAnchor).empty());
    // A pick whose page was not shown records nothing.
    tools.afterPickShown(false, picked);
    EXPECT_TRUE(d.findMarker(false, kAnchor).empty());
}

}  // namespace
}  // namespace tavrel::textview
