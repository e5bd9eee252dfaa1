// tavrel-cli search run as a program on a small data folder.
#include "text/sjis.h"

#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace tavrel::testing {
namespace {

struct SearchRun {
    int status = -1;
    std::string out, err;
};

class CliSearchTest : public ::testing::Test {
  protected:
    CliSearchTest() {
        FixtureDb db(dir_.file("TL2008.orl"));
        db.exec("INSERT INTO T_法 VALUES ('01A', '建基法', 'x', 'x', -1), ('02A', '隠れた法', 'x', 'x', 0)");
        db.exec(
            "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES "
            "('01A-00010000-00', NULL, '目的', '', 0, 0, -1), "
            "('01A-00200000-00', NULL, '構造耐力', '', 2, 0, -1), "
            "('01A-00200000-01', NULL, '', '', 2, 0, -1), "
            "('02A-00010000-00', NULL, '構造', '', 0, 0, -1)");
        db.exec(
            "INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入, 検索用データ) VALUES "
            "('01A-00010000-00-0100-0000-0000-0000', 'x', '0000000000000000', 0, 0, 0, 0, '建築物の構造の基準'), "
            "('01A-00200000-01-0100-0000-0000-0000', 'x', '0000000000000000', 0, 0, 0, 0, '建築物の構造耐力')");
    }

    SearchRun run(const std::string& arguments) {
        const std::string out = dir_.file("stdout.txt");
        const std::string err = dir_.file("stderr.txt");
        const std::string command =
            std::string("'") + TAVREL_BINARY_DIR + "/bin/tavrel-cli' " + arguments + " >'" + out + "' 2>'" + err + "'";
        SearchRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(out);
        r.err = readFile(err);
        return r;
    }
    std::string data() { return "--data '" + dir_.path().string() + "'"; }

    TempDir dir_;
};

TEST_F(CliSearchTest, PrintsTheMatchingPagesWithLawNameAndDesignation) {
    const SearchRun both = run("search '建築物　構造' --utf8 " + data());
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(both.out, "01A-00010000-00\t建基法\t1条\n01A-00200000-01\t建基法\t20条 (P.02/02)\n");
    EXPECT_EQ(both.err, "[検索結果]\n2件見つかりました。\n");

    // Words as separate arguments; CP932 output by default.
    const SearchRun split = run(data() + " search 構造 耐力");
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(split.out, text::fromUtf8("01A-00200000-00\t建基法\t20条 (P.01/02)\n"
                                        "01A-00200000-01\t建基法\t20条 (P.02/02)\n"));
}

TEST_F(CliSearchTest, RefusedWordsAndBadUsageEndWithTheirExitCodes) {
    const SearchRun none = run("search 見当たらない --utf8 " + data());
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "[検索結果]\n見つかりませんでした。\n");

    const SearchRun forbidden = run("search 'a;b' " + data());
    EXPECT_EQ(forbidden.status, 1);
    EXPECT_EQ(forbidden.out, "");
    EXPECT_NE(forbidden.err.find("次の文字が含まれる語句は検索できません。"), std::string::npos);

    const SearchRun four = run("search a b c d " + data());
    EXPECT_EQ(four.status, 1);
    EXPECT_EQ(four.err, "[検索結果]\n検索できる単語は３個までです。\n");

    EXPECT_EQ(run("search " + data()).status, 64);
    EXPECT_EQ(run("search x --data").status, 64);
    EXPECT_EQ(run("search x --bogus " + data()).status, 64);
    EXPECT_EQ(run("search x --data '" + dir_.path().string() + "/nowhere'").status, 2);
}

}  // namespace
}  // namespace tavrel::testing
