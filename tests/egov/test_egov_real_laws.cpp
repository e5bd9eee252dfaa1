// The three real e-Gov law files of data/egov read into the collection
// model: every sentence of the file in the rows, in order; the rows are the
// file's paragraphs, items and sub-items; articles under the right divisions;
// 附則 pages; ruby; 充塡; 別表第一 equal to the sample's page of the same table.
#include "collection/steps.h"
#include "collection/structure.h"
#include "data_reader.h"
#include "egov/importer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

using namespace tavrel::collection;
using namespace tavrel::egov;

namespace {

const std::string kData = std::string(TAVREL_SOURCE_DIR) + "/data/";

// The plain text of an element as a reader sees it: character data without
// ruby readings.
std::string plainOf(const pugi::xml_node& n) {
    std::string out;
    for (const pugi::xml_node& c : n.children()) {
        if (c.type() == pugi::node_pcdata) out += c.value();
        if (c.type() == pugi::node_element && std::strcmp(c.name(), "Rt") != 0) out += plainOf(c);
    }
    return out;
}

// A row text without inline marks and HTML escapes.
std::string plainRow(const std::string& text) {
    std::string s = stripInlineMarks(text);
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + 1)) s.replace(p, from.size(), to);
    return s;
}

bool insideTable(pugi::xml_node n) {
    for (; n; n = n.parent())
        if (std::strcmp(n.name(), "TableStruct") == 0) return true;
    return false;
}

struct RealLaw {
    const char* file;
    const char* id;
    size_t articles, suppl, chapters, sections, subsections;
};

void PrintTo(const RealLaw& law, std::ostream* os) { *os << law.file; }

class RealLawTest : public ::testing::TestWithParam<RealLaw> {};

TEST_P(RealLawTest, EverySentenceOnceInOrderAndRowsAreTheElements) {
    const RealLaw& law = GetParam();
    const LawFile f = readLawFile(kData + "egov/" + law.file);
    const LawContent content = convertLaw(f, law.id);

    // Every page's rows, in the order of their identifiers.
    std::map<std::string, const Page*> pages;
    for (const Page& p : content.pages) pages[p.idFN] = &p;
    std::string all;
    size_t articles = 0, suppl = 0, mainRows = 0;
    for (const auto& [id, p] : pages) {
        articles += id[4] >= '0' && id[4] <= '9';
        suppl += id[4] == 'F';
        for (const Sentence& s : p->sentences) {
            all += plainRow(s.text) + "\n";
            mainRows += id[4] >= '0' && id[4] <= '9';
        }
    }
    EXPECT_EQ(articles, law.articles);
    EXPECT_EQ(suppl, law.suppl);

    // Each Sentence outside a table is found after the one before it.
    size_t at = 0, sentences = 0;
    for (const pugi::xpath_node& x : f.law.select_nodes(".//Sentence")) {
        if (insideTable(x.node())) continue;
        const std::string want = plainOf(x.node());
        const size_t found = all.find(want, at);
        ASSERT_NE(found, std::string::npos) << f.pathOf(x.node()) << " line " << f.lineOf(x.node()) << ": " << want;
        at = found + want.size();
        ++sentences;
    }
    EXPECT_GT(sentences, law.articles);

    // The main provision's rows are its paragraphs, items and sub-items.
    const pugi::xml_node mp = f.law.child("LawBody").child("MainProvision");
    size_t elements = 0;
    for (const char* name : {"Paragraph", "Item", "Subitem1", "Subitem2", "Subitem3"})
        elements += mp.select_nodes((std::string(".//") + name).c_str()).size();
    EXPECT_EQ(mainRows, elements);

    // Divisions by level.
    size_t levels[4] = {0, 0, 0, 0};
    for (const Division& d : content.divisions)
        for (int k = 3; k >= 0; --k)
            if (d.idSN.substr(4 + 5 * k, 4) != "0000") {
                ++levels[k];
                break;
            }
    EXPECT_EQ(levels[0], law.chapters);
    EXPECT_EQ(levels[1], law.sections);
    EXPECT_EQ(levels[2], law.subsections);
}

INSTANTIATE_TEST_SUITE_P(DataEgov, RealLawTest,
                         ::testing::Values(RealLaw{"325AC0000000201.xml", "01A", 291, 119, 10, 18, 0},
                                           RealLaw{"325CO0000000338.xml", "01B", 371, 158, 23, 42, 7},
                                           RealLaw{"418AC0000000091.xml", "05A", 88, 21, 9, 0, 0}),
                         [](const ::testing::TestParamInfo<RealLaw>& info) { return std::string("law") + info.param.id; });

// The sample collection with the three laws imported over its corpus laws.
class ImportedSampleTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        sample_ = new Collection(readCollection(kData));
        imported_ = new Collection(*sample_);
        std::vector<LawFile> files;
        for (const char* f : {"325AC0000000201.xml", "325CO0000000338.xml", "418AC0000000091.xml"})
            files.push_back(readLawFile(kData + "egov/" + f));
        summary_ = new std::vector<LawSummary>(importLaws(*imported_, files, "2026-01-01T00:00:00Z"));
    }
    static void TearDownTestSuite() {
        delete sample_, delete imported_, delete summary_;
        sample_ = imported_ = nullptr;
        summary_ = nullptr;
    }
    static const Page& page(const std::string& id) { return imported_->pages.at(id); }
    static const Sentence& sentence(const std::string& idBN) { return *imported_->sentence(idBN); }

    static Collection *sample_, *imported_;
    static std::vector<LawSummary>* summary_;
};
Collection* ImportedSampleTest::sample_ = nullptr;
Collection* ImportedSampleTest::imported_ = nullptr;
std::vector<LawSummary>* ImportedSampleTest::summary_ = nullptr;

TEST_F(ImportedSampleTest, LawsReplaceTheCorpusLawsOfTheSameTitle) {
    ASSERT_EQ(summary_->size(), 3u);
    EXPECT_EQ((*summary_)[0].idHN, "01A");
    EXPECT_EQ((*summary_)[1].idHN, "01B");
    EXPECT_EQ((*summary_)[2].idHN, "05A");
    for (const LawSummary& s : *summary_) EXPECT_TRUE(s.replaced) << s.idHN;
    // Only the article ranges of the order keep a printed label.
    EXPECT_EQ((*summary_)[1].uncheckedLabels, 2u);
    EXPECT_EQ(imported_->law("01B")->shortName, "令");  // the collection's names are kept
    ASSERT_EQ(imported_->lawSources.size(), 3u);
    EXPECT_EQ(imported_->lawSources[1].lawId, "325CO0000000338");
    EXPECT_EQ(imported_->lawSources[1].lawNum, "昭和二十五年政令第三百三十八号");
    // Laws not imported keep every row.
    EXPECT_EQ(imported_->pages.at("01K-KD121358-00").sentences.size(),
              sample_->pages.at("01K-KD121358-00").sentences.size());
}

TEST_F(ImportedSampleTest, AppendedTableOneEqualsTheSamplePage) {
    auto pieces = [](const Collection& c) {
        std::vector<const TablePiece*> out;
        for (const TablePiece& t : c.tables)
            if (t.idBN.rfind("01A-T0010000-00", 0) == 0) out.push_back(&t);
        return out;
    };
    const auto want = pieces(*sample_), got = pieces(*imported_);
    ASSERT_EQ(want.size(), 1u);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]->idBN, want[0]->idBN);
    EXPECT_EQ(got[0]->html, want[0]->html);
    EXPECT_EQ(got[0]->search, want[0]->search);
    EXPECT_EQ(page("01A-T0010000-00").caption, sample_->pages.at("01A-T0010000-00").caption);
}

TEST_F(ImportedSampleTest, DivisionsArticlesAndSupplementaryPages) {
    // 第七章の二の二 between 第七章の二 and 第七章の三, its article under it.
    EXPECT_EQ(imported_->divisions.at("01B-0722-0000-0000-0000").names[0], "特定防災街区整備地区内の建築物");
    EXPECT_EQ(page("01B-01360204-00").idSN, "01B-0722-0000-0000-0000");
    EXPECT_EQ(page("05A-00240200-00").idSN.substr(0, 8), "05A-0320");  // 第三章の二
    EXPECT_EQ(page("01A-00060200-00").caption, "国土交通大臣等の指定を受けた者による確認");
    // 附則: the original, then each amendment with its law number.
    EXPECT_EQ(page("01A-F0000000-00").caption, "附則");
    EXPECT_EQ(page("01A-F0000001-00").caption, "附則（昭和二六年六月四日法律第一九五号）");
    EXPECT_EQ(sentence("01A-F0000000-00-0100-0100-0000-0000").text.rfind("（施行期日）　１　この法律は", 0), 0u);
    EXPECT_EQ(sentence("05A-F0000000-00-0100-0100-0000-0000").text.rfind("（施行期日）　第一条　この法律は", 0), 0u);
    // A range of deleted articles: the printed title stays in the text.
    EXPECT_EQ(sentence("01B-00170000-00-0100-0000-0000-0000").markup, "第十七条及び第十八条　削除");
}

TEST_F(ImportedSampleTest, RubyReferencesAndCharactersWithoutCp932Form) {
    const Sentence& s = sentence("01A-00020000-00-0100-0100-0000-0000");
    EXPECT_NE(s.markup.find("<ruby>跨<rt>こ</rt></ruby>線橋"), std::string::npos);
    EXPECT_NE(s.search.find("跨線橋"), std::string::npos);
    // Definition items: term, a full-width blank, meaning.
    EXPECT_EQ(sentence("01B-00010000-00-0100-0100-0000-0000").markup,
              "敷地　一の建築物又は用途上不可分の関係にある二以上の建築物のある一団の土地をいう。");
    // 法第五十二条 in the order links to the act.
    size_t actLinks = 0;
    for (const auto& [id, p] : imported_->pages)
        for (const Sentence& t : p.sentences)
            actLinks += id.rfind("01B", 0) == 0 && t.markup.find("法[第52条/01A]") != std::string::npos;
    EXPECT_GT(actLinks, 0u);
    // 充塡: a character reference on the page, 充填 in the search text.
    const Sentence& filled = sentence("01B-01300907-00-0100-0200-0100-0000");
    EXPECT_NE(filled.markup.find("充&#x5861;"), std::string::npos);
    EXPECT_NE(filled.search.find("充填"), std::string::npos);
    EXPECT_EQ((*summary_)[1].fittedTexts, 3u);
}

}  // namespace
