#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/options.h"
#include "document/screen_fit.h"
#include "document/settings_store.h"
#include "text/sjis.h"

using namespace tavrel;

namespace {

// A memory store that also records the order of the integer writes.
class RecordingStore : public MemorySettingsStore {
public:
    void writeInt(const std::string& section, const std::string& key, int value) override {
        written.push_back(section + "/" + key);
        MemorySettingsStore::writeInt(section, key, value);
    }
    std::vector<std::string> written;
};

const std::string S = kSettingsSection;

}  // namespace

// ---------------------------------------------------------------- the store

TEST(MemoryStore, MissingValuesReadAsDefault) {
    MemorySettingsStore store;
    EXPECT_EQ(store.readInt(S, "TabPage", 7), 7);
    EXPECT_EQ(store.readText(S, "CurIDFN", "x"), "x");
    std::vector<uint8_t> out{1, 2};
    EXPECT_FALSE(store.readBinary(S, "SchDlgA", out));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2}));
}

TEST(MemoryStore, ValuesRoundTripPerSectionAndKey) {
    MemorySettingsStore store;
    store.writeInt(S, "TabPage", 2);
    store.writeInt(kRecordsSection, "TabPage", 5);
    store.writeText(S, "CurIDFN", SJ("第3条"));
    store.writeBinary(S, "SchDlgA", {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(store.readInt(S, "TabPage", 0), 2);
    EXPECT_EQ(store.readInt(kRecordsSection, "TabPage", 0), 5);
    EXPECT_EQ(store.readText(S, "CurIDFN", ""), SJ("第3条"));
    std::vector<uint8_t> out;
    ASSERT_TRUE(store.readBinary(S, "SchDlgA", out));
    EXPECT_EQ(out.size(), 8u);
    EXPECT_EQ(out[7], 8);
    EXPECT_TRUE(store.contains(S, "TabPage"));
    store.remove(S, "TabPage");
    EXPECT_FALSE(store.contains(S, "TabPage"));
    EXPECT_EQ(store.readInt(S, "TabPage", -1), -1);
    EXPECT_TRUE(store.contains(kRecordsSection, "TabPage"));
}

TEST(MemoryStore, ValueOfTheWrongTypeReadsAsDefault) {
    MemorySettingsStore store;
    store.writeText(S, "FontSizeBasic", "12");
    store.writeInt(S, "CurIDFN", 5);
    store.writeText(S, "SchDlgA", "0.5");
    EXPECT_EQ(store.readInt(S, "FontSizeBasic", 9), 9);
    EXPECT_EQ(store.readText(S, "CurIDFN", "dflt"), "dflt");
    std::vector<uint8_t> out{9};
    EXPECT_FALSE(store.readBinary(S, "SchDlgA", out));
    EXPECT_EQ(out, std::vector<uint8_t>{9});
    // Writing again with another type replaces the value.
    store.writeInt(S, "FontSizeBasic", 12);
    EXPECT_EQ(store.readInt(S, "FontSizeBasic", 9), 12);
    EXPECT_EQ(store.readText(S, "FontSizeBasic", "none"), "none");
}

// ---------------------------------------------------------------- key table and defaults

TEST(OptionBlockTable, KeysInStoredOrder) {
    const char* expected[] = {"FontSizeBasic",       "FontSizeTable",      "FontColorTop",       "FontColorBasic",
                              "FontColorJouSection", "FontColorKkjDate",   "FontColorLink",      "FontColorLinkActive",
                              "FontColorKeyWord",    "FontColorTag",       "FontColorBrachet1A", "FontColorBrachet1B",
                              "FontColorBrachet2A",  "FontColorBrachet2B", "FontColorBrachet3A", "FontColorBrachet3B",
                              "FontColorPinPoint",   "FontColorPioPointOff", "PinPointPriority", "FontColorTarget1",
                              "FontColorTarget2",    "FontColorTarget3",   "BackColor",          "ReviveLastPage"};
    ASSERT_EQ(std::size(expected), static_cast<size_t>(OptionCount));
    for (int i = 0; i < OptionCount; ++i) EXPECT_STREQ(optionKey(static_cast<OptionIndex>(i)), expected[i]) << i;
    EXPECT_STREQ(optionKey(OptionCount), "");
}

TEST(OptionBlockTable, DefaultsAsHtmlColours) {
    const OptionBlock d = defaultOptionBlock();
    EXPECT_EQ(d[FontSizeBasic], 9);
    EXPECT_EQ(d[FontSizeTable], 9);
    EXPECT_EQ(d[FontColorPioPointOff], 0);
    EXPECT_EQ(d[PinPointPriority], 1);
    EXPECT_EQ(d[ReviveLastPage], 1);
    const std::pair<OptionIndex, const char*> colours[] = {
        {FontColorTop, "696969"},       {FontColorBasic, "000000"},     {FontColorJouSection, "696969"},
        {FontColorKkjDate, "696969"},   {FontColorLink, "007733"},      {FontColorLinkActive, "FF0000"},
        {FontColorKeyWord, "777700"},   {FontColorTag, "0066CC"},       {FontColorBrachet1A, "00FF00"},
        {FontColorBrachet1B, "DDFFDD"}, {FontColorBrachet2A, "00FFFF"}, {FontColorBrachet2B, "DDFFFF"},
        {FontColorBrachet3A, "FFFF00"}, {FontColorBrachet3B, "FFFFDD"}, {FontColorPinPoint, "FFFFCC"},
        {FontColorTarget1, "87CEEB"},   {FontColorTarget2, "FFC0FB"},   {FontColorTarget3, "FFD700"},
        {BackColor, "FFFFFF"}};
    for (const auto& [idx, html] : colours) EXPECT_EQ(colorToHtml(d[idx]), html) << optionKey(idx);
}

TEST(OptionBlockTable, OtherKeysTypesAndDefaults) {
    struct Row {
        const char* section;
        const char* key;
        SettingType type;
        int intDefault;
        const char* textDefault;
    } rows[] = {{kSettingsSection, "Synchro", SettingType::Int, 1, nullptr},
                {kSettingsSection, "Refer", SettingType::Int, 1, nullptr},
                {kSettingsSection, "Brachet", SettingType::Int, 1, nullptr},
                {kSettingsSection, "PinPoint", SettingType::Int, 1, nullptr},
                {kSettingsSection, "CurIDFN", SettingType::Text, 0, "00A-Z0010000-00"},
                {kSettingsSection, "TabPage", SettingType::Int, 0, nullptr},
                {kSettingsSection, "SearchEmph", SettingType::Int, 1, nullptr},
                {kSettingsSection, "SearchTarget-01", SettingType::Text, 0, nullptr},
                {kSettingsSection, "SearchTarget-10", SettingType::Text, 0, nullptr},
                {kSettingsSection, "ClipChk", SettingType::Int, 0, nullptr},
                {kSettingsSection, "WindowPos", SettingType::Text, 0, nullptr},
                {kSettingsSection, "SplitterPos1", SettingType::Text, 0, nullptr},
                {kSettingsSection, "SplitterPos2", SettingType::Text, 0, nullptr},
                {kSettingsSection, "CustColors", SettingType::Text, 0, nullptr},
                {kSettingsSection, "SchDlgA", SettingType::Binary, 0, nullptr},
                {kSettingsSection, "SchDlgB", SettingType::Binary, 0, nullptr},
                {kRecordsSection, "Version", SettingType::Int, 0, nullptr},
                {"Support", "SupportSiteUrl", SettingType::Text, 0, ""},
                {"Support", "ProgramHistoryUrl", SettingType::Text, 0, ""},
                {"Support", "LawRevisionsUrl", SettingType::Text, 0, ""},
                {"Support", "NotificationRevisionsUrl", SettingType::Text, 0, ""},
                {"Support", "EnvironmentUrl", SettingType::Text, 0, ""},
                {"Support", "SupportMail", SettingType::Text, 0, ""}};
    for (const auto& r : rows) {
        const SettingKey* k = findSettingKey(r.key, r.section);
        ASSERT_NE(k, nullptr) << r.key;
        EXPECT_EQ(k->type, r.type) << r.key;
        if (r.type == SettingType::Int) {
            EXPECT_EQ(k->intDefault, r.intDefault) << r.key;
        }
        if (r.textDefault) {
            ASSERT_NE(k->textDefault, nullptr) << r.key;
            EXPECT_STREQ(k->textDefault, r.textDefault) << r.key;
        } else {
            EXPECT_EQ(k->textDefault, nullptr) << r.key;
        }
    }
    EXPECT_EQ(findSettingKey("SearchTarget-11"), nullptr);
    EXPECT_EQ(findSettingKey("Version"), nullptr);  // lives in "Records" only
    EXPECT_EQ(findSettingKey("FontSizeBasic", kRecordsSection), nullptr);
}

// The support addresses are empty unless set; a set one is read without the
// blanks around it, a mail address also without "mailto:".
TEST(SupportAddressSettings, EmptyByDefaultAndReadAsSet) {
    MemorySettingsStore store;
    const SupportAddresses none = readSupportAddresses(store);
    for (const std::string* a : {&none.site, &none.programHistory, &none.lawRevisions, &none.notificationRevisions,
                                 &none.environment, &none.mail})
        EXPECT_TRUE(a->empty()) << *a;

    store.writeText("Support", "SupportSiteUrl", " https://support.test/ ");
    store.writeText("Support", "ProgramHistoryUrl", "https://support.test/history");
    store.writeText("Support", "LawRevisionsUrl", "https://support.test/laws.html");
    store.writeText("Support", "NotificationRevisionsUrl", "https://support.test/notifications.html");
    store.writeText("Support", "EnvironmentUrl", "https://support.test/environment.html");
    store.writeText("Support", "SupportMail", "mailto:author@support.test");
    const SupportAddresses set = readSupportAddresses(store);
    EXPECT_EQ(set.site, "https://support.test/");
    EXPECT_EQ(set.programHistory, "https://support.test/history");
    EXPECT_EQ(set.lawRevisions, "https://support.test/laws.html");
    EXPECT_EQ(set.notificationRevisions, "https://support.test/notifications.html");
    EXPECT_EQ(set.environment, "https://support.test/environment.html");
    EXPECT_EQ(set.mail, "author@support.test");
}

TEST(OptionBlockTable, KeysAreUnique) {
    const auto table = settingKeys();
    for (size_t i = 0; i < table.size(); ++i)
        for (size_t j = i + 1; j < table.size(); ++j)
            EXPECT_FALSE(std::string(table[i].key) == table[j].key && std::string(table[i].section) == table[j].section)
                << table[i].key;
}

TEST(Colours, RedIsTheLowestByte) {
    EXPECT_EQ(colorToHtml(0x0000FF), "FF0000");
    EXPECT_EQ(colorToHtml(0x00FF00), "00FF00");
    EXPECT_EQ(colorToHtml(0xFF0000), "0000FF");
    EXPECT_EQ(colorToHtml(0x123456), "563412");
    EXPECT_EQ(colorToHtml(0x7F123456), "563412");  // the high byte is not a colour
    EXPECT_EQ(colorToHtml(-1), "FFFFFF");
}

// ---------------------------------------------------------------- loading and saving the block

TEST(OptionLoading, EmptyStoreGivesTheDefaults) {
    MemorySettingsStore store;
    OptionBlock options;
    Toggles toggles{false, false, false, false};
    loadOptions(store, defaultOptionBlock(), options, toggles);
    EXPECT_EQ(options, defaultOptionBlock());
    EXPECT_EQ(options[FontSizeBasic], 9);
    EXPECT_EQ(colorToHtml(options[BackColor]), "FFFFFF");
    EXPECT_EQ(toggles, (Toggles{true, true, true, true}));
    EXPECT_TRUE(store.values().empty());  // reading writes nothing
}

TEST(OptionLoading, StoredValuesAsStoredOthersFromTheGivenDefaults) {
    MemorySettingsStore store;
    store.writeInt(S, "FontSizeBasic", 250);  // no range check
    store.writeInt(S, "BackColor", 0x000000);
    store.writeText(S, "FontSizeTable", "14");  // wrong type
    store.writeInt(S, "Refer", 0);
    store.writeInt(S, "PinPoint", 0);
    store.writeInt(kRecordsSection, "Synchro", 0);  // other section: not read
    OptionBlock defaults = defaultOptionBlock();
    defaults[FontSizeTable] = 11;
    defaults[FontColorTag] = 0x123456;
    OptionBlock options;
    Toggles toggles;
    loadOptions(store, defaults, options, toggles);
    EXPECT_EQ(options[FontSizeBasic], 250);
    EXPECT_EQ(options[BackColor], 0);
    EXPECT_EQ(options[FontSizeTable], 11);
    EXPECT_EQ(options[FontColorTag], 0x123456);
    EXPECT_EQ(toggles, (Toggles{true, false, true, false}));
}

TEST(OptionSaving, TogglesFirstThenTheBlockInOrder) {
    RecordingStore store;
    OptionBlock options = defaultOptionBlock();
    for (int i = 0; i < OptionCount; ++i) options.values[static_cast<size_t>(i)] = 100 + i;
    saveOptions(store, options, Toggles{false, true, false, true});
    ASSERT_EQ(store.written.size(), 4u + OptionCount);
    EXPECT_EQ(store.written[0], S + "/Synchro");
    EXPECT_EQ(store.written[1], S + "/Refer");
    EXPECT_EQ(store.written[2], S + "/Brachet");
    EXPECT_EQ(store.written[3], S + "/PinPoint");
    for (int i = 0; i < OptionCount; ++i)
        EXPECT_EQ(store.written[4 + static_cast<size_t>(i)], S + "/" + optionKey(static_cast<OptionIndex>(i)));
    EXPECT_EQ(store.readInt(S, "Synchro", -1), 0);
    EXPECT_EQ(store.readInt(S, "Refer", -1), 1);
    EXPECT_EQ(store.readInt(S, "ReviveLastPage", -1), 100 + ReviveLastPage);

    OptionBlock back;
    Toggles toggles;
    loadOptions(store, defaultOptionBlock(), back, toggles);
    EXPECT_EQ(back, options);
    EXPECT_EQ(toggles, (Toggles{false, true, false, true}));
}

// ---------------------------------------------------------------- composite formats

TEST(WindowPosFormat, RoundTrip) {
    const WindowPlacement wp{44, 0, 1, -1, -1, -32000, -32000, 10, 20, 1034, 788};
    const std::string text = formatWindowPos(wp);
    EXPECT_EQ(text, "44:0:1:-1:-1:-32000:-32000:10:20:1034:788");
    EXPECT_EQ(parseWindowPos(text), wp);
    EXPECT_EQ(parseWindowPos("+1:2:3:4:5:6:7:8:9:10:11"), (WindowPlacement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(WindowPosFormat, MalformedTextsAreIgnored) {
    const char* bad[] = {"",
                         "1:2:3:4:5:6:7:8:9:10",          // ten numbers
                         "1:2:3:4:5:6:7:8:9:10:11:12",    // twelve numbers
                         "1:2:3:4:5:6:7:8:9:10:11:",      // trailing separator
                         "1:2:3:4::6:7:8:9:10:11",        // empty field
                         "1:2:3:4:5:6:7:8:9:10:11x",      // trailing garbage
                         "1:2:3:4:5:6:7:8:9:10: 11",      // blank
                         "1:2:3:4:5:6:7:8:9:10:0x1F",     // not decimal
                         "1:2:3:4:5:6:7:8:9:10:-",        // sign only
                         "1:2:3:4:5:6:7:8:9:10:+-3",      // two signs
                         "1:2:3:4:5:6:7:8:9:10:99999999999"};  // beyond int
    for (const char* t : bad) EXPECT_FALSE(parseWindowPos(t)) << t;
}

// A stored window on screens that have changed since.
TEST(WindowOnScreens, ReachableWindowsStayAndLostOnesComeBack) {
    const ScreenRect left{0, 0, 1920, 1050};      // primary, a panel below
    const ScreenRect right{1920, 0, 1280, 1024};  // second monitor
    const std::vector<ScreenRect> both{left, right};
    const std::vector<ScreenRect> primaryOnly{left};

    // On a screen, across the two, half out at the left edge with enough
    // title bar left: kept as stored.
    for (const ScreenRect w : {ScreenRect{100, 100, 800, 600}, ScreenRect{1500, 50, 800, 600},
                               ScreenRect{-700, 10, 800, 600}})
        EXPECT_EQ(fitOnScreens(w, both), w) << w.left;
    EXPECT_EQ(fitOnScreens(ScreenRect{1500, 50, 800, 600}, primaryOnly), (ScreenRect{1500, 50, 800, 600}));

    // The second monitor is gone: the window comes to the primary's edge.
    EXPECT_EQ(fitOnScreens(ScreenRect{2100, 200, 800, 600}, primaryOnly), (ScreenRect{1120, 200, 800, 600}));
    // Only a corner left on the screen (title bar too short), or the title
    // bar above the top: moved fully onto it.
    EXPECT_EQ(fitOnScreens(ScreenRect{1850, 900, 800, 600}, primaryOnly), (ScreenRect{1120, 450, 800, 600}));
    EXPECT_EQ(fitOnScreens(ScreenRect{300, -40, 800, 600}, primaryOnly), (ScreenRect{300, 0, 800, 600}));
    // Far away: onto the nearest screen; larger than it: shrunk to fit.
    EXPECT_EQ(fitOnScreens(ScreenRect{-5000, 3000, 800, 600}, both), (ScreenRect{0, 450, 800, 600}));
    EXPECT_EQ(fitOnScreens(ScreenRect{9000, 100, 800, 600}, both), (ScreenRect{2400, 100, 800, 600}));
    EXPECT_EQ(fitOnScreens(ScreenRect{2500, 2000, 2560, 1440}, both), (ScreenRect{1920, 0, 1280, 1024}));
    // The screen it overlaps most wins over the nearer corner of another.
    EXPECT_EQ(fitOnScreens(ScreenRect{1800, -500, 1000, 700}, both), (ScreenRect{1920, 0, 1000, 700}));

    // No usable screen reported: nothing to go by.
    EXPECT_EQ(fitOnScreens(ScreenRect{5000, 5000, 800, 600}, {}), (ScreenRect{5000, 5000, 800, 600}));
    EXPECT_EQ(fitOnScreens(ScreenRect{5000, 5000, 800, 600}, {ScreenRect{0, 0, 0, 0}}),
              (ScreenRect{5000, 5000, 800, 600}));
}

TEST(WindowOnScreens, DamagedEdgesGiveABoundedRectangle) {
    EXPECT_EQ(rectFromEdges(10, 20, 1034, 788), (ScreenRect{10, 20, 1024, 768}));
    EXPECT_EQ(rectFromEdges(500, 500, 100, 100), (ScreenRect{500, 500, 0, 0}));
    const ScreenRect huge = rectFromEdges(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(huge.width, kMaximumExtent);
    EXPECT_EQ(fitOnScreens(huge, {ScreenRect{0, 0, 1280, 1024}}), (ScreenRect{0, 0, 1280, 1024}));
}

TEST(SplitterPosFormat, RoundTripAndMalformed) {
    const SplitterPos sp{0, 245, 30};
    EXPECT_EQ(formatSplitterPos(sp), "0:245:30");
    EXPECT_EQ(parseSplitterPos("0:245:30"), sp);
    EXPECT_EQ(parseSplitterPos("1:-5:0"), (SplitterPos{1, -5, 0}));
    for (const char* t : {"", "0:245", "0:245:30:1", "0:abc:30", "0:245:", ":245:30", "0;245;30"})
        EXPECT_FALSE(parseSplitterPos(t)) << t;
}

TEST(CustColorsFormat, RoundTrip) {
    CustomColors colors;
    for (size_t i = 0; i < colors.size(); ++i) colors[i] = static_cast<uint32_t>(0x10101 * i);
    colors[15] = 0xABCDEF;
    const std::string text = formatCustColors(colors);
    ASSERT_EQ(text.size(), 111u);
    EXPECT_EQ(text.substr(0, 14), "000000:010101:");
    EXPECT_EQ(text.substr(105), "ABCDEF");
    EXPECT_EQ(parseCustColors(text), colors);
}

TEST(CustColorsFormat, MalformedTextsGiveWhite) {
    CustomColors white;
    white.fill(0xFFFFFF);
    std::string good = formatCustColors(CustomColors{});
    ASSERT_EQ(good.size(), 111u);
    EXPECT_EQ(parseCustColors(""), white);
    EXPECT_EQ(parseCustColors(good.substr(0, 110)), white);
    EXPECT_EQ(parseCustColors(good + "0"), white);
    std::string nonHex = good;
    nonHex[7 * 3 + 2] = 'G';
    EXPECT_EQ(parseCustColors(nonHex), white);
    std::string badSeparator = good;
    badSeparator[6] = ';';
    EXPECT_EQ(parseCustColors(badSeparator), white);
    std::string lower = good;
    lower.replace(0, 6, "abcdef");
    EXPECT_EQ(parseCustColors(lower)[0], 0xABCDEFu);
}

TEST(CustColorsFormat, HighByteDoesNotBreakTheLength) {
    CustomColors colors{};
    colors[2] = 0xFF123456;
    const std::string text = formatCustColors(colors);
    ASSERT_EQ(text.size(), 111u);
    EXPECT_EQ(parseCustColors(text)[2], 0x123456u);
}

// ---------------------------------------------------------------- recent searches

TEST(SearchEntries, ReadStopsAtTheFirstEmptyOrAbsentValue) {
    MemorySettingsStore store;
    EXPECT_TRUE(readSearchEntries(store).empty());
    store.writeText(S, "SearchTarget-01", "a");
    store.writeText(S, "SearchTarget-02", SJ("建築"));
    store.writeText(S, "SearchTarget-04", "d");  // after a gap: not read
    EXPECT_EQ(readSearchEntries(store), (std::vector<std::string>{"a", SJ("建築")}));
    store.writeText(S, "SearchTarget-03", "");
    EXPECT_EQ(readSearchEntries(store).size(), 2u);
    store.writeInt(S, "SearchTarget-02", 7);  // wrong type reads as absent
    EXPECT_EQ(readSearchEntries(store), std::vector<std::string>{"a"});
    for (int n = 1; n <= 11; ++n) store.writeText(S, searchTargetKey(n), "x" + std::to_string(n));
    const auto ten = readSearchEntries(store);
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_EQ(ten.back(), "x10");
}

TEST(SearchEntries, WriteFromTheFirstNumberAndStopAtAnEmptyEntry) {
    EXPECT_EQ(searchTargetKey(1), "SearchTarget-01");
    EXPECT_EQ(searchTargetKey(10), "SearchTarget-10");
    MemorySettingsStore store;
    for (int n = 1; n <= 5; ++n) store.writeText(S, searchTargetKey(n), "old");
    writeSearchEntries(store, {"new1", "new2", "", "new4"});
    EXPECT_EQ(store.readText(S, "SearchTarget-01", ""), "new1");
    EXPECT_EQ(store.readText(S, "SearchTarget-02", ""), "new2");
    EXPECT_EQ(store.readText(S, "SearchTarget-03", ""), "old");  // not removed
    EXPECT_EQ(store.readText(S, "SearchTarget-04", ""), "old");
    EXPECT_EQ(store.readText(S, "SearchTarget-05", ""), "old");

    MemorySettingsStore big;
    std::vector<std::string> many;
    for (int i = 0; i < 12; ++i) many.push_back("e" + std::to_string(i));
    writeSearchEntries(big, many);
    EXPECT_EQ(big.values().size(), 10u);
    EXPECT_EQ(big.readText(S, "SearchTarget-10", ""), "e9");
}

TEST(SearchEntries, RecentSearchesKeepTheNewestTen) {
    std::vector<std::string> entries;
    for (int i = 10; i >= 1; --i) entries.push_back("w" + std::to_string(i));  // newest first
    addRecentSearch(entries, "w11");
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries.front(), "w11");
    EXPECT_EQ(entries[1], "w10");
    EXPECT_EQ(entries.back(), "w2");
}

TEST(SearchEntries, DuplicateMovesToTheTop) {
    std::vector<std::string> entries{"alpha", "Beta", SJ("建築 基準"), "gamma"};
    addRecentSearch(entries, "BETA");
    EXPECT_EQ(entries, (std::vector<std::string>{"BETA", "alpha", SJ("建築 基準"), "gamma"}));
    addRecentSearch(entries, SJ("建築 基準"));
    EXPECT_EQ(entries, (std::vector<std::string>{SJ("建築 基準"), "BETA", "alpha", "gamma"}));
    addRecentSearch(entries, "");  // nothing to record
    EXPECT_EQ(entries.size(), 4u);
}

TEST(SearchEntries, CaseFoldingNeverTouchesDoubleByteCharacters) {
    // ア and ヂ differ only in a trail byte that looks like 'A' / 'a'.
    ASSERT_EQ(SJ("ア").size(), 2u);
    ASSERT_EQ(SJ("ア")[0], SJ("ヂ")[0]);
    std::vector<std::string> entries{SJ("ア")};
    addRecentSearch(entries, SJ("ヂ"));
    EXPECT_EQ(entries, (std::vector<std::string>{SJ("ヂ"), SJ("ア")}));
}

TEST(SearchEntries, StoreRoundTrip) {
    MemorySettingsStore store;
    std::vector<std::string> entries = readSearchEntries(store);
    for (const char* w : {"one", "two", "three", "TWO"}) {
        addRecentSearch(entries, w);
        writeSearchEntries(store, entries);
    }
    EXPECT_EQ(readSearchEntries(store), (std::vector<std::string>{"TWO", "three", "one"}));
}
