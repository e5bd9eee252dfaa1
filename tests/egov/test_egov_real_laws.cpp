// The three real e-Gov law files of data/egov read into the collection
// model: every sentence of the file in the rows, in order; the rows are the
// file's paragraphs, items and sub-items; articles under the right divisions;
// 附則 pages; ruby; 充塡. The sample collection built from them: 別表第一 equal
// to the table of corpus/tables, the corpus articles equal to the files'.
#include "collection/steps.h"
#include "collection/structure.h"
#include "corpus_article.h"
#include "data_reader.h"
#include "egov/importer.h"
#include "table_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
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

// The sample collection: its laws 01A, 01B and 05A are built from these files.
class BundledLawsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { sample_ = new Collection(readCollection(kData)); }
    static void TearDownTestSuite() {
        delete sample_;
        sample_ = nullptr;
    }
    static const Page& page(const std::string& id) { return sample_->pages.at(id); }
    static const Sentence& sentence(const std::string& idBN) { return *sample_->sentence(idBN); }

    static Collection* sample_;
};
Collection* BundledLawsTest::sample_ = nullptr;

// A bare <Law> (as e-Gov's API Version 2 serves a law file) has no LawId
// element: the identifier made from its attributes is e-Gov's own, so that
// the update check can ask e-Gov about the law.
TEST(BareLawFile, GetsTheLawIdEgovGivesIt) {
    for (const char* name : {"418AC0000000091", "325CO0000000338"}) {
        std::ifstream in(std::string(TAVREL_SOURCE_DIR) + "/data/egov/" + name + ".xml", std::ios::binary);
        const std::string answer((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t begin = answer.find("<Law "), end = answer.find("</Law>");
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(parseLawFile(answer.substr(begin, end + 6 - begin), "bare.xml").lawId, name);
    }
}

TEST_F(BundledLawsTest, LawsKeepTheirIdentifiersAndNamesAndRecordTheirFiles) {
    EXPECT_EQ(sample_->law("01B")->shortName, "令");
    EXPECT_EQ(sample_->law("05A")->common, "バリアフリー法");
    ASSERT_EQ(sample_->lawSources.size(), 3u);
    const LawSource& order = sample_->lawSources[1];
    EXPECT_EQ(order.idHN, "01B");
    EXPECT_EQ(order.lawId, "325CO0000000338");
    EXPECT_EQ(order.lawNum, "昭和二十五年政令第三百三十八号");
    EXPECT_FALSE(order.revision.empty());
    // The day collection.ini gives, not the time of the build.
    for (const LawSource& s : sample_->lawSources) EXPECT_EQ(s.importedAt, "2026-12-08T00:00:00Z") << s.idHN;
    // The 附則 and 別表 the sample wrote by hand are the files' own.
    EXPECT_EQ(page("01A-F0000000-00").caption, "附則");
    for (const char* id : {"01A-T0010000-00", "01A-T0020000-00", "01A-T0030000-00", "01A-T0040000-00"})
        EXPECT_TRUE(sample_->pages.count(id)) << id;
}

// 別表第一 from the file is the table the builder makes of the same e-Gov
// table kept in corpus/tables.
TEST_F(BundledLawsTest, AppendedTableOneEqualsTheCorpusTable) {
    std::vector<const TablePiece*> got;
    for (const TablePiece& t : sample_->tables)
        if (t.idBN.rfind("01A-T0010000-00", 0) == 0) got.push_back(&t);
    ASSERT_EQ(got.size(), 1u);
    const ConvertContext ctx = conversionContext(*sample_, "01A");
    const TableHtml want = tableFromXmlFile(
        kData + "corpus/tables/act_appdx_table_1.xml",
        [&](const std::string& cell) { return applyRuby(convertReferences(cell, ctx), sample_->ruby); });
    EXPECT_EQ(got[0]->idBN, "01A-T0010000-00-0000-0000-0000-0000");
    EXPECT_EQ(got[0]->html, want.html);
    EXPECT_EQ(got[0]->search, searchText(want.plain));
    EXPECT_EQ(page("01A-T0010000-00").caption, "耐火建築物等としなければならない特殊建築物");
}

// The tables of 施行令第23条, 第85条 and 第119条, which the sample took from
// corpus/tables before, come from the file: the same table, under its row.
TEST_F(BundledLawsTest, ArticleTablesEqualTheCorpusTables) {
    const ConvertContext ctx = conversionContext(*sample_, "01B");
    const auto table = [](const std::string& html) {
        const size_t from = html.find("<table"), to = html.rfind("</table>");
        return from == std::string::npos || to == std::string::npos ? std::string() : html.substr(from, to - from);
    };
    for (const auto& [row, file] : std::vector<std::pair<std::string, std::string>>{
             {"01B-00230000-00-0100-0000-0000-0000", "order_023_table.xml"},
             {"01B-00850000-00-0100-0000-0000-0000", "order_085_table.xml"},
             {"01B-00850000-00-0200-0000-0000-0000", "order_085_para2_table.xml"},
             {"01B-01190000-00-0100-0000-0000-0000", "order_119_table.xml"}}) {
        std::vector<const TablePiece*> got;
        for (const TablePiece& t : sample_->tables)
            if (t.idBN == row) got.push_back(&t);
        ASSERT_EQ(got.size(), 1u) << row;
        EXPECT_TRUE(sentence(row).table) << row;
        const TableHtml want = tableFromXmlFile(kData + "corpus/tables/" + file, [&](const std::string& cell) {
            return applyRuby(convertReferences(cell, ctx), sample_->ruby);
        });
        EXPECT_FALSE(table(want.html).empty()) << file;
        EXPECT_EQ(table(got[0]->html), table(want.html)) << file;
    }
}

// The corpus articles, copied from the same e-Gov data one file per article,
// are the files' articles: the same rows with the same printed labels and
// texts (compared without blanks; ruby readings inline as the corpus writes
// them).
TEST_F(BundledLawsTest, CorpusArticlesEqualTheArticlesOfTheFiles) {
    const auto bare = [](std::string t) {
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            for (size_t p = t.find(from); p != std::string::npos; p = t.find(from, p + 1))
                t.replace(p, from.size(), to);
        std::string out;
        for (size_t i = 0; i < t.size(); ++i) {
            if (static_cast<unsigned char>(t[i]) < 0x08 || t[i] == ' ') continue;
            if (t.compare(i, 3, "\u3000") == 0) {
                i += 2;
                continue;
            }
            out += t[i];
        }
        return out;
    };
    size_t checked = 0;
    for (const auto& [folder, law] :
         std::map<std::string, std::string>{{"building_standard_act", "01A"},
                                            {"building_standard_act_enforcement_order", "01B"},
                                            {"barrier_free_act", "05A"}}) {
        for (const auto& entry : std::filesystem::directory_iterator(kData + "corpus/" + folder + "/texts")) {
            const CorpusArticle a = readCorpusArticle(entry.path());
            const std::string prefix = articlePrefix(law, a.number, a.branch1, a.branch2);
            std::vector<const Sentence*> rows;
            for (auto it = sample_->pages.lower_bound(prefix);
                 it != sample_->pages.end() && it->first.compare(0, 12, prefix) == 0; ++it)
                for (const Sentence& s : it->second.sentences) rows.push_back(&s);
            ASSERT_EQ(rows.size(), a.elements.size()) << entry.path();
            EXPECT_EQ(page(prefix + "-00").caption, convertPlain(a.caption, conversionContext(*sample_, law)))
                << entry.path();
            for (size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i]->idBN.substr(15), sentenceId("", a.elements[i].address)) << entry.path();
                EXPECT_EQ(bare(rows[i]->text), bare(a.elements[i].text)) << rows[i]->idBN;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 300u);
}

TEST_F(BundledLawsTest, DivisionsArticlesAndSupplementaryPages) {
    // 第七章の二の二 between 第七章の二 and 第七章の三, its article under it.
    EXPECT_EQ(sample_->divisions.at("01B-0722-0000-0000-0000").names[0], "特定防災街区整備地区内の建築物");
    EXPECT_EQ(page("01B-01360204-00").idSN, "01B-0722-0000-0000-0000");
    EXPECT_EQ(page("05A-00240200-00").idSN.substr(0, 8), "05A-0320");  // 第三章の二
    EXPECT_EQ(page("01A-00060200-00").caption, "国土交通大臣等の指定を受けた者による確認");
    // 附則: the original, then each amendment with its law number.
    EXPECT_EQ(page("01A-F0000001-00").caption, "附則（昭和二六年六月四日法律第一九五号）");
    EXPECT_EQ(sentence("01A-F0000000-00-0100-0100-0000-0000").text.rfind("（施行期日）　１　この法律は", 0), 0u);
    EXPECT_EQ(sentence("05A-F0000000-00-0100-0100-0000-0000").text.rfind("（施行期日）　第一条　この法律は", 0), 0u);
    // A range of deleted articles: the printed title stays in the text.
    EXPECT_EQ(sentence("01B-00170000-00-0100-0000-0000-0000").markup, "第十七条及び第十八条　削除");
}

TEST_F(BundledLawsTest, RubyReferencesAndCharactersWithoutCp932Form) {
    const Sentence& s = sentence("01A-00020000-00-0100-0100-0000-0000");
    EXPECT_NE(s.markup.find("<ruby>跨<rt>こ</rt></ruby>線橋"), std::string::npos);
    EXPECT_NE(s.search.find("跨線橋"), std::string::npos);
    // Definition items: term, a full-width blank, meaning.
    EXPECT_EQ(sentence("01B-00010000-00-0100-0100-0000-0000").markup,
              "敷地　一の建築物又は用途上不可分の関係にある二以上の建築物のある一団の土地をいう。");
    // 法第五十二条 in the order links to the act.
    size_t actLinks = 0;
    for (const auto& [id, p] : sample_->pages)
        for (const Sentence& t : p.sentences)
            actLinks += id.rfind("01B", 0) == 0 && t.markup.find("法[第52条/01A]") != std::string::npos;
    EXPECT_GT(actLinks, 0u);
    // 充塡: a character reference on the page, 充填 in the search text.
    const Sentence& filled = sentence("01B-01300907-00-0100-0200-0100-0000");
    EXPECT_NE(filled.markup.find("充&#x5861;"), std::string::npos);
    EXPECT_NE(filled.search.find("充填"), std::string::npos);
}

}  // namespace
