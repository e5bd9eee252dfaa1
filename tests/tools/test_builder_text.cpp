// The builder's text conversion and structure reading: references as a
// horizontal law book prints them, search text, element addresses and the
// identifiers composed from them, and loud failures on malformed sources.
#include "collection/build_error.h"
#include "collection/checks.h"
#include "collection/steps.h"
#include "collection/structure.h"
#include "collection/text_convert.h"
#include "corpus_article.h"
#include "images.h"
#include "support/temp_dir.h"
#include "table_file.h"

#include <gtest/gtest.h>

using namespace tavrel::collection;

namespace {

ConvertContext orderContext() {
    ConvertContext ctx;
    ctx.ownLaw = "01B";
    ctx.aliases = {{"建築基準法", "01A"}, {"法", "01A"}};
    ctx.pageExists = [](const std::string& p) { return p == "01A-T0010000"; };
    return ctx;
}

}  // namespace

TEST(BuilderKanjiNumbers, ReadsUnitAndPositionalForms) {
    EXPECT_EQ(kanjiNumber(U"一"), 1);
    EXPECT_EQ(kanjiNumber(U"十"), 10);
    EXPECT_EQ(kanjiNumber(U"十五"), 15);
    EXPECT_EQ(kanjiNumber(U"二十"), 20);
    EXPECT_EQ(kanjiNumber(U"百三十五"), 135);
    EXPECT_EQ(kanjiNumber(U"二百一"), 201);
    EXPECT_EQ(kanjiNumber(U"千"), 1000);
    EXPECT_EQ(kanjiNumber(U"一〇"), 10);
    EXPECT_FALSE(kanjiNumber(U""));
    EXPECT_FALSE(kanjiNumber(U"二三十"));
    EXPECT_FALSE(kanjiNumber(U"十百"));
    EXPECT_FALSE(kanjiNumber(U"条"));
}

TEST(BuilderReferences, ArticlesOfTheOwnLawBecomeInlineMarkup) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertReferences("第六条の二の規定", ctx), "[第6条の2]の規定");
    EXPECT_EQ(convertReferences("第七十七条の三十五の五", ctx), "[第77条の35の5]");
    EXPECT_EQ(convertReferences("第二条第一項第三号", ctx), "[第2条]第1項第三号");
    EXPECT_EQ(convertReferences("第六十八条の九の規定", ctx), "[第68条の9]の規定");
    EXPECT_EQ(convertReferences("前条第二項", ctx), "前条第2項");
}

TEST(BuilderReferences, AliasesLinkToTheirLaw) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertReferences("法第二十条", ctx), "法[第20条/01A]");
    EXPECT_EQ(convertReferences("、法第五十七条の四第一項", ctx), "、法[第57条の4/01A]第1項");
    EXPECT_EQ(convertReferences("建築基準法（以下「法」という。）第四十二条", ctx),
              "建築基準法（以下「法」という。）[第42条/01A]");
    // 法 inside another law's name is not the alias.
    EXPECT_EQ(convertReferences("消防法第九条", ctx), "消防法第9条");
}

TEST(BuilderReferences, OtherLawsGetNumbersButNoLink) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertReferences("都市計画法第十二条の四", ctx), "都市計画法第12条の4");
    EXPECT_EQ(convertReferences("同法第二十条", ctx), "同法第20条");
    EXPECT_EQ(convertReferences("都市計画法（昭和四十三年法律第百号）第四条第一項", ctx),
              "都市計画法（昭和四十三年法律第百号）第4条第1項");
    // A reference joined to a foreign one by a conjunction names the same law;
    // one that follows after other words is this law's own again.
    EXPECT_EQ(convertReferences("建築士法第二十条の二第三項又は第二十条の三", ctx),
              "建築士法第20条の2第3項又は第20条の3");
    EXPECT_EQ(convertReferences("法第五十六条第一項第一号の規定並びに第百三十条の十二", ctx),
              "法[第56条/01A]第1項第一号の規定並びに[第130条の12]");
    EXPECT_EQ(convertReferences("法第二十八条及び第三十条", ctx), "法[第28条/01A]及び[第30条/01A]");
}

TEST(BuilderReferences, OtherNumbersStayAsTheyAre) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertReferences("十分の二十、三メートル、第一号", ctx), "十分の二十、三メートル、第一号");
    EXPECT_EQ(convertReferences("昭和二十五年法律第二百一号", ctx), "昭和二十五年法律第二百一号");
    EXPECT_EQ(convertReferences("第三章", ctx), "第三章");
}

TEST(BuilderReferences, AppendedTablesLinkOnlyWhenPresent) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertReferences("法別表第一（い）欄", ctx), "法[L別表第一/01A-T0010000L]（い）欄");
    EXPECT_EQ(convertReferences("法別表第二", ctx), "法別表第二");
    ctx.ownLaw = "01A";
    ctx.aliases.clear();
    EXPECT_EQ(convertReferences("別表第一", ctx), "[L別表第一/01A-T0010000L]");
}

TEST(BuilderReferences, CaptionsGetNumbersWithoutMarkup) {
    ConvertContext ctx = orderContext();
    EXPECT_EQ(convertPlain("第二十二条第一項の市街地", ctx), "第22条第1項の市街地");
    EXPECT_EQ(convertPlain("法第二十条の規定", ctx), "法第20条の規定");
}

TEST(BuilderSearchText, DropsMarkupRubyAndFolds) {
    EXPECT_EQ(searchText("[第6条の2]及び法[第20条/01A]"), "第6条の2及び法第20条");
    EXPECT_EQ(searchText("[L別表第一/01A-T0010000L]"), "別表第一");
    EXPECT_EQ(searchText("[K通常の火災K]による"), "通常の火災による");
    EXPECT_EQ(searchText("<ruby>跨<rt>こ</rt></ruby>線橋"), "跨線橋");
    EXPECT_EQ(searchText("<td>１２ａｂｃ Abc\n &amp;</td>"), "12ABC ABC &");
}

// Whether a character has a CP932 form is asked of the conversion once and
// then remembered: the remembered answers are the conversion's, for the
// characters asked first and for those asked again.
TEST(BuilderCp932Forms, TextsFitOnlyWhenEveryCharacterReadsBack) {
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(hasCp932Forms("建築基準法　第１条（～）ab")) << pass;
        EXPECT_FALSE(hasCp932Forms("充塡する")) << pass;       // U+5861: no form
        EXPECT_FALSE(hasCp932Forms("波〜")) << pass;           // U+301C reads back as ～
        EXPECT_FALSE(hasCp932Forms("𠮷野")) << pass;           // beyond the basic plane
        EXPECT_FALSE(hasCp932Forms("建\xE7\xAF")) << pass;    // a cut sequence
    }
    try {
        toCp932("波〜", {"f.txt", 3});
        FAIL() << "〜 was accepted";
    } catch (const BuildError& e) {
        EXPECT_NE(std::string(e.what()).find("\"〜\" reads back from Shift-JIS (CP932) as \"～\""), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(toCp932("充塡", {"f.txt", 4}), BuildError);
    EXPECT_EQ(toCp932("第１条", {"f.txt", 5}), "\x91\xE6\x82\x50\x8F\xF0");
}

TEST(BuilderRuby, ShowsTheReadingAsRubyNeverRunTogether) {
    const std::vector<RubyEntry> ruby = {{"勾こう配", "勾", "こう"}};
    EXPECT_EQ(applyRuby("勾こう配を", ruby), "<ruby>勾<rt>こう</rt></ruby>配を");
    EXPECT_EQ(applyRuby("勾配", ruby), "勾配");
    // The base may stand inside the found text: 消火栓せん, base 栓.
    EXPECT_EQ(applyRuby("、消火栓せん、", {{"消火栓せん", "栓", "せん"}}), "、消火<ruby>栓<rt>せん</rt></ruby>、");
}

TEST(BuilderStructure, BodyLinesBecomeAddressedElements) {
    const auto e = parseBody({{3, "本文。"},
                              {4, "一　号の文"},
                              {5, "七の二　枝番号の号"},
                              {6, "  イ　細目"},
                              {7, "    （２）　括弧数字"},
                              {8, "      （ｉｉｉ）　ローマ数字"},
                              {9, "１０第十項"}},
                             "t.txt");
    ASSERT_EQ(e.size(), 7u);
    const std::string id = "01A-00020000-00";
    EXPECT_EQ(sentenceId(id, e[0].address), "01A-00020000-00-0100-0000-0000-0000");
    EXPECT_EQ(sentenceId(id, e[1].address), "01A-00020000-00-0100-0100-0000-0000");
    EXPECT_EQ(sentenceId(id, e[2].address), "01A-00020000-00-0100-0720-0000-0000");
    EXPECT_EQ(sentenceId(id, e[3].address), "01A-00020000-00-0100-0720-0100-0000");
    EXPECT_EQ(sentenceId(id, e[4].address), "01A-00020000-00-0100-0720-0120-0000");
    EXPECT_EQ(sentenceId(id, e[5].address), "01A-00020000-00-0100-0720-0123-0000");
    EXPECT_EQ(sentenceId(id, e[6].address), "01A-00020000-00-1000-0000-0000-0000");
    EXPECT_EQ(e[2].printedLabel, "七の二");
    EXPECT_EQ(e[4].printedLabel, "(2)");
    EXPECT_EQ(e[5].printedLabel, "（ⅲ）");
    EXPECT_EQ(e[6].printedLabel, "10");
    EXPECT_EQ(e[6].text, "第十項");
    EXPECT_EQ(e[5].address.level(), 5);
    EXPECT_EQ(e[0].address.level(), 0);
}

TEST(BuilderStructure, MalformedBodiesFailWithFileAndLine) {
    auto message = [](std::vector<std::pair<int, std::string>> lines) {
        try {
            parseBody(lines, "data/x.txt");
        } catch (const BuildError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message({{3, "本文"}, {4, "   三つの空白"}}).find("data/x.txt:4"), std::string::npos);
    EXPECT_NE(message({{3, "本文"}, {4, "２第二項"}, {5, "２重複"}}).find("data/x.txt:5"), std::string::npos);
    EXPECT_NE(message({{3, "本文"}, {4, "  ン　イロハにない字"}}).find("data/x.txt:4"), std::string::npos);
    EXPECT_NE(message({{3, "本文"}, {4, "続きの行"}}).find("data/x.txt:4"), std::string::npos);
    EXPECT_NE(message({{3, "本文"}, {4, "一号の空白なし"}}).find("data/x.txt:4"), std::string::npos);
}

TEST(BuilderStructure, AddressesAndDivisionNames) {
    const Origin o{"f", 1};
    EXPECT_EQ(sentenceId("01A-00520000-01", parseAddress("6", o)), "01A-00520000-01-0600-0000-0000-0000");
    EXPECT_EQ(sentenceId("X", parseAddress("1/9-2/1/2/1", o)), "X-0100-0920-0121-0000");
    EXPECT_THROW(parseAddress("1/", o), BuildError);
    EXPECT_THROW(parseAddress("0", o), BuildError);
    const DivisionName d = parseDivisionName("第三章の二 都市計画区域", U"章", o);
    EXPECT_EQ(d.number, 3);
    EXPECT_EQ(d.branch1, 2);
    EXPECT_EQ(d.name, "都市計画区域");
    EXPECT_EQ(divisionGroup(d), "0320");
    EXPECT_THROW(parseDivisionName("第三節 節", U"章", o), BuildError);
}

TEST(BuilderStructure, CorpusTitleMustMatchFileName) {
    tavrel::testing::TempDir dir;
    tavrel::testing::writeFile(dir.file("article_006_2.txt"), "（確認）\n第六条の二\n本文。\n");
    const CorpusArticle a = readCorpusArticle(dir.path() / "article_006_2.txt");
    EXPECT_EQ(a.caption, "確認");
    EXPECT_EQ(a.elements.front().printedLabel, "第6条の2");
    tavrel::testing::writeFile(dir.file("article_007.txt"), "（確認）\n第六条の二\n本文。\n");
    EXPECT_THROW(readCorpusArticle(dir.path() / "article_007.txt"), BuildError);
    tavrel::testing::writeFile(dir.file("article_008.txt"), "確認\n第八条\n本文。\n");
    EXPECT_THROW(readCorpusArticle(dir.path() / "article_008.txt"), BuildError);
}

namespace {

// A plain GIF decoder (LZW with growing code width, as browsers read it):
// the palette indices of the first image.
std::vector<uint8_t> decodeGif(const std::vector<uint8_t>& b) {
    size_t i = 13 + ((b[10] & 0x80) ? 3u * (2u << (b[10] & 7)) : 0u);
    while (b.at(i) == 0x21) {  // extensions
        i += 2;
        while (b.at(i)) i += b[i] + 1u;
        ++i;
    }
    i += 10;  // image descriptor
    const int minCode = b.at(i++);
    std::vector<uint8_t> data;
    while (b.at(i)) {
        data.insert(data.end(), b.begin() + static_cast<long>(i) + 1, b.begin() + static_cast<long>(i) + 1 + b[i]);
        i += b[i] + 1u;
    }
    const unsigned clear = 1u << minCode, end = clear + 1;
    std::vector<std::vector<uint8_t>> table;
    auto reset = [&] {
        table.clear();
        for (unsigned k = 0; k < clear + 2; ++k) table.push_back({static_cast<uint8_t>(k)});
    };
    reset();
    int width = minCode + 1;
    size_t bitPos = 0;
    std::vector<uint8_t> out, prev;
    for (;;) {
        unsigned code = 0;
        for (int k = 0; k < width; ++k, ++bitPos)
            if (data.at(bitPos / 8) & (1u << (bitPos % 8))) code |= 1u << k;
        if (code == clear) {
            reset();
            width = minCode + 1;
            prev.clear();
            continue;
        }
        if (code == end) break;
        std::vector<uint8_t> entry = code < table.size() ? table[code] : prev;
        if (code >= table.size()) entry.push_back(prev.at(0));
        out.insert(out.end(), entry.begin(), entry.end());
        if (!prev.empty()) {
            prev.push_back(entry[0]);
            table.push_back(prev);
            if (table.size() == (1u << width) && width < 12) ++width;
        }
        prev = entry;
    }
    return out;
}

}  // namespace

TEST(BuilderImages, GifDecodesToTheDrawnPixels) {
    // Large enough for many clear codes, with a palette of 3 (padded to 4) and of 5 (padded to 8).
    for (int colours : {3, 5}) {
        std::vector<Rgb> palette(static_cast<size_t>(colours));
        IndexedImage img(37, 23, palette, 0);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) img.set(x, y, static_cast<uint8_t>((x * 7 + y * 3) % colours));
        EXPECT_EQ(decodeGif(encodeGif(img)), img.pixels) << colours;
    }
}

TEST(BuilderImages, GifAndBmpHeadersDescribeTheImage) {
    IndexedImage img(10, 10, {{255, 255, 255}, {255, 0, 0}}, 1);
    const std::vector<uint8_t> gif = encodeGif(img);
    ASSERT_GT(gif.size(), 30u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(gif[6] | (gif[7] << 8), 10);
    EXPECT_EQ(gif[8] | (gif[9] << 8), 10);
    EXPECT_EQ(gif.back(), 0x3B);
    const std::vector<uint8_t> bmp = encodeBmp(img);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp.size(), 54u + 10 * 32);  // rows of 30 bytes padded to 32
    EXPECT_EQ(bmp[54 + 2], 255);           // first pixel red (stored B, G, R)
}

TEST(BuilderTables, XmlTablesBecomeExcelStylePieces) {
    tavrel::testing::TempDir dir;
    tavrel::testing::writeFile(dir.file("t.xml"),
                               "<TableStruct><Table><TableRow>"
                               "<TableColumn BorderTop=\"solid\" BorderBottom=\"none\" colspan=\"2\">"
                               "<Sentence Num=\"1\">第二条の表 &amp; 値</Sentence></TableColumn>"
                               "<TableColumn><Sentence/></TableColumn>"
                               "</TableRow></Table></TableStruct>");
    const TableHtml t = tableFromXmlFile(dir.path() / "t.xml", [](const std::string& s) { return "<" + s + ">"; });
    EXPECT_NE(t.html.find("</head>"), std::string::npos);
    EXPECT_NE(t.html.find("<body>"), std::string::npos);
    EXPECT_NE(t.html.find("font-size:9.0pt;"), std::string::npos);
    EXPECT_NE(t.html.find("colspan=2"), std::string::npos);
    EXPECT_NE(t.html.find("border-top:.5pt solid windowtext;border-bottom:none;"), std::string::npos);
    EXPECT_NE(t.html.find("x:str=\"第二条の表 &amp; 値\""), std::string::npos);
    EXPECT_NE(t.html.find("&lt;第二条の表 &amp; 値&gt;"), std::string::npos);
    EXPECT_EQ(t.plain, "<第二条の表 & 値>");  // the converted text, for the search data
    tavrel::testing::writeFile(dir.file("bad.xml"), "<TableStruct><Table><TableRow></Table></TableStruct>");
    EXPECT_THROW(tableFromXmlFile(dir.path() / "bad.xml", [](const std::string& s) { return s; }), BuildError);
}
