#include "document/options.h"

#include <charconv>
#include <cstdio>

#include "text/sjis.h"

namespace tavrel {

namespace {

constexpr const char* S = kSettingsSection;
constexpr SettingType I = SettingType::Int;
constexpr SettingType T = SettingType::Text;
constexpr SettingType B = SettingType::Binary;

// The option block comes first, in its stored order; optionKey() and
// defaultOptionBlock() read these rows.
constexpr SettingKey kKeys[] = {
    {S, "FontSizeBasic", I, 9, nullptr},
    {S, "FontSizeTable", I, 9, nullptr},
    {S, "FontColorTop", I, 0x696969, nullptr},
    {S, "FontColorBasic", I, 0, nullptr},
    {S, "FontColorJouSection", I, 0x696969, nullptr},
    {S, "FontColorKkjDate", I, 0x696969, nullptr},
    {S, "FontColorLink", I, 0x337700, nullptr},
    {S, "FontColorLinkActive", I, 0xFF, nullptr},
    {S, "FontColorKeyWord", I, 0x7777, nullptr},
    {S, "FontColorTag", I, 0xCC6600, nullptr},
    {S, "FontColorBrachet1A", I, 0xFF00, nullptr},
    {S, "FontColorBrachet1B", I, 0xDDFFDD, nullptr},
    {S, "FontColorBrachet2A", I, 0xFFFF00, nullptr},
    {S, "FontColorBrachet2B", I, 0xFFFFDD, nullptr},
    {S, "FontColorBrachet3A", I, 0xFFFF, nullptr},
    {S, "FontColorBrachet3B", I, 0xDDFFFF, nullptr},
    {S, "FontColorPinPoint", I, 0xCCFFFF, nullptr},
    {S, "FontColorPioPointOff", I, 0, nullptr},
    {S, "PinPointPriority", I, 1, nullptr},
    {S, "FontColorTarget1", I, 0xEBCE87, nullptr},
    {S, "FontColorTarget2", I, 0xFBC0FF, nullptr},
    {S, "FontColorTarget3", I, 0xD7FF, nullptr},
    {S, "BackColor", I, 0xFFFFFF, nullptr},
    {S, "ReviveLastPage", I, 1, nullptr},
    // Toggles.
    {S, keys::Synchro, I, 1, nullptr},
    {S, keys::Refer, I, 1, nullptr},
    {S, keys::Brachet, I, 1, nullptr},
    {S, keys::PinPoint, I, 1, nullptr},
    // The 被引用 block: a switch of its own, outside the option block.
    {S, keys::CitedBy, I, 1, nullptr},
    // Values owned by the panes and dialogs.
    {S, keys::CurIDFN, T, 0, kCoverPageId},
    {S, keys::TabPage, I, 0, nullptr},
    {S, keys::SearchEmph, I, 1, nullptr},
    {S, "SearchTarget-01", T, 0, nullptr},
    {S, "SearchTarget-02", T, 0, nullptr},
    {S, "SearchTarget-03", T, 0, nullptr},
    {S, "SearchTarget-04", T, 0, nullptr},
    {S, "SearchTarget-05", T, 0, nullptr},
    {S, "SearchTarget-06", T, 0, nullptr},
    {S, "SearchTarget-07", T, 0, nullptr},
    {S, "SearchTarget-08", T, 0, nullptr},
    {S, "SearchTarget-09", T, 0, nullptr},
    {S, "SearchTarget-10", T, 0, nullptr},
    {S, keys::ClipChk, I, 0, nullptr},
    {S, keys::WindowPos, T, 0, nullptr},
    {S, keys::SplitterPos1, T, 0, nullptr},
    {S, keys::SplitterPos2, T, 0, nullptr},
    {S, keys::CustColors, T, 0, nullptr},
    {S, keys::SchDlgA, B, 0, nullptr},
    {S, keys::SchDlgB, B, 0, nullptr},
    // The bookmarks and markers last reported as not shown (a fingerprint).
    {S, keys::HiddenReported, T, 0, ""},
    {kRecordsSection, keys::Version, I, 0, nullptr},
    // Support addresses, empty by default.
    {kSupportSection, keys::SupportSiteUrl, T, 0, ""},
    {kSupportSection, keys::ProgramHistoryUrl, T, 0, ""},
    {kSupportSection, keys::LawRevisionsUrl, T, 0, ""},
    {kSupportSection, keys::NotificationRevisionsUrl, T, 0, ""},
    {kSupportSection, keys::EnvironmentUrl, T, 0, ""},
    {kSupportSection, keys::SupportMail, T, 0, ""},
    // e-Gov 法令API Version 2.
    {kEgovSection, keys::EgovBaseUrl, T, 0, "https://laws.e-gov.go.jp/api/2"},
    {kEgovSection, keys::EgovTimeoutSeconds, I, 30, nullptr},
    {kEgovSection, keys::EgovWeeklyCheck, I, 0, nullptr},
    {kEgovSection, keys::EgovLastCheck, T, 0, ""},
};
static_assert(std::size(kKeys) > OptionCount);

constexpr const char* kToggleKeys[] = {keys::Synchro, keys::Refer, keys::Brachet, keys::PinPoint};

// A complete decimal integer: optional sign, at least one digit, nothing
// else, within the range of int.
std::optional<int> parseInt(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() < '0' || s.front() > '9') return std::nullopt;
    }
    int v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

// Splits text at ':' into exactly N complete integers.
template <size_t N>
std::optional<std::array<int, N>> parseInts(const std::string& text) {
    std::array<int, N> out{};
    std::string_view rest = text;
    for (size_t i = 0; i < N; ++i) {
        const size_t colon = rest.find(':');
        const bool last = i + 1 == N;
        if (last != (colon == std::string_view::npos)) return std::nullopt;  // too few or too many fields
        const auto v = parseInt(rest.substr(0, colon));
        if (!v) return std::nullopt;
        out[i] = *v;
        if (!last) rest.remove_prefix(colon + 1);
    }
    return out;
}

std::optional<uint32_t> parseHex6(std::string_view s) {
    uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && text::upperAscii(a) == text::upperAscii(b);
}

}  // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

SupportAddresses readSupportAddresses(const SettingsStore& store) {
    const auto read = [&store](const char* key) {
        return text::trimAscii(store.readText(kSupportSection, key, findSettingKey(key, kSupportSection)->textDefault));
    };
    SupportAddresses a;
    a.site = read(keys::SupportSiteUrl);
    a.programHistory = read(keys::ProgramHistoryUrl);
    a.lawRevisions = read(keys::LawRevisionsUrl);
    a.notificationRevisions = read(keys::NotificationRevisionsUrl);
    a.environment = read(keys::EnvironmentUrl);
    a.mail = read(keys::SupportMail);
    if (a.mail.rfind("mailto:", 0) == 0) a.mail.erase(0, 7);
    return a;
}

EgovSettings readEgovSettings(const SettingsStore& store) {
    const auto key = [](const char* k) { return findSettingKey(k, kEgovSection); };
    EgovSettings e;
    e.baseUrl = text::trimAscii(store.readText(kEgovSection, keys::EgovBaseUrl, key(keys::EgovBaseUrl)->textDefault));
    if (e.baseUrl.empty()) e.baseUrl = key(keys::EgovBaseUrl)->textDefault;
    const int def = key(keys::EgovTimeoutSeconds)->intDefault;
    e.timeoutSeconds = store.readInt(kEgovSection, keys::EgovTimeoutSeconds, def);
    if (e.timeoutSeconds < 1 || e.timeoutSeconds > 600) e.timeoutSeconds = def;
    e.weeklyCheck = store.readInt(kEgovSection, keys::EgovWeeklyCheck, 0) != 0;
    e.lastCheck = store.readText(kEgovSection, keys::EgovLastCheck, "");
    return e;
}

void writeEgovSettings(SettingsStore& store, const EgovSettings& e) {
    store.writeText(kEgovSection, keys::EgovBaseUrl, e.baseUrl);
    store.writeInt(kEgovSection, keys::EgovTimeoutSeconds, e.timeoutSeconds);
    store.writeInt(kEgovSection, keys::EgovWeeklyCheck, e.weeklyCheck ? 1 : 0);
    store.writeText(kEgovSection, keys::EgovLastCheck, e.lastCheck);
}

const SettingKey* findSettingKey(std::string_view key, std::string_view section) {
    for (const auto& k : kKeys)
        if (key == k.key && section == k.section) return &k;
    return nullptr;
}

std::string searchTargetKey(int n) { return text::format("SearchTarget-%02d", n); }

const char* optionKey(OptionIndex i) {
    if (i < 0 || i >= OptionCount) return "";
    return kKeys[static_cast<size_t>(i)].key;
}

OptionBlock defaultOptionBlock() {
    OptionBlock block;
    for (int i = 0; i < OptionCount; ++i) block.values[static_cast<size_t>(i)] = kKeys[i].intDefault;
    return block;
}

std::string colorToHtml(int32_t color) {
    const auto c = static_cast<uint32_t>(color);
    return text::format("%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void loadOptions(const SettingsStore& store, const OptionBlock& defaults, OptionBlock& options, Toggles& toggles) {
    toggles.synchro = store.readInt(kSettingsSection, keys::Synchro, 1) != 0;
    toggles.refer = store.readInt(kSettingsSection, keys::Refer, 1) != 0;
    toggles.brachet = store.readInt(kSettingsSection, keys::Brachet, 1) != 0;
    toggles.pinPoint = store.readInt(kSettingsSection, keys::PinPoint, 1) != 0;
    for (int i = 0; i < OptionCount; ++i) {
        const auto idx = static_cast<OptionIndex>(i);
        options[idx] = store.readInt(kSettingsSection, optionKey(idx), defaults[idx]);
    }
}

void saveOptions(SettingsStore& store, const OptionBlock& options, const Toggles& toggles) {
    const bool values[] = {toggles.synchro, toggles.refer, toggles.brachet, toggles.pinPoint};
    for (size_t i = 0; i < std::size(kToggleKeys); ++i) store.writeInt(kSettingsSection, kToggleKeys[i], values[i]);
    for (int i = 0; i < OptionCount; ++i) {
        const auto idx = static_cast<OptionIndex>(i);
        store.writeInt(kSettingsSection, optionKey(idx), options[idx]);
    }
}

std::optional<WindowPlacement> parseWindowPos(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return parseInts<11>(text);
}

std::string formatWindowPos(const WindowPlacement& wp) {
    std::string out;
    for (size_t i = 0; i < wp.size(); ++i) {
        if (i) out += ':';
        out += std::to_string(wp[i]);
    }
    return out;
}

std::optional<SplitterPos> parseSplitterPos(const std::string& text) {
    const auto v = parseInts<3>(text);
    if (!v) return std::nullopt;
    return SplitterPos{(*v)[0], (*v)[1], (*v)[2]};
}

std::string formatSplitterPos(const SplitterPos& sp) {
    return text::format("%i:%i:%i", sp.pane, sp.size, sp.minimum);
}

CustomColors parseCustColors(const std::string& text) {
    CustomColors white;
    white.fill(0xFFFFFF);
    if (text.size() != 111) return white;
    CustomColors out{};
    for (size_t i = 0; i < out.size(); ++i) {
        const size_t pos = 7 * i;
        if (i + 1 < out.size() && text[pos + 6] != ':') return white;
        const auto v = parseHex6(std::string_view(text).substr(pos, 6));
        if (!v) return white;
        out[i] = *v;
    }
    return out;
}

std::string formatCustColors(const CustomColors& colors) {
    std::string out;
    for (size_t i = 0; i < colors.size(); ++i) {
        if (i) out += ':';
        // Only the colour bytes: a stray high byte must not lengthen the entry.
        out += text::format("%06X", colors[i] & 0xFFFFFFu);
    }
    return out;
}

std::vector<std::string> readSearchEntries(const SettingsStore& store) {
    std::vector<std::string> entries;
    for (int n = 1; n <= kMaxSearchEntries; ++n) {
        std::string v = store.readText(kSettingsSection, searchTargetKey(n), std::string());
        if (v.empty()) break;
        entries.push_back(std::move(v));
    }
    return entries;
}

void writeSearchEntries(SettingsStore& store, const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(kMaxSearchEntries); ++i) {
        if (entries[i].empty()) break;
        store.writeText(kSettingsSection, searchTargetKey(static_cast<int>(i) + 1), entries[i]);
    }
}

void addRecentSearch(std::vector<std::string>& entries, const std::string& text) {
    if (text.empty()) return;  // an empty entry would end the stored list
    std::erase_if(entries, [&](const std::string& e) { return equalsIgnoringAsciiCase(e, text); });
    entries.insert(entries.begin(), text);
    if (entries.size() > static_cast<size_t>(kMaxSearchEntries)) entries.resize(kMaxSearchEntries);
}

}  // namespace tavrel
