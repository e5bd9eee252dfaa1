// The scaled-collection generator: every law but the special pages copied
// under new identifiers, every table consistent, the paragraphs of the
// chosen copies given twice, presets of the asked size.
#include "document/document.h"
#include "document/settings_store.h"
#include "navigator/contents_tree.h"

#include "collection_generator.h"
#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tavrel;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

const std::filesystem::path kSample = std::filesystem::path(TAVREL_BINARY_DIR) / "bin";

long count(FixtureDb& db, const std::string& sql) { return std::stol(db.scalar(sql)); }

// Rows whose identifier names a page (or law) that the collection lacks.
const char* const kDanglingSentences =
    "SELECT count(*) FROM T_文 WHERE substr(ID_BN, 1, 15) NOT IN (SELECT ID_FN FROM T_条)";
const char* const kDanglingTargets = "SELECT count(*) FROM T_参 WHERE ID_FN NOT IN (SELECT ID_FN FROM T_条)";
const char* const kDanglingPages =
    "SELECT count(*) FROM T_条 WHERE substr(ID_FN, 1, 3) NOT IN (SELECT ID_HN FROM T_法)";
const char* const kDanglingDivisions =
    "SELECT count(*) FROM T_条 WHERE ID_SN IS NOT NULL AND ID_SN <> '' AND ID_SN NOT IN (SELECT ID_SN FROM T_章)";

TEST(CollectionGenerator, CopiesEveryLawButTheSpecialPagesWithEveryTableConsistent) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(bench::makeCollection(kSample, dir.path() / "x3", bench::ScalePlan{3, 0}, &error)) << error;
    FixtureDb sample((kSample / "TL2008.orl").string());
    FixtureDb scaled((dir.path() / "x3" / "TL2008.orl").string());

    const long laws = count(sample, "SELECT count(*) FROM T_法");
    const long special = count(sample, "SELECT count(*) FROM T_条 WHERE ID_FN LIKE '00A%'");
    ASSERT_GT(special, 0);
    EXPECT_EQ(count(scaled, "SELECT count(*) FROM T_法"), 1 + (laws - 1) * 3);
    EXPECT_EQ(count(scaled, "SELECT count(*) FROM T_条"),
              special + (count(sample, "SELECT count(*) FROM T_条") - special) * 3);
    for (const char* table : {"T_文", "T_表", "T_章", "T_参", "T_告"}) {
        const std::string sql = std::string("SELECT count(*) FROM ") + table;
        const std::string key = std::string(table) == "T_章"   ? "ID_SN"
                                : std::string(table) == "T_告" ? "ID_FN"
                                                               : "ID_BN";
        const long kept = count(sample, sql + " WHERE " + key + " LIKE '00A%'");
        EXPECT_EQ(count(scaled, sql), kept + (count(sample, sql) - kept) * 3) << table;
    }
    EXPECT_EQ(count(scaled, "SELECT count(*) FROM T_他"), count(sample, "SELECT count(*) FROM T_他"));
    // Nothing points where the sample did not: references into a copied law
    // stay inside the same copy.
    // (The special pages' rows stay once.)
    for (const auto& [sql, key] : {std::pair{kDanglingSentences, "ID_BN"}, std::pair{kDanglingTargets, "ID_BN"},
                                   std::pair{kDanglingPages, "ID_FN"}, std::pair{kDanglingDivisions, "ID_FN"}}) {
        const long once = count(sample, std::string(sql) + " AND substr(" + key + ", 1, 3) = '00A'");
        EXPECT_EQ(count(scaled, sql), once + (count(sample, sql) - once) * 3) << sql;
    }
    const std::string copy2References =
        "SELECT count(*) FROM T_参 WHERE substr(ID_FN, 1, 3) <> '00A' AND (SELECT 法名一般 FROM T_法 WHERE ID_HN = "
        "substr(T_参.ID_BN, 1, 3)) LIKE '%（2）'";
    EXPECT_GT(count(scaled, copy2References), 0);
    EXPECT_EQ(
        count(scaled, copy2References +
                          " AND (SELECT 法名一般 FROM T_法 WHERE ID_HN = substr(T_参.ID_FN, 1, 3)) NOT LIKE '%（2）'"),
        0)
        << "a reference of copy 2 leads into copy 2";
    EXPECT_EQ(scaled.scalar("SELECT 法名一般 FROM T_法 WHERE 法名一般 LIKE '建築基準法（3）'"), "建築基準法（3）");

    // The program starts on it and shows every displayed law in the tree.
    TempDir user;
    MemorySettingsStore settings;
    tavrel::testing::FakeMessageSink sink;
    Document doc(settings, sink, DocumentFolders{(dir.path() / "x3").string() + "/", user.folder()});
    ASSERT_TRUE(doc.startUp());
    nav::TreeModel tree;
    ASSERT_TRUE(tree.fill(doc.connection(), sink));
    EXPECT_TRUE(sink.empty());
    EXPECT_GT(tree.size(), 3 * count(sample, "SELECT count(*) FROM T_条 WHERE ID_FN NOT LIKE '00A%' AND 表示 = -1"));

    // A second run does not overwrite the collection.
    EXPECT_FALSE(bench::makeCollection(kSample, dir.path() / "x3", bench::ScalePlan{2, 0}, &error));
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
}

TEST(CollectionGenerator, DoubledCopiesHoldEachArticleParagraphTwiceUnderTheFollowingNumbers) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(bench::makeCollection(kSample, dir.path() / "d", bench::ScalePlan{2, 1}, &error)) << error;
    FixtureDb sample((kSample / "TL2008.orl").string());
    FixtureDb scaled((dir.path() / "d" / "TL2008.orl").string());
    const std::string copyOf01A = scaled.scalar("SELECT ID_HN FROM T_法 WHERE 法名一般 = '建築基準法（2）'");
    ASSERT_EQ(copyOf01A.size(), 3u);
    // 第2条 of 01A has paragraphs 1..n; its copy has 1..2n, the second half
    // holding the same texts.
    const long n = count(sample,
                         "SELECT max(CAST(substr(ID_BN, 17, 2) AS INTEGER)) FROM T_文 WHERE ID_BN LIKE "
                         "'01A-00020000-00%'");
    ASSERT_GT(n, 0);
    const std::string page = copyOf01A + "-00020000-00";
    EXPECT_EQ(
        count(scaled, "SELECT max(CAST(substr(ID_BN, 17, 2) AS INTEGER)) FROM T_文 WHERE ID_BN LIKE '" + page + "%'"),
        2 * n);
    EXPECT_EQ(count(scaled, "SELECT count(*) FROM T_文 WHERE ID_BN LIKE '" + page + "%'"),
              2 * count(sample, "SELECT count(*) FROM T_文 WHERE ID_BN LIKE '01A-00020000-00%'"));
    EXPECT_EQ(count(scaled,
                    "SELECT count(*) FROM T_文 a JOIN T_文 b ON b.ID_BN = substr(a.ID_BN, 1, 16) || "
                    "printf('%02d', CAST(substr(a.ID_BN, 17, 2) AS INTEGER) + " +
                        std::to_string(n) + ") || substr(a.ID_BN, 19) WHERE a.ID_BN LIKE '" + page +
                        "%' AND a.法文 IS b.法文 AND CAST(substr(a.ID_BN, 17, 2) AS INTEGER) <= " + std::to_string(n)),
              count(sample, "SELECT count(*) FROM T_文 WHERE ID_BN LIKE '01A-00020000-00%'"));
    // The original is never doubled.
    EXPECT_EQ(count(scaled, "SELECT count(*) FROM T_文 WHERE ID_BN LIKE '01A-%'"),
              count(sample, "SELECT count(*) FROM T_文 WHERE ID_BN LIKE '01A-%'"));
}

TEST(CollectionGenerator, PresetsAimAtTheirSizesAndBadPlansAreRefused) {
    bench::CollectionSize sample;
    std::string error;
    ASSERT_TRUE(bench::measureCollection(kSample / "TL2008.orl", sample, &error)) << error;
    bench::ScalePlan plan;
    ASSERT_TRUE(bench::presetPlan("2008", sample, plan));
    // Whole copies of the sample's laws: each preset is the number of copies
    // nearest its page count.
    const long perCopy = sample.pages - 13;
    const long pages2008 = 13 + perCopy * plan.copies;
    EXPECT_LE(std::abs(pages2008 - 5000), perCopy / 2 + 1);
    EXPECT_GT(plan.doubledCopies, 0);
    EXPECT_LT(plan.doubledCopies, plan.copies);
    bench::ScalePlan large;
    ASSERT_TRUE(bench::presetPlan("large", sample, large));
    EXPECT_LE(std::abs(13 + perCopy * large.copies - 20000), perCopy / 2 + 1);
    EXPECT_GT(large.copies, 3 * plan.copies);
    EXPECT_FALSE(bench::presetPlan("huge", sample, plan));

    TempDir dir;
    EXPECT_FALSE(bench::makeCollection(kSample, dir.path() / "bad", bench::ScalePlan{0, 0}, &error));
    EXPECT_FALSE(bench::makeCollection(kSample, dir.path() / "bad", bench::ScalePlan{2, 2}, &error));
    EXPECT_FALSE(bench::makeCollection(dir.path() / "none", dir.path() / "bad", bench::ScalePlan{2, 0}, &error));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "bad" / "TL2008.orl"));
}

}  // namespace
