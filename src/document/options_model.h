// The options dialog ("オプション設定") without its window: the three option
// blocks it works with, the controls bound to them, the colour swatches, the
// custom colours of the colour chooser, and the buttons.
//
//   working  the values being edited; what the dialog hands back
//   opening  the document's block as the dialog opened ("取消" restores it)
//   defaults the document's default block ("全てデフォルトに戻す")
//
// "適用" hands the working block to the document at once (the shown page is
// rebuilt); "OK" and "取消" only close, and the document then takes the
// working block in any case. Closing writes the sixteen custom colours to
// CustColors.
#pragma once

#include "document/options.h"
#include "document/settings_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavrel {

// Control identifiers of dialog 161.
namespace options_dlg {
inline constexpr int FontSizeBasicList = 1050;
inline constexpr int FontSizeTableList = 1051;
inline constexpr int PinPointSwatch = 1060;
inline constexpr int BlankSwatch = 1073;       // shown instead of 1060 while marks are not coloured
inline constexpr int PinPointColorOff = 1042;  // check box
inline constexpr int PreferDefault = 1043;     // radio
inline constexpr int PreferUser = 1044;        // radio
inline constexpr int ReviveLastPageCheck = 1045;
inline constexpr int ResetAll = 1074;
inline constexpr int Ok = 1;
inline constexpr int Apply = 3;
inline constexpr int Cancel = 2;
inline constexpr int FirstSwatch = 1052;
inline constexpr int LastSwatch = 1072;
}  // namespace options_dlg

// One colour swatch: its control, the option it shows, its label (UTF-8 in
// the table; swatchLabel gives CP932).
struct ColorSwatch {
    int controlId;
    OptionIndex option;
    const char* labelUtf8;
};

class OptionsModel {
public:
    // Hands the working block to the document ("適用": set options and
    // rebuild the shown page).
    using ApplyToDocument = std::function<void(const OptionBlock& block)>;

    // Opening: current is copied into the working and the opening block; the
    // controls are initialised (custom colours read from CustColors).
    OptionsModel(const OptionBlock& current, const OptionBlock& defaults, SettingsStore& store,
                 ApplyToDocument apply = {});

    // ---- Tables of the dialog ----
    // The nineteen colour swatches, in the dialog's order.
    static std::span<const ColorSwatch> swatches();
    // The swatch of a control, or nullptr (1067, 1068, 1073 and other
    // controls are no swatches).
    static const ColorSwatch* findSwatch(int controlId);
    static std::string swatchLabel(const ColorSwatch& swatch);
    // The entries of both font-size lists: "8" .. "12".
    static const std::vector<std::string>& fontSizeEntries();
    // The fixed note under the font sizes (CP932).
    static const std::string& fontSizeNote();

    // ---- Control states ----
    const OptionBlock& working() const { return working_; }
    const OptionBlock& opening() const { return opening_; }
    // Index of the font-size list entry selected for a value (the first
    // entry whose text begins with the value written "%d"), -1 for none.
    int fontSizeSelection(OptionIndex sizeOption) const;
    // The colour a swatch paints with (its bound value); nullopt for a
    // control that is no swatch.
    std::optional<int32_t> swatchColor(int controlId) const;
    bool pinPointColorOff() const { return working_[FontColorPioPointOff] == 1; }
    // Which of 1060 / 1073 is shown in the pinpoint swatch's place.
    int visiblePinPointSwatch() const;
    bool preferDefault() const { return working_[PinPointPriority] == 1; }
    bool reviveLastPage() const { return working_[ReviveLastPage] != 0; }
    const CustomColors& customColors() const { return custom_; }

    // ---- User actions ----
    // The colour chooser closed with OK on swatch controlId: the chosen
    // colour becomes the swatch's value; each non-white chooser custom colour
    // replaces the dialog's at its position. False for a control that is no
    // swatch (nothing changes).
    bool colorChosen(int controlId, uint32_t chosen, const CustomColors& chooserCustom);
    void setPinPointColorOff(bool checked) { working_[FontColorPioPointOff] = checked ? 1 : 0; }
    void setPreferDefault(bool preferDefault) { working_[PinPointPriority] = preferDefault ? 1 : 0; }
    void setReviveLastPage(bool checked) { working_[ReviveLastPage] = checked ? 1 : 0; }
    // "全てデフォルトに戻す": the defaults over the working block, controls
    // initialised again (custom colours read again from the store).
    void resetToDefaults();
    // "適用": the font sizes from the lists' selected texts, then the working
    // block to the document. The dialog stays open.
    void apply(const std::string& basicSizeText, const std::string& tableSizeText);
    // "OK": the font sizes as for "適用", then close.
    void ok(const std::string& basicSizeText, const std::string& tableSizeText);
    // "取消": the opening block over the working block, then close.
    void cancel();
    // Closing by any button: CustColors written. Done once.
    void close();
    bool closed() const { return closed_; }

private:
    void initialise();
    void takeFontSizes(const std::string& basicSizeText, const std::string& tableSizeText);

    OptionBlock working_;
    OptionBlock opening_;
    OptionBlock defaults_;
    SettingsStore& store_;
    ApplyToDocument apply_;
    CustomColors custom_{};
    bool closed_ = false;
};

}  // namespace tavrel
