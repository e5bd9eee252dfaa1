// The one document of the program: it owns the settings-derived options and
// toggles, the database connection, the working folders, the in-memory law
// and article tables, the split-page table, the marker tables and the set of
// large pages.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "database/connection.h"
#include "database/db_session.h"
#include "database/message_sink.h"
#include "document/options.h"
#include "document/settings_store.h"

namespace tavrel::citations {
class CitationIndex;
}

namespace tavrel {

// Where the document lives on disk. Paths are native (UTF-8) and end in "/".
struct DocumentFolders {
    DocumentFolders() = default;
    DocumentFolders(std::string data, std::string user, std::string collection = {})
        : dataFolder(std::move(data)), userFolder(std::move(user)), collectionFolder(std::move(collection)) {}

    // Folder that holds TL2008.orl, default.ppj, help08.html, images08/.
    std::string dataFolder;
    // Folder for what the program writes (tavrel08.ppj, tavrel08.bmk, temp/):
    // the data folder when it is writable, else the per-user data folder.
    std::string userFolder;
    // The per-user data folder, always: the user's own collection (laws
    // imported from e-Gov XML) lives there, never in the data folder. Empty:
    // no collection of the user's.
    std::string collectionFolder;
};

// Picks the data folder for an executable folder: the folder itself when it
// holds TL2008.orl, else ../share/tavrel beside it; the user folder is the
// data folder when writable, else userDataFallback. The collection folder is
// userDataFallback.
DocumentFolders locateFolders(const std::string& executableFolder, const std::string& userDataFallback);

// The markers of a marker file's bytes (default.ppj, tavrel08.ppj), in file
// order: each line (CR LF stripped) other than the "VERSION" line gives its
// first 55 bytes as the key and its last 35 bytes as the value; a line that
// is shorter, or whose key or value would cut a double-byte character, gives
// nothing.
std::vector<std::pair<std::string, std::string>> parseMarkerText(const std::string& bytes);

// Opens an address with the system's default handler. Returns 0 on success,
// 2 (file not found) or 3 (path not found) or another non-zero code on failure.
using UrlOpener = std::function<int(const std::string& url)>;

// The text view as the document sees it: asked for the current page at close.
class TextViewPartner {
public:
    virtual ~TextViewPartner() = default;
    virtual std::string currentPageId() const = 0;  // ID_FN, CP932
};

struct ArticleSeqEntry {
    std::string idFN;
    int slot1 = 0;
    int slot2 = 0;
};

struct LawNames {
    std::string common, shortName, formal;  // 法名一般, 法名略式, 法名正式
};

struct ArticleInfo {
    std::string caption, supplement;  // 条名, 補足
};

class Document {
public:
    // Loads toggles, the option block and the support addresses from the
    // settings store.
    Document(SettingsStore& settings, MessageSink& sink, DocumentFolders folders, UrlOpener opener = {});
    // Empties temp/ again, writes toggles and options.
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Start-up: folders, temp/ emptied, database open, tables, marker files.
    bool startUp();
    // Close: database closed, tavrel08.ppj written, CurIDFN stored.
    void close();

    bool openDatabase();
    bool closeDatabase();
    // After the collection file changed or was replaced (an import, the
    // user's collection removed): closes the database, picks the file again
    // (the user's collection when it exists, else the bundled one), opens
    // it and reads the law and article tables again. The marker tables stay.
    bool reload();
    db::Connection& connection() { return session_.connection(); }
    bool isConnected() const { return session_.connected(); }

    // Folders (native paths ending in "/").
    // The collection open: the user's when it exists, else the bundled one.
    const std::string& databasePath() const { return databasePath_; }
    std::string bundledDatabasePath() const;
    // Empty when there is no collection folder.
    std::string userDatabasePath() const;
    bool usesUserCollection() const { return !databasePath_.empty() && databasePath_ == userDatabasePath(); }
    const std::string& programFolder() const { return programFolder_; }  // the data folder
    const std::string& userFolder() const { return userFolder_; }
    const std::string& tempFolder() const { return tempFolder_; }
    const std::string& tableFolder() const { return tableFolder_; }
    const std::string& imageFolder() const { return imageFolder_; }

    // Law table: selector 2 short name, 3 formal name, anything else the
    // common name; an unknown law gives "".
    std::string lawName(const std::string& idHN, int selector) const;
    const std::vector<std::string>& lawOrder() const { return lawOrder_; }
    const std::map<std::string, LawNames>& lawTable() const { return lawTable_; }

    // Article table.
    bool articleInfo(const std::string& idFN, ArticleInfo& out) const;
    const std::map<std::string, ArticleInfo>& articleTable() const { return articleTable_; }
    std::vector<ArticleSeqEntry>& articleSequence() { return articleSequence_; }
    const std::vector<ArticleSeqEntry>& articleSequence() const { return articleSequence_; }

    // Split-page table: (page count, page number); (0, 0) and false when absent.
    bool splitPage(const std::string& idFN, int& count, int& number) const;

    // Marker tables (keys of exactly 55 characters).
    bool addMarker(bool defaultTable, const std::string& key, const std::string& value);
    std::string findMarker(bool defaultTable, const std::string& key) const;
    bool removeMarker(bool defaultTable, const std::string& key);
    const std::map<std::string, std::string>& markers(bool defaultTable) const {
        return defaultTable ? defaultMarkers_ : userMarkers_;
    }
    // Writes the user marker table to tavrel08.ppj in the user folder (the
    // file is replaced atomically; on failure the old file stays as it was).
    // The pinpoint tools call it whenever the user picks or removes a marker.
    // False (and nothing written) before a successful start-up.
    bool saveUserMarkers() const;
    std::string userMarkerFilePath() const { return userFolder_ + "tavrel08.ppj"; }
    std::string defaultMarkerFilePath() const { return programFolder_ + "default.ppj"; }

    // Pages shown as large-page links.
    bool isLargePage(const std::string& idFN) const { return largePages_.count(idFN) != 0; }
    void addLargePage(const std::string& idFN) { largePages_.insert(idFN); }

    OptionBlock& options() { return options_; }
    const OptionBlock& options() const { return options_; }
    const OptionBlock& defaultOptions() const { return defaultOptions_; }
    Toggles& toggles() { return toggles_; }
    const Toggles& toggles() const { return toggles_; }

    // The 被引用 block under a page (settings key CitedBy, on by default).
    bool citedByShown() const { return citedBy_; }
    void setCitedByShown(bool on) { citedBy_ = on; }
    // Where the block's rows come from: the collection's table T_被引用, or,
    // for a collection without it, the index the program built itself (null
    // until then).
    bool hasCitationTable() const { return citationTable_; }
    const citations::CitationIndex* citationIndex() const { return citationIndex_.get(); }
    void setCitationIndex(std::shared_ptr<const citations::CitationIndex> index) { citationIndex_ = std::move(index); }

    SettingsStore& settings() { return settings_; }
    MessageSink& messages() { return sink_; }
    const SupportAddresses& supportAddresses() const { return support_; }

    void setTextView(TextViewPartner* view) { textView_ = view; }

private:
    void formFolders();
    void emptyTempFolder() const;
    bool loadTables();
    void loadMarkerFile(const std::string& path, bool defaultTable);
    void showEnvironmentMessage();

    SettingsStore& settings_;
    MessageSink& sink_;
    DocumentFolders folders_;
    UrlOpener opener_;
    SupportAddresses support_;

    db::DbSession session_;
    // Set once start-up has read the marker files: only then does close
    // rewrite tavrel08.ppj (a failed start-up must not wipe the user's file).
    bool markersLoaded_ = false;

    std::string databasePath_, programFolder_, userFolder_, tempFolder_, tableFolder_, imageFolder_;

    std::vector<std::string> lawOrder_;
    std::map<std::string, LawNames> lawTable_;
    std::map<std::string, ArticleInfo> articleTable_;
    std::vector<ArticleSeqEntry> articleSequence_;
    std::map<std::string, std::pair<int, int>> splitPages_;
    std::map<std::string, std::string> defaultMarkers_, userMarkers_;
    std::set<std::string> largePages_;

    OptionBlock defaultOptions_;
    OptionBlock options_;
    Toggles toggles_;

    TextViewPartner* textView_ = nullptr;

    bool citedBy_ = true;
    bool citationTable_ = false;
    std::shared_ptr<const citations::CitationIndex> citationIndex_;
};

}  // namespace tavrel
