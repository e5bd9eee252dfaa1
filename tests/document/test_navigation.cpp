#include "document/navigation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrel;
using tavrel::testing::FakeMessageSink;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

// A text view that behaves like the real one where the page commands can
// see it: it refuses identifiers that are not 15 characters long, pages it
// cannot build and the page already shown (unless asked to redisplay), and it
// reports the page it leaves to the document's history.
class FakeView : public PageViewPartner {
public:
    explicit FakeView(DocumentNavigation& nav) : nav_(nav) {}

    std::string currentPageId() const override { return current; }
    void setRestorePosition(int x, int y) override {
        restoreX = x;
        restoreY = y;
    }
    bool showPage(const std::string& id) override {
        ++showCalls;
        if (id.size() != 15 || failing.count(id)) return false;
        if (!reshow && id == current) return false;
        if (reshow) {
            reshow = false;
            ++redisplays;
        } else {
            nav_.recordVisit(HistoryEntry{current, scrollX, scrollY});
        }
        current = id;
        scrollX = restoreX;
        scrollY = restoreY;
        restoreX = restoreY = 0;
        return true;
    }
    void colorAnchors() override { ++colorings; }
    void setReshow() override { reshow = true; }
    void clearPageCache() override { ++cacheClears; }
    void printPage(int preview) override { prints.push_back(preview); }
    std::string currentMarks() const override { return marks; }
    int markWords(const std::string& words, int flag) override {
        marked.push_back(words + "/" + std::to_string(flag));
        return 1;
    }
    std::string runSearchDialog(const std::string& initialText) override {
        dialogInputs.push_back(initialText);
        return dialogAnswer;
    }

    // Opens a page from the navigator, with the page on screen scrolled to (x, y).
    bool open(const std::string& id, int x = 0, int y = 0) {
        scrollX = x;
        scrollY = y;
        return showPage(id);
    }

    std::string current;
    int scrollX = 0, scrollY = 0, restoreX = 0, restoreY = 0;
    bool reshow = false;
    std::set<std::string> failing;
    int showCalls = 0, redisplays = 0, colorings = 0, cacheClears = 0;
    std::vector<int> prints;
    std::string marks;
    std::vector<std::string> marked;
    std::vector<std::string> dialogInputs;
    std::string dialogAnswer;

private:
    DocumentNavigation& nav_;
};

class FakeNavigator : public NavigatorPartner {
public:
    void syncToArticle(const std::string& id) override { synced.push_back(id); }
    void refreshAfterMove() override { ++refreshes; }
    int currentTab() const override { return tab; }
    std::vector<std::string> synced;
    int refreshes = 0;
    int tab = 0;
};

class FakeStatusBar : public StatusBarPartner {
public:
    void setPageCaption(const std::string& text) override { captions.push_back(text::toUtf8(text)); }
    std::vector<std::string> captions;
};

// Pages of the fixture collection, in ID_FN order (the article sequence).
const char* const kCover = "00A-Z0010000-00";
const char* const kArt1 = "01A-00010000-00";
const char* const kArt2 = "01A-00020000-00";
const char* const kArt3b2 = "01A-00030200-00";
const char* const kSuppl = "01A-F0010000-00";
const char* const kTable = "01A-T0010000-00";
const char* const kNotice0 = "02K-KD190123-00";
const char* const kNotice1 = "02K-KD190123-01";
const char* const kNotice2 = "02K-KD190123-02";
const char* const kHidden = "09A-00010000-00";  // page of a hidden law: not in the sequence

class NavigationTest : public ::testing::Test {
protected:
    NavigationTest() {
        const std::string data = dir.folder() + "data/";
        fs::create_directories(data);
        {
            FixtureDb db(data + "TL2008.orl");
            db.exec(
                "INSERT INTO T_法 VALUES ('00A', '表紙', '表紙', '表紙', -1);"
                "INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);"
                "INSERT INTO T_法 VALUES ('02K', '告示', '告', '告示', -1);"
                "INSERT INTO T_法 VALUES ('09A', '廃止法', '廃', '廃止法', 0);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('00A-Z0010000-00', '表紙', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('01A-00010000-00', '目的', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('01A-00020000-00', '用語', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('01A-00030200-00', '適用', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('01A-F0010000-00', 'なし', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('01A-T0010000-00', '別表', NULL, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('02K-KD190123-00', '構造方法', 3, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('02K-KD190123-01', NULL, 3, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('02K-KD190123-02', NULL, 3, -1);"
                "INSERT INTO T_条 (ID_FN, 条名, 分割, 表示) VALUES ('09A-00010000-00', '旧', NULL, -1);");
        }
        doc = std::make_unique<Document>(settings, sink, DocumentFolders{data, dir.folder() + "user/"});
        fs::create_directories(dir.folder() + "user/");
        nav = std::make_unique<DocumentNavigation>(*doc);
        view = std::make_unique<FakeView>(*nav);
        nav->setTextView(view.get());
        nav->setNavigator(&navigator);
        nav->setStatusBar(&statusBar);
    }

    void SetUp() override {
        ASSERT_TRUE(doc->startUp());
        ASSERT_EQ(doc->articleSequence().size(), 9u);
    }

    static std::string pageOf(int n) { return text::format("01A-%04d0000-00", n); }

    std::vector<std::string> ids(const std::deque<HistoryEntry>& list) {
        std::vector<std::string> out;
        for (const auto& e : list) out.push_back(e.idFN);
        return out;
    }

    TempDir dir;
    MemorySettingsStore settings;
    FakeMessageSink sink;
    std::unique_ptr<Document> doc;
    std::unique_ptr<DocumentNavigation> nav;
    std::unique_ptr<FakeView> view;
    FakeNavigator navigator;
    FakeStatusBar statusBar;
};

// ---- History ----

TEST_F(NavigationTest, BackListKeepsTheFiftyMostRecentPagesLeft) {
    for (int i = 1; i <= 61; ++i) ASSERT_TRUE(view->open(pageOf(i)));
    // 61 pages shown: the first records nothing, the other 60 record the page left.
    ASSERT_EQ(nav->backList().size(), kMaxBackEntries);
    EXPECT_EQ(nav->backList().front().idFN, pageOf(11));
    EXPECT_EQ(nav->backList().back().idFN, pageOf(60));
    EXPECT_TRUE(nav->forwardList().empty());
}

TEST_F(NavigationTest, FirstPageAndShortIdentifiersRecordNothing) {
    nav->recordVisit(HistoryEntry{"", 5, 5});
    nav->recordVisit(HistoryEntry{"01A-0001000-00", 5, 5});
    nav->recordVisit(HistoryEntry{"01A-00010000-000", 5, 5});
    EXPECT_TRUE(nav->backList().empty());
    view->open(kArt1);
    EXPECT_TRUE(nav->backList().empty());
    view->open(kArt2, 3, 40);  // article 1 is left scrolled to (3, 40)
    ASSERT_EQ(nav->backList().size(), 1u);
    EXPECT_EQ(nav->backList().back(), (HistoryEntry{kArt1, 3, 40}));
    // The reading position of the article left is kept in the sequence.
    EXPECT_EQ(nav->readingPosition(kArt1), (HistoryEntry{kArt1, 3, 40}));
    EXPECT_EQ(nav->readingPosition(kArt2), (HistoryEntry{kArt2, 0, 0}));
    EXPECT_FALSE(nav->readingPosition(kHidden).has_value());
}

TEST_F(NavigationTest, BackTwiceThenANewPageEmptiesTheForwardList) {
    view->open(kArt1);
    view->open(kArt2);
    view->open(kArt3b2);
    view->open(kSuppl);
    ASSERT_TRUE(nav->move(cmd::Back));
    ASSERT_TRUE(nav->move(cmd::Back));
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(ids(nav->forwardList()), (std::vector<std::string>{kSuppl, kArt3b2}));
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1}));

    view->open(kTable);
    EXPECT_TRUE(nav->forwardList().empty());
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1, kArt2}));
    EXPECT_FALSE(nav->goingBack());
    EXPECT_FALSE(nav->goingForward());
}

TEST_F(NavigationTest, BackThenForwardMovesOneEntryEachWayAndKeepsOlderForwardEntries) {
    view->open(kArt1);
    view->open(kArt2);
    view->open(kArt3b2);
    view->open(kSuppl);
    nav->move(cmd::Back);  // to 3-2, forward: [suppl]
    view->scrollX = 7;     // the user scrolls 3-2 before leaving it
    view->scrollY = 700;
    nav->move(cmd::Back);  // to 2,   forward: [suppl, 3-2]
    ASSERT_TRUE(nav->move(cmd::Forward));
    EXPECT_EQ(view->current, kArt3b2);
    EXPECT_EQ(ids(nav->forwardList()), (std::vector<std::string>{kSuppl}));
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1, kArt2}));
    // Forward restores the position the page was left at.
    EXPECT_EQ(view->scrollX, 7);
    EXPECT_EQ(view->scrollY, 700);
    ASSERT_TRUE(nav->move(cmd::Forward));
    EXPECT_EQ(view->current, kSuppl);
    EXPECT_TRUE(nav->forwardList().empty());
    EXPECT_FALSE(nav->move(cmd::Forward));
}

TEST_F(NavigationTest, AMoveColoursAnchorsSynchronisesAndRefreshesTheNavigator) {
    view->open(kArt1);
    view->open(kArt2);
    ASSERT_TRUE(nav->move(cmd::Back));
    EXPECT_EQ(view->colorings, 1);
    EXPECT_EQ(navigator.synced, (std::vector<std::string>{kArt1}));
    EXPECT_EQ(navigator.refreshes, 1);

    doc->toggles().synchro = false;
    ASSERT_TRUE(nav->move(cmd::Next));
    EXPECT_EQ(navigator.synced.size(), 1u);
    EXPECT_EQ(navigator.refreshes, 2);
}

TEST_F(NavigationTest, AFailedBackMoveLosesNoEntryAndMisfilesNoLaterVisit) {
    view->open(kArt1);
    view->open(kArt2);
    view->failing.insert(kArt1);
    EXPECT_FALSE(nav->move(cmd::Back));
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1}));
    EXPECT_FALSE(nav->goingBack());
    EXPECT_EQ(view->restoreX, 0);
    EXPECT_EQ(view->restoreY, 0);
    // The next ordinary visit goes to the back list, not to the forward list.
    view->open(kArt3b2);
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1, kArt2}));
    EXPECT_TRUE(nav->forwardList().empty());
}

TEST_F(NavigationTest, MovesNeedBothPartners) {
    view->open(kArt1);
    view->open(kArt2);
    nav->setNavigator(nullptr);
    EXPECT_FALSE(nav->move(cmd::Back));
    EXPECT_FALSE(nav->move(cmd::Next));
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(nav->backList().size(), 1u);
    nav->setNavigator(&navigator);
    nav->setTextView(nullptr);
    EXPECT_FALSE(nav->move(cmd::Back));
    EXPECT_FALSE(nav->canBack());
    EXPECT_FALSE(nav->commandState(cmd::printPage).enabled);
}

// ---- Previous and next ----

TEST_F(NavigationTest, PreviousAndNextFollowTheSequenceAndRestoreReadingPositions) {
    view->open(kArt1);
    view->open(kArt2);
    view->open(kArt3b2, 0, 250);  // article 2 is left scrolled down
    ASSERT_TRUE(nav->move(cmd::Previous));
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(view->scrollY, 250);
    ASSERT_TRUE(nav->move(cmd::Next));
    EXPECT_EQ(view->current, kArt3b2);
    // Previous/next are ordinary moves: the page left goes to the back list.
    EXPECT_EQ(ids(nav->backList()), (std::vector<std::string>{kArt1, kArt2, kArt3b2, kArt2}));
}

TEST_F(NavigationTest, PreviousAndNextAreDisabledAtTheEndsAndOnSpecialPages) {
    // The cover is a special page and also the first entry of the sequence.
    view->open(kCover);
    EXPECT_FALSE(nav->canPrevious());
    EXPECT_FALSE(nav->canNext());
    EXPECT_FALSE(nav->commandState(cmd::Next).enabled);

    view->open(kArt1);
    EXPECT_TRUE(nav->canPrevious());
    EXPECT_TRUE(nav->canNext());

    view->open(kNotice2);  // last entry
    EXPECT_TRUE(nav->canPrevious());
    EXPECT_FALSE(nav->canNext());
    EXPECT_FALSE(nav->move(cmd::Next));
    EXPECT_EQ(view->current, kNotice2);
    ASSERT_TRUE(nav->move(cmd::Previous));
    EXPECT_EQ(view->current, kNotice1);
}

TEST_F(NavigationTest, PreviousOfTheSecondEntryIsAvailableEvenWhenTheFirstIsSpecial) {
    view->open(kArt1);
    ASSERT_TRUE(nav->move(cmd::Previous));
    EXPECT_EQ(view->current, kCover);
    // On the special page synchronisation is not allowed.
    EXPECT_TRUE(navigator.synced.empty());
    EXPECT_FALSE(nav->synchroAllowed());
}

TEST_F(NavigationTest, APageAbsentFromTheSequenceHasNeitherPreviousNorNext) {
    view->open(kArt2);
    view->open(kHidden);
    EXPECT_FALSE(nav->canPrevious());
    EXPECT_FALSE(nav->canNext());
    EXPECT_FALSE(nav->move(cmd::Previous));
    EXPECT_FALSE(nav->move(cmd::Next));
    EXPECT_EQ(view->current, kHidden);
    EXPECT_EQ(view->showCalls, 2);
}

// ---- Enable and check states ----

TEST_F(NavigationTest, HistoryCommandsNeedAFullPageIdentifierAndEntries) {
    EXPECT_FALSE(nav->canBack());
    view->open(kArt1);
    EXPECT_FALSE(nav->commandState(cmd::Back).enabled);
    EXPECT_FALSE(nav->commandState(cmd::Forward).enabled);
    view->open(kArt2);
    EXPECT_TRUE(nav->commandState(cmd::Back).enabled);
    nav->move(cmd::Back);
    EXPECT_FALSE(nav->commandState(cmd::Back).enabled);
    EXPECT_TRUE(nav->commandState(cmd::Forward).enabled);
    // A current identifier that is not 15 characters long disables both.
    view->current = "01A-00010000";
    EXPECT_FALSE(nav->canForward());
}

TEST_F(NavigationTest, SynchroIsDisabledOnTheSearchAndBookmarkTabs) {
    doc->toggles().synchro = true;
    for (int tab : {0, 1}) {
        navigator.tab = tab;
        EXPECT_EQ(nav->commandState(cmd::Synchro), (CommandState{true, true})) << tab;
    }
    for (int tab : {2, 3}) {
        navigator.tab = tab;
        EXPECT_EQ(nav->commandState(cmd::Synchro), (CommandState{false, false})) << tab;
    }
    navigator.tab = 0;
    doc->toggles().synchro = false;
    EXPECT_EQ(nav->commandState(cmd::Synchro), (CommandState{true, false}));
}

TEST_F(NavigationTest, TogglesAreCheckedAsTheyStandAndPrintNeedsAPage) {
    doc->toggles() = Toggles{true, false, true, false};
    EXPECT_EQ(nav->commandState(cmd::Refer), (CommandState{true, false}));
    EXPECT_EQ(nav->commandState(cmd::Brachet), (CommandState{true, true}));
    EXPECT_EQ(nav->commandState(cmd::PinPoint), (CommandState{true, false}));
    EXPECT_FALSE(nav->commandState(cmd::printPage).enabled);
    EXPECT_FALSE(nav->commandState(cmd::PrintPreview).enabled);
    view->current = "x";  // any current page, even one the history ignores
    EXPECT_TRUE(nav->commandState(cmd::printPage).enabled);
    EXPECT_TRUE(nav->commandState(cmd::PrintPreview).enabled);
    EXPECT_TRUE(nav->commandState(cmd::Search).enabled);
    EXPECT_TRUE(nav->commandState(cmd::Options).enabled);
    EXPECT_FALSE(nav->commandState(cmd::QuickCopy).enabled);  // not a document command
}

// ---- Toggles and commands ----

TEST_F(NavigationTest, DisplayTogglesRedisplayTheSamePageWithoutAHistoryEntry) {
    view->open(kArt1);
    view->open(kArt2);
    const auto before = nav->backList();
    const bool brachet = doc->toggles().brachet;
    EXPECT_TRUE(nav->onCommand(cmd::Brachet));
    EXPECT_EQ(doc->toggles().brachet, !brachet);
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(view->redisplays, 1);
    EXPECT_EQ(view->cacheClears, 1);
    EXPECT_EQ(view->colorings, 1);
    EXPECT_FALSE(view->reshow);
    EXPECT_EQ(nav->backList(), before);

    const Toggles t = doc->toggles();
    nav->onCommand(cmd::Refer);
    nav->onCommand(cmd::PinPoint);
    EXPECT_EQ(doc->toggles().refer, !t.refer);
    EXPECT_EQ(doc->toggles().pinPoint, !t.pinPoint);
    EXPECT_EQ(view->redisplays, 3);

    // The 被引用 block: on by default, a switch of its own, checked as it stands.
    EXPECT_TRUE(doc->citedByShown());
    EXPECT_EQ(nav->commandState(cmd::CitedBy), (CommandState{true, true}));
    nav->onCommand(cmd::CitedBy);
    EXPECT_FALSE(doc->citedByShown());
    EXPECT_EQ(nav->commandState(cmd::CitedBy), (CommandState{true, false}));
    EXPECT_EQ(view->redisplays, 4);
    EXPECT_EQ(view->cacheClears, 4);
    EXPECT_EQ(view->current, kArt2);
    EXPECT_EQ(nav->backList(), before);
}

TEST_F(NavigationTest, AToggleWithoutAPageOnlyFlips) {
    const bool refer = doc->toggles().refer;
    nav->toggleDisplay(cmd::Refer);
    EXPECT_EQ(doc->toggles().refer, !refer);
    EXPECT_EQ(view->showCalls, 0);
    EXPECT_EQ(view->cacheClears, 0);
}

TEST_F(NavigationTest, TurningSynchroOnSelectsTheShownArticle) {
    view->open(kArt2);
    doc->toggles().synchro = true;
    nav->onCommand(cmd::Synchro);  // on -> off: nothing selected
    EXPECT_FALSE(doc->toggles().synchro);
    EXPECT_TRUE(navigator.synced.empty());
    nav->onCommand(cmd::Synchro);  // off -> on
    EXPECT_TRUE(doc->toggles().synchro);
    EXPECT_EQ(navigator.synced, (std::vector<std::string>{kArt2}));

    view->open(kCover);
    nav->toggleSynchro();
    nav->toggleSynchro();
    EXPECT_EQ(navigator.synced.size(), 1u);  // not on a special page
}

TEST_F(NavigationTest, PrintSearchAndOptionsGoThroughThePartners) {
    view->open(kArt1);
    nav->onCommand(cmd::printPage);
    nav->onCommand(cmd::PrintPreview);
    EXPECT_EQ(view->prints, (std::vector<int>{0, 1}));

    // The in-page search marks the current words first and remembers the
    // dialog's text for the next time.
    view->dialogAnswer = "abc";
    nav->onCommand(cmd::Search);
    EXPECT_TRUE(view->marked.empty());
    view->marks = "word";
    view->dialogAnswer = "def";
    nav->onCommand(cmd::Search);
    EXPECT_EQ(view->marked, (std::vector<std::string>{"word/1"}));
    EXPECT_EQ(view->dialogInputs, (std::vector<std::string>{"", "abc"}));
    EXPECT_EQ(nav->lastSearchText(), "def");

    nav->setOptionsDialog([](OptionBlock& block, const OptionBlock& defaults) {
        block[BackColor] = defaults[BackColor] + 1;
    });
    EXPECT_TRUE(nav->onCommand(cmd::Options));
    EXPECT_EQ(doc->options()[BackColor], doc->defaultOptions()[BackColor] + 1);
    EXPECT_EQ(view->redisplays, 1);
    EXPECT_EQ(view->current, kArt1);

    EXPECT_TRUE(nav->onCommand(cmd::Block));
    EXPECT_TRUE(nav->onCommand(cmd::Test));
    EXPECT_FALSE(nav->onCommand(cmd::QuickCopy));
    EXPECT_EQ(view->redisplays, 1);
}

// ---- Page caption ----

TEST_F(NavigationTest, PageCaptionsByPageKind) {
    auto caption = [&](const std::string& id) { return text::toUtf8(pageCaptionText(*doc, id)); };
    const std::string tenSpaces = "　　　　　　　　　　";
    EXPECT_EQ(caption(kArt3b2), "建築基準法 第3条の2");
    EXPECT_EQ(caption(kSuppl), "建築基準法 附則");
    EXPECT_EQ(caption(kTable), "別表第1");
    EXPECT_EQ(caption("01A-T0000000-00"), "別表");
    EXPECT_EQ(caption(kNotice0), "告示 平19年 123号 構造方法 (P.01/03)");
    EXPECT_EQ(caption(kNotice1), "告示 平19年 123号 構造方法 (P.02/03)");
    EXPECT_EQ(caption(kCover), tenSpaces);
    EXPECT_EQ(caption("01A-00000000-00"), tenSpaces);  // no article number
    EXPECT_EQ(caption("01A-0001"), tenSpaces);
    EXPECT_EQ(caption(""), tenSpaces);
    // A notification outside the article table has no caption part.
    EXPECT_EQ(caption("02K-KC450012-00"), "告示 昭45年 12号");
}

TEST_F(NavigationTest, TheStatusBarGetsTheCaptionOfEachNewPage) {
    nav->updatePageCaption(kArt1);
    nav->setStatusBar(nullptr);
    nav->updatePageCaption(kArt2);  // no status bar: nothing happens
    EXPECT_EQ(statusBar.captions, (std::vector<std::string>{"建築基準法 第1条"}));
}

TEST(DocumentCommands, CaptionsAndPromptsAreTheProgramsOwn) {
    ASSERT_EQ(documentCommands().size(), 13u);
    auto info = [](int id) {
        const CommandInfo* c = findDocumentCommand(id);
        return c ? text::toUtf8(c->caption) + "|" + text::toUtf8(c->prompt) : std::string("<none>");
    };
    EXPECT_EQ(info(cmd::Back), "戻る|一つ戻ります。（Ctrl+Left）");
    EXPECT_EQ(info(cmd::Next), "次へ|次の条文へ移動します。（Down Key）");
    EXPECT_EQ(info(cmd::Synchro), "同期|目次又はリストと同期します。");
    EXPECT_EQ(info(cmd::PrintPreview), "印刷プレビュー(&V)|印刷プレビューを表示します。");
    EXPECT_EQ(info(cmd::Search), "検索|");
    EXPECT_EQ(info(cmd::Options), "オプション設定(&O)|フォントや背景色の変更を行います。");
    EXPECT_EQ(info(cmd::QuickCopy), "<none>");
}

}  // namespace
