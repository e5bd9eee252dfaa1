// Quick copy ("ぷちコピー"): the page's selection goes to the clipboard as
// plain text of bounded length. A text longer than 512 bytes keeps its first
// 512 bytes (511 when the 512th byte begins a double-byte character) and gets
// " ..." appended; the notice dialog then tells the user about the limit
// until ClipChk is set.
#pragma once

#include <string>

namespace tavrel {
class SettingsStore;
}

namespace tavrel::textview {

inline constexpr size_t kQuickCopyLimit = 512;

struct QuickCopyText {
    std::string text;         // CP932, what goes to the clipboard
    bool truncated = false;   // the limit cut the selection
    bool showNotice = false;  // truncated and ClipChk is 0
};

// The bounded text of a selection (CP932). clipChk: the stored ClipChk.
QuickCopyText boundQuickCopyText(const std::string& selection, int clipChk);

// ClipChk read (default 0) / written at each click on the check box.
int readClipChk(const SettingsStore& store);
void writeClipChk(SettingsStore& store, bool doNotShowAgain);

// Texts of the notice dialog (template 155), CP932.
const std::string& quickCopyNoticeCaption();   // "ぷちコピーについて"
const std::string& quickCopyNoticeMessage();   // the limit, 256 full-width characters
const std::string& quickCopyNoticeCheckBox();  // "今後、このメッセージは表示しない"

}  // namespace tavrel::textview
