// The identifier an imported law gets: the one it was imported as before,
// the law of the same title, its act's family for an order or ordinance, or
// the first free family. The law titles here are made up (test data).
#include "egov/importer.h"

#include <gtest/gtest.h>

using namespace tavrel::collection;
using namespace tavrel::egov;

namespace {

LawFile lawFile(const std::string& title, const std::string& type, const std::string& lawId = "") {
    std::string xml = "<Law LawType=\"" + type + "\"><LawBody><LawTitle>" + title + "</LawTitle></LawBody></Law>";
    if (!lawId.empty())
        xml = "<DataRoot><ApplData><LawId>" + lawId + "</LawId><LawFullText>" + xml + "</LawFullText></ApplData></DataRoot>";
    return parseLawFile(xml, "test.xml");
}

Collection collectionOf(std::initializer_list<std::pair<const char*, const char*>> laws) {
    Collection c;
    for (const auto& [id, title] : laws) c.laws.push_back({id, title, title, title, true, {}, {}});
    return c;
}

TEST(EgovPlacement, FamilyKindAndReplacement) {
    Collection c = collectionOf({{"00A", "資料（テストデータ）"}, {"01A", "試験法"}, {"20A", "見本法"}, {"20B", "見本法施行令"}});
    c.lawSources.push_back({"20B", "999CO0000000001", "", "", ""});
    struct Case {
        const char* what;
        LawFile file;
        const char* id;
    } cases[] = {
        {"order of an act of the collection", lawFile("試験法施行令", "CabinetOrder"), "01B"},
        {"ordinance of an act of the collection", lawFile("試験法施行規則", "MinisterialOrdinance"), "01C"},
        {"same title: replaced", lawFile("見本法施行令", "CabinetOrder"), "20B"},
        {"same LawId, new title: replaced", lawFile("見本法施行令（改題）", "CabinetOrder", "999CO0000000001"), "20B"},
        {"an act of no family", lawFile("別の法律", "Act"), "02A"},
        {"an order of no act of the collection", lawFile("別の法律施行令", "CabinetOrder"), "02B"},
        {"a rule", lawFile("別の規則", "Rule"), "02C"},
    };
    for (const Case& k : cases) EXPECT_EQ(placeLaw(c, k.file), k.id) << k.what;
    // The letter of the family taken by another law: a new family.
    c.laws.push_back({"01B", "他の政令", "他の政令", "他の政令", true, {}, {}});
    EXPECT_EQ(placeLaw(c, lawFile("試験法施行令", "CabinetOrder")), "02B");
}

// One article of made-up text (test data) per number given.
LawFile lawWithArticles(const std::string& title, const std::string& type, const std::string& text, int articles) {
    std::string xml = "<Law LawType=\"" + type + "\"><LawBody><LawTitle>" + title + "</LawTitle><MainProvision>";
    for (int n = 1; n <= articles; ++n)
        xml += "<Article Num=\"" + std::to_string(n) + "\"><ArticleTitle>第" + std::string(n == 1 ? "一" : n == 2 ? "二" : "三") +
               "条</ArticleTitle><Paragraph Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>" + text +
               "</Sentence></ParagraphSentence></Paragraph></Article>";
    return parseLawFile(xml + "</MainProvision></LawBody></Law>", "test.xml");
}

TEST(EgovPlacement, AnOrderJoinsItsActAndLinksItAsHo) {
    Collection c = collectionOf({{"00A", "資料（テストデータ）"}});
    const auto summary = importLaws(
        c,
        {lawWithArticles("試験法", "Act", "試験のための文。", 3),
         lawWithArticles("試験法施行令", "CabinetOrder", "法第二条及び試験法第三条による。都市計画法第四条は別。", 1)},
        "2026-01-01T00:00:00Z");
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[0].idHN, "01A");
    EXPECT_EQ(summary[1].idHN, "01B");
    EXPECT_EQ(c.law("01B")->shortName, "令");
    EXPECT_EQ(c.sentence("01B-00010000-00-0100-0000-0000-0000")->markup,
              "法[第2条/01A]及び試験法[第3条/01A]による。都市計画法第4条は別。");
}

}  // namespace
