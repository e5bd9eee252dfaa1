// Reading data/: every malformed or inconsistent source stops the build with
// a message that names the file and the line and says what is wrong.
#include "collection/build_error.h"
#include "corpus_law.h"
#include "data_reader.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;
using tavrel::collection::BuildError;
using tavrel::collection::readCollection;

namespace {

const fs::path kData = fs::path(TAVREL_SOURCE_DIR) / "data";

std::string slurp(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Fault {
    const char* name;
    const char* file;     // relative to the data folder
    const char* find;     // text replaced (empty: append)
    const char* replace;  // new text, or the text appended
    const char* message;  // expected in the error, e.g. "references.tsv:5"
    bool corpus = false;  // バリアフリー法 built from its corpus folder
};

std::string buildError(const Fault& f) {
    tavrel::testing::TempDir dir;
    const fs::path data = dir.path() / "data";
    fs::copy(kData, data, fs::copy_options::recursive);
    if (f.corpus) tavrel::testing::buildFromCorpus(data, "418AC0000000091.xml", "barrier_free_act");
    const fs::path file = data / f.file;
    std::string text = fs::exists(file) ? slurp(file) : std::string();
    if (std::string(f.find).empty()) {
        text += f.replace;
    } else {
        const size_t p = text.find(f.find);
        if (p == std::string::npos) return std::string("test setup: text not found in ") + f.file;
        text.replace(p, std::string(f.find).size(), f.replace);
    }
    fs::create_directories(file.parent_path());
    tavrel::testing::writeFile(file.string(), text);
    try {
        readCollection(data);
    } catch (const BuildError& e) {
        return e.what();
    }
    return "no error";
}

class BuilderSourceFaults : public ::testing::TestWithParam<Fault> {};

}  // namespace

TEST(BuilderSources, TheBundledSourcesRead) {
    const auto c = readCollection(kData);
    EXPECT_EQ(c.laws.size(), 9u);
    EXPECT_GT(c.pages.size(), 60u);
}

TEST_P(BuilderSourceFaults, FailWithFileLineAndReason) {
    const Fault& f = GetParam();
    const std::string error = buildError(f);
    EXPECT_NE(error.find(f.message), std::string::npos) << f.name << ": " << error;
    // The message starts with the file (and its line) that holds the fault.
    EXPECT_EQ(error.rfind(std::string(f.file) + ":", 0), 0u) << f.name << ": " << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuilderSourceFaults,
    ::testing::Values(
        Fault{"UnknownLawKey", "collection.ini", "short = 令\n", "short = 令\nshortname = x\n",
              "unknown law key \"shortname\""},
        Fault{"SettingsForAMissingArticle", "collection.ini", "", "\n[article 01A-09990000]\nlarge = yes\n",
              "no article 01A-09990000"},
        Fault{"AddressWithoutSentence", "collection.ini", "mark 1/5 = 通常の火災", "mark 1/99 = 通常の火災",
              "has no sentence at mark 1/99"},
        Fault{"MarkedWordMissing", "collection.ini", "mark 1/5 = 通常の火災", "mark 1/5 = 存在しない語",
              "collection.ini:"},
        Fault{"NotificationNotListed", "pages/01K/kokuji_1359.page", "number = 平成12年建設省告示第1359号",
              "number = 平成12年建設省告示第1360号",
              "kokuji_1359.page:3: notification 平成12年建設省告示第1360号 is not in"},
        Fault{"NotificationIdMismatch", "pages/01K/kokuji_1359.page", "01K-KD121359-00", "01K-KD131359-00",
              "must contain KD121359"},
        Fault{"CaptionWithoutRealTitle", "pages/01K/kokuji_1359.page", "caption = 防火構造", "caption = 耐火構造",
              "must begin with the title"},
        Fault{"PrintedLabelDiffers", "pages/01K/kokuji_1399.page", "|  |  | 第2 |", "|  |  | 第3 |",
              "kokuji_1399.page:19: 01K-KD121399-00-0200-0000-0000-0000 with format code 0000000000000000 is labelled "
              "\"第2\", the source prints \"第3\""},
        Fault{"UnknownRowFlag", "pages/01K/kokuji_1399.page", "|  |  | 第2 |", "|  | 太字 | 第2 |", "unknown flag"},
        Fault{"MissingTableFile", "pages/01K/kokuji_1359.page", "kokuji_1359_figure.html", "nothing.html",
              "table file tables/nothing.html not found"},
        Fault{"SplitWithAGap", "pages/01K/kokuji_1400_2.page", "01K-KD121400-01", "01K-KD121400-02", "without gaps"},
        Fault{"ReferenceToAMissingPage", "references.tsv", "01B-00240000-00", "01B-09990000-00",
              "references.tsv:8: the target page 01B-09990000-00"},
        Fault{"KeywordNotInTheText", "references.tsv", "技術的基準", "存在しない語", "references.tsv:4: the keyword"},
        Fault{"WrongFieldCount", "references.tsv", "", "01B-01070000\t1\n", "expected 13 tab-separated fields"},
        Fault{"MarkerWithoutLink", "markers.tsv", "01B-01070000\t1\t01A-00020000\tr01",
              "01B-01070000\t1\t01A-00030000\tr01", "markers.tsv:4: no link"},
        Fault{"MalformedChapter", "corpus/barrier_free_act/articles/article_001.yaml", "chapter: \"第一章 総則\"",
              "chapter: \"一章 総則\"", "article_001.yaml", true},
        Fault{"EgovFileOfAnotherLaw", "collection.ini", "egov = egov/418AC0000000091.xml",
              "egov = egov/325AC0000000201.xml", "is 「建築基準法」, but the formal name of 05A"},
        Fault{"EgovFileMissing", "collection.ini", "egov = egov/418AC0000000091.xml", "egov = egov/missing.xml",
              "egov/missing.xml not found"},
        Fault{"EgovFilesWithoutDate", "collection.ini", "retrieved = 2026-12-08\n", "", "[egov] retrieved"},
        Fault{"NamedDivisionOfAnEgovLaw", "collection.ini", "", "\n[division 01B-0100-0000-0000-0000]\nname = 総則\n",
              "takes its name from the file"},
        Fault{"HistoryDate", "pages/01K/kokuji_1399.page", "2000-05-30", "平成12年5月30日", "YYYY-MM-DD"},
        Fault{"ByteOrderMark", "references.tsv", "# Reference", "\xEF\xBB\xBF# Reference", "byte-order mark"}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });
