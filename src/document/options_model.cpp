#include "document/options_model.h"

#include "text/sjis.h"

#include <iterator>

namespace tavrel {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

constexpr ColorSwatch kSwatches[] = {
    {1052, FontColorTop, "トップ見出し"},
    {1054, FontColorJouSection, "セクション名"},
    {1055, FontColorKkjDate, "告示の公布年月日"},
    {1053, FontColorBasic, "本文及びタイトル"},
    {1072, BackColor, "背景"},
    {1061, FontColorBrachet1A, "第1括弧"},
    {1064, FontColorBrachet1B, "第1括弧"},
    {1062, FontColorBrachet2A, "第2括弧"},
    {1065, FontColorBrachet2B, "第2括弧"},
    {1063, FontColorBrachet3A, "第3括弧"},
    {1066, FontColorBrachet3B, "第3括弧"},
    {1056, FontColorTag, "タグ（項、号、イ等）"},
    {1057, FontColorLink, "リンク文字"},
    {1058, FontColorLinkActive, "リンク文字（アクティブ時）"},
    {1059, FontColorKeyWord, "キーワード"},
    {1060, FontColorPinPoint, "ピンポイントマーク"},
    {1069, FontColorTarget1, "第1検索単語"},
    {1070, FontColorTarget2, "第2検索単語"},
    {1071, FontColorTarget3, "第3検索単語"},
};
static_assert(std::size(kSwatches) == 19);

}  // namespace

OptionsModel::OptionsModel(const OptionBlock& current, const OptionBlock& defaults, SettingsStore& store,
                           ApplyToDocument apply)
    : working_(current), opening_(current), defaults_(defaults), store_(store), apply_(std::move(apply)) {
    initialise();
}

std::span<const ColorSwatch> OptionsModel::swatches() { return kSwatches; }

const ColorSwatch* OptionsModel::findSwatch(int controlId) {
    for (const auto& s : kSwatches)
        if (s.controlId == controlId) return &s;
    return nullptr;
}

std::string OptionsModel::swatchLabel(const ColorSwatch& swatch) { return text::fromUtf8(swatch.labelUtf8); }

const std::vector<std::string>& OptionsModel::fontSizeEntries() {
    static const std::vector<std::string> entries = {"8", "9", "10", "11", "12"};
    return entries;
}

const std::string& OptionsModel::fontSizeNote() {
    return SJ(
        "表式の文字サイズは10ptでデザインしました。そのため、表式の文字サイズを11pt以上にすると文字がうまくおさまらない"
        "ことがあります。");
}

void OptionsModel::initialise() {
    // The font-size selections and the check/radio states are read from the
    // working block whenever asked; only the custom colours are loaded here.
    custom_ = parseCustColors(store_.readText(kSettingsSection, keys::CustColors, std::string()));
}

int OptionsModel::fontSizeSelection(OptionIndex sizeOption) const {
    const std::string value = text::format("%d", working_[sizeOption]);
    const auto& entries = fontSizeEntries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].compare(0, value.size(), value) == 0) return static_cast<int>(i);
    return -1;
}

std::optional<int32_t> OptionsModel::swatchColor(int controlId) const {
    const ColorSwatch* s = findSwatch(controlId);
    if (!s) return std::nullopt;
    return working_[s->option];
}

int OptionsModel::visiblePinPointSwatch() const {
    return pinPointColorOff() ? options_dlg::BlankSwatch : options_dlg::PinPointSwatch;
}

bool OptionsModel::colorChosen(int controlId, uint32_t chosen, const CustomColors& chooserCustom) {
    const ColorSwatch* s = findSwatch(controlId);
    if (!s) return false;
    working_[s->option] = static_cast<int32_t>(chosen & 0xFFFFFFu);
    for (size_t i = 0; i < custom_.size(); ++i)
        if ((chooserCustom[i] & 0xFFFFFFu) != kWhite) custom_[i] = chooserCustom[i] & 0xFFFFFFu;
    return true;
}

void OptionsModel::resetToDefaults() {
    working_ = defaults_;
    initialise();
}

void OptionsModel::takeFontSizes(const std::string& basicSizeText, const std::string& tableSizeText) {
    const long basic = text::toLong(basicSizeText);
    const long table = text::toLong(tableSizeText);
    // Only sizes that fit the block's integers (the lists hold 8 to 12).
    constexpr long kLargest = 0x7FFFFFFF;
    if (basic > 0 && basic <= kLargest) working_[FontSizeBasic] = static_cast<int32_t>(basic);
    if (table > 0 && table <= kLargest) working_[FontSizeTable] = static_cast<int32_t>(table);
}

void OptionsModel::apply(const std::string& basicSizeText, const std::string& tableSizeText) {
    takeFontSizes(basicSizeText, tableSizeText);
    if (apply_) apply_(working_);
}

void OptionsModel::ok(const std::string& basicSizeText, const std::string& tableSizeText) {
    takeFontSizes(basicSizeText, tableSizeText);
    close();
}

void OptionsModel::cancel() {
    working_ = opening_;
    close();
}

void OptionsModel::close() {
    if (closed_) return;
    closed_ = true;
    store_.writeText(kSettingsSection, keys::CustColors, formatCustColors(custom_));
}

}  // namespace tavrel
