// Importing a law again (same LawId) replaces its text and keeps what the
// collection holds beyond it: split pages and their 補足, 大型 and 表示 flags,
// reference-link rows, hand-made table pieces and default markers, wherever
// their sentence and target are still there. What cannot be kept is listed
// in the summary, and nothing else is lost. The law is バリアフリー法
// (data/egov/418AC0000000091.xml) in the sample collection.
#include "collection/article_pages.h"
#include "collection/database_reader.h"
#include "collection/writer.h"
#include "egov/importer.h"
#include "egov/law_extras.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace tavrel::collection;
using namespace tavrel::egov;
using tavrel::testing::TempDir;

namespace {

const std::string kSample = std::string(TAVREL_BINARY_DIR) + "/bin/TL2008.orl";
const std::string kBarrierFree = std::string(TAVREL_SOURCE_DIR) + "/data/egov/418AC0000000091.xml";

const std::string kArticle3 = "05A-00030000";  // four paragraphs
const std::string kArticle4 = "05A-00040000";  // two paragraphs
const std::string kArticle5 = "05A-00050000";  // one paragraph; gone from the changed file
const std::string kOtherLawSentence = "01A-00010000-00-0100-0000-0000-0000";  // 建築基準法第1条

std::string sentenceOf(const std::string& prefix12, int page, int paragraph) {
    char tail[32];
    std::snprintf(tail, sizeof tail, "-%02d-%02d00-0000-0000-0000", page, paragraph);
    return prefix12 + tail;
}

// The law file without its 第5条.
LawFile withoutArticle5() {
    std::string xml = tavrel::testing::readFile(kBarrierFree);
    const size_t start = xml.find("<Article Num=\"5\"");
    const size_t end = xml.find("</Article>", start);
    EXPECT_NE(start, std::string::npos);
    xml.erase(start, end + std::strlen("</Article>") - start);
    return parseLawFile(xml, "418AC0000000091.xml");
}

// What the collection holds beyond the text of the law, as lines: layouts,
// flags, reference rows and markers on or into 05A, hand-made pieces.
std::vector<std::string> extras(Collection& c) {
    std::vector<std::string> out;
    for (const auto& [id, p] : c.pages)
        if (id.rfind("05A", 0) == 0 && (p.split || p.large || !p.shown || !p.supplement.empty()))
            out.push_back(id + " split " + std::to_string(p.split) + " " + p.supplement + (p.large ? " large" : "") +
                          (p.shown ? "" : " hidden"));
    for (const Reference& r : c.references)
        if (r.idBN.rfind("05A", 0) == 0 || r.targetFN.rfind("05A", 0) == 0)
            out.push_back(r.idBN + " -> " + r.targetFN + (c.sentence(r.idBN)->reference ? "" : " unflagged"));
    for (const TablePiece& t : c.tables)
        if (!t.fromLawXml && t.idBN.rfind("05A", 0) == 0)
            out.push_back(t.idBN + " piece " + t.html + (c.sentence(t.idBN)->table ? "" : " unflagged"));
    for (const Marker& m : c.markers)
        if (m.key.find("05A") != std::string::npos || m.value.rfind("05A", 0) == 0) out.push_back(m.key + " = " + m.value);
    return out;
}

class ReimportTest : public ::testing::Test {
  protected:
    ReimportTest() : law(readLawFile(kBarrierFree)) {
        c = readDatabase(kSample);
        importLaws(c, {law}, "2026-01-01T00:00:00Z");
    }

    // The user's additions on the law's articles, and a reference row and a
    // marker of 建築基準法 that point into it.
    void addExtras() {
        splitArticle(c, kArticle3, {1, 3}, {"基本方針（一）", "基本方針（二）"}, {});
        c.pages.at(kArticle4 + "-00").large = true;
        c.pages.at(kArticle5 + "-00").shown = false;
        Reference toArticle5;
        toArticle5.idBN = sentenceOf(kArticle4, 0, 1);
        toArticle5.targetFN = kArticle5 + "-00";
        toArticle5.order = 1;
        toArticle5.keyword = "方針";
        c.references.push_back(toArticle5);
        Reference toSecondPage = toArticle5;
        toSecondPage.targetFN = kArticle3 + "-01";
        c.references.push_back(toSecondPage);
        Reference fromOtherLaw = toArticle5;
        fromOtherLaw.idBN = kOtherLawSentence;
        ASSERT_NE(c.sentence(kOtherLawSentence), nullptr);
        fromOtherLaw.targetFN = kArticle4 + "-00";
        c.references.push_back(fromOtherLaw);
        TablePiece handPiece;
        handPiece.idBN = sentenceOf(kArticle4, 0, 2);
        handPiece.order = 1;
        handPiece.html = "<html><head>\n</head><body><table><tr><td>手書きの表</td></tr></table></body></html>";
        handPiece.search = "手書きの表";
        c.tables.push_back(handPiece);
        c.sentence(handPiece.idBN)->table = true;
        c.sentence(toArticle5.idBN)->reference = true;
        c.sentence(fromOtherLaw.idBN)->reference = true;
        c.markers.push_back({sentenceOf(kArticle4, 0, 1) + "-to-" + kArticle3 + "-r01", sentenceOf(kArticle3, 1, 3), {}});
        c.markers.push_back({kOtherLawSentence + "-to-" + kArticle5 + "-r01", sentenceOf(kArticle5, 0, 1), {}});
    }

    LawFile law;
    Collection c;
};

TEST_F(ReimportTest, KeepsLayoutFlagsReferencesPiecesAndMarkers) {
    addExtras();
    const std::vector<std::string> before = extras(c);
    ASSERT_EQ(before.size(), 12u);  // 4 pages, 5 reference rows (2 of the sample), 1 piece, 2 markers
    const auto summary = importLaws(c, {law}, "2026-01-02T00:00:00Z");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_TRUE(summary[0].replaced);
    EXPECT_EQ(summary[0].dropped, std::vector<std::string>{});
    EXPECT_EQ(extras(c), before);
}

TEST_F(ReimportTest, WhatLostItsArticleIsListedAndNothingElseIsLost) {
    addExtras();
    // 第4条 on two pages: its piece moves to the second with its sentence.
    splitArticle(c, kArticle4, {1, 2}, {}, {});
    std::vector<std::string> kept = extras(c);
    const auto summary = importLaws(c, {withoutArticle5()}, "2026-01-02T00:00:00Z");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].dropped,
              (std::vector<std::string>{
                  "非表示：第5条（05A-00050000-00）",
                  "参照リンク：第4条（05A-00040000-00-0100-0000-0000-0000）→ 第5条（05A-00050000-00）",
                  "マーカー：第1条（01A-00010000-00-0100-0000-0000-0000）→ 第5条（05A-00050000）",
              }));
    std::erase_if(kept, [](const std::string& line) { return line.find("05A-00050000") != std::string::npos; });
    EXPECT_EQ(extras(c), kept);
}

TEST_F(ReimportTest, AParagraphTheSplitNeedsIsGone) {
    // 第3条 split before a fifth paragraph the law does not have.
    splitArticle(c, kArticle3, {1, 3}, {}, {});
    c.pages.at(kArticle3 + "-01").sentences.front().idBN = sentenceOf(kArticle3, 1, 5);
    const auto summary = importLaws(c, {law}, "2026-01-02T00:00:00Z");
    EXPECT_EQ(summary[0].dropped, (std::vector<std::string>{"分割：第3条（05A-00030000-00）"}));
    EXPECT_EQ(articleLayout(c, kArticle3).firstParagraphs, (std::vector<int>{1}));
    EXPECT_EQ(c.pages.at(kArticle3 + "-00").split, 0);
    EXPECT_EQ(c.pages.count(kArticle3 + "-01"), 0u);
}

// Every row of every table as text, the import time left out.
std::vector<std::string> dump(const std::string& file) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::vector<std::string> tables, rows;
    const auto each = [&](const std::string& sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        while (sqlite3_step(st) == SQLITE_ROW) row(st);
        sqlite3_finalize(st);
    };
    each("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name",
         [&](sqlite3_stmt* st) { tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))); });
    for (const std::string& t : tables)
        each("SELECT * FROM [" + t + "] ORDER BY rowid", [&](sqlite3_stmt* st) {
            std::string row = t;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const char* v = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                row += std::string("|") + (std::string(sqlite3_column_name(st, i)) == "取込日時" ? "(time)" : v ? v : "(null)");
            }
            rows.push_back(row);
        });
    sqlite3_close(db);
    EXPECT_GT(rows.size(), 1000u);
    return rows;
}

TEST_F(ReimportTest, ImportingTheSameFileAgainGivesTheSameTables) {
    addExtras();
    TempDir dir;
    writeDatabase(c, dir.file("first.orl"));
    Collection again = readDatabase(dir.file("first.orl"));
    importLaws(again, {law}, "2026-02-01T00:00:00Z");
    writeDatabase(again, dir.file("again.orl"));
    const std::vector<std::string> first = dump(dir.file("first.orl")), second = dump(dir.file("again.orl"));
    EXPECT_EQ(first.size(), second.size());
    // The first rows that differ, not the whole database.
    std::vector<std::string> differ;
    for (size_t i = 0; i < std::min(first.size(), second.size()) && differ.size() < 6; ++i)
        if (first[i] != second[i]) differ.push_back(first[i].substr(0, 300) + "\n  != " + second[i].substr(0, 300));
    EXPECT_TRUE(differ.empty()) << differ.front();
}


// A piece added by hand on a sentence with a table of the XML stays, after
// the XML's pieces (recorded as the XML's, they are the ones replaced).
TEST(ReimportPieces, APieceAddedBesideAnXmlTableIsKeptAfterIt) {
    const LawFile act = readLawFile(std::string(TAVREL_SOURCE_DIR) + "/data/egov/325AC0000000201.xml");
    Collection c = readDatabase(kSample);
    importLaws(c, {act}, "2026-01-01T00:00:00Z");
    // A piece of the act itself (the collection's other laws have XML pieces too).
    const auto xml = std::find_if(c.tables.begin(), c.tables.end(),
                                  [](const TablePiece& t) { return t.fromLawXml && t.idBN.compare(0, 3, "01A") == 0; });
    ASSERT_NE(xml, c.tables.end());
    TablePiece hand{xml->idBN, 1, "<html><head>\n</head><body>手書き</body></html>", "手書き", {}, false};
    std::vector<std::string> onSentence;
    for (TablePiece& t : c.tables)
        if (t.idBN == hand.idBN) ++t.order, onSentence.push_back(t.html);
    c.tables.insert(c.tables.begin(), hand);
    importLaws(c, {act}, "2026-01-02T00:00:00Z");
    onSentence.push_back(hand.html);
    std::vector<std::string> now;
    for (const TablePiece& t : c.tables)
        if (t.idBN == hand.idBN) now.push_back(t.html);
    EXPECT_EQ(now, onSentence);
}

}  // namespace
