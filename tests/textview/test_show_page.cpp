// The decisions of the text view around showing a page, with the browser,
// the builder and the history replaced by recording fakes.
#include "document/options.h"
#include "document/settings_store.h"
#include "textview/show_page.h"
#include "textview/start_page.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tavrel::textview {
namespace {

const std::string kA = "01A-00010000-00";
const std::string kB = "01A-00020000-00";
const std::string kLarge = "01A-T0010000-00";

class FakeSource : public PageSource {
  public:
    bool buildPage(const std::string& id, bool fullPage, std::string& html) override {
        builds.push_back(id + (fullPage ? "+full" : ""));
        if (failing.count(id)) return false;
        html = "<html>" + id + (fullPage ? " full" : "") + "</html>";
        if (large.count(id) == 0 && largeAfterBuild.count(id)) large.insert(id);
        return true;
    }
    bool isLargePage(const std::string& id) const override { return large.count(id) != 0; }

    std::vector<std::string> builds;
    std::set<std::string> failing, large, largeAfterBuild;
};

class FakeSurface : public PageSurface {
  public:
    std::pair<int, int> scrollOffsets() const override { return scroll; }
    bool putPage(const std::string& id, const std::string& html) override {
        if (refuse) return false;
        shownIds.push_back(id);
        shownHtml = html;
        return true;
    }
    void showWaitBox() override { waitBoxes++; }
    void hideWaitBox() override { waitOpen = false; }
    void disconnectPageEvents() override {}
    void connectPageEvents() override {}
    void focusNavigator() override { focusCalls++; }

    std::pair<int, int> scroll{0, 0};
    bool refuse = false;
    std::vector<std::string> shownIds;
    std::string shownHtml;
    int waitBoxes = 0;
    bool waitOpen = true;
    int focusCalls = 0;
};

class FakeHistory : public HistorySink {
  public:
    void recordVisit(const HistoryEntry& e) override { visits.push_back(e); }
    void pageCaption(const std::string& id) override { captions.push_back(id); }
    std::vector<HistoryEntry> visits;
    std::vector<std::string> captions;
};

class ShowPageTest : public ::testing::Test {
  protected:
    FakeSource source;
    FakeSurface surface;
    FakeHistory history;
    ShowPageState state;
    PageDisplay view{source, surface, history, state};
};

TEST_F(ShowPageTest, RejectsIdentifiersOfAnotherLength) {
    EXPECT_FALSE(view.showPage("01A-00010000"));
    EXPECT_FALSE(view.showPage(kA + "0"));
    EXPECT_FALSE(view.showPage(""));
    EXPECT_TRUE(source.builds.empty());
    EXPECT_TRUE(surface.shownIds.empty());
}

TEST_F(ShowPageTest, FirstPageHandsOverAnEmptyIdentifierAndSetsTheCaption) {
    ASSERT_TRUE(view.showPage(kA));
    EXPECT_EQ(view.curPageId, kA);
    EXPECT_EQ(view.currentPageId(), kA);
    ASSERT_EQ(history.visits.size(), 1u);
    EXPECT_EQ(history.visits[0].idFN, "");
    EXPECT_EQ(history.captions, std::vector<std::string>{kA});
    EXPECT_EQ(surface.focusCalls, 1);
    EXPECT_EQ(surface.shownHtml, "<html>" + kA + "</html>");
}

TEST_F(ShowPageTest, LeavingAPageRecordsItWithItsScrollOffsets) {
    ASSERT_TRUE(view.showPage(kA));
    surface.scroll = {12, 340};
    ASSERT_TRUE(view.showPage(kB));
    ASSERT_EQ(history.visits.size(), 2u);
    EXPECT_EQ(history.visits[1], (HistoryEntry{kA, 12, 340}));
    EXPECT_EQ(state.lastShownId, kB);
}

TEST_F(ShowPageTest, SamePageDoesNothingUnlessReshowWhichRecordsNoVisit) {
    ASSERT_TRUE(view.showPage(kA));
    EXPECT_FALSE(view.showPage(kA));
    EXPECT_EQ(surface.shownIds.size(), 1u);

    view.reshow = true;
    ASSERT_TRUE(view.showPage(kA));
    EXPECT_FALSE(view.reshow);
    EXPECT_EQ(surface.shownIds.size(), 2u);
    EXPECT_EQ(history.visits.size(), 1u);
    EXPECT_EQ(history.captions.size(), 1u);
}

TEST_F(ShowPageTest, CachedPagesAreNotBuiltAgainUntilTheCacheIsCleared) {
    ASSERT_TRUE(view.showPage(kA));
    ASSERT_TRUE(view.showPage(kB));
    ASSERT_TRUE(view.showPage(kA));
    EXPECT_EQ(source.builds, (std::vector<std::string>{kA, kB}));
    EXPECT_EQ(surface.shownHtml, "<html>" + kA + "</html>");

    view.clearPageCache();
    view.reshow = true;
    ASSERT_TRUE(view.showPage(kA));
    EXPECT_EQ(source.builds.size(), 3u);
}

TEST_F(ShowPageTest, NewPageClearsMarksAndSavedColours) {
    ASSERT_TRUE(view.showPage(kA));
    view.marks = "word";
    view.savedColors.push_back("#FFFF00");
    ASSERT_TRUE(view.showPage(kB));
    EXPECT_EQ(view.marks, "");
    EXPECT_TRUE(view.savedColors.empty());
}

TEST_F(ShowPageTest, FailedBuildLeavesPageHistoryAndCacheUntouched) {
    ASSERT_TRUE(view.showPage(kA));
    source.failing.insert(kB);
    EXPECT_FALSE(view.showPage(kB));
    EXPECT_EQ(view.curPageId, kA);
    EXPECT_EQ(history.visits.size(), 1u);
    EXPECT_FALSE(view.isCached(kB));
    EXPECT_EQ(state.lastShownId, kA);
}

TEST_F(ShowPageTest, FailedReshowDoesNotLeaveTheFlagForTheNextRequest) {
    ASSERT_TRUE(view.showPage(kA));
    source.failing.insert(kB);
    view.reshow = true;
    EXPECT_FALSE(view.showPage(kB));
    EXPECT_FALSE(view.reshow);
    // The same page on screen is again ignored.
    EXPECT_FALSE(view.showPage(kA));
}

TEST_F(ShowPageTest, BrowserRefusingThePageReportsFailure) {
    surface.refuse = true;
    EXPECT_FALSE(view.showPage(kA));
    EXPECT_EQ(view.curPageId, "");
    EXPECT_TRUE(history.visits.empty());
    EXPECT_FALSE(view.isCached(kA));
}

TEST_F(ShowPageTest, LargePageWithoutFullRequestIsRebuiltEveryTimeAndNeverCached) {
    source.largeAfterBuild.insert(kLarge);
    ASSERT_TRUE(view.showPage(kLarge));
    // The builder marks the page large as it builds it; from then on it is
    // rebuilt for every request.
    ASSERT_TRUE(view.showPage(kA));
    ASSERT_TRUE(view.showPage(kLarge));
    ASSERT_TRUE(view.showPage(kA));
    ASSERT_TRUE(view.showPage(kLarge));
    EXPECT_EQ(std::count(source.builds.begin(), source.builds.end(), kLarge), 3);
    EXPECT_EQ(surface.waitBoxes, 0);
}

TEST_F(ShowPageTest, FullRequestOfLargePageShowsWaitBoxAddsNoVisitAndIgnoresTheNextClickOnce) {
    source.large.insert(kLarge);
    ASSERT_TRUE(view.showPage(kLarge));
    const size_t visits = history.visits.size();

    // The user clicks the link that asks for the whole page.
    view.fullPage = true;
    ASSERT_TRUE(view.showPage(kLarge));
    view.fullPage = false;
    EXPECT_EQ(source.builds.back(), kLarge + "+full");
    EXPECT_EQ(surface.waitBoxes, 1);
    EXPECT_FALSE(surface.waitOpen);
    EXPECT_EQ(history.visits.size(), visits);
    EXPECT_TRUE(view.isCached(kLarge));
    EXPECT_EQ(state.lastFullPageId, kLarge);

    // A link to the same large page right afterwards does nothing once ...
    view.fullPage = true;
    EXPECT_FALSE(view.showPage(kLarge));
    EXPECT_EQ(state.lastFullPageId, "");
    // ... and works again on the next click, from the cache.
    const size_t builds = source.builds.size();
    EXPECT_TRUE(view.showPage(kLarge));
    view.fullPage = false;
    EXPECT_EQ(source.builds.size(), builds);
    EXPECT_EQ(surface.shownHtml, "<html>" + kLarge + " full</html>");
}

TEST_F(ShowPageTest, FirstTruncatedDisplayIsNotCachedSoItsLinkShowsTheFullPage) {
    // The page becomes large only while it is first built, truncated.
    source.largeAfterBuild.insert(kLarge);
    ASSERT_TRUE(view.showPage(kLarge));
    EXPECT_FALSE(view.isCached(kLarge));
    view.fullPage = true;
    ASSERT_TRUE(view.showPage(kLarge));
    view.fullPage = false;
    EXPECT_EQ(surface.shownHtml, "<html>" + kLarge + " full</html>");
    EXPECT_EQ(source.builds, (std::vector<std::string>{kLarge, kLarge + "+full"}));
    EXPECT_TRUE(view.isCached(kLarge));
}

TEST_F(ShowPageTest, StateIsSharedBetweenViews) {
    ASSERT_TRUE(view.showPage(kA));
    PageDisplay second(source, surface, history, state);
    // The page the first view showed last is the same page for the second.
    EXPECT_FALSE(second.showPage(kA));
    EXPECT_TRUE(second.showPage(kB));
    EXPECT_EQ(history.visits.back().idFN, kA);
}

// ---- start page ----

struct StartCase {
    const char* name;
    const char* stored;  // nullptr: no CurIDFN stored
    int version;         // -1: no Version stored
    int revive;
    const char* expected;
    bool versionWritten;
};

class StartPageTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartPageTest, PicksTheStartPage) {
    const StartCase& c = GetParam();
    MemorySettingsStore store;
    if (c.stored) store.writeText(kSettingsSection, keys::CurIDFN, c.stored);
    if (c.version >= 0) store.writeInt(kRecordsSection, keys::Version, c.version);
    OptionBlock options = defaultOptionBlock();
    options[ReviveLastPage] = c.revive;
    EXPECT_EQ(chooseStartPage(store, options), c.expected);
    const int expectedVersion = c.versionWritten ? 808 : (c.version >= 0 ? c.version : 0);
    EXPECT_EQ(store.readInt(kRecordsSection, keys::Version, 0), expectedVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartPageTest,
    ::testing::Values(StartCase{"LastPageRevived", "01A-00020000-00", 808, 1, "01A-00020000-00", false},
                      StartCase{"NewerVersionKept", "01A-00020000-00", 900, 1, "01A-00020000-00", false},
                      StartCase{"ReviveOffGivesCover", "01A-00020000-00", 808, 0, "00A-Z0010000-00", false},
                      StartCase{"OldVersionGivesCover", "01A-00020000-00", 807, 1, "00A-Z0010000-00", true},
                      StartCase{"NoVersionGivesCover", "01A-00020000-00", -1, 1, "00A-Z0010000-00", true},
                      StartCase{"ShortIdGivesCover", "01A-00020000", 808, 1, "00A-Z0010000-00", true},
                      StartCase{"NothingStored", nullptr, -1, 1, "00A-Z0010000-00", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrel::textview
