#include "textview/page_search.h"

#include "document/options.h"
#include "document/settings_store.h"
#include "text/sjis.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tavrel::textview {

namespace {

constexpr double kCentre = 0.5;

}  // namespace

double readSearchDialogFraction(const SettingsStore& store, const char* key) {
    std::vector<uint8_t> bytes;
    if (!store.readBinary(kSettingsSection, key, bytes) || bytes.size() != sizeof(double)) return kCentre;
    double v = 0;
    std::memcpy(&v, bytes.data(), sizeof v);
    // A damaged value must not throw the dialog off the screen arithmetic.
    return std::isfinite(v) ? v : kCentre;
}

void writeSearchDialogFraction(SettingsStore& store, const char* key, double value) {
    std::vector<uint8_t> bytes(sizeof(double));
    std::memcpy(bytes.data(), &value, sizeof value);
    store.writeBinary(kSettingsSection, key, bytes);
}

std::pair<int, int> searchDialogPosition(const ScreenRect& mainWindow, int dialogWidth, int dialogHeight, double fx,
                                         double fy, int workWidth, int workHeight) {
    const auto place = [](double start, double extent, double fraction, int size, int work) {
        double v = start + fraction * extent - size * 0.5;
        // Keep the arithmetic within int before converting.
        if (!(v >= 0)) v = 0;
        if (v > 1e9) v = 1e9;
        int p = static_cast<int>(v);
        if (p + size > work) p = work - size;
        if (p < 0) p = 0;
        return p;
    };
    return {place(mainWindow.left, mainWindow.width, fx, dialogWidth, workWidth),
            place(mainWindow.top, mainWindow.height, fy, dialogHeight, workHeight)};
}

std::pair<int, int> openingSearchDialogPosition(const SettingsStore& store, const ScreenRect& mainWindow,
                                                int dialogWidth, int dialogHeight, int workWidth, int workHeight) {
    return searchDialogPosition(mainWindow, dialogWidth, dialogHeight, readSearchDialogFraction(store, keys::SchDlgA),
                                readSearchDialogFraction(store, keys::SchDlgB), workWidth, workHeight);
}

void storeSearchDialogPosition(SettingsStore& store, const ScreenRect& mainWindow, const ScreenRect& dialog) {
    // A main window without extent has no fractions; the centre is kept.
    const double fx = mainWindow.width > 0
                          ? (dialog.left - mainWindow.left + dialog.width * 0.5) / static_cast<double>(mainWindow.width)
                          : kCentre;
    const double fy = mainWindow.height > 0
                          ? (dialog.top - mainWindow.top + dialog.height * 0.5) / static_cast<double>(mainWindow.height)
                          : kCentre;
    writeSearchDialogFraction(store, keys::SchDlgA, fx);
    writeSearchDialogFraction(store, keys::SchDlgB, fy);
}

std::string searchResultMessage(int count) {
    if (count >= 1) return text::format("%d", count) + SJ("個見つかりました。");
    if (count == 0) return SJ("見つかりませんでした。");
    if (count == -2) return SJ("検索できる単語は３個までです。");
    return SJ("検索に失敗しました。");
}

PageSearchDialog::PageSearchDialog(std::string lastSearchText, MarksReader getMarks, WordMarker markWords)
    : text_(lastSearchText),
      lastSearched_(std::move(lastSearchText)),
      getMarks_(std::move(getMarks)),
      markWords_(std::move(markWords)) {}

int PageSearchDialog::search() {
    message_.clear();
    if (text_.empty()) return 0;
    if (getMarks_ && markWords_) {
        const std::string marks = getMarks_();
        if (!marks.empty()) markWords_(marks, 1);
    }
    const int n = markWords_ ? markWords_(text_, 0) : -1;
    message_ = searchResultMessage(n);
    if (n >= 1) lastSearched_ = text_;
    return n;
}

}  // namespace tavrel::textview
