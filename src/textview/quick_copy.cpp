#include "textview/quick_copy.h"

#include "document/options.h"
#include "document/settings_store.h"
#include "text/sjis.h"

namespace tavrel::textview {

QuickCopyText boundQuickCopyText(const std::string& selection, int clipChk) {
    QuickCopyText out;
    if (selection.size() <= kQuickCopyLimit) {
        out.text = selection;
        return out;
    }
    out.text = text::safeCut(selection, kQuickCopyLimit) + " ...";
    out.truncated = true;
    out.showNotice = clipChk == 0;
    return out;
}

int readClipChk(const SettingsStore& store) { return store.readInt(kSettingsSection, keys::ClipChk, 0); }

void writeClipChk(SettingsStore& store, bool doNotShowAgain) {
    store.writeInt(kSettingsSection, keys::ClipChk, doNotShowAgain ? 1 : 0);
}

const std::string& quickCopyNoticeCaption() { return SJ("ぷちコピーについて"); }

const std::string& quickCopyNoticeMessage() {
    return SJ(
        "ぷちコピーで一度にコピーできるのは、全角で256文字までです。\n"
        "256文字目以降の文字はコピーされません。");
}

const std::string& quickCopyNoticeCheckBox() { return SJ("今後、このメッセージは表示しない"); }

}  // namespace tavrel::textview
