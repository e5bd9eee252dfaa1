// Law files the reader refuses with a message naming the file and the line
// (no crash, no hang), and the elements it keeps in a simpler form with a
// warning naming the element path. The small laws here are test data, not law.
#include "collection/steps.h"
#include "egov/law_xml.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tavrel::egov;

namespace {

std::string refusal(const std::string& bytes) {
    try {
        parseLawFile(bytes, "bad.xml");
    } catch (const ImportError& e) {
        return e.what();
    }
    return "(accepted)";
}

struct BadCase {
    const char* name;
    std::string bytes;
    const char* message;  // the start of what() after "bad.xml"
};

std::string deep(int levels) {
    std::string s = "<Law>";
    for (int i = 0; i < levels; ++i) s += "<a>";
    for (int i = 0; i < levels; ++i) s += "</a>";
    return s + "</Law>";
}

TEST(EgovBadInput, RefusedWithFileAndLine) {
    const BadCase cases[] = {
        {"not XML", "this is not XML", "bad.xml:1: not well-formed XML"},
        {"another root", "<?xml version=\"1.0\"?>\n<html><body/></html>", "bad.xml:2: the root element <html>"},
        {"truncated", "<Law>\n<LawBody>\n<LawTitle>試験", "bad.xml:3: not well-formed XML"},
        {"DOCTYPE with an entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE Law [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n<Law>&x;</Law>",
         "bad.xml:2: a DOCTYPE is not read"},
        {"Shift_JIS", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><Law/>", "bad.xml:1: the encoding \"shift_jis\""},
        {"UTF-16 without a byte-order mark", std::string("<\0L\0a\0w\0/\0>\0", 12), "bad.xml:1: UTF-16 without"},
        {"invalid UTF-8", "<Law>\n<LawBody>\xff</LawBody></Law>", "bad.xml:2: the text is not valid UTF-8"},
        {"nested 10,000 deep", deep(10000), "bad.xml:1: elements nest deeper than 200"},
        {"answer without a law", "<DataRoot><ApplData><LawId>x</LawId></ApplData></DataRoot>",
         "bad.xml:1: a DataRoot without"},
        {"law without a title", "<Law><LawBody><MainProvision/></LawBody></Law>", "bad.xml:1: the law has no LawTitle"},
    };
    for (const BadCase& c : cases) EXPECT_EQ(refusal(c.bytes).rfind(c.message, 0), 0u) << c.name << ": " << refusal(c.bytes);
}

TEST(EgovBadInput, FileLargerThan64MegabytesIsRefusedUnread) {
    tavrel::testing::TempDir dir;
    const std::string file = dir.file("huge.xml");
    tavrel::testing::writeFile(file, "<Law>");
    std::filesystem::resize_file(file, kMaxFileBytes + 1);  // sparse: nothing is written
    try {
        readLawFile(file);
        FAIL() << "accepted";
    } catch (const ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("huge.xml: the file has 67108865 bytes"), std::string::npos) << e.what();
    }
}

// A made-up law (test data): an unknown element, an undeclared entity, a
// grouped item, a fourth-level sub-item, a figure and a character outside CP932.
const char* const kTestLaw =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Law Era=\"Reiwa\" Year=\"2\" Num=\"1\" LawType=\"Act\" PromulgateMonth=\"6\" PromulgateDay=\"10\">\n"
    "  <LawNum>令和二年試験法第一号</LawNum>\n"
    "  <LawBody>\n"
    "    <LawTitle>試験用の法律（テストデータ）</LawTitle>\n"
    "    <MainProvision>\n"
    "      <Article Num=\"1\"><ArticleCaption>（試験）</ArticleCaption><ArticleTitle>第一条</ArticleTitle>\n"
    "        <Paragraph Num=\"1\"><ParagraphNum/>\n"
    "          <ParagraphSentence><Sentence>本文&unknown;と<Mystery>謎の文</Mystery>。𠮷</Sentence></ParagraphSentence>\n"
    "          <Item Num=\"1:2\"><ItemTitle>一及び二</ItemTitle><ItemSentence><Sentence>削除</Sentence></ItemSentence></Item>\n"
    "          <Item Num=\"3\"><ItemTitle>三</ItemTitle><ItemSentence><Sentence>号</Sentence></ItemSentence>\n"
    "            <Subitem1 Num=\"1\"><Subitem1Title>イ</Subitem1Title><Subitem1Sentence><Sentence>い</Sentence></Subitem1Sentence>\n"
    "              <Subitem2 Num=\"1\"><Subitem2Title>（１）</Subitem2Title><Subitem2Sentence><Sentence>ろ</Sentence></Subitem2Sentence>\n"
    "                <Subitem3 Num=\"1\"><Subitem3Title>（ｉ）</Subitem3Title><Subitem3Sentence><Sentence>は</Sentence></Subitem3Sentence>\n"
    "                  <Subitem4 Num=\"1\"><Subitem4Title>（Ａ）</Subitem4Title><Subitem4Sentence><Sentence>に</Sentence></Subitem4Sentence></Subitem4>\n"
    "                </Subitem3></Subitem2></Subitem1>\n"
    "            <FigStruct><Fig src=\"./pict/fig1.jpg\"/></FigStruct></Item>\n"
    "        </Paragraph></Article>\n"
    "    </MainProvision>\n"
    "  </LawBody>\n"
    "</Law>\n";

TEST(EgovBadInput, UnknownElementsAreWarnedAndTheirTextKept) {
    const LawFile f = parseLawFile(kTestLaw, "test.xml");
    EXPECT_EQ(f.promulgated, "2020-06-10");
    const LawContent c = convertLaw(f, "90A");
    ASSERT_EQ(c.pages.size(), 1u);
    const auto& rows = c.pages[0].sentences;
    ASSERT_EQ(rows.size(), 6u);  // paragraph, 一及び二, 三, イ, (1), and (i) holding its sub-item
    EXPECT_EQ(rows[0].text, "本文&amp;unknown;と謎の文。𠮷");
    ASSERT_EQ(c.warnings.size(), 3u);
    EXPECT_EQ(c.warnings[0].path, "/Law[1]/LawBody/MainProvision/Article[1]/Paragraph[1]/ParagraphSentence/Sentence/Mystery");
    EXPECT_EQ(c.warnings[0].line, 9);
    // 一及び二: no computed label, the printed one in the text, not checked.
    EXPECT_EQ(rows[1].idBN.substr(15), "-0100-0100-0000-0000");
    EXPECT_EQ(rows[1].formatCode, "0000C00000000000");
    EXPECT_EQ(rows[1].text, "一及び二　削除");
    EXPECT_FALSE(rows[1].printedLabel);
    EXPECT_EQ(rows[2].idBN.substr(15), "-0100-0300-0000-0000");
    EXPECT_EQ(rows[2].text, "号　［図　./pict/fig1.jpg（画像は収録されていません）］");
    EXPECT_EQ(rows[4].printedLabel, "(1)");
    EXPECT_EQ(rows[5].idBN.substr(15), "-0100-0300-0111-0000");
    EXPECT_EQ(rows[5].printedLabel, "（ⅰ）");
    EXPECT_EQ(rows[5].text, "は　（Ａ）　に");
    EXPECT_EQ(c.uncheckedLabels, 2u);
    // 𠮷 has no CP932 form: a character reference on the page, 吉 for the search.
    EXPECT_EQ(tavrel::collection::withCharacterReferences(rows[0].text), "本文&amp;unknown;と謎の文。&#x20BB7;");
    EXPECT_EQ(tavrel::collection::withVariants("𠮷野"), "吉野");
    EXPECT_EQ(tavrel::collection::withGeta("𠮷野"), "〓野");
}

TEST(EgovBadInput, Utf16WithByteOrderMarkReadsAsUtf8) {
    std::string utf16 = "\xFF\xFE";
    for (char32_t c : std::u32string(U"<Law><LawBody><LawTitle>試験法（テストデータ）</LawTitle></LawBody></Law>")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    EXPECT_EQ(parseLawFile(utf16, "utf16.xml").title, "試験法（テストデータ）");
}

}  // namespace
