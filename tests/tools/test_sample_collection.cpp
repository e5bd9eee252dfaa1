// The bundled sample collection as the build writes it into bin/: every kind
// of page, flag combination and case the renderer and navigator handle is
// present, every identifier is valid, the labels the numbering computes from
// ID_BN and 書式コード are the labels the corpus prints, and the builder turns
// a new corpus file into exactly one new article, or a broken one into a loud
// failure that leaves no database behind.
#include "database/connection.h"
#include "database/schema.h"
#include "document/numbering.h"
#include "text/sjis.h"

#include "corpus_law.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sqlite3.h>
#include <sstream>

namespace fs = std::filesystem;
namespace num = tavrel::numbering;
using tavrel::text::fromUtf8;
using tavrel::text::toUtf8;

namespace {

using Row = std::map<std::string, std::string>;  // column -> UTF-8 text ("" for NULL)

const fs::path kBin = fs::path(TAVREL_BINARY_DIR) / "bin";
const fs::path kData = fs::path(TAVREL_SOURCE_DIR) / "data";

class Db {
  public:
    explicit Db(const fs::path& file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
    }
    ~Db() { sqlite3_close(db_); }
    std::vector<Row> query(const std::string& sql) const {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
        std::vector<Row> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row r;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* t = sqlite3_column_text(st, i);
                r[sqlite3_column_name(st, i)] = t ? reinterpret_cast<const char*>(t) : "";
            }
            rows.push_back(std::move(r));
        }
        sqlite3_finalize(st);
        return rows;
    }
    size_t count(const std::string& where) const {
        return static_cast<size_t>(std::stol(query("SELECT COUNT(*) AS n FROM " + where).at(0).at("n")));
    }

  private:
    sqlite3* db_ = nullptr;
};

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool isId(const std::string& s, size_t n) {
    if (s.size() != n) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-')) return false;
    return true;
}

int runBuilder(const fs::path& data, const fs::path& out, std::string* errors = nullptr) {
    const fs::path log = out.parent_path() / (out.filename().string() + ".log");
    const std::string cmd = "\"" + (kBin / "tavrel-build-data").string() + "\" --data \"" + data.string() +
                            "\" --out \"" + out.string() + "\" >\"" + log.string() + "\" 2>&1";
    const int rc = std::system(cmd.c_str());
    if (errors) *errors = slurp(log);
    return rc;
}

class SampleCollection : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { db_ = new Db(kBin / "TL2008.orl"); }
    static void TearDownTestSuite() {
        delete db_;
        db_ = nullptr;
    }
    const Db& db() const { return *db_; }
    static Db* db_;
};
Db* SampleCollection::db_ = nullptr;

}  // namespace

TEST_F(SampleCollection, OpensThroughTheProgramsConnectionWithItsPassword) {
    tavrel::db::Connection c;
    const std::string text = tavrel::text::format(tavrel::db::kConnectionTextFormat, (kBin / "TL2008.orl").c_str());
    ASSERT_NO_THROW(c.open(text, tavrel::db::kConnectionUser, tavrel::db::kConnectionUserPassword, -1));
    auto rs = c.execute(SJ("SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]"));
    std::vector<std::string> laws;
    for (; !rs.isEOF(); rs.moveNext()) laws.push_back(rs.text("ID_HN"));
    EXPECT_EQ(laws, (std::vector<std::string>{"01A", "01B", "01K", "05A", "10A", "10B", "10C"}));
}

TEST_F(SampleCollection, LawsCoverEveryKind) {
    std::map<std::string, Row> laws;
    for (const Row& r : db().query("SELECT * FROM T_法")) laws[r.at("ID_HN")] = r;
    for (const char* id : {"00A", "01A", "01B", "01K", "05A", "09A", "10A", "10B", "10C"})
        EXPECT_TRUE(laws.count(id)) << id;
    EXPECT_EQ(laws["01A"].at("法名一般"), "建築基準法");
    EXPECT_EQ(laws["01B"].at("法名正式"), "建築基準法施行令");
    EXPECT_EQ(laws["05A"].at("法名正式"), "高齢者、障害者等の移動等の円滑化の促進に関する法律");
    EXPECT_EQ(laws["09A"].at("表示"), "0");  // one law is not shown
    EXPECT_EQ(laws["00A"].at("表示"), "0");  // nor the pseudo-law of the special pages
    for (const auto& [id, r] : laws) {
        EXPECT_TRUE(std::regex_match(id, std::regex("^[0-9]{2}[A-Z]$"))) << id;
        EXPECT_FALSE(r.at("法名一般").empty() || r.at("法名略式").empty() || r.at("法名正式").empty()) << id;
        if (id != "09A" && id != "00A") {
            EXPECT_EQ(r.at("表示"), "-1") << id;
        }
    }
    // Abolished laws have articles, the notification law ends in K.
    for (const char* id : {"10A", "10B", "10C"})
        EXPECT_GT(db().count("T_条 WHERE substr(ID_FN,1,3) = '" + std::string(id) + "'"), 0u) << id;
    EXPECT_GT(db().count("T_条 WHERE substr(ID_FN,1,3) = '01K' AND substr(ID_FN,5,1) = 'K'"), 0u);
}

TEST_F(SampleCollection, EveryIdentifierIsWellFormed) {
    std::set<std::string> pages;
    for (const Row& r : db().query("SELECT ID_FN, ID_SN FROM T_条")) {
        const std::string& id = r.at("ID_FN");
        EXPECT_TRUE(isId(id, 15)) << id;
        EXPECT_TRUE(num::pageKind(id)) << id;
        EXPECT_TRUE(isId(r.at("ID_SN"), 23)) << id;
        EXPECT_EQ(r.at("ID_SN").substr(0, 3), id.substr(0, 3)) << id;
        if (r.at("ID_SN").substr(4) != "0000-0000-0000-0000") {
            EXPECT_EQ(db().count("T_章 WHERE ID_SN = '" + r.at("ID_SN") + "'"), 1u) << id;
        }
        pages.insert(id);
    }
    for (const Row& r : db().query("SELECT ID_BN FROM T_文")) {
        EXPECT_TRUE(isId(r.at("ID_BN"), 35)) << r.at("ID_BN");
        EXPECT_TRUE(pages.count(r.at("ID_BN").substr(0, 15))) << r.at("ID_BN");
    }
    for (const Row& r : db().query("SELECT ID_BN FROM T_表 UNION SELECT ID_BN FROM T_参"))
        EXPECT_TRUE(pages.count(r.at("ID_BN").substr(0, 15))) << r.at("ID_BN");
    for (const Row& r : db().query("SELECT ID_FN FROM T_他 UNION SELECT ID_FN FROM T_告 UNION SELECT ID_FN FROM T_参"))
        EXPECT_TRUE(pages.count(r.at("ID_FN"))) << r.at("ID_FN");
    for (const Row& r : db().query("SELECT ID_SN FROM T_章")) EXPECT_TRUE(num::divisionNumber(r.at("ID_SN")));
}

TEST_F(SampleCollection, EveryPageKindIsPresent) {
    // Articles with branch numbers, supplementary provisions, appended tables,
    // notifications, special pages.
    EXPECT_EQ(db().count("T_条 WHERE ID_FN = '01A-00060200-00'"), 1u);
    EXPECT_EQ(db().count("T_条 WHERE ID_FN = '01A-F0000000-00'"), 1u);
    EXPECT_GT(db().count("T_文 WHERE substr(ID_BN,1,15) = '01A-F0000000-00'"), 1u);
    EXPECT_EQ(db().count("T_表 WHERE ID_BN = '01A-T0010000-00-0000-0000-0000-0000'"), 1u);
    for (const char* id :
         {"00A-Z0000000-00", "00A-Z0010000-00", "00A-Z0020000-00", "00A-Z0030000-00", "00A-Z0040000-00",
          "00A-Z0050000-00", "00A-Z0090000-00", "00A-Z0090001-00", "00A-Z0090002-00", "00A-Z0090003-00",
          "00A-Z0090004-00", "00A-Z0090005-00", "00A-Z0090006-00"}) {
        EXPECT_EQ(db().count("T_条 WHERE ID_FN = '" + std::string(id) + "'"), 1u) << id;
        EXPECT_GT(db().count("T_他 WHERE ID_FN = '" + std::string(id) + "'"), 0u) << id;
    }
    EXPECT_EQ(db().query("SELECT 表示 FROM T_条 WHERE ID_FN = '00A-Z0000000-00'").at(0).at("表示"), "0");
    const std::string cover =
        db().query("SELECT group_concat(HTMLデータ, '') AS h FROM T_他 WHERE ID_FN = '00A-Z0010000-00'").at(0).at("h");
    EXPECT_NE(cover.find("tavrel_title.bmp"), std::string::npos);
    EXPECT_NE(cover.find("season.gif"), std::string::npos);
    EXPECT_NE(cover.find("[L"), std::string::npos);
    EXPECT_GT(db().count("T_他 WHERE ID_FN = '00A-Z0090001-00' AND 順序 = 2"), 0u);  // more than one piece
    EXPECT_GT(db().count("T_他 WHERE substr(ID_FN,1,8) = '00A-Z009' AND HTMLデータ LIKE '%images/basic/%'"), 0u);
    EXPECT_GT(db().count("T_他 WHERE substr(ID_FN,1,8) = '00A-Z009' AND HTMLデータ LIKE '%images/design/%'"), 0u);
    EXPECT_GT(db().count("T_他 WHERE ID_FN = '00A-Z0050000-00' AND HTMLデータ LIKE '%準備中です．．．%'"), 0u);
}

TEST_F(SampleCollection, SplitLargeCaptionlessAndHiddenPages) {
    const auto split = db().query("SELECT * FROM T_条 WHERE substr(ID_FN,1,12) = '01A-00520000' ORDER BY ID_FN");
    ASSERT_EQ(split.size(), 3u);
    for (const Row& r : split) {
        EXPECT_EQ(r.at("分割"), "3");
        EXPECT_FALSE(r.at("補足").empty());
    }
    EXPECT_EQ(split[0].at("条名"), "容積率");
    EXPECT_EQ(split[1].at("条名"), "");
    EXPECT_EQ(split[2].at("ID_FN"), "01A-00520000-02");
    EXPECT_GT(db().count("T_文 WHERE substr(ID_BN,1,15) = '01A-00520000-02'"), 0u);
    // A split notification.
    EXPECT_EQ(db().count("T_条 WHERE substr(ID_FN,1,12) = '01K-KD121400' AND 分割 = 2"), 2u);
    // Unsplit pages carry 0: the tree treats 1 as split.
    EXPECT_EQ(db().count("T_条 WHERE 分割 = 1"), 0u);
    EXPECT_GT(db().count("T_条 WHERE 大型 <> 0"), 0u);
    EXPECT_GT(db().count("T_条 WHERE 条名 = 'なし'"), 0u);
    EXPECT_GT(db().count("T_条 WHERE 表示 = 0 AND substr(ID_FN,1,3) <> '00A'"), 0u);
}

TEST_F(SampleCollection, DivisionsOfEveryLevelWithAndWithoutNotice) {
    EXPECT_GT(db().count("T_章 WHERE substr(ID_SN,5,4) <> '0000' AND substr(ID_SN,10) = '0000-0000-0000'"), 0u);
    EXPECT_GT(db().count("T_章 WHERE substr(ID_SN,10,4) <> '0000' AND substr(ID_SN,15) = '0000-0000'"), 0u);
    EXPECT_GT(db().count("T_章 WHERE substr(ID_SN,15,4) <> '0000' AND substr(ID_SN,20) = '0000'"), 0u);
    EXPECT_GT(db().count("T_章 WHERE substr(ID_SN,20,4) <> '0000'"), 0u);
    EXPECT_GT(db().count("T_章 WHERE 告示 <> 0"), 0u);
    EXPECT_GT(db().count("T_章 WHERE 告示 = 0"), 0u);
    // A section row carries its chapter's name too (the page heading shows both).
    const auto sec = db().query("SELECT * FROM T_章 WHERE ID_SN = '01A-0300-0400-0000-0000'");
    ASSERT_EQ(sec.size(), 1u);
    EXPECT_EQ(sec[0].at("章名"), "都市計画区域等における建築物の敷地、構造、建築設備及び用途");
    EXPECT_EQ(sec[0].at("節名"), "建築物の敷地及び構造");
    EXPECT_EQ(db().query("SELECT ID_SN FROM T_条 WHERE ID_FN = '01A-00520000-00'").at(0).at("ID_SN"),
              "01A-0300-0400-0000-0000");
}

TEST_F(SampleCollection, SentenceTextsShowEveryMarkupCase) {
    auto has = [&](const std::string& like) { return db().count("T_文 WHERE 法文 LIKE '" + like + "'") > 0; };
    EXPECT_TRUE(has("%[第6条の2]%") || has("%[第%条の%]%"));
    EXPECT_TRUE(has("%法[第%条/01A]%"));
    EXPECT_TRUE(has("%[L別表第一/01A-T0010000L]%"));
    EXPECT_TRUE(has("%[K%K]%"));
    EXPECT_TRUE(has("%」という。%"));
    EXPECT_TRUE(has("%㎝2%"));
    EXPECT_TRUE(has("%m3%"));
    EXPECT_TRUE(has("%<ruby>%<rt>%</rt></ruby>%"));
    for (const char* found : {"跨こ線橋", "消火栓せん", "貯水槽そう", "屎し尿", "勾こう配"})
        EXPECT_FALSE(has(std::string("%") + found + "%")) << found;  // never run together
    // Article and paragraph numbers are arabic, items stay kanji.
    for (const Row& r : db().query("SELECT 法文 FROM T_文 WHERE 法文 LIKE '%[第%'")) {
        const std::string& t = r.at("法文");
        for (size_t p = t.find("[第"); p != std::string::npos; p = t.find("[第", p + 1)) {
            const std::string markup = t.substr(p, t.find(']', p) - p);
            for (const char* k : {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "百", "千"})
                EXPECT_EQ(markup.find(k), std::string::npos) << markup;
        }
    }
    EXPECT_TRUE(has("%第1項%"));
    EXPECT_TRUE(has("%第一号%"));
    // Four nested parentheses in one sentence.
    bool deep = false;
    for (const Row& r : db().query("SELECT 法文 FROM T_文 WHERE 法文 LIKE '%（%（%（%（%'")) {
        int depth = 0, most = 0;
        const std::string& t = r.at("法文");
        for (size_t i = 0; i + 2 < t.size(); ++i) {
            if (t.compare(i, 3, "（") == 0) most = std::max(most, ++depth);
            if (t.compare(i, 3, "）") == 0) --depth;
        }
        deep = deep || most >= 4;
    }
    EXPECT_TRUE(deep);
    // Search data: no markup, folded digits.
    EXPECT_EQ(db().count("T_文 WHERE 検索用データ LIKE '%[%' OR 検索用データ LIKE '%<%'"), 0u);
    EXPECT_EQ(db().count("T_文 WHERE 検索用データ IS NULL OR 検索用データ = ''"), 0u);
    EXPECT_GT(db().count("T_文 WHERE 検索用データ LIKE '%跨線橋%'"), 0u);
    EXPECT_EQ(db().count("T_文 WHERE 検索用データ GLOB '*[０-９]*'"), 0u);
    // Every text has a CP932 form.
    for (const Row& r : db().query(
             "SELECT 法文 FROM T_文 UNION ALL SELECT 表式データ FROM T_表 UNION ALL SELECT HTMLデータ FROM T_他")) {
        bool ok = true;
        fromUtf8(r.begin()->second, &ok);
        ASSERT_TRUE(ok) << r.begin()->second.substr(0, 80);
    }
}

TEST_F(SampleCollection, SentenceFlagsAndTables) {
    EXPECT_GT(db().count("T_文 WHERE 札抜 <> 0"), 0u);
    // Every table sentence has its pieces; pieces are whole Excel-style documents.
    EXPECT_EQ(db().count("T_文 WHERE 表式 <> 0 AND ID_BN NOT IN (SELECT ID_BN FROM T_表)"), 0u);
    for (const Row& r : db().query("SELECT ID_BN, 表式データ FROM T_表")) {
        const std::string& h = r.at("表式データ");
        EXPECT_NE(h.find("</head>"), std::string::npos) << r.at("ID_BN");
        EXPECT_NE(h.find("<body>"), std::string::npos) << r.at("ID_BN");
        EXPECT_NE(h.find("</body>"), std::string::npos) << r.at("ID_BN");
        EXPECT_NE(h.find("font-size:9.0pt;"), std::string::npos) << r.at("ID_BN");
    }
    EXPECT_GT(db().count("T_表 WHERE 表式データ LIKE '%x:str=\"%'"), 0u);
    EXPECT_GT(db().count("T_表 WHERE 順序 = 2"), 0u);  // a table of two pieces
    const auto fig =
        db().query("SELECT T_表.表式データ AS h FROM T_表 JOIN T_文 ON T_表.ID_BN = T_文.ID_BN WHERE T_文.図入 <> 0");
    ASSERT_FALSE(fig.empty());
    EXPECT_NE(fig[0].at("h").find("./images/fig_sample.gif"), std::string::npos);
    EXPECT_TRUE(fs::exists(kBin / "images08" / "kokuji" / "fig_sample.gif"));
    // The real tables of the corpus.
    for (const char* id : {"01B-00230000-00-0100-0000-0000-0000", "01B-00850000-00-0100-0000-0000-0000",
                           "01B-00850000-00-0200-0000-0000-0000", "01B-01190000-00-0100-0000-0000-0000"}) {
        EXPECT_EQ(db().count("T_表 WHERE ID_BN = '" + std::string(id) + "'"), 1u) << id;
        EXPECT_EQ(db().query("SELECT 表式 FROM T_文 WHERE ID_BN = '" + std::string(id) + "'").at(0).at("表式"), "-1")
            << id;
    }
    EXPECT_GT(db().count("T_表 WHERE 検索用データ LIKE '%小学校%'"), 0u);
}

TEST_F(SampleCollection, ReferenceLinksCoverEveryFlagCombination) {
    auto any = [&](const std::string& where) { return db().count("T_参 WHERE " + where) > 0; };
    EXPECT_TRUE(any("自動 <> 0 AND 選定 = 0 AND 強調 <> 0 AND 有効 <> 0"));
    EXPECT_TRUE(any("自動 <> 0 AND 選定 > 0 AND 強調 <> 0 AND 有効 <> 0"));
    EXPECT_TRUE(any("表中 <> 0"));
    EXPECT_TRUE(any("強調 = 0 AND 有効 <> 0 AND キーワード <> ''"));
    EXPECT_TRUE(any("有効 = 0 AND キーワード <> ''"));
    EXPECT_TRUE(any("場所 <> ''"));
    EXPECT_TRUE(any("備考 <> ''"));
    EXPECT_TRUE(any("補助 <> ''"));
    EXPECT_TRUE(any("表示 = 0"));
    EXPECT_TRUE(any("IFNULL(キーワード, '') = ''"));
    EXPECT_TRUE(any("substr(ID_FN,1,2) <> substr(ID_BN,1,2) AND substr(ID_FN,1,2) <> '00'"));  // another law family
    EXPECT_TRUE(any("substr(ID_FN,5,1) = 'Z'"));  // a special page ends the block
    EXPECT_TRUE(any("substr(ID_FN,5,1) = 'K'"));
    // Marked places: 自動 clear and the sentence carries [K…K] around the keyword.
    const auto marked = db().query(
        "SELECT T_参.キーワード AS k, T_文.法文 AS t FROM T_参 JOIN T_文 ON T_参.ID_BN = T_文.ID_BN "
        "WHERE T_参.自動 = 0 AND T_参.強調 <> 0 AND T_参.有効 <> 0");
    ASSERT_FALSE(marked.empty());
    EXPECT_NE(marked[0].at("t").find("[K" + marked[0].at("k") + "K]"), std::string::npos);
    // Keywords in the sentence text (or its table) for the automatic rows.
    for (const Row& r :
         db().query("SELECT T_参.キーワード AS k, T_参.表中 AS inTable, T_文.法文 AS t, T_参.ID_BN AS b "
                    "FROM T_参 JOIN T_文 ON T_参.ID_BN = T_文.ID_BN WHERE T_参.自動 <> 0 AND T_参.有効 <> 0")) {
        if (r.at("inTable") != "0") {
            EXPECT_GT(db().count("T_表 WHERE ID_BN = '" + r.at("b") + "' AND 表式データ LIKE '%" + r.at("k") + "%'"),
                      0u);
        } else {
            EXPECT_NE(r.at("t").find(r.at("k")), std::string::npos) << r.at("b");
        }
    }
    // Every source sentence carries the 参照 flag; every target page exists.
    EXPECT_EQ(db().count("T_参 WHERE ID_BN NOT IN (SELECT ID_BN FROM T_文 WHERE 参照 <> 0)"), 0u);
    EXPECT_EQ(db().count("T_文 WHERE 参照 <> 0 AND ID_BN NOT IN (SELECT ID_BN FROM T_参)"), 0u);
    EXPECT_EQ(db().count("T_参 WHERE ID_FN NOT IN (SELECT ID_FN FROM T_条)"), 0u);
}

TEST_F(SampleCollection, NotificationsUseRealNumbersAndTitlesAndHaveHistories) {
    std::map<std::string, std::string> titles;  // number -> title
    {
        std::istringstream in(slurp(kData / "corpus" / "notifications.tsv"));
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::vector<std::string> f;
            std::stringstream ls(line);
            for (std::string x; std::getline(ls, x, '\t');) f.push_back(x);
            if (f.size() >= 3) titles[f[0]] = f[2];
        }
    }
    size_t matched = 0;
    for (const Row& r :
         db().query("SELECT ID_FN, 条名 FROM T_条 WHERE substr(ID_FN,5,1) = 'K' AND substr(ID_FN,14,2) = '00'")) {
        const std::string& id = r.at("ID_FN");
        const auto n = num::notificationNumber(id);
        ASSERT_TRUE(n) << id;
        const std::string key = "平成" + std::to_string(n->year) + "年建設省告示第" + std::to_string(n->number) + "号";
        ASSERT_TRUE(titles.count(key)) << id;
        EXPECT_EQ(r.at("条名"), titles[key] + "（サンプル）") << id;
        EXPECT_EQ(db().count("T_告 WHERE ID_FN = '" + id + "'"), 1u) << id;
        ++matched;
    }
    EXPECT_EQ(matched, titles.size());
    EXPECT_GT(db().count("T_告 WHERE 公布年月日 IS NOT NULL AND 改正年月日 IS NULL"), 0u);
    EXPECT_GT(db().count("T_告 WHERE 公布年月日 IS NOT NULL AND 改正年月日 IS NOT NULL AND 改正告示番号 IS NOT NULL"),
              0u);
    EXPECT_EQ(db().count("T_告 WHERE substr(ID_FN,14,2) <> '00'"), 0u);
    for (const Row& r : db().query("SELECT 公布年月日 AS d FROM T_告 WHERE 公布年月日 IS NOT NULL"))
        EXPECT_TRUE(std::regex_match(r.at("d"), std::regex(R"(^\d{4}-\d{2}-\d{2}$)")));
    // A revision line written for the sample is said to be sample data on its page.
    for (const Row& r : db().query("SELECT ID_FN FROM T_告 WHERE 改正年月日 IS NOT NULL"))
        EXPECT_GT(
            db().count("T_文 WHERE substr(ID_BN,1,15) = '" + r.at("ID_FN") + "' AND 法文 LIKE '%最終改正%サンプル%'"),
            0u);
}

TEST_F(SampleCollection, WrittenSampleTextIsMarkedAsSuch) {
    // Pages whose text is not real: notifications, supplementary provisions
    // of laws without an e-Gov file, the abolished and the hidden laws.
    for (const Row& r : db().query("SELECT ID_FN FROM T_条 WHERE substr(ID_FN,5,1) = 'K' OR (substr(ID_FN,5,1) = 'F' "
                                   "AND substr(ID_FN,1,3) NOT IN (SELECT ID_HN FROM T_法令XML)) OR substr(ID_FN,1,3) "
                                   "IN ('09A','10A','10B','10C')"))
        EXPECT_GT(db().count("T_文 WHERE substr(ID_BN,1,15) = '" + r.at("ID_FN") + "' AND 法文 LIKE '%サンプル%'"), 0u)
            << r.at("ID_FN");
    EXPECT_GT(db().count("T_他 WHERE substr(ID_FN,1,8) = '00A-Z009' AND HTMLデータ LIKE '%サンプル%'"), 0u);
    // The laws of the e-Gov files are real throughout.
    EXPECT_EQ(db().count("T_法令XML"), 3u);
    EXPECT_EQ(db().count("T_文 WHERE substr(ID_BN,1,3) IN (SELECT ID_HN FROM T_法令XML) AND 法文 LIKE '%サンプル%'"),
              0u);
}

TEST_F(SampleCollection, DefaultMarkerFile) {
    const std::string text = slurp(kBin / "default.ppj");
    ASSERT_EQ(text.rfind("VERSION 8.08\r\n", 0), 0u);
    std::istringstream in(text.substr(14));
    std::string line;
    int markers = 0, stale = 0, inline_ = 0;
    while (std::getline(in, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        ASSERT_EQ(line.size(), 92u) << line;
        const std::string key = line.substr(0, 55), value = line.substr(57);
        EXPECT_EQ(line.substr(55, 2), ", ");
        ASSERT_TRUE(std::regex_match(key, std::regex("^[0-9A-Z-]{35}-to-[0-9A-Z-]{12}-[rp][0-9]{2}$"))) << key;
        const std::string source = key.substr(0, 35), target = key.substr(39, 12);
        if (key[52] == 'r') {
            EXPECT_GT(db().count("T_参 WHERE ID_BN = '" + source + "' AND substr(ID_FN,1,12) = '" + target + "'"), 0u)
                << key;
        } else {
            ++inline_;
            const auto n = num::articleNumber(target + "-00");
            ASSERT_TRUE(n) << key;
            const std::string markup = "[第" + std::to_string(n->number) + "条/" + target.substr(0, 3) + "]";
            EXPECT_GT(db().count("T_文 WHERE ID_BN = '" + source + "' AND instr(法文, '" + markup + "') > 0"), 0u)
                << key;
        }
        EXPECT_EQ(db().count("T_文 WHERE ID_BN = '" + value + "'"), 1u) << value;
        ++markers;
        if (value.substr(0, 12) != target) ++stale;
    }
    EXPECT_GE(markers, 3);
    EXPECT_EQ(stale, 1);
    EXPECT_EQ(inline_, 1);
}

TEST_F(SampleCollection, HelpPageAndImages) {
    const std::string help = slurp(kBin / "help08.html");
    ASSERT_FALSE(help.empty());
    EXPECT_NE(help.find("\r\n"), std::string::npos);
    EXPECT_EQ(help.find("\n\n"), std::string::npos);
    EXPECT_NE(toUtf8(help).find("ヘルプ"), std::string::npos);
    EXPECT_EQ(toUtf8(help).find("\xEF\xBF\xBD"), std::string::npos);  // valid CP932 throughout
    auto gifSize = [](const fs::path& f) {
        const std::string b = slurp(f);
        if (b.size() < 10 || b.compare(0, 6, "GIF89a") != 0) return std::pair<int, int>(-1, -1);
        return std::pair<int, int>(static_cast<unsigned char>(b[6]) | (static_cast<unsigned char>(b[7]) << 8),
                                   static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8));
    };
    const fs::path img = kBin / "images08";
    EXPECT_EQ(gifSize(img / "system" / "indicator_red.gif"), std::make_pair(10, 10));
    EXPECT_EQ(gifSize(img / "system" / "indicator_blue.gif"), std::make_pair(10, 10));
    EXPECT_EQ(gifSize(img / "system" / "pin_point.gif"), std::make_pair(11, 10));
    for (const char* a : {"move_fwrd.gif", "move_back.gif", "move_next.gif", "move_befo.gif", "move_stop.gif"})
        EXPECT_EQ(gifSize(img / "system" / a), std::make_pair(20, 20)) << a;
    EXPECT_NE(gifSize(img / "season.gif").first, -1);
    EXPECT_EQ(slurp(img / "tavrel_title.bmp").substr(0, 2), "BM");
    // Every image a special page names exists.
    for (const Row& r : db().query("SELECT HTMLデータ AS h FROM T_他")) {
        const std::string& h = r.at("h");
        std::smatch m;
        for (auto it = h.cbegin();
             std::regex_search(it, h.cend(), m, std::regex("images/(basic|design)/([a-z_]+\\.gif)"));
             it = m.suffix().first)
            EXPECT_TRUE(fs::exists(img / m[1].str() / m[2].str())) << m[0].str();
    }
}

namespace {

// The label the corpus prints for one body line, read independently of the
// builder: "２…" -> 2, "七の二　" -> 七の二, "  イ　" -> イ, "    （１）　" -> (1),
// "      （ｉｉ）　" -> （ⅱ）.
std::string printedLabel(const std::string& line) {
    size_t spaces = 0;
    while (spaces < line.size() && line[spaces] == ' ') ++spaces;
    const std::string rest = line.substr(spaces);
    const std::string blank = "　";
    if (spaces == 0) {
        std::string digits;
        size_t i = 0;
        while (rest.compare(i, 2, "\xEF\xBC") == 0 && i + 2 < rest.size() &&
               static_cast<unsigned char>(rest[i + 2]) >= 0x90 && static_cast<unsigned char>(rest[i + 2]) <= 0x99) {
            digits += static_cast<char>('0' + static_cast<unsigned char>(rest[i + 2]) - 0x90);
            i += 3;
        }
        if (!digits.empty()) return digits;
        const size_t b = rest.find(blank);
        static const std::regex item("^[一二三四五六七八九十百]+(の[一二三四五六七八九十]+)?$");
        if (b != std::string::npos && std::regex_match(rest.substr(0, b), item)) return rest.substr(0, b);
        return "";
    }
    const std::string head = rest.substr(0, rest.find(blank));
    if (spaces == 2) return head;
    const std::string inner = head.substr(3, head.size() - 6);  // between （ and ）
    if (spaces == 4) {
        std::string d;
        for (size_t i = 0; i + 2 < inner.size(); i += 3)
            d += static_cast<char>('0' + static_cast<unsigned char>(inner[i + 2]) - 0x90);
        return "(" + d + ")";
    }
    static const std::map<std::string, std::string> roman = {{"ｉ", "ⅰ"}, {"ｉｉ", "ⅱ"}, {"ｉｉｉ", "ⅲ"}, {"ｉｖ", "ⅳ"},
                                                             {"ｖ", "ⅴ"}, {"ｖｉ", "ⅵ"}, {"ｖｉｉ", "ⅶ"}};
    return "（" + roman.at(inner) + "）";
}

std::string articleKanjiToLabel(const fs::path& file) {
    // article_006_2.txt -> 第6条の2
    std::smatch m;
    const std::string name = file.filename().string();
    std::regex_match(name, m, std::regex(R"(^article_(\d+)(?:_(\d+))?\.txt$)"));
    std::string label = "第" + std::to_string(std::stoi(m[1].str())) + "条";
    if (m[2].matched && std::stoi(m[2].str()) > 1) label += "の" + std::to_string(std::stoi(m[2].str()));
    return label;
}

}  // namespace

TEST_F(SampleCollection, ComputedLabelsEqualThePrintedLabelsOfTheCorpus) {
    const std::map<std::string, std::string> laws = {{"building_standard_act", "01A"},
                                                     {"building_standard_act_enforcement_order", "01B"},
                                                     {"barrier_free_act", "05A"}};
    size_t checked = 0;
    for (const auto& [folder, law] : laws) {
        for (const auto& entry : fs::directory_iterator(kData / "corpus" / folder / "texts")) {
            const fs::path file = entry.path();
            std::smatch m;
            const std::string name = file.filename().string();
            ASSERT_TRUE(std::regex_match(name, m, std::regex(R"(^article_(\d+)(?:_(\d+))?\.txt$)"))) << name;
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "%s-%04d%02d00", law.c_str(), std::stoi(m[1].str()),
                          m[2].matched ? std::stoi(m[2].str()) : 0);
            const auto rows =
                db().query("SELECT ID_BN, 書式コード, 検索用データ FROM T_文 WHERE substr(ID_BN,1,12) = '" +
                           std::string(prefix) + "' ORDER BY ID_BN");
            std::istringstream in(slurp(file));
            std::vector<std::string> body;
            std::string line;
            std::getline(in, line);  // caption
            std::getline(in, line);  // title
            while (std::getline(in, line)) body.push_back(line);
            ASSERT_EQ(rows.size(), body.size()) << file;
            for (size_t i = 0; i < body.size(); ++i) {
                const std::string& id = rows[i].at("ID_BN");
                const auto level = num::articleElementLevel(id);
                ASSERT_TRUE(level) << id;
                const std::string expected = i == 0 ? articleKanjiToLabel(file) : printedLabel(body[i]);
                const auto label = num::articleElementLabel(id, 1 << *level, rows[i].at("書式コード"), false);
                ASSERT_TRUE(label) << id;
                EXPECT_EQ(toUtf8(*label), expected) << file.filename() << " line " << i + 3 << " " << id;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 300u);
}

TEST_F(SampleCollection, NotificationLabelsByFormatCode) {
    // Row -> label the notification page shows (format codes of the pages).
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"01K-KD121399-00-0100-0000-0000-0000", "第1"},    {"01K-KD121399-00-0100-0100-0000-0000", "一"},
        {"01K-KD121399-00-0100-0100-0100-0000", "イ"},     {"01K-KD121399-00-0100-0100-0110-0000", "(1)"},
        {"01K-KD121399-00-0100-0100-0111-0000", "（ⅰ）"},  {"01K-KD121399-00-0100-0100-0111-0100", "（イ）"},
        {"01K-KD121400-00-0100-0000-0000-0000", "一"},     {"01K-KD121400-00-0100-0100-0000-0000", "1"},
        {"01K-KD121358-00-0100-0100-0000-0000", "-"},      {"01K-KD121358-00-0100-0100-0100-0000", "（1）"},
        {"01K-KD121358-00-0100-0100-0110-0000", "（イ）"}, {"01K-KD121358-00-0100-0100-0111-0000", "（い）"},
        {"01K-KD121358-00-0100-0100-0111-0100", "（ⅰ）"}};
    static const std::map<int, int> flags = {{1, 8}, {2, 16}, {3, 32}, {4, 64}, {5, 128}, {6, 256}};
    for (const auto& [id, expected] : cases) {
        const auto rows = db().query("SELECT 書式コード FROM T_文 WHERE ID_BN = '" + id + "'");
        ASSERT_EQ(rows.size(), 1u) << id;
        const auto level = num::notificationElementLevel(id);
        ASSERT_TRUE(level && flags.count(*level)) << id;
        const auto label = num::notificationElementLabel(id, flags.at(*level), rows[0].at("書式コード"), false);
        ASSERT_TRUE(label) << id;
        EXPECT_EQ(toUtf8(*label), expected) << id;
    }
    for (const char* special : {"F000", "S000", "T000", "R000"})
        EXPECT_GT(
            db().count("T_文 WHERE substr(ID_BN,1,3) = '01K' AND substr(ID_BN,17,4) = '" + std::string(special) + "'"),
            0u)
            << special;
}

namespace {

// Every row of every table as text lines, for comparing two databases.
std::set<std::string> dump(const Db& db) {
    std::set<std::string> out;
    for (const char* table : {"T_法", "T_条", "T_章", "T_文", "T_表", "T_他", "T_参", "T_告"})
        for (const Row& r : db.query(std::string("SELECT * FROM ") + table)) {
            std::string line = table;
            for (const auto& [k, v] : r) line += "|" + k + "=" + v;
            out.insert(line);
        }
    return out;
}

// A copy of data/ with 建築基準法 built from its corpus articles.
void copyData(const fs::path& to) {
    fs::copy(kData, to, fs::copy_options::recursive);
    tavrel::testing::buildFromCorpus(to, "325AC0000000201.xml", "building_standard_act");
}

}  // namespace

TEST(SampleCollectionBuilder, ANewCorpusFileAddsExactlyThatArticle) {
    tavrel::testing::TempDir dir;
    const fs::path data = dir.path() / "data";
    copyData(data);
    const fs::path before = dir.path() / "before", after = dir.path() / "after";
    ASSERT_EQ(runBuilder(data, before), 0);
    const fs::path act = data / "corpus" / "building_standard_act";
    tavrel::testing::writeFile(
        (act / "texts" / "article_053.txt").string(),
        "（試験用の条）\n第五十三条\n本文は第五十二条第一項を引く。\n２第二項の文。\n一　号の文\n");
    tavrel::testing::writeFile((act / "articles" / "article_053.yaml").string(),
                               "chapter: \"第三章 都市計画区域等における建築物の敷地、構造、建築設備及び用途\"\n"
                               "section: \"第四節 建築物の敷地及び構造\"\nsubsection: null\ndivision: null\n");
    ASSERT_EQ(runBuilder(data, after), 0);
    Db oldDb(before / "TL2008.orl"), newDb(after / "TL2008.orl");
    const std::set<std::string> a = dump(oldDb), b = dump(newDb);
    for (const std::string& line : a) EXPECT_TRUE(b.count(line)) << "lost or changed: " << line;
    std::vector<std::string> added;
    for (const std::string& line : b)
        if (!a.count(line)) added.push_back(line);
    ASSERT_EQ(added.size(), 4u);  // one page, three sentences; no new division
    const auto page = newDb.query("SELECT * FROM T_条 WHERE ID_FN = '01A-00530000-00'");
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].at("条名"), "試験用の条");
    EXPECT_EQ(page[0].at("ID_SN"), "01A-0300-0400-0000-0000");
    const auto rows = newDb.query("SELECT * FROM T_文 WHERE substr(ID_BN,1,15) = '01A-00530000-00' ORDER BY ID_BN");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].at("ID_BN"), "01A-00530000-00-0100-0000-0000-0000");
    EXPECT_EQ(rows[0].at("法文"), "本文は[第52条]第1項を引く。");
    EXPECT_EQ(rows[0].at("検索用データ"), "本文は第52条第1項を引く。");
    EXPECT_EQ(rows[1].at("ID_BN"), "01A-00530000-00-0200-0000-0000-0000");
    EXPECT_EQ(rows[2].at("ID_BN"), "01A-00530000-00-0200-0100-0000-0000");
    const std::vector<std::string> labels = {"第53条", "2", "一"};
    for (size_t i = 0; i < 3; ++i) {
        const std::string& id = rows[i].at("ID_BN");
        const auto level = num::articleElementLevel(id);
        ASSERT_TRUE(level);
        EXPECT_EQ(toUtf8(num::articleElementLabel(id, 1 << *level, rows[i].at("書式コード"), false).value_or("")),
                  labels[i]);
    }
    EXPECT_EQ(slurp(before / "default.ppj"), slurp(after / "default.ppj"));
}

// A law file of egov/ that collection.ini does not name is added as an
// import adds it: バリアフリー法 without its [law 05A] section (and the rows
// of references.tsv and markers.tsv that name 05A) opens the first free
// family, with the names of its file.
TEST(SampleCollectionBuilder, AnUnnamedLawFileIsAddedAsAnImportAddsIt) {
    tavrel::testing::TempDir dir;
    const fs::path data = dir.path() / "data";
    fs::copy(kData, data, fs::copy_options::recursive);
    std::string ini = slurp(data / "collection.ini");
    const size_t from = ini.find("[law 05A]"), to = ini.find("\n[", from);
    ASSERT_NE(from, std::string::npos);
    ini.erase(from, to - from);
    tavrel::testing::writeFile((data / "collection.ini").string(), ini);
    for (const char* name : {"references.tsv", "markers.tsv"}) {
        std::istringstream in(slurp(data / name));
        std::string kept, line;
        while (std::getline(in, line))
            if (line.find("05A") == std::string::npos) kept += line + "\n";
        tavrel::testing::writeFile((data / name).string(), kept);
    }
    std::string errors;
    ASSERT_EQ(runBuilder(data, dir.path() / "out", &errors), 0) << errors;
    Db db(dir.path() / "out" / "TL2008.orl");
    EXPECT_EQ(db.count("T_法 WHERE ID_HN = '05A'"), 0u);
    const auto law = db.query("SELECT * FROM T_法 WHERE ID_HN = '02A'");
    ASSERT_EQ(law.size(), 1u);
    EXPECT_EQ(law[0].at("法名正式"), "高齢者、障害者等の移動等の円滑化の促進に関する法律");
    EXPECT_EQ(db.count("T_条 WHERE ID_FN LIKE '02A-0%'"), 88u);
    EXPECT_EQ(db.query("SELECT LawId FROM T_法令XML WHERE ID_HN = '02A'").at(0).at("LawId"), "418AC0000000091");

    // A file of a law that collection.ini builds otherwise stops the build.
    fs::copy_file(kData / "egov" / "325AC0000000201.xml", data / "egov" / "act_copy.xml");
    EXPECT_NE(runBuilder(data, dir.path() / "out2", &errors), 0);
    EXPECT_NE(errors.find("act_copy.xml"), std::string::npos) << errors;
}

TEST(SampleCollectionBuilder, AMalformedSourceFailsLoudlyAndWritesNoDatabase) {
    tavrel::testing::TempDir dir;
    const fs::path data = dir.path() / "data";
    copyData(data);
    const fs::path bad = data / "corpus" / "building_standard_act" / "texts" / "article_053.txt";
    tavrel::testing::writeFile(bad.string(), "（試験用の条）\n第五十三条\n本文。\n   三つの空白\n");
    const fs::path out = dir.path() / "out";
    std::string errors;
    EXPECT_NE(runBuilder(data, out, &errors), 0);
    EXPECT_NE(errors.find("article_053.txt:4"), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(out / "TL2008.orl"));
    // An earlier database in the output folder stays as it was.
    fs::remove(bad);
    ASSERT_EQ(runBuilder(data, out), 0);
    const std::string good = slurp(out / "TL2008.orl");
    tavrel::testing::writeFile(bad.string(), "（試験用の条）\n第五十四条\n本文。\n");  // title differs from file name
    EXPECT_NE(runBuilder(data, out, &errors), 0);
    EXPECT_NE(errors.find("article_053.txt:2"), std::string::npos) << errors;
    EXPECT_EQ(slurp(out / "TL2008.orl"), good);
    for (const auto& e : fs::directory_iterator(out))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST(SampleCollectionBuilder, CharactersWithoutAShiftJisFormFailTheBuild) {
    tavrel::testing::TempDir dir;
    const fs::path data = dir.path() / "data";
    copyData(data);
    // U+20BB7 (a variant of 吉) has no CP932 form.
    tavrel::testing::writeFile((data / "corpus" / "building_standard_act" / "texts" / "article_053.txt").string(),
                               "（試験用の条）\n第五十三条\n\xF0\xA0\xAE\xB7野家\n");
    std::string errors;
    EXPECT_NE(runBuilder(data, dir.path() / "out", &errors), 0);
    EXPECT_NE(errors.find("Shift-JIS"), std::string::npos) << errors;
    EXPECT_NE(errors.find("article_053.txt:3"), std::string::npos) << errors;
    // WAVE DASH U+301C is stored as the code that reads back as U+FF5E: the
    // build asks for the character the page will show.
    tavrel::testing::writeFile((data / "corpus" / "building_standard_act" / "texts" / "article_053.txt").string(),
                               "（試験用の条）\n第五十三条\n第一項\xE3\x80\x9C第三項\n");
    EXPECT_NE(runBuilder(data, dir.path() / "out2", &errors), 0);
    EXPECT_NE(errors.find("article_053.txt:3"), std::string::npos) << errors;
    EXPECT_NE(errors.find("\xEF\xBD\x9E"), std::string::npos) << errors;
}
