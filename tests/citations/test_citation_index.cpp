// The 被引用 index of a collection: on the sample, the lists of six
// provisions checked by hand; on the sample and on a generated collection four
// times its size, the table the builder and the generator write equals a
// brute-force scan (the page builder's own links of every sentence, the
// paragraph and item words after them, and the reference-link rows).
#include "citations/citation_index.h"
#include "document/document.h"
#include "document/settings_store.h"
#include "render/links.h"
#include "render/page_builder.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#ifdef TAVREL_HAVE_COLLECTION_GENERATOR
#include "collection_generator.h"
#endif

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace tavrel;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

const std::filesystem::path kSample = std::filesystem::path(TAVREL_BINARY_DIR) / "bin";

// (cited page, citing sentence, part, kind) as the table holds them, in its order.
using Row = std::tuple<std::string, std::string, std::string, std::string>;

std::vector<Row> tableRows(FixtureDb& db, const std::string& where = "") {
    std::vector<Row> rows;
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT ID_FN, ID_BN, 部分, 種別 FROM T_被引用 " + where + " ORDER BY 順序";
    EXPECT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK);
    auto col = [&](int i) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return p ? std::string(p) : std::string();
    };
    while (sqlite3_step(st) == SQLITE_ROW) rows.emplace_back(col(0), col(1), col(2), col(3));
    sqlite3_finalize(st);
    return rows;
}

std::vector<std::vector<std::string>> query(sqlite3* db, const std::string& sql, int columns) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<std::string> r;
        for (int i = 0; i < columns; ++i) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            r.push_back(p ? p : "");
        }
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(st);
    return rows;
}

// ---------------------------------------------------------------- hand-checked lists

TEST(CitationIndex, SixProvisionsOfTheSampleCitedExactlyByTheProvisionsReadByHand) {
    FixtureDb db((kSample / "TL2008.orl").string());
    auto list = [&](const std::string& page) {
        std::vector<std::string> out;
        for (const auto& [cited, citing, part, kind] : tableRows(db, "WHERE ID_FN = '" + page + "'"))
            out.push_back(citing + " " + part + " " + kind);
        return out;
    };
    using V = std::vector<std::string>;
    // 建築基準法第29条: the act (第41条, 第86条の7第3項, 第87条第3項 and 第4項),
    // 施行令 (第10条第三号イ and 第四号イ, 第22条の2, 第136条の2の11第一号イ(1))
    // and 施行令第19条's reference-link row; 都市計画法第二十九条 in both is
    // another law.
    EXPECT_EQ(list("01A-00290000-00"), (V{
                                           "01A-00410000-00-0100-0000-0000-0000  p",
                                           "01A-00860700-00-0300-0000-0000-0000  p",
                                           "01A-00870000-00-0300-0000-0000-0000  p",
                                           "01A-00870000-00-0400-0000-0000-0000  p",
                                           "01B-00100000-00-0100-0300-0100-0000  p",
                                           "01B-00100000-00-0100-0400-0100-0000  p",
                                           "01B-00190000-00-0100-0000-0000-0000  r",
                                           "01B-00220200-00-0100-0000-0000-0000  p",
                                           "01B-01360211-00-0100-0100-0110-0000  p",
                                       }));
    // 建築基準法第93条の2: one provision of each of the three laws.
    EXPECT_EQ(list("01A-00930200-00"), (V{
                                           "01A-00880000-00-0200-0000-0000-0000  p",
                                           "01B-01480000-00-0300-0100-0000-0000  p",
                                           "05A-00170000-00-0800-0000-0000-0000  p",
                                       }));
    // 建築基準法第72条: 第97条の5第2項 cites 「第七十二条（同条第二項の…を除き…）」;
    // 同条第2項 stands for the reference to the whole article. 景観法第七十二条
    // and 大都市住宅等供給法第七十二条 are other laws; 第七十二条 in 施行令 is its own.
    EXPECT_EQ(list("01A-00720000-00"), (V{"01A-00970500-00-0200-0000-0000-0000 第2項 a"}));
    // 建築基準法第52条, third page (paragraphs 11 to 15): its own paragraphs only
    // (第68条の8 cites 第7項, 第14項 and 第15項; 第86条 第1項から第14項まで; 施行令
    // 第148条 第14項, 同項第二号, 同条第15項; バリアフリー法第19条 第1項, 第2項,
    // 第7項, 第12項 and 第14項, 第24条 第6項第一号, 同項第二号, 同条第14項第一号,
    // 同項).
    EXPECT_EQ(list("01A-00520000-02"), (V{
                                           "01A-00680800-00-0100-0000-0000-0000 第14項 p",
                                           "01A-00680800-00-0100-0000-0000-0000 第15項 p",
                                           "01A-00860000-00-0100-0000-0000-0000 第14項 p",
                                           "01B-01351900-00-0100-0000-0000-0000 第12項 p",
                                           "01B-01480000-00-0300-0200-0000-0000 第14項 p",
                                           "01B-01480000-00-0300-0200-0000-0000 第14項第二号 a",
                                           "01B-01480000-00-0300-0200-0000-0000 第15項 a",
                                           "05A-00190000-00-0100-0000-0000-0000 第12項 p",
                                           "05A-00190000-00-0100-0000-0000-0000 第14項 p",
                                           "05A-00240000-00-0100-0000-0000-0000 第14項第一号 a",
                                           "05A-00240000-00-0100-0000-0000-0000 第14項 a",
                                       }));
    // 建築基準法別表第四: explicit links of the act (第56条, 第56条の2) and of
    // 施行令第2条第1項第六号ロ; an amending law's 附則 links nothing.
    EXPECT_EQ(list("01A-T0040000-00"), (V{
                                           "01A-00560000-00-0100-0300-0000-0000  m",
                                           "01A-00560200-00-0100-0000-0000-0000  m",
                                           "01B-00020000-00-0100-0600-0200-0000  m",
                                       }));
    // 建築基準法施行令第107条: 第109条の5第二号 and 第136条の2第一号イ
    // (第百七条各号) and the 告示; 都市再生特別措置法第百七条 in 第9条 is another law.
    EXPECT_EQ(list("01B-01070000-00"), (V{
                                           "01B-01090500-00-0100-0200-0000-0000  p",
                                           "01B-01360200-00-0100-0100-0100-0000  p",
                                           "01K-KD121399-00-0000-0000-0000-0000  p",
                                       }));
}

// ---------------------------------------------------------------- brute force

// The part words after a link, read with regular expressions: "" for none.
std::vector<std::pair<int, std::string>> partsAfter(const std::string& rest) {
    // An alternation, not a bracket expression: the regex reads bytes, and a
    // bracket of kanji would take a byte of 区 in 第三号の区域 for a numeral.
    static const std::string numeral = "(?:一|二|三|四|五|六|七|八|九|十)";
    static const std::string item = "第" + numeral + "+号(?:の" + numeral + "+)?";
    static const std::regex first("^(?:(第([0-9]{1,2})項(?:の[0-9]{1,2})?)(" + item + "|各号)?|(" + item + "))");
    static const std::regex more("^(?:、|又は|若しくは|及び|並びに|から)(?:(第([0-9]{1,2})項(?:の[0-9]{1,2})?)(" + item +
                                 "|各号)?|(" + item + "))");
    std::vector<std::pair<int, std::string>> parts;
    std::smatch m;
    if (!std::regex_search(rest, m, first)) return {{0, ""}};
    int paragraph = m[1].matched ? std::stoi(m[2]) : 1;
    std::string paragraphText = m[1].matched ? std::string(m[1]) : "";
    parts.push_back({paragraph, paragraphText + (m[1].matched ? std::string(m[3]) : std::string(m[4]))});
    std::string tail = m.suffix();
    while (std::regex_search(tail, m, more)) {
        if (m[1].matched) {
            paragraph = std::stoi(m[2]);
            paragraphText = m[1];
            parts.push_back({paragraph, paragraphText + std::string(m[3])});
        } else {
            parts.push_back({paragraph, paragraphText + std::string(m[4])});
        }
        tail = m.suffix();
    }
    return parts;
}

// (cited page, citing sentence, part) of every link and reference-link row.
std::set<std::tuple<std::string, std::string, std::string>> bruteForce(sqlite3* db) {
    std::map<std::string, bool> shown;       // page -> may cite
    std::map<std::string, std::string> first;  // article prefix -> first page
    std::set<std::string> split;
    for (const auto& r : query(db,
                               "SELECT t.ID_FN, t.表示 = -1 AND h.表示 = -1, t.分割 FROM T_条 t LEFT JOIN T_法 h ON "
                               "h.ID_HN = substr(t.ID_FN, 1, 3) ORDER BY t.ID_FN",
                               3)) {
        shown[r[0]] = r[1] == "1";
        first.emplace(r[0].substr(0, 12), r[0]);
        if (std::stoi(r[2].empty() ? "0" : r[2]) > 1) split.insert(r[0].substr(0, 12));
    }
    const auto sentences = query(db, "SELECT ID_BN, 法文 FROM T_文 ORDER BY ID_BN", 2);
    std::map<std::string, std::string> paragraphPage;
    for (const auto& s : sentences) paragraphPage.emplace(s[0].substr(0, 12) + s[0].substr(16, 2), s[0].substr(0, 15));

    std::set<std::tuple<std::string, std::string, std::string>> keys;
    static const std::regex link("<a id=\"[^\"]*\" href='http://([0-9A-Z-]{12})_TAVREL'>[^<]*</a>");
    for (const auto& s : sentences) {
        const std::string& id = s[0];
        if (!shown[id.substr(0, 15)]) continue;
        const std::string html = text::toUtf8(
            render::explicitLinks(id, render::inlineReferences(id, text::fromUtf8(s[1]), false)));
        for (auto it = std::sregex_iterator(html.begin(), html.end(), link); it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1];
            if (target == id.substr(0, 12)) continue;
            for (const auto& [paragraph, part] : partsAfter(html.substr(it->position() + it->length()))) {
                std::string page;
                if (paragraph > 0 && split.count(target)) {
                    char pp[8];
                    std::snprintf(pp, sizeof pp, "%02d", paragraph % 100);
                    const auto p = paragraphPage.find(target + pp);
                    if (p != paragraphPage.end()) page = p->second;
                }
                if (page.empty() && first.count(target)) page = first[target];
                if (!page.empty()) keys.emplace(page, id, part);
            }
        }
    }
    // Reference-link rows count where the page shows them: on sentences with the 参照 flag.
    for (const auto& r : query(db,
                               "SELECT r.ID_BN, r.ID_FN FROM T_参 r JOIN T_文 s ON s.ID_BN = r.ID_BN WHERE r.表示 = -1 "
                               "AND s.参照 <> 0",
                               2)) {
        if (!shown[r[0].substr(0, 15)] || !shown.count(r[1]) || r[1].substr(0, 12) == r[0].substr(0, 12)) continue;
        keys.emplace(r[1], r[0], "");
    }
    return keys;
}

void expectIndexEqualsBruteForce(const std::filesystem::path& file) {
    FixtureDb db(file.string());
    const auto brute = bruteForce(db.handle());
    const auto rows = tableRows(db);
    ASSERT_FALSE(rows.empty());
    std::set<std::tuple<std::string, std::string, std::string>> index, relative, withParts;
    for (const auto& [page, citing, part, kind] : rows) {
        EXPECT_TRUE(index.emplace(page, citing, part).second) << "twice: " << page << " " << citing << " " << part;
        if (kind == "a") relative.emplace(page, citing, part);
        if (!part.empty()) withParts.emplace(page, citing, "*");
    }
    for (const auto& key : brute) {
        const auto& [page, citing, part] = key;
        // A row for the whole page stands back where the sentence cites a part of it.
        if (part.empty() && withParts.count({page, citing, "*"})) continue;
        EXPECT_TRUE(index.count(key)) << "missing: " << page << " <- " << citing << " " << part;
    }
    for (const auto& key : index) {
        const auto& [page, citing, part] = key;
        EXPECT_TRUE(brute.count(key) || relative.count(key)) << "extra: " << page << " <- " << citing << " " << part;
    }
    // The table is the index built afresh.
    const citations::CitationIndex fresh = citations::buildCitationIndex(db.handle());
    EXPECT_EQ(fresh.rows().size(), rows.size());
}

TEST(CitationIndex, TheSampleTableEqualsABruteForceScan) { expectIndexEqualsBruteForce(kSample / "TL2008.orl"); }

#ifdef TAVREL_HAVE_COLLECTION_GENERATOR
TEST(CitationIndex, AGeneratedCollectionFourTimesTheSampleEqualsABruteForceScan) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(bench::makeCollection(kSample, dir.path() / "x4", bench::ScalePlan{4, 1}, &error)) << error;
    expectIndexEqualsBruteForce(dir.path() / "x4" / "TL2008.orl");
    // Every copy of a law is cited like the law itself (and more, where
    // copies name the original law's articles).
    FixtureDb scaled((dir.path() / "x4" / "TL2008.orl").string());
    FixtureDb sample((kSample / "TL2008.orl").string());
    EXPECT_GE(tableRows(scaled).size(), 4 * tableRows(sample).size() - tableRows(sample, "WHERE ID_FN LIKE '00A%'").size());
}
#endif

// ---------------------------------------------------------------- pages of the sample

TEST(CitationIndex, EverySamplePageBuildsWithItsBlock) {
    TempDir user;
    tavrel::testing::FakeMessageSink sink;
    MemorySettingsStore settings;
    Document doc(settings, sink, DocumentFolders{kSample.string() + "/", user.folder()});
    ASSERT_TRUE(doc.startUp());
    ASSERT_TRUE(doc.hasCitationTable());
    ASSERT_TRUE(doc.citedByShown());  // on by default
    render::PageBuilder builder(doc);
    builder.setFullPageRequest(true);
    FixtureDb db((kSample / "TL2008.orl").string());
    std::set<std::string> cited;
    for (const auto& row : tableRows(db)) cited.insert(std::get<0>(row));
    size_t blocks = 0;
    for (const auto& r : query(db.handle(), "SELECT ID_FN FROM T_条 WHERE ID_FN NOT LIKE '00A%'", 1)) {
        std::string html;
        ASSERT_TRUE(builder.buildPage(r[0], html)) << r[0];
        EXPECT_TRUE(sink.empty()) << r[0];
        const bool block = html.find("<div id=\"cited-by\"") != std::string::npos;
        EXPECT_EQ(block, cited.count(r[0]) != 0) << r[0];
        blocks += block;
    }
    EXPECT_GE(blocks, 15u);
}

}  // namespace
