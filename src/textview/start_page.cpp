#include "textview/start_page.h"

namespace tavrel::textview {

std::string chooseStartPage(SettingsStore& store, const OptionBlock& options) {
    std::string id = store.readText(kSettingsSection, keys::CurIDFN, kCoverPageId);
    if (store.readInt(kRecordsSection, keys::Version, 0) < kSettingsVersion || id.size() != 15) {
        id = kCoverPageId;
        store.writeInt(kRecordsSection, keys::Version, kSettingsVersion);
    }
    if (options[ReviveLastPage] == 0) id = kCoverPageId;
    return id;
}

}  // namespace tavrel::textview
