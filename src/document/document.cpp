#include "document/document.h"

#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "citations/citation_index.h"
#include "database/report.h"
#include "database/schema.h"
#include "database/sql_texts.h"
#include "document/atomic_file.h"
#include "text/sjis.h"

namespace tavrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kInitOperation = "CTavrelDoc::OnNewDocument()";
constexpr size_t kMarkerKeyLength = 55;
constexpr size_t kMarkerValueLength = 35;
constexpr size_t kPageIdLength = 15;
// The marker files' edition, written as "VERSION 8.08". It is formatted from
// integers: "%0.2f" would follow the locale's decimal mark once the
// application has set the user's locale.
constexpr int kMarkerFileVersionHundredths = 808;

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool isWritableFolder(const std::string& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

const std::string& initPurpose() { return SJ("ドキュメント初期化プロセス"); }

}  // namespace

DocumentFolders locateFolders(const std::string& executableFolder, const std::string& userDataFallback) {
    DocumentFolders f;
    const std::string exe = withSlash(executableFolder);
    std::error_code ec;
    if (fs::exists(exe + db::kDatabaseFileName, ec)) {
        f.dataFolder = exe;
    } else {
        f.dataFolder = withSlash((fs::path(exe) / ".." / "share" / "tavrel").lexically_normal().string());
    }
    if (isWritableFolder(f.dataFolder) || userDataFallback.empty()) {
        f.userFolder = f.dataFolder;
    } else {
        f.userFolder = withSlash(userDataFallback);
    }
    if (!userDataFallback.empty()) f.collectionFolder = withSlash(userDataFallback);
    return f;
}

Document::Document(SettingsStore& settings, MessageSink& sink, DocumentFolders folders, UrlOpener opener)
    : settings_(settings), sink_(sink), folders_(std::move(folders)), opener_(std::move(opener)) {
    defaultOptions_ = defaultOptionBlock();
    loadOptions(settings_, defaultOptions_, options_, toggles_);
    support_ = readSupportAddresses(settings_);
    citedBy_ = settings_.readInt(kSettingsSection, keys::CitedBy, 1) != 0;
    formFolders();
}

Document::~Document() {
    // Nothing may escape a destructor: each step is guarded on its own so that
    // a failing one does not keep the next from running.
    try {
        formFolders();
        emptyTempFolder();
    } catch (...) {
    }
    try {
        saveOptions(settings_, options_, toggles_);
        settings_.writeInt(kSettingsSection, keys::CitedBy, citedBy_ ? 1 : 0);
    } catch (...) {
    }
    // The tables and the connection are freed by their own destructors.
}

void Document::formFolders() {
    programFolder_ = withSlash(folders_.dataFolder);
    userFolder_ = folders_.userFolder.empty() ? programFolder_ : withSlash(folders_.userFolder);
    const std::string user = userDatabasePath();
    std::error_code ec;
    databasePath_ = !user.empty() && fs::is_regular_file(user, ec) ? user : bundledDatabasePath();
    tempFolder_ = userFolder_ + "temp/";
    tableFolder_ = programFolder_ + "table/";
    imageFolder_ = programFolder_ + "images08/";
}

void Document::emptyTempFolder() const {
    // Files only: sub-folders are neither entered nor removed, and a file that
    // cannot be deleted is left where it is.
    std::error_code ec;
    fs::directory_iterator it(tempFolder_, ec);
    if (ec) return;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code entryEc;
        if (it->is_directory(entryEc)) continue;
        fs::remove(it->path(), entryEc);
    }
}

bool Document::openDatabase() {
    bool ok = true;
    const std::string pathCp932 = text::fromUtf8(databasePath_, &ok);
    if (!ok || text::toUtf8(pathCp932) != databasePath_) {
        // The connection takes CP932 text and turns it back into a file name.
        // A folder name without a CP932 form, or one that comes back as
        // another name ("〜" returns as "～", "¥" as "\"), would open a
        // different file or none, so the open is refused.
        db::report(sink_, SJ("データベースの接続"), "CTavrelDoc::_db_open()",
                   SJ("データベースのパスにShift-JISで表せない文字が含まれています。\n\n"), db::ReportIndent::Indented);
        return false;
    }
    if (!session_.open(pathCp932, sink_)) return false;
    // A collection made before the index existed has no table of it; the
    // program then builds the index itself (setCitationIndex).
    citationTable_ = citations::hasCitationTable(connection().handle());
    citationIndex_.reset();
    return true;
}

bool Document::closeDatabase() { return session_.close(sink_); }

std::string Document::bundledDatabasePath() const { return programFolder_ + db::kDatabaseFileName; }

std::string Document::userDatabasePath() const {
    if (folders_.collectionFolder.empty()) return {};
    const std::string path = withSlash(folders_.collectionFolder) + db::kDatabaseFileName;
    // A per-user folder that is the data folder itself has no collection of
    // its own: the bundled file is never replaced or removed.
    std::error_code ec;
    if (path == bundledDatabasePath() || fs::equivalent(path, bundledDatabasePath(), ec)) return {};
    return path;
}

bool Document::reload() {
    if (isConnected()) closeDatabase();
    formFolders();
    largePages_.clear();
    if (!openDatabase()) return false;
    return loadTables();
}

bool Document::startUp() {
    formFolders();

    std::error_code ec;
    fs::create_directories(tempFolder_, ec);
    if (!fs::is_directory(tempFolder_, ec)) {
        sink_.show(SJ("ソラテ"), SJ("テンポラリフォルダが作成できませんでした。"), MsgButtons::Ok, MsgIcon::Information,
                   false);
    }
    emptyTempFolder();

    if (!openDatabase()) {
        showEnvironmentMessage();
        return false;
    }
    if (!loadTables()) return false;

    loadMarkerFile(defaultMarkerFilePath(), true);
    loadMarkerFile(userMarkerFilePath(), false);
    markersLoaded_ = true;
    return true;
}

void Document::showEnvironmentMessage() {
    // Without the address of the environment page there is nothing to offer.
    if (support_.environment.empty()) {
        sink_.show(SJ("ソラテ　エラー情報"),
                   SJ("環境条件に不備があるため、正常に動作できませんでした。\n\n詳しくはヘルプの"
                      "「ご利用になれる環境」\nをご覧下さい。"),
                   MsgButtons::Ok, MsgIcon::Exclamation, true);
        return;
    }
    const MsgAnswer answer =
        sink_.show(SJ("ソラテ　エラー情報"),
                   SJ("環境条件に不備があるため、正常に動作できませんでした。\n\n詳しくはヘルプまたはホームページの"
                      "「ご利用になれる環境」\nをご覧下さい。\n\nホームページを参照しますか？"),
                   MsgButtons::YesNo, MsgIcon::Exclamation, true);
    if (answer != MsgAnswer::Yes || !opener_) return;
    const int result = opener_(support_.environment);
    if (result == 2 || result == 3) {
        sink_.show(SJ("ソラテ"), SJ("ソラテのサポートホームページを\n開くことができませんでした。"), MsgButtons::Ok,
                   MsgIcon::Error, false);
    }
}

bool Document::loadTables() {
    const std::string& notFound = SJ("テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n");
    try {
        db::Connection& con = session_.connection();
        long affected = 0;

        lawTable_.clear();
        lawOrder_.clear();
        db::Recordset laws = con.execute(db::sql::lawsShown(), &affected, -1);
        if (laws.isEOF()) {
            db::report(sink_, initPurpose(), kInitOperation, notFound, db::ReportIndent::Plain);
            return false;
        }
        while (!laws.isEOF()) {
            const std::string id = laws.text("ID_HN");
            LawNames names{laws.text(SJ("法名一般")), laws.text(SJ("法名略式")), laws.text(SJ("法名正式"))};
            lawTable_.insert_or_assign(id, std::move(names));
            lawOrder_.push_back(id);
            laws.moveNext();
        }
        laws.close();

        db::Recordset rows = con.execute(db::sql::pagesWithLaws(), &affected, -1);
        if (rows.isEOF()) {
            db::report(sink_, initPurpose(), kInitOperation, notFound, db::ReportIndent::Plain);
            return false;
        }
        articleSequence_.clear();
        splitPages_.clear();
        articleTable_.clear();

        std::string rememberedCaption;
        while (!rows.isEOF()) {
            const std::string id = rows.text("ID_FN");
            std::string caption = rows.text(SJ("条名"));
            std::string supplement = rows.text(SJ("補足"));
            const int split = rows.int16(SJ("分割"));

            const long page = text::toLong(id.size() >= 2 ? std::string_view(id).substr(id.size() - 2) : id);
            if (page < 1) {
                rememberedCaption = caption;
            } else if (caption.empty()) {
                caption = rememberedCaption;
            }
            articleTable_.emplace(id, ArticleInfo{std::move(caption), std::move(supplement)});
            if (id.size() == kPageIdLength) {
                if (split > 1) splitPages_.emplace(id, std::make_pair(split, static_cast<int>(page) + 1));
                articleSequence_.push_back(ArticleSeqEntry{id, 0, 0});
            }
            rows.moveNext();
        }
        rows.close();
        return true;
    } catch (const db::DbError& e) {
        db::report(sink_, initPurpose(), kInitOperation, db::errorObjectBody(e.error(), db::ReportIndent::Plain),
                   db::ReportIndent::Plain);
    } catch (...) {
        db::report(sink_, initPurpose(), kInitOperation, db::unexpectedExceptionBody(), db::ReportIndent::Plain);
    }
    return false;
}

std::vector<std::pair<std::string, std::string>> parseMarkerText(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> markers;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        // Lines end in CR LF on disk; neither belongs to the key or value.
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();

        if (text::findText(line, "VERSION") != std::string::npos) continue;
        if (line.size() < kMarkerKeyLength || !text::isCharBoundary(line, kMarkerKeyLength)) continue;
        const size_t valueStart = line.size() - kMarkerValueLength;
        if (!text::isCharBoundary(line, valueStart)) continue;
        markers.emplace_back(line.substr(0, kMarkerKeyLength), line.substr(valueStart));
    }
    return markers;
}

void Document::loadMarkerFile(const std::string& path, bool defaultTable) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return;
    for (const auto& [key, value] : parseMarkerText(bytes)) addMarker(defaultTable, key, value);
}

bool Document::saveUserMarkers() const {
    // Before start-up has read tavrel08.ppj the table holds nothing of the
    // user's: writing it would replace the user's markers with an empty list.
    if (!markersLoaded_) return false;
    std::string bytes = text::format("VERSION %d.%02d\r\n", kMarkerFileVersionHundredths / 100,
                                     kMarkerFileVersionHundredths % 100);
    for (const auto& [key, value] : userMarkers_) {
        bytes += key;
        bytes += ", ";
        bytes += value;
        bytes += "\r\n";
    }
    return writeFileAtomically(userMarkerFilePath(), bytes);
}

void Document::close() {
    closeDatabase();
    // After a failed start-up the user table was never read and the file is
    // left alone.
    if (markersLoaded_ && !saveUserMarkers()) {
        sink_.show(SJ("ソラテ"),
                   SJ("ピンポイントの設定をファイル(tavrel08.ppj)に保存できませんでした。\n\n"
                      "前回保存した設定はそのまま残っています。"),
                   MsgButtons::Ok, MsgIcon::Exclamation, false);
    }
    if (textView_) settings_.writeText(kSettingsSection, "CurIDFN", textView_->currentPageId());
}

std::string Document::lawName(const std::string& idHN, int selector) const {
    const auto it = lawTable_.find(idHN);
    if (it == lawTable_.end()) return {};
    switch (selector) {
        case 2: return it->second.shortName;
        case 3: return it->second.formal;
        default: return it->second.common;
    }
}

bool Document::articleInfo(const std::string& idFN, ArticleInfo& out) const {
    const auto it = articleTable_.find(idFN);
    if (it == articleTable_.end()) return false;
    out = it->second;
    return true;
}

bool Document::splitPage(const std::string& idFN, int& count, int& number) const {
    const auto it = splitPages_.find(idFN);
    if (it == splitPages_.end()) {
        count = 0;
        number = 0;
        return false;
    }
    count = it->second.first;
    number = it->second.second;
    return true;
}

bool Document::addMarker(bool defaultTable, const std::string& key, const std::string& value) {
    if (key.size() != kMarkerKeyLength) return false;
    (defaultTable ? defaultMarkers_ : userMarkers_).insert_or_assign(key, value);
    return true;
}

std::string Document::findMarker(bool defaultTable, const std::string& key) const {
    const auto& table = defaultTable ? defaultMarkers_ : userMarkers_;
    const auto it = table.find(key);
    return it == table.end() ? std::string() : it->second;
}

bool Document::removeMarker(bool defaultTable, const std::string& key) {
    return (defaultTable ? defaultMarkers_ : userMarkers_).erase(key) != 0;
}

}  // namespace tavrel
