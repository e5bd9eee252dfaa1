#include "navigator/bookmark_store.h"

#include "database/identifiers.h"
#include "document/atomic_file.h"
#include "navigator/designation.h"
#include "navigator/search.h"
#include "text/sjis.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace tavrel::nav {

namespace {

// An identifier of a bookmark is 15 (page) or 35 (sentence) characters; a
// longer text before the comma is kept only as far as needed to tell that it
// is too long, so no line of a damaged file costs more than a few bytes.
constexpr size_t kIdentifierCap = db::kIdBNLength + 1;
// The bookmark file's edition, written as "VERSION 8.08" from integers so
// that the locale's decimal mark never enters the file.
constexpr int kBookmarkFileVersionHundredths = 808;

// Splits bookmark file bytes into the identifiers of its lines, chunk by
// chunk. Only the bytes before the first comma of a line are looked at;
// blanks and full-width blanks among them are dropped.
class BookmarkParser {
  public:
    explicit BookmarkParser(std::vector<std::string>& out) : out_(out) {}

    void feed(const char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) take(static_cast<unsigned char>(data[i]));
    }
    // A last line without a line end still counts.
    void finish() { take('\n'); }

  private:
    void take(unsigned char b) {
        if (b == '\n') {
            if (inRest_) out_.push_back(std::move(id_));
            id_.clear();
            inRest_ = false;
            lead_ = 0;
            return;
        }
        if (inRest_) return;
        if (b == ',') {
            // A comma is never the second byte of a character: it ends the
            // identifier even after a stray first byte (which then stays in
            // the identifier and spoils it).
            if (lead_) append(static_cast<char>(lead_));
            lead_ = 0;
            inRest_ = true;
            return;
        }
        if (lead_) {
            const bool wideBlank = lead_ == 0x81 && b == 0x40;
            if (!wideBlank) {
                append(static_cast<char>(lead_));
                append(static_cast<char>(b));
            }
            lead_ = 0;
        } else if (text::isLeadByte(b)) {
            lead_ = b;
        } else if (b != ' ') {
            append(static_cast<char>(b));
        }
    }
    void append(char c) {
        if (id_.size() < kIdentifierCap) id_ += c;
    }

    std::vector<std::string>& out_;
    std::string id_;
    bool inRest_ = false;
    unsigned char lead_ = 0;
};

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Designation of a bookmark, or empty when it has none (such bookmarks are
// neither shown nor written).
std::string bookmarkDesignation(const std::string& id, const std::string& caption = {}) {
    if (id.size() != db::kIdFNLength) return {};
    std::string d = resultDesignation(id, caption);
    return d == SJ("不明") ? std::string() : d;
}

}  // namespace

std::vector<std::string> parseBookmarkText(const std::string& bytes) {
    std::vector<std::string> ids;
    BookmarkParser parser(ids);
    parser.feed(bytes.data(), bytes.size());
    parser.finish();
    return ids;
}

BookmarkStore::~BookmarkStore() {
    if (unsaved_) save();
}

std::string BookmarkStore::filePath() const { return doc_.userFolder() + kFileName; }

bool BookmarkStore::load() {
    if (loaded_) return true;
    if (!doc_.isConnected() || doc_.userFolder().empty()) return false;

    // A program folder that is not writable keeps the file the program found
    // there until the first change is written to the user folder.
    std::string path = filePath();
    if (!fileExists(path) && doc_.programFolder() != doc_.userFolder() && !doc_.programFolder().empty())
        path = doc_.programFolder() + kFileName;

    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<std::string> ids;
    BookmarkParser parser(ids);
    // Keeps every page identifier, once each, as the lines come: a page the
    // open collection lacks is not shown, but stays in the file for the
    // collection that has it. A sentence identifier is kept only while its
    // page is known (it is never shown nor written).
    std::set<std::string> kept(bookmarks_.begin(), bookmarks_.end());
    const auto accept = [&] {
        for (std::string& id : ids) {
            ArticleInfo info;
            const bool page = db::isIdFN(id);
            const bool sentence = id.size() == db::kIdBNLength && doc_.articleInfo(id.substr(0, db::kIdFNLength), info);
            if ((page || sentence) && kept.insert(id).second) bookmarks_.push_back(std::move(id));
        }
        ids.clear();
    };
    std::vector<char> buffer(64 * 1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        parser.feed(buffer.data(), static_cast<size_t>(in.gcount()));
        accept();
    }
    if (in.bad()) {
        bookmarks_.clear();
        return false;
    }
    parser.finish();
    accept();
    loaded_ = true;
    return true;
}

std::string BookmarkStore::fileText() {
    std::sort(bookmarks_.begin(), bookmarks_.end());
    std::string out = text::format("VERSION %d.%02d\r\n", kBookmarkFileVersionHundredths / 100,
                                   kBookmarkFileVersionHundredths % 100);
    for (const std::string& id : bookmarks_) {
        if (id.empty()) break;
        if (bookmarkDesignation(id).empty()) continue;
        out += id + ", book_mark_root\r\n";
    }
    out += "\r\n";
    return out;
}

bool BookmarkStore::canBeWritten() const {
    if (doc_.userFolder().empty()) return false;
    // Once read or written, the file holds what this list wrote or read.
    return loaded_ || written_ || !fileExists(filePath());
}

bool BookmarkStore::save() {
    if (!canBeWritten()) return false;
    const bool ok = writeFileAtomically(filePath(), fileText());
    if (ok) {
        unsaved_ = false;
        written_ = true;
    }
    return ok;
}

bool BookmarkStore::add(const std::string& id) {
    if (id.size() != db::kIdFNLength) return false;
    if (std::find(bookmarks_.begin(), bookmarks_.end(), id) != bookmarks_.end()) return false;
    bookmarks_.push_back(id);
    return true;
}

bool BookmarkStore::remove(const std::string& id) {
    if (id.size() != db::kIdFNLength) return false;
    const auto it = std::find(bookmarks_.begin(), bookmarks_.end(), id);
    if (it == bookmarks_.end()) return false;
    bookmarks_.erase(it);
    return true;
}

void BookmarkStore::fill() {
    clearRows();
    std::sort(bookmarks_.begin(), bookmarks_.end());
    for (const std::string& id : bookmarks_) {
        ArticleInfo info;
        if (!doc_.articleInfo(id, info)) continue;  // a page of another collection: kept, not shown
        std::string caption = info.caption;
        std::string designation = bookmarkDesignation(id, caption);
        if (designation.empty()) continue;

        int count = 0, number = 0;
        if (doc_.splitPage(id, count, number) && count > 0) {
            if (caption.empty() && doc_.articleInfo(id.substr(0, 12) + "-00", info)) caption = info.caption;
            designation += SJ("　") + text::format("(%02d/%02d)", number, count);
        }
        if (caption == SJ("なし") || pageDesignation(id).kind == DesignationKind::Supplementary) caption.clear();

        addRow(ListRow{id, {doc_.lawName(id.substr(0, 3), 1), designation, caption, ""}});
    }
}

std::vector<std::string> BookmarkStore::hiddenBookmarks() const {
    std::vector<std::string> hidden;
    for (const std::string& id : bookmarks_) {
        ArticleInfo info;
        if (!bookmarkDesignation(id).empty() && !doc_.articleInfo(id, info)) hidden.push_back(id);
    }
    std::sort(hidden.begin(), hidden.end());
    return hidden;
}

bool BookmarkStore::saveChange() {
    unsaved_ = true;
    return save();
}

int BookmarkStore::addPage(const std::string& idFN) {
    // Only a page identifier is a bookmark: anything else would be written
    // to the file and shown as a row of a page that does not exist.
    if (!db::isIdFN(idFN)) return -1;
    if (add(idFN)) saveChange();
    fill();
    return findRow(idFN);
}

int BookmarkStore::deleteRow(int row) {
    const std::string id = idAt(row);
    if (id.size() != db::kIdFNLength) return -1;
    const int n = size();
    if (remove(id)) saveChange();
    fill();
    const int select = (n == row + 1) ? row - 1 : row;
    return std::min(select, size() - 1);
}

}  // namespace tavrel::nav
