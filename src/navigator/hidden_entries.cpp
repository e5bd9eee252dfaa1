#include "navigator/hidden_entries.h"

#include "database/identifiers.h"
#include "document/options.h"
#include "navigator/search.h"
#include "text/sjis.h"

#include <cstdint>

namespace tavrel::nav {

namespace {

// "5条（01A-00050000-00）", with the law's name first when asked and known.
std::string pageText(const Document& doc, const std::string& idFN, bool withLaw) {
    std::string out;
    if (withLaw) {
        const std::string law = doc.lawName(idFN.substr(0, 3), 1);
        if (!law.empty()) out = law + " ";
    }
    return out + resultDesignation(idFN) + SJ("（") + idFN + SJ("）");
}

bool hasPage(const Document& doc, const std::string& idFN) {
    ArticleInfo info;
    return doc.articleInfo(idFN, info);
}

// FNV-1a over the lines: the settings keep a short value whatever the number
// of entries.
std::string fingerprint(const std::vector<std::string>& lines) {
    uint64_t h = 14695981039346656037ull;
    for (const std::string& line : lines) {
        for (const char c : line + "\n") {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
    }
    return text::format("%016llx", static_cast<unsigned long long>(h));
}

}  // namespace

std::vector<std::string> hiddenEntryLines(const Document& doc, const BookmarkStore& bookmarks) {
    std::vector<std::string> lines;
    for (const std::string& id : bookmarks.hiddenBookmarks()) lines.push_back(SJ("しおり：") + pageText(doc, id, true));
    for (const auto& [key, value] : doc.markers(false)) {
        const std::string from = key.substr(0, db::kIdFNLength), to = value.substr(0, db::kIdFNLength);
        if (!db::isIdFN(from) || !db::isIdFN(to) || (hasPage(doc, from) && hasPage(doc, to))) continue;
        lines.push_back(SJ("マーカー：") + pageText(doc, from, true) + SJ("→ ") + pageText(doc, to, false));
    }
    return lines;
}

bool reportHiddenEntries(Document& doc, const BookmarkStore& bookmarks) {
    const std::vector<std::string> lines = hiddenEntryLines(doc, bookmarks);
    SettingsStore& settings = doc.settings();
    const std::string last = settings.readText(kSettingsSection, keys::HiddenReported, "");
    if (lines.empty()) {
        if (!last.empty()) settings.writeText(kSettingsSection, keys::HiddenReported, "");
        return false;
    }
    const std::string now = fingerprint(lines);
    if (now == last) return false;
    settings.writeText(kSettingsSection, keys::HiddenReported, now);
    doc.messages().show(SJ("ソラテ"),
                        SJ("次のしおりとマーカーは、ページが収録データにないため表示していません（ファイルには残っています）：\n\n") +
                            text::listedLines(lines),
                        MsgButtons::Ok, MsgIcon::Information, false);
    return true;
}

}  // namespace tavrel::nav
