// Inline references, explicit links, id renumbering, x:str removal, keyword
// colouring and the reference-link block of a sentence.
#include "document/document.h"
#include "render/links.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

namespace tavrel::render {
namespace {

using tavrel::testing::FakeMessageSink;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

// Tests write their texts in UTF-8 and compare in UTF-8; the functions
// under test see CP932.
std::string cp(const std::string& utf8) { return text::fromUtf8(utf8); }
std::string u8(const std::string& cp932) { return text::toUtf8(cp932); }

const std::string kSource = "01A-00430000-00-0100-0000-0000-0000";

std::string inlineRefs(const std::string& utf8, bool inTable = false) {
    return u8(inlineReferences(kSource, cp(utf8), inTable));
}

std::string link(const std::string& target, const std::string& suffix, const std::string& display) {
    return "<a id=\"" + kSource + "-to-" + target + suffix + "\" href='http://" + target + "_TAVREL'>" + display +
           "</a>";
}

TEST(InlineReferences, ArticleWithBranchBecomesALinkAndARepeatIsRenumbered) {
    EXPECT_EQ(inlineRefs("法[第12条の2]の規定"), "法" + link("01A-00120200", "-p01", "第12条の2") + "の規定");
    EXPECT_EQ(inlineRefs("[第12条の2]又は[第12条の2]"),
              link("01A-00120200", "-p01", "第12条の2") + "又は" + link("01A-00120200", "-p02", "第12条の2"));
    EXPECT_EQ(inlineRefs("[第7条]、[第7条]及び[第7条]"), link("01A-00070000", "-p01", "第7条") + "、" +
                                                             link("01A-00070000", "-p02", "第7条") + "及び" +
                                                             link("01A-00070000", "-p03", "第7条"));
}

TEST(InlineReferences, NumbersBranchesAndLaw) {
    EXPECT_EQ(inlineRefs("[第3条/05B]"), link("05B-00030000", "-p01", "第3条"));
    EXPECT_EQ(inlineRefs("[第12条の2の3]"), link("01A-00120203", "-p01", "第12条の2の3"));
    EXPECT_EQ(inlineRefs("[第1234条の10の11]"), link("01A-12341011", "-p01", "第1234条の10の11"));
    EXPECT_EQ(inlineRefs("[第2条第3項]"), link("01A-00020000", "-p01", "第2条第3項"));
    EXPECT_EQ(inlineRefs("[第6条の2/01B]"), link("01B-00060200", "-p01", "第6条の2"));
    // In table text the id ends in "-t01".
    EXPECT_EQ(inlineRefs("[第5条]と[第5条]", true),
              link("01A-00050000", "-t01", "第5条") + "と" + link("01A-00050000", "-t02", "第5条"));
}

TEST(InlineReferences, UnreadableReferencesStayUnchangedWithTheirBrackets) {
    for (const char* t : {
             "[第十条]",      // no number
             "[第0条]",       // number 0
             "[第12345条]",   // 条 7 bytes after 第
             "[第条]",        // 条 2 bytes after 第
             "[第3項]",       // no 条
             "[第3条の123]",  // three-digit branch
             "[第3条の]",     // empty branch
             "[第3条のA]",    // not a number
             "[第3条/5B]",    // no law identifier after "/"
             "[第3条/05b]",   // not a law identifier
         }) {
        EXPECT_EQ(inlineRefs(t), t) << t;
    }
    // Other bracket markup of the sentence, read by later steps, survives.
    EXPECT_EQ(inlineRefs("[第十条]の[K道路K]と[L第3条/01A-00030000L]、[第2条]"),
              "[第十条]の[K道路K]と[L第3条/01A-00030000L]、" + link("01A-00020000", "-p01", "第2条"));
}

TEST(InlineReferences, ClosingBracketTwentyTwoBytesAwayStopsTheScan) {
    // "[第1条" is 6 bytes; 15 more put "]" 21 bytes after "[".
    const std::string near = "[第1条abcdefghijklmno]";
    EXPECT_EQ(inlineRefs(near), link("01A-00010000", "-p01", "第1条abcdefghijklmno"));
    const std::string far = "[第1条abcdefghijklmnop][第2条]";
    EXPECT_EQ(inlineRefs(far), far);
    // No "]" at all.
    EXPECT_EQ(inlineRefs("[第1条 [第2条"), "[第1条 [第2条");
}

TEST(InlineReferences, DifferentMarkupsToTheSameTargetGetDistinctIds) {
    EXPECT_EQ(inlineRefs("[第3条]と[第3条/01A]"),
              link("01A-00030000", "-p01", "第3条") + "と" + link("01A-00030000", "-p02", "第3条"));
}

TEST(InlineReferences, ByteValuesOfBracketsInsideDoubleByteCharactersAreNoMarkup) {
    // "‐" is 0x81 0x5D (its trail byte is "]"), "ー" is 0x81 0x5B ("[").
    ASSERT_EQ(cp("‐"), std::string("\x81\x5D"));
    ASSERT_EQ(cp("ー"), std::string("\x81\x5B"));
    EXPECT_EQ(inlineRefs("[第3条‐]"), link("01A-00030000", "-p01", "第3条‐"));
    EXPECT_EQ(inlineRefs("ー第3条]"), "ー第3条]");
}

std::string explicitOf(const std::string& source, const std::string& utf8) {
    return u8(explicitLinks(source, cp(utf8)));
}

TEST(ExplicitLinks, LinksWithAndWithoutId) {
    EXPECT_EQ(explicitOf(kSource, "同[L第3条/01A-00030000L]の"), "同" + link("01A-00030000", "-m01", "第3条") + "の");
    EXPECT_EQ(explicitOf("01A-00430000-00", "[L第3条/01A-00030000L]"),
              "<a href='http://01A-00030000_TAVREL'>第3条</a>");
    EXPECT_EQ(
        explicitOf(kSource, "[L甲/01A-00030000L][L乙/01A-00030000L][L甲/01A-00030000L]"),
        link("01A-00030000", "-m01", "甲") + link("01A-00030000", "-m02", "乙") + link("01A-00030000", "-m03", "甲"));
}

TEST(ExplicitLinks, OnlyTwelveIdentifierCharactersAreATarget) {
    for (const char* t : {"[L第3条/01A-0003000L]", "[L第3条/01A-000300000L]", "[L第3条01A-00030000L]",
                          "[L第3条/01A-0003'000L]", "[L第3条/01a-00030000L]"}) {
        EXPECT_EQ(explicitOf(kSource, t), t) << t;
    }
    // The scan goes on after a markup that is not linked.
    EXPECT_EQ(explicitOf(kSource, "[L甲/xL][L乙/05B-00030000L]"), "[L甲/xL]" + link("05B-00030000", "-m01", "乙"));
}

TEST(ExplicitLinks, EndMarker82BytesAwayStopsTheScan) {
    // 2 + display + 1 + 12: with 66 display bytes "L]" is 81 bytes after "[L".
    const std::string near = "[L" + std::string(66, 'd') + "/01A-00030000L]";
    EXPECT_EQ(explicitOf(kSource, near), link("01A-00030000", "-m01", std::string(66, 'd')));
    const std::string far = "[L" + std::string(67, 'd') + "/01A-00030000L][L乙/01A-00030000L]";
    EXPECT_EQ(explicitOf(kSource, far), far);
}

TEST(RenumberDuplicateIds, SecondAndLaterOccurrencesAreNumbered) {
    std::string t =
        "<a id=\"X-p01\">1</a><a id=\"X-p01x\">2</a><a id=\"X-p01\">3</a><a id=\"Y-p01\">4</a>"
        "<a id=\"X-p01\">5</a>";
    renumberDuplicateIds(t, {"X-p01", "Y-p01", "X-p01"});
    EXPECT_EQ(t,
              "<a id=\"X-p01\">1</a><a id=\"X-p01x\">2</a><a id=\"X-p02\">3</a><a id=\"Y-p01\">4</a>"
              "<a id=\"X-p03\">5</a>");
}

TEST(RemoveXStrAttributes, AttributeAndItsValueGo) {
    EXPECT_EQ(removeXStrAttributes("<td x:str=\"'001\">A</td><td class=x x:str=\"\">B</td>"),
              "<td >A</td><td class=x >B</td>");
    // A bare x:str, and a value without its closing quote, stay.
    EXPECT_EQ(removeXStrAttributes("<td x:str>A</td>"), "<td x:str>A</td>");
    EXPECT_EQ(removeXStrAttributes("<td x:str=\"A</td>"), "<td x:str=\"A</td>");
    EXPECT_EQ(u8(removeXStrAttributes(cp("<td x:str=\"建築\">建築物</td>"))), "<td >建築物</td>");
    // Removing one attribute can join the text around it into another.
    EXPECT_EQ(removeXStrAttributes("<td x:sx:str=\"q\"tr=\"z\">"), "<td >");
}

OptionBlock keywordColour() {
    OptionBlock o;
    o[FontColorKeyWord] = 0x007777;  // "777700"
    return o;
}

std::string coloured(const std::string& utf8) { return "<SPAN STYLE=\"color: #777700\">" + utf8 + "</SPAN>"; }

std::string colour(const std::string& utf8, const std::string& keyword, bool automatic, int selected) {
    std::string t = cp(utf8);
    colourReferenceKeyword(t, cp(keyword), automatic, selected, keywordColour());
    return u8(t);
}

TEST(KeywordColouring, EveryOrOneSelectedOccurrence) {
    EXPECT_EQ(colour("道路と道路と道路", "道路", true, 0),
              coloured("道路") + "と" + coloured("道路") + "と" + coloured("道路"));
    EXPECT_EQ(colour("道路と道路と道路", "道路", true, 2), "道路と" + coloured("道路") + "と道路");
    EXPECT_EQ(colour("道路と道路と道路", "道路", true, 4), "道路と道路と道路");
    // Each next occurrence is searched after the end of the previous one.
    EXPECT_EQ(colour("aaaaa", "aa", true, 2), "aa" + coloured("aa") + "a");
    EXPECT_EQ(colour("aaaaa", "aa", true, 3), "aaaaa");
    EXPECT_EQ(colour("abc", "", true, 0), "abc");
}

TEST(KeywordColouring, MarkedPlaces) {
    EXPECT_EQ(colour("[K道路K]に接する[K敷地K]の[K道路K]", "道路", false, 0),
              coloured("道路") + "に接する" + coloured("敷地") + "の" + coloured("道路"));
    // "ガ" ends in the byte of "K": it is kept whole.
    EXPECT_EQ(colour("[Kガ‐K]", "x", false, 0), coloured("ガ‐"));
    // A marker without its end, and an end without a marker, stay.
    EXPECT_EQ(colour("[K道路", "道路", false, 0), "[K道路");
    EXPECT_EQ(colour("K]道路", "道路", false, 0), "K]道路");
}

TEST(KeywordColouring, MarkedPlaceOfMoreThan79BytesStopsTheScan) {
    const std::string n79(79, 'n');
    EXPECT_EQ(colour("[K" + n79 + "K]", "x", false, 0), coloured(n79));
    const std::string far = "[K" + std::string(80, 'n') + "K][Kx K]";
    EXPECT_EQ(colour(far, "x", false, 0), far);
}

// ---- Reference-link block ----

const std::string kPurpose = "文ID(ID_BN)から参照リンクを抽出、作成";

class ReferenceBlockTest : public ::testing::Test {
  protected:
    ReferenceBlockTest() {
        std::filesystem::create_directories(dataFolder);
        db = std::make_unique<FixtureDb>(dataFolder + "TL2008.orl");
        db->exec(
            "INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和25年法律第201号）', -1);"
            "INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', '令', '建築基準法施行令', -1);"
            "INSERT INTO T_法 VALUES ('05B', '消防法施行令', '消令', '消防法施行令', -1);"
            "INSERT INTO T_法 VALUES ('11A', '告示', '告', '告示', -1);"
            "INSERT INTO T_法 VALUES ('00A', '資料', '資', '資料', -1);");
        addPage("01A-00120200-00", "'敷地等と道路との関係'");
        addPage("01B-00030000-00", "'なし'");
        addPage("05B-00030000-00", "'防火対象物'");
        addPage("11A-KD121234-00", "'告示の題'");
        addPage("01A-T0020000-00", "NULL");
        addPage("00A-Z0010000-00", "'表紙'");
        addPage("01A-F0000000-00", "'附則'");
        addPage("07C-00030000-00", "'他法'");  // 07C is not in T_法
        // 49 + 10 bytes: the 50th byte starts 道, so the cut keeps 49 bytes.
        addPage("01A-00500000-00", "'" + std::string(49, 'c') + "道路の幅員'");
        // 48 + 10 bytes: 道 ends at the 50th byte and is kept.
        addPage("01A-00510000-00", "'" + std::string(48, 'c') + "道路の幅員'");
    }

    void addPage(const std::string& id, const std::string& caption) {
        db->exec("INSERT INTO T_条 VALUES ('" + id + "', '01A-0000-0000-0000-0000', " + caption + ", NULL, 0, 0, -1)");
    }

    struct Row {
        std::string target;
        int order = 1;
        std::string keyword = "NULL", place = "NULL", note = "NULL", supplement = "NULL";
        int inTable = 0, selected = 0, automatic = -1, emphasise = -1, valid = -1, shown = -1;
    };
    void addRow(const Row& r) {
        db->exec("INSERT INTO T_参 VALUES ('" + kSource + "', '" + r.target + "', " + std::to_string(r.order) + ", " +
                 std::to_string(r.shown) + ", " + r.place + ", " + r.keyword + ", " + std::to_string(r.inTable) + ", " +
                 std::to_string(r.selected) + ", " + std::to_string(r.automatic) + ", " + std::to_string(r.emphasise) +
                 ", " + std::to_string(r.valid) + ", " + r.note + ", " + r.supplement + ")");
    }

    Document& doc() {
        if (!doc_) {
            doc_ = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, dataFolder});
            if (!doc_->startUp()) ADD_FAILURE() << "document start-up failed";
            doc_->options()[FontColorKeyWord] = 0x007777;
        }
        return *doc_;
    }

    bool run(int fontSize = 9) {
        sentenceIn = sentence;
        tableIn = table;
        return buildReferenceBlock(doc(), kSource, fontSize, block, sentence, table);
    }

    std::string u8block() const { return u8(block); }

    TempDir dir;
    std::string dataFolder = dir.folder() + "data/";
    std::unique_ptr<FixtureDb> db;
    MemorySettingsStore settings;
    FakeMessageSink sink;
    std::unique_ptr<Document> doc_;
    std::string block, sentence, table, sentenceIn, tableIn;
};

const std::string kFirstDiv = "<div style=\"margin-left: 7em; margin-top: 0.5em\" align=\"right\">";
const std::string kLaterDiv = "<div style=\"margin-left: 7em\" align=\"right\">";

std::string font(int size) {
    return "<font style=\"font-size: " + std::to_string(size) + "pt; font-weight: normal; \">\n";
}

std::string refLink(const std::string& target15, const std::string& suffix, const std::string& text) {
    return "<a id=\"" + kSource + "-to-" + target15.substr(0, 12) + suffix + "\" href='http://" + target15 +
           "_TAVREL'>" + text + "</a></div>\n</font>\n";
}

TEST_F(ReferenceBlockTest, OneRowOfTheSameLawFamilyByteForByte) {
    addRow({.target = "01A-00120200-00", .keyword = "'道路'"});
    sentence = cp("道路に接する敷地と道路");
    ASSERT_TRUE(run(9));
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(u8block(), font(9) + kFirstDiv + coloured("道路") + " ⇒ " +
                             refLink("01A-00120200-00", "-r01", "法第12条の2 「敷地等と道路との関係」"));
    EXPECT_EQ(u8(sentence), coloured("道路") + "に接する敷地と" + coloured("道路"));
}

TEST_F(ReferenceBlockTest, RowsOfOtherFamiliesKindsCaptionsAndPrefixes) {
    // another family: common name and a blank; place and supplement
    addRow({.target = "05B-00030000-00",
            .order = 1,
            .keyword = "'消防'",
            .place = "'第1項'",
            .supplement = "'第2項'",
            .emphasise = 0});
    // same family; caption なし; keyword not valid: no prefix
    addRow({.target = "01B-00030000-00", .order = 2, .keyword = "'令'", .valid = 0});
    // note instead of the caption; no keyword
    addRow({.target = "01A-00120200-00", .order = 3, .note = "'備考の題'"});
    // notification and appended table
    addRow({.target = "11A-KD121234-00", .order = 4});
    addRow({.target = "01A-T0020000-00", .order = 5});
    // not shown
    addRow({.target = "01A-00120200-00", .order = 6, .shown = 0});
    sentence = cp("消防の令");
    ASSERT_TRUE(run(11));
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(u8block(), font(11) + kFirstDiv + coloured("消防（第1項）") + " ⇒ " +
                             refLink("05B-00030000-00", "-r01", "消防法施行令 第3条第2項 「防火対象物」") + font(11) +
                             kLaterDiv + refLink("01B-00030000-00", "-r01", "令第3条") + font(11) + kLaterDiv +
                             refLink("01A-00120200-00", "-r01", "法第12条の2 「備考の題」") + font(11) + kLaterDiv +
                             refLink("11A-KD121234-00", "-r01", "告示 平12年 1234号 「告示の題」") + font(11) +
                             kLaterDiv + refLink("01A-T0020000-00", "-r01", "法別表第2 「」"));
    // Not emphasised / not valid: the sentence stays as it was.
    EXPECT_EQ(u8(sentence), "消防の令");
}

TEST_F(ReferenceBlockTest, LongCaptionsAreCutWithoutSplittingACharacter) {
    addRow({.target = "01A-00500000-00"});
    addRow({.target = "01A-00510000-00", .order = 2});
    ASSERT_TRUE(run());
    const std::string c48(48, 'c'), c49(49, 'c');
    EXPECT_EQ(u8block(), font(9) + kFirstDiv + refLink("01A-00500000-00", "-r01", "法第50条 「" + c49 + " ... 」") +
                             font(9) + kLaterDiv +
                             refLink("01A-00510000-00", "-r01", "法第51条 「" + c48 + "道 ... 」"));
}

TEST_F(ReferenceBlockTest, DuplicateTargetsAreRenumbered) {
    for (int i = 1; i <= 3; ++i) {
        addRow({.target = "01A-00120200-00", .order = i});
    }
    ASSERT_TRUE(run());
    const std::string text = "法第12条の2 「敷地等と道路との関係」";
    EXPECT_EQ(u8block(), font(9) + kFirstDiv + refLink("01A-00120200-00", "-r01", text) + font(9) + kLaterDiv +
                             refLink("01A-00120200-00", "-r02", text) + font(9) + kLaterDiv +
                             refLink("01A-00120200-00", "-r03", text));
}

TEST_F(ReferenceBlockTest, KeywordColouringInSentenceOrTable) {
    // second occurrence in the sentence
    addRow({.target = "01A-00120200-00", .keyword = "'道路'", .selected = 2});
    // marked places of the table text, x:str attributes removed
    addRow({.target = "01A-00120200-00", .order = 2, .keyword = "'幅員'", .inTable = -1, .automatic = 0});
    sentence = cp("道路と道路と道路");
    table = cp("<td x:str=\"幅員\">[K幅員K]</td><td>[K高さK]</td>");
    ASSERT_TRUE(run());
    EXPECT_EQ(u8(sentence), "道路と" + coloured("道路") + "と道路");
    EXPECT_EQ(u8(table), "<td >" + coloured("幅員") + "</td><td>" + coloured("高さ") + "</td>");
}

TEST_F(ReferenceBlockTest, NoRowIsReportedAsNotFound) {
    addRow({.target = "01A-00120200-00", .shown = 0});
    sentence = cp("道路");
    EXPECT_FALSE(run());
    EXPECT_TRUE(block.empty());
    EXPECT_EQ(sentence, sentenceIn);
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].captionUtf8(), kPurpose);
    EXPECT_EQ(sink.shown()[0].textUtf8(),
              "データベースに参照リンクデータを見つけることが\nできませんでした。\n\n関数 = CTavrelDoc::_html_ref()");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Error);
}

TEST_F(ReferenceBlockTest, ASpecialPageEndsTheBlock) {
    addRow({.target = "01A-00120200-00"});
    addRow({.target = "00A-Z0010000-00", .order = 2});
    addRow({.target = "05B-00030000-00", .order = 3});
    ASSERT_TRUE(run());
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(u8block(),
              font(9) + kFirstDiv + refLink("01A-00120200-00", "-r01", "法第12条の2 「敷地等と道路との関係」"));
}

TEST_F(ReferenceBlockTest, NoUsableFirstRowShowsTheFailureReport) {
    struct Case {
        const char* target;
        const char* what;
    } cases[] = {{"00A-Z0010000-00", "special page"},
                 {"01A-00990000-00", "page missing from T_条"},
                 {"01A-F0000000-00", "supplementary provisions"},
                 {"07C-00030000-00", "law unknown to the law table"}};
    for (const Case& c : cases) {
        db->exec("DELETE FROM T_参");
        sink.clear();
        block.clear();
        addRow({.target = c.target, .keyword = "'道路'"});
        sentence = cp("道路");
        EXPECT_FALSE(run()) << c.what;
        EXPECT_TRUE(block.empty()) << c.what;
        EXPECT_EQ(u8(sentence), "道路") << c.what;
        ASSERT_EQ(sink.shown().size(), 1u) << c.what;
        EXPECT_EQ(sink.shown()[0].captionUtf8(), kPurpose);
        // No mail address is set: the report has no address line.
        EXPECT_EQ(sink.shown()[0].textUtf8(), "文ID(" + kSource +
                                                  ")の参照リンク先の抽出に失敗しました。\n関数 = "
                                                  "CTavrelDoc::_html_ref()\n\n"
                                                  "お手数ですが、この条文の名前と表示の状況を作者までメールでお知らせ下さい。")
            << c.what;
    }
}

TEST_F(ReferenceBlockTest, FailureReportEndsWithTheMailAddressWhenOneIsSet) {
    settings.writeText(kSupportSection, keys::SupportMail, "author@support.test");
    addRow({.target = "01A-00990000-00", .keyword = "'道路'"});
    sentence = cp("道路");
    EXPECT_FALSE(run());
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].textUtf8(), "文ID(" + kSource +
                                              ")の参照リンク先の抽出に失敗しました。\n関数 = "
                                              "CTavrelDoc::_html_ref()\n\n"
                                              "お手数ですが、この条文の名前と表示の状況を作者までメールでお知らせ下さい。\n"
                                              "メールアドレス: author@support.test");
}

TEST_F(ReferenceBlockTest, DatabaseErrorIsReportedAndChangesNothing) {
    addRow({.target = "01A-00120200-00", .keyword = "'道路'"});
    doc();
    db->exec("DROP TABLE T_参");
    sentence = cp("道路");
    block = "keep";
    EXPECT_FALSE(run());
    EXPECT_EQ(block, "keep");
    EXPECT_EQ(sentence, sentenceIn);
    ASSERT_EQ(sink.shown().size(), 1u);
    const std::string t = sink.shown()[0].textUtf8();
    EXPECT_EQ(t.rfind("#importによって生成されたクラスに対し例外が生成されました。\n\nコード = ", 0), 0u) << t;
    EXPECT_TRUE(t.ends_with("\n関数 = CTavrelDoc::_html_ref()")) << t;
    EXPECT_EQ(sink.shown()[0].captionUtf8(), kPurpose);
}

TEST_F(ReferenceBlockTest, MalformedSentenceIdentifierNeverReachesTheDatabase) {
    addRow({.target = "01A-00120200-00"});
    EXPECT_FALSE(buildReferenceBlock(doc(), kSource.substr(0, 34) + "'", 9, block, sentence, table));
    EXPECT_TRUE(block.empty());
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_NE(sink.shown()[0].textUtf8().find("データベースに参照リンクデータを見つけることが"), std::string::npos);
}

// ---- Robustness on random texts ----

std::string randomText(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        "[第",    "]",      "[L",     "L]", "[K",  "K]",           "/",      "x:str=\"", "\"",     cp("第"),
        cp("条"), cp("の"), "1",      "12", "05B", "01A-00030000", cp("（"), cp("）"),   cp("「"), cp("」という。"),
        cp("ー"), cp("‐"),  cp("ガ"), "[",  "K"};
    std::uniform_int_distribution<int> count(0, 40);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() * 2);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s;
    const int n = count(rng);
    for (int i = 0; i < n; ++i) {
        const size_t k = pick(rng);
        s += k < pieces.size() ? pieces[k] : std::string(1, static_cast<char>(byte(rng)));
    }
    return s;
}

TEST(LinkRobustness, RandomTextsEndAndStayInBounds) {
    std::mt19937 rng(4711u);
    const OptionBlock colours = keywordColour();
    for (int i = 0; i < 20000; ++i) {
        const std::string input = randomText(rng);
        const size_t bound = 80 * (input.size() + 1);

        EXPECT_LE(inlineReferences(kSource, input, false).size(), bound);
        EXPECT_LE(inlineReferences("", input, true).size(), bound);
        EXPECT_LE(explicitLinks(kSource, input).size(), bound);
        EXPECT_LE(explicitLinks("x", input).size(), bound);

        const std::string stripped = removeXStrAttributes(input);
        EXPECT_LE(stripped.size(), input.size());
        const size_t attr = text::findText(stripped, "x:str=\"");
        if (attr != std::string::npos) {
            EXPECT_EQ(text::findText(stripped, "\"", attr + 7), std::string::npos);
        }

        std::string marked = input;
        colourReferenceKeyword(marked, "K", false, 0, colours);
        EXPECT_LE(marked.size(), bound);
        std::string nth = input;
        colourReferenceKeyword(nth, "[", true, 3, colours);
        EXPECT_LE(nth.size(), input.size() + 40);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "input (UTF-8): " << u8(input);
            break;
        }
    }
}

}  // namespace
}  // namespace tavrel::render
