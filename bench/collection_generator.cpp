#include "collection_generator.h"

#include "citations/citation_index.h"
#include "database/schema.h"

#include <algorithm>
#include <cmath>
#include <sqlite3.h>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tavrel::bench {

namespace fs = std::filesystem;

namespace {

// Law identifiers of the copies: three characters from "A00" on, in the
// order copy by copy, law by law; identifiers already used are skipped.
std::string lawIdOf(int n) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const int v = 10 * 36 * 36 + n;
    std::string id(3, '0');
    id[0] = digits[(v / (36 * 36)) % 36];
    id[1] = digits[(v / 36) % 36];
    id[2] = digits[v % 36];
    return id;
}
constexpr int kLawIdCapacity = 26 * 36 * 36;

class Db {
  public:
    explicit Db(const fs::path& file, bool writable) {
        if (sqlite3_open_v2(file.c_str(), &db_, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            fail();
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            error_ = (message ? message : sqlite3_errmsg(db_)) + std::string(" in: ") + sql.substr(0, 200);
            sqlite3_free(message);
            throw std::runtime_error(error_);
        }
    }
    // The rows of a statement, every column as text.
    std::vector<std::vector<std::string>> rows(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fail();
        std::vector<std::vector<std::string>> out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* t = sqlite3_column_text(st, i);
                row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) fail();
        return out;
    }
    long count(const std::string& sql) {
        const auto r = rows(sql);
        return r.empty() || r[0].empty() ? 0 : std::stol(r[0][0].empty() ? "0" : r[0][0]);
    }

  private:
    [[noreturn]] void fail() { throw std::runtime_error(db_ ? sqlite3_errmsg(db_) : "cannot open the database"); }
    sqlite3* db_ = nullptr;
    std::string error_;
};

std::string sqlQuoted(const std::string& s) {
    std::string out = "'";
    for (const char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

// The column expressions of one table for a copied row: identifier columns
// get the copy's law identifier (table alias t, mapping alias m; for the
// reference target the mapping alias r of the target law's copy).
std::string columnList(Db& db, const std::string& table, const std::string& paragraphShift) {
    std::string list;
    for (const auto& col : db.rows("PRAGMA table_info(" + sqlQuoted(table) + ")")) {
        const std::string& name = col[1];
        const std::string c = "t.\"" + name + "\"";
        std::string e;
        if (name == "ID_HN") {
            e = "m.new";
        } else if (table == "T_参" && name == "ID_FN") {
            e = "CASE WHEN r.new IS NULL THEN " + c + " ELSE r.new || substr(" + c + ", 4) END";
        } else if (name == "ID_BN" && !paragraphShift.empty()) {
            e = "m.new || substr(" + c + ", 4, 13) || printf('%02d', CAST(substr(" + c + ", 17, 2) AS INTEGER) + " +
                paragraphShift + ") || substr(" + c + ", 19)";
        } else if (name == "ID_FN" || name == "ID_SN" || name == "ID_BN") {
            e = "m.new || substr(" + c + ", 4)";
        } else if (table == "T_法" && (name == "法名一般" || name == "法名略式" || name == "法名正式")) {
            e = "CASE WHEN " + c + " IS NULL THEN NULL ELSE " + c + " || '（' || m.copy || '）' END";
        } else {
            e = c;
        }
        list += (list.empty() ? "" : ", ") + e;
    }
    return list;
}

// The column a table's rows belong to their law by.
std::string keyColumn(const std::string& table) {
    if (table == "T_法") return "ID_HN";
    if (table == "T_条" || table == "T_他" || table == "T_告") return "ID_FN";
    if (table == "T_章") return "ID_SN";
    return "ID_BN";
}

void copyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::is_directory(from, ec))
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    else if (fs::exists(from, ec))
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) throw std::runtime_error("cannot copy " + from.string() + ": " + ec.message());
}

}  // namespace

fs::path builtSampleFolder() { return fs::path(TAVREL_BINARY_DIR) / "bin"; }

bool measureCollection(const fs::path& databaseFile, CollectionSize& size, std::string* error) {
    try {
        Db db(databaseFile, false);
        size.laws = db.count("SELECT count(*) FROM T_法");
        size.pages = db.count("SELECT count(*) FROM T_条");
        size.sentences = db.count("SELECT count(*) FROM T_文");
        size.tables = db.count("SELECT count(*) FROM T_表");
        size.searchBytes = db.count("SELECT total(length(CAST(条名 AS BLOB))) FROM T_条") +
                           db.count("SELECT total(length(CAST(検索用データ AS BLOB))) FROM T_文") +
                           db.count("SELECT total(length(CAST(検索用データ AS BLOB))) FROM T_表");
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool presetPlan(const std::string& preset, const CollectionSize& sample, ScalePlan& plan) {
    long pages = 0, sentences = 0;
    if (preset == "2008") {
        pages = 5000;
        sentences = 60000;
    } else if (preset == "large") {
        pages = 20000;
        sentences = 240000;
    } else {
        return false;
    }
    // Roughly: the special pages stay once, every other page is copied; the
    // doubled copies add about 0.9 of their sentences (split pages keep theirs).
    const long copiedPages = std::max(1L, sample.pages - 13);
    plan.copies = std::max(1, static_cast<int>(std::lround(double(pages - 13) / double(copiedPages))));
    const double perCopy = std::max(1.0, double(sample.sentences));
    const double missing = double(sentences) - perCopy * plan.copies;
    plan.doubledCopies =
        std::clamp(static_cast<int>(std::lround(missing / (0.9 * perCopy))), 0, std::max(0, plan.copies - 1));
    return true;
}

bool makeCollection(const fs::path& sampleFolder, const fs::path& outFolder, const ScalePlan& plan,
                    std::string* error) {
    const fs::path out = outFolder / db::kDatabaseFileName;
    const fs::path partial = outFolder / (std::string(db::kDatabaseFileName) + ".part");
    std::error_code ec;
    try {
        if (plan.copies < 1 || plan.doubledCopies < 0 || plan.doubledCopies >= plan.copies + (plan.copies == 1))
            throw std::runtime_error("the plan needs at least one copy and fewer doubled copies than copies");
        const fs::path sample = sampleFolder / db::kDatabaseFileName;
        if (!fs::exists(sample, ec)) throw std::runtime_error("no sample database at " + sample.string());
        fs::create_directories(outFolder, ec);
        if (fs::exists(out, ec)) throw std::runtime_error("a database already exists at " + out.string());
        fs::remove(partial, ec);
        fs::copy_file(sample, partial, ec);
        if (ec) throw std::runtime_error("cannot copy the sample database: " + ec.message());
        {
            Db db(partial, true);
            db.exec("PRAGMA journal_mode=OFF");
            db.exec("PRAGMA synchronous=OFF");
            db.exec("BEGIN");
            // The laws to copy, each copy with its new identifier.
            const auto laws = db.rows("SELECT ID_HN FROM T_法 WHERE ID_HN <> '00A' ORDER BY ID_HN");
            std::vector<std::string> used;
            for (const auto& r : db.rows("SELECT ID_HN FROM T_法")) used.push_back(r[0]);
            db.exec("CREATE TEMP TABLE M (old TEXT, new TEXT, copy INTEGER, doubled INTEGER)");
            int n = 0;
            for (int copy = 2; copy <= plan.copies; ++copy) {
                const bool doubled = copy - 1 <= plan.doubledCopies;
                for (const auto& law : laws) {
                    std::string id;
                    do {
                        if (n >= kLawIdCapacity)
                            throw std::runtime_error("too many copies for three-character law identifiers");
                        id = lawIdOf(n++);
                    } while (std::find(used.begin(), used.end(), id) != used.end());
                    db.exec("INSERT INTO M VALUES (" + sqlQuoted(law[0]) + ", " + sqlQuoted(id) + ", " +
                            std::to_string(copy) + ", " + (doubled ? "1" : "0") + ")");
                }
            }
            db.exec("CREATE INDEX temp.M_old ON M (old, copy)");
            // Articles (not split) whose paragraphs can be given once more.
            db.exec(
                "CREATE TEMP TABLE P AS SELECT substr(ID_BN, 1, 15) AS fn, max(CAST(substr(ID_BN, 17, 2) AS INTEGER)) "
                "AS shift FROM T_文 WHERE substr(ID_BN, 5, 1) BETWEEN '0' AND '9' AND substr(ID_BN, 1, 15) IN "
                "(SELECT ID_FN FROM T_条 WHERE 分割 = 0) GROUP BY 1 HAVING min(CAST(substr(ID_BN, 17, 2) AS "
                "INTEGER)) >= 1 AND 2 * max(CAST(substr(ID_BN, 17, 2) AS INTEGER)) <= 99");
            db.exec("CREATE INDEX temp.P_fn ON P (fn)");

            for (const char* table : db::kTableNames) {
                const std::string t = table;
                const std::string key = keyColumn(t);
                const std::string target =
                    t == "T_参" ? " LEFT JOIN M AS r ON r.old = substr(t.ID_FN, 1, 3) AND r.copy = m.copy" : "";
                db.exec("INSERT INTO \"" + t + "\" SELECT " + columnList(db, t, "") + " FROM \"" + t +
                        "\" AS t JOIN M AS m ON m.old = substr(t.\"" + key + "\", 1, 3)" + target);
                if (key == "ID_BN")
                    db.exec("INSERT INTO \"" + t + "\" SELECT " + columnList(db, t, "p.shift") + " FROM \"" + t +
                            "\" AS t JOIN P AS p ON p.fn = substr(t.ID_BN, 1, 15) JOIN M AS m ON m.old = "
                            "substr(t.ID_BN, 1, 3) AND m.doubled = 1" +
                            target);
            }
            db.exec("COMMIT");
        }
        // The copies cite each other: the reverse-reference index is made anew.
        citations::addCitationTable(partial.string());
        fs::rename(partial, out, ec);
        if (ec) throw std::runtime_error("cannot rename the database: " + ec.message());
        for (const char* name : {"default.ppj", "help08.html", "images08", "table"})
            copyFile(sampleFolder / name, outFolder / name);
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        fs::remove(partial, ec);
        return false;
    }
}

}  // namespace tavrel::bench
