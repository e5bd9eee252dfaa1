// The options dialog's model: apply / OK / cancel over the three blocks,
// resetting to the defaults, the pinpoint swatch and its blank stand-in, the
// font-size lists and the custom colours kept in CustColors.
#include "document/options.h"
#include "document/options_model.h"
#include "document/settings_store.h"
#include "text/sjis.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tavrel {
namespace {

class OptionsModelTest : public ::testing::Test {
protected:
    OptionsModelTest() {
        current[FontSizeBasic] = 11;
        current[FontColorLink] = 0x112233;
    }
    OptionsModel open() {
        return OptionsModel(current, defaults, store, [this](const OptionBlock& b) {
            applied.push_back(b);
            document = b;
        });
    }
    std::string stored() const { return store.readText("Settings-2008", "CustColors", "absent"); }

    OptionBlock defaults = defaultOptionBlock();
    OptionBlock current = defaultOptionBlock();
    OptionBlock document = current;
    std::vector<OptionBlock> applied;
    MemorySettingsStore store;
};

TEST_F(OptionsModelTest, ApplyThenCancelGivesTheOpeningBlockBack) {
    auto m = open();
    ASSERT_TRUE(m.colorChosen(1057, 0x00FF00, {}));
    m.apply("12", "10");
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0][FontColorLink], 0x00FF00);
    EXPECT_EQ(applied[0][FontSizeBasic], 12);
    EXPECT_EQ(applied[0][FontSizeTable], 10);
    EXPECT_FALSE(m.closed());

    m.cancel();
    EXPECT_TRUE(m.closed());
    // What the document takes after the dialog: the colours it had before.
    EXPECT_EQ(m.working(), current);
    EXPECT_EQ(applied.size(), 1u);
}

TEST_F(OptionsModelTest, OkKeepsTheEditedValues) {
    auto m = open();
    m.colorChosen(1072, 0xEEEEEE, {});
    m.setReviveLastPage(false);
    m.setPreferDefault(false);
    m.ok("8", "");
    EXPECT_TRUE(m.closed());
    EXPECT_TRUE(applied.empty());
    EXPECT_EQ(m.working()[BackColor], 0xEEEEEE);
    EXPECT_EQ(m.working()[ReviveLastPage], 0);
    EXPECT_EQ(m.working()[PinPointPriority], 0);
    EXPECT_EQ(m.working()[FontSizeBasic], 8);
    // No selection in a list: its size stays.
    EXPECT_EQ(m.working()[FontSizeTable], current[FontSizeTable]);
}

TEST_F(OptionsModelTest, ResetToDefaultsThenCancelChangesNothing) {
    auto m = open();
    m.resetToDefaults();
    EXPECT_EQ(m.working(), defaults);
    EXPECT_FALSE(m.closed());
    m.cancel();
    EXPECT_EQ(m.working(), current);
}

TEST_F(OptionsModelTest, BlankSwatchStandsInWhileMarksAreUncoloured) {
    current[FontColorPinPoint] = 0x123456;
    auto m = open();
    EXPECT_EQ(m.visiblePinPointSwatch(), 1060);
    m.setPinPointColorOff(true);
    EXPECT_EQ(m.working()[FontColorPioPointOff], 1);
    EXPECT_EQ(m.visiblePinPointSwatch(), 1073);
    m.setPinPointColorOff(false);
    EXPECT_EQ(m.visiblePinPointSwatch(), 1060);
    EXPECT_EQ(m.swatchColor(1060), 0x123456);
    // The blank stand-in and the two unused controls are no swatches.
    for (const int id : {1073, 1067, 1068, 1042}) {
        EXPECT_FALSE(m.swatchColor(id)) << id;
        EXPECT_FALSE(m.colorChosen(id, 0xABCDEF, {})) << id;
    }
    OptionBlock expected = current;
    EXPECT_EQ(m.working(), expected);
}

TEST_F(OptionsModelTest, NineteenSwatchesEachBoundToItsOwnColour) {
    const auto swatches = OptionsModel::swatches();
    ASSERT_EQ(swatches.size(), 19u);
    std::set<int> ids;
    std::set<int> options;
    for (const auto& s : swatches) {
        EXPECT_GE(s.controlId, 1052);
        EXPECT_LE(s.controlId, 1072);
        ids.insert(s.controlId);
        options.insert(s.option);
        EXPECT_NE(s.option, FontColorPioPointOff);
        EXPECT_NE(s.option, PinPointPriority);
        EXPECT_FALSE(OptionsModel::swatchLabel(s).empty());
    }
    EXPECT_EQ(ids.size(), 19u);
    EXPECT_EQ(options.size(), 19u);
    EXPECT_EQ(OptionsModel::findSwatch(1072)->option, BackColor);
    EXPECT_EQ(OptionsModel::findSwatch(1064)->option, FontColorBrachet1B);
    EXPECT_EQ(OptionsModel::findSwatch(1071)->option, FontColorTarget3);
    EXPECT_EQ(text::toUtf8(OptionsModel::swatchLabel(*OptionsModel::findSwatch(1056))), "タグ（項、号、イ等）");

    // Every swatch paints with, and changes, exactly its own value.
    auto m = open();
    for (const auto& s : swatches) {
        EXPECT_EQ(m.swatchColor(s.controlId), current[s.option]);
        OptionBlock expected = m.working();
        expected[s.option] = 0x00ABCD;
        m.colorChosen(s.controlId, 0x00ABCD, {});
        EXPECT_EQ(m.working(), expected) << s.controlId;
    }
}

TEST_F(OptionsModelTest, FontSizeListSelection) {
    EXPECT_EQ(OptionsModel::fontSizeEntries(), (std::vector<std::string>{"8", "9", "10", "11", "12"}));
    current[FontSizeTable] = 9;
    auto m = open();
    EXPECT_EQ(m.fontSizeSelection(FontSizeBasic), 3);
    EXPECT_EQ(m.fontSizeSelection(FontSizeTable), 1);
    // The first entry that begins with the value's text.
    current[FontSizeBasic] = 1;
    current[FontSizeTable] = 13;
    auto n = open();
    EXPECT_EQ(n.fontSizeSelection(FontSizeBasic), 2);
    EXPECT_EQ(n.fontSizeSelection(FontSizeTable), -1);
    n.apply("0", "abc");
    EXPECT_EQ(applied.back()[FontSizeBasic], 1);
    EXPECT_EQ(applied.back()[FontSizeTable], 13);
    EXPECT_NE(text::toUtf8(OptionsModel::fontSizeNote()).find("10pt"), std::string::npos);
}

TEST_F(OptionsModelTest, CustomColoursLoadedKeptAndWrittenOnClose) {
    // Any length other than 111: sixteen white colours.
    for (const std::string& bad : {std::string(110, '0'), std::string(112, '0'), std::string()}) {
        store.writeText("Settings-2008", "CustColors", bad);
        auto m = open();
        for (const auto c : m.customColors()) EXPECT_EQ(c, 0xFFFFFFu);
        m.cancel();
        EXPECT_EQ(stored().size(), 111u);
        EXPECT_EQ(stored(), formatCustColors(m.customColors()));
    }

    CustomColors start;
    start.fill(0xFFFFFF);
    start[2] = 0x0000AA;
    store.writeText("Settings-2008", "CustColors", formatCustColors(start));
    auto m = open();
    EXPECT_EQ(m.customColors(), start);

    // The chooser's white entries leave the dialog's colours alone.
    CustomColors chooser;
    chooser.fill(0xFFFFFF);
    chooser[5] = 0x00BB00;
    m.colorChosen(1052, 0x010101, chooser);
    EXPECT_EQ(m.customColors()[2], 0x0000AAu);
    EXPECT_EQ(m.customColors()[5], 0x00BB00u);
    chooser[5] = 0xFFFFFF;
    chooser[2] = 0xFFFFFF;
    m.colorChosen(1052, 0x010101, chooser);
    EXPECT_EQ(m.customColors()[2], 0x0000AAu);
    EXPECT_EQ(m.customColors()[5], 0x00BB00u);

    // Nothing is written before the dialog closes, and closing writes once.
    EXPECT_EQ(stored(), formatCustColors(start));
    m.ok("9", "9");
    const std::string written = stored();
    EXPECT_EQ(written.substr(14, 13), "0000AA:FFFFFF");
    EXPECT_EQ(written.substr(35, 6), "00BB00");
    store.writeText("Settings-2008", "CustColors", "later");
    m.close();
    EXPECT_EQ(stored(), "later");
}

TEST_F(OptionsModelTest, ResetReadsTheStoredCustomColoursAgain) {
    CustomColors start;
    start.fill(0xFFFFFF);
    start[0] = 0x000001;
    store.writeText("Settings-2008", "CustColors", formatCustColors(start));
    auto m = open();
    CustomColors chooser;
    chooser.fill(0xFFFFFF);
    chooser[1] = 0x000002;
    m.colorChosen(1053, 0x000003, chooser);
    m.resetToDefaults();
    EXPECT_EQ(m.customColors(), start);
    EXPECT_EQ(m.working()[FontColorBasic], defaults[FontColorBasic]);
    EXPECT_TRUE(m.preferDefault());
    EXPECT_TRUE(m.reviveLastPage());
    EXPECT_FALSE(m.pinPointColorOff());
}

}  // namespace
}  // namespace tavrel
