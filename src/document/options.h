// The option block (24 integers in a fixed order), the four toggles, the
// settings-key table and the composite value formats of the settings store.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/settings_store.h"

namespace tavrel {

inline constexpr const char* kSettingsSection = "Settings-2008";
inline constexpr const char* kRecordsSection = "Records";
// The addresses of the program's support site and mail, set per installation.
inline constexpr const char* kSupportSection = "Support";
// Laws from e-Gov 法令API Version 2: its address, the timeout, the weekly check.
inline constexpr const char* kEgovSection = "EGov";

// Indices of the option block, in the stored order.
enum OptionIndex : int {
    FontSizeBasic = 0,
    FontSizeTable,
    FontColorTop,
    FontColorBasic,
    FontColorJouSection,
    FontColorKkjDate,
    FontColorLink,
    FontColorLinkActive,
    FontColorKeyWord,
    FontColorTag,
    FontColorBrachet1A,
    FontColorBrachet1B,
    FontColorBrachet2A,
    FontColorBrachet2B,
    FontColorBrachet3A,
    FontColorBrachet3B,
    FontColorPinPoint,
    FontColorPioPointOff,
    PinPointPriority,
    FontColorTarget1,
    FontColorTarget2,
    FontColorTarget3,
    BackColor,
    ReviveLastPage,
    OptionCount
};

struct OptionBlock {
    std::array<int32_t, OptionCount> values{};
    int32_t& operator[](OptionIndex i) { return values[static_cast<size_t>(i)]; }
    int32_t operator[](OptionIndex i) const { return values[static_cast<size_t>(i)]; }
    bool operator==(const OptionBlock&) const = default;
};

// Key name of option i ("FontSizeBasic" ...).
const char* optionKey(OptionIndex i);

// The built-in defaults of the option block.
OptionBlock defaultOptionBlock();

struct Toggles {
    bool synchro = true;  // "Synchro"
    bool refer = true;    // "Refer"
    bool brachet = true;  // "Brachet"
    bool pinPoint = true; // "PinPoint"
    bool operator==(const Toggles&) const = default;
};

// Colour value 0x00BBGGRR -> "RRGGBB" (upper-case hex, "%02X%02X%02X").
std::string colorToHtml(int32_t color);

// Reads the toggles and the 24 options with their defaults (document
// constructor) / writes them back, toggles first (document destructor).
void loadOptions(const SettingsStore& store, const OptionBlock& defaults, OptionBlock& options, Toggles& toggles);
void saveOptions(SettingsStore& store, const OptionBlock& options, const Toggles& toggles);

// WindowPos: eleven integers "%i:%i:…" (length, flags, show state, min x/y,
// max x/y, normal rectangle left/top/right/bottom). nullopt when malformed.
using WindowPlacement = std::array<int, 11>;
std::optional<WindowPlacement> parseWindowPos(const std::string& text);
std::string formatWindowPos(const WindowPlacement& wp);

// SplitterPos1/2: "%i:%i:%i" (pane index, size, minimum size).
struct SplitterPos {
    int pane = 0;
    int size = 0;
    int minimum = 0;
    bool operator==(const SplitterPos&) const = default;
};
std::optional<SplitterPos> parseSplitterPos(const std::string& text);
std::string formatSplitterPos(const SplitterPos& sp);

// CustColors: sixteen "%06X" entries joined by ":" (111 characters). A text of
// any other length gives sixteen white (0xFFFFFF) colours.
using CustomColors = std::array<uint32_t, 16>;
CustomColors parseCustColors(const std::string& text);
std::string formatCustColors(const CustomColors& colors);

// Recent full-text searches "SearchTarget-01".."SearchTarget-10".
std::vector<std::string> readSearchEntries(const SettingsStore& store);
void writeSearchEntries(SettingsStore& store, const std::vector<std::string>& entries);
// Puts text at the top, removing an entry equal to it (ASCII case-insensitive),
// and keeps at most ten.
void addRecentSearch(std::vector<std::string>& entries, const std::string& text);

// The settings-key table: every value the program keeps in the store, with
// its section, type and default, in one place.
enum class SettingType { Int, Text, Binary };
struct SettingKey {
    const char* section;
    const char* key;
    SettingType type;
    int intDefault;           // Int values
    const char* textDefault;  // Text values; nullptr when the value has no default (absent)
};
std::span<const SettingKey> settingKeys();
// The entry of key in section, or nullptr for a key the program does not use.
const SettingKey* findSettingKey(std::string_view key, std::string_view section = kSettingsSection);

// Key names of the values outside the option block.
namespace keys {
inline constexpr const char* Synchro = "Synchro";
inline constexpr const char* Refer = "Refer";
inline constexpr const char* Brachet = "Brachet";
inline constexpr const char* PinPoint = "PinPoint";
inline constexpr const char* CitedBy = "CitedBy";  // the 被引用 block under the pages
inline constexpr const char* CurIDFN = "CurIDFN";
inline constexpr const char* TabPage = "TabPage";
inline constexpr const char* SearchEmph = "SearchEmph";
inline constexpr const char* ClipChk = "ClipChk";
inline constexpr const char* WindowPos = "WindowPos";
inline constexpr const char* SplitterPos1 = "SplitterPos1";
inline constexpr const char* SplitterPos2 = "SplitterPos2";
inline constexpr const char* CustColors = "CustColors";
inline constexpr const char* SchDlgA = "SchDlgA";
inline constexpr const char* SchDlgB = "SchDlgB";
inline constexpr const char* HiddenReported = "HiddenReported";
inline constexpr const char* Version = "Version";  // section "Records"
// Section "Support"; every one is empty unless the installation sets it.
inline constexpr const char* SupportSiteUrl = "SupportSiteUrl";
inline constexpr const char* ProgramHistoryUrl = "ProgramHistoryUrl";
inline constexpr const char* LawRevisionsUrl = "LawRevisionsUrl";
inline constexpr const char* NotificationRevisionsUrl = "NotificationRevisionsUrl";
inline constexpr const char* EnvironmentUrl = "EnvironmentUrl";
inline constexpr const char* SupportMail = "SupportMail";
// Section "EGov".
inline constexpr const char* EgovBaseUrl = "BaseUrl";
inline constexpr const char* EgovTimeoutSeconds = "TimeoutSeconds";
inline constexpr const char* EgovWeeklyCheck = "WeeklyCheck";  // 1: check the imported laws once a week at start-up
inline constexpr const char* EgovLastCheck = "LastCheck";      // yyyy-MM-dd of the last check at start-up
}  // namespace keys

// The e-Gov settings; a timeout outside 1–600 seconds reads as the default.
struct EgovSettings {
    std::string baseUrl;
    int timeoutSeconds = 30;
    bool weeklyCheck = false;
    std::string lastCheck;
};
EgovSettings readEgovSettings(const SettingsStore& store);
void writeEgovSettings(SettingsStore& store, const EgovSettings& settings);

// Where the user can read about the program and reach its author. An empty
// address is not offered: its menu item is disabled, its question or line
// is left out.
struct SupportAddresses {
    std::string site;                   // the support site's top page
    std::string programHistory;         // prefix of the program-history pages
    std::string lawRevisions;           // the law revision page
    std::string notificationRevisions;  // the notification revision page
    std::string environment;            // the page about the required environment
    std::string mail;                   // the author's mail address (without "mailto:")
};
SupportAddresses readSupportAddresses(const SettingsStore& store);

// The cover page, default of CurIDFN.
inline constexpr const char* kCoverPageId = "00A-Z0010000-00";

// "SearchTarget-01" .. "SearchTarget-10" for n = 1 .. 10.
std::string searchTargetKey(int n);
inline constexpr int kMaxSearchEntries = 10;

}  // namespace tavrel
