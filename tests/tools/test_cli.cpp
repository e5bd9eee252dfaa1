// tavrel-cli run as a program on a small data folder.
#include "text/sjis.h"

#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace tavrel::testing {
namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
  protected:
    CliTest() {
        FixtureDb db(dir_.file("TL2008.orl"));
        db.exec(
            "INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES "
            "('00A', '表紙等', '表紙等', '表紙等', -1), ('01A', '建基法', '法', '建築基準法', -1), "
            "('02A', '隠れた法', '隠', '隠れた法', 0)");
        db.exec(
            "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES "
            "('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1), "
            "('01A-00010000-00', '01A-0000-0000-0000-0000', '目的', '', 0, 0, -1), "
            "('01A-00020000-00', '01A-0000-0000-0000-0000', '用語', '', 0, -1, -1), "
            "('01A-00030000-00', '01A-0000-0000-0000-0000', '隠す', '', 0, 0, 0), "
            "('02A-00010000-00', '02A-0000-0000-0000-0000', '隠れた条', '', 0, 0, -1)");
        db.exec(
            "INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入) VALUES "
            "('01A-00010000-00-0100-0000-0000-0000', 'この法律は、建築物の基準を定める。', '0000000000000000', 0, 0, "
            "0, 0), "
            "('01A-00020000-00-0100-0000-0000-0000', '用語の意義は、次のとおり。', '0000000000000000', 0, 0, 0, 0)");
    }

    // environment: assignments put before the program ("NAME='value' ").
    CliRun run(const std::string& arguments, const std::string& environment = {}) {
        const std::string out = dir_.file("stdout.txt");
        const std::string err = dir_.file("stderr.txt");
        const std::string command = environment + "'" + TAVREL_BINARY_DIR + "/bin/tavrel-cli' " + arguments + " >'" +
                                    out + "' 2>'" + err + "'";
        CliRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(out);
        r.err = readFile(err);
        return r;
    }
    std::string data() { return "--data '" + dir_.path().string() + "'"; }

    TempDir dir_;
};

TEST_F(CliTest, CitedByListsTheCitingProvisionsOfACollectionWithoutTheTable) {
    {
        FixtureDb db(dir_.file("TL2008.orl"));
        db.exec("INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES ('01B', '建基令', '令', '建築基準法施行令', -1)");
        db.exec("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES "
                "('01B-00010000-00', '01B-0000-0000-0000-0000', '趣旨', '', 0, 0, -1)");
        db.exec("INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入) VALUES "
                "('01B-00010000-00-0100-0200-0000-0000', 'この政令は、法[第1条/01A]第1項の基準を定める。', "
                "'0000000000000000', 0, 0, 0, 0)");
    }
    const CliRun r = run("cited-by 01A-00010000-00 --utf8 " + data());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "建基令 第1条第1項第二号\t01B-00010000-00-0100-0200-0000-0000\t第1項\t"
                     "この政令は、法【第1条第1項】の基準を定める。\n");
    EXPECT_TRUE(run("cited-by 01A-00020000-00 " + data()).out.empty());  // nobody cites it
    EXPECT_EQ(run("cited-by 01A-0001 " + data()).status, 64);
}

TEST_F(CliTest, PagePrintsTheHtmlInShiftJisOrUtf8) {
    const CliRun utf8 = run("page 01A-00010000-00 --utf8 " + data());
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    EXPECT_EQ(utf8.out.rfind("<html>\n<head>\n", 0), 0u);
    EXPECT_NE(utf8.out.find("【目的】<br>\n"), std::string::npos);
    EXPECT_NE(utf8.out.find("この法律は、建築物の基準を定める。\n</div>\n</body>\n</html>\n"), std::string::npos);
    EXPECT_EQ(utf8.err, "");

    const CliRun sjis = run("page 01A-00010000-00 " + data());
    ASSERT_EQ(sjis.status, 0) << sjis.err;
    EXPECT_EQ(sjis.out, text::fromUtf8(utf8.out));
    EXPECT_NE(sjis.out, utf8.out);
}

TEST_F(CliTest, FullBuildsALargePageWhole) {
    const CliRun link = run(data() + " page 01A-00020000-00 --utf8");
    ASSERT_EQ(link.status, 0) << link.err;
    EXPECT_NE(link.out.find("<a href='http://01A-00020000_TAVREL'>"), std::string::npos);
    EXPECT_EQ(link.out.find("用語の意義"), std::string::npos);

    const CliRun full = run("page 01A-00020000-00 --full --utf8 " + data());
    ASSERT_EQ(full.status, 0) << full.err;
    EXPECT_EQ(full.out.find("_TAVREL'>"), std::string::npos);
    EXPECT_NE(full.out.find("用語の意義は、次のとおり。"), std::string::npos);
}

TEST_F(CliTest, PageThatCannotBeBuiltGivesTheReport) {
    const CliRun r = run("page 01A-00990000-00 " + data());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("HTML形式の法文を作成"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("データベースに法文タイトルを見つけることが\nできませんでした。"), std::string::npos);
    EXPECT_NE(r.err.find("条ID = 01A-00990000-00"), std::string::npos);

    const CliRun bad = run("page \"01A-' OR 1=1\" " + data());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("法文のタイプの識別ができませんでした。"), std::string::npos) << bad.err;
}

// A user's own collection (an import in the program) is what the commands
// read by default, but never instead of the folder --data names.
TEST_F(CliTest, DataFolderGivenIsReadEvenWhenTheUserHasACollectionOfTheirOwn) {
    TempDir xdg;
    std::filesystem::create_directories(xdg.path() / "tavrel");
    {
        FixtureDb own((xdg.path() / "tavrel" / "TL2008.orl").string());
        own.exec("INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES ('05A', '別の法', '別', '別の法', -1)");
        own.exec("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES "
                 "('05A-00010000-00', '05A-0000-0000-0000-0000', '別', '', 0, 0, -1)");
    }
    const std::string home = "XDG_DATA_HOME='" + xdg.path().string() + "' ";
    const CliRun r = run("pages " + data(), home);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "00A-Z0010000-00\n01A-00010000-00\n01A-00020000-00\n");
    // Without --data, beside the program, the user's collection is the one read.
    const CliRun own = run("pages", home);
    ASSERT_EQ(own.status, 0) << own.err;
    EXPECT_EQ(own.out, "05A-00010000-00\n");
}

TEST_F(CliTest, PagesListsTheShownPagesInOrder) {
    const CliRun r = run("pages " + data());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "00A-Z0010000-00\n01A-00010000-00\n01A-00020000-00\n");
}

TEST_F(CliTest, BadCommandLinesAndMissingDataFail) {
    EXPECT_EQ(run("").status, 64);
    EXPECT_EQ(run("page").status, 64);
    EXPECT_EQ(run("page 01A-00010000-00 --bogus").status, 64);
    EXPECT_EQ(run("pages --full").status, 64);
    EXPECT_EQ(run("pages --data").status, 64);
    EXPECT_EQ(run("page 01A-00010000-00 01A-00020000-00").status, 64);
    EXPECT_EQ(run("show 01A-00010000-00").status, 64);
    TempDir empty;
    const CliRun r = run("pages --data '" + empty.path().string() + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err, "");
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace tavrel::testing
