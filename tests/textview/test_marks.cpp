// Reversal marks: the word rule, the painting and clearing scripts with the
// values they carry, and how their results become the saved colours.
#include "document/options.h"
#include "text/sjis.h"
#include "textview/js_check.h"
#include "textview/js_literal.h"
#include "textview/marks.h"

#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavrel::textview {
namespace {

using testing::readJsLiteral;

std::string sj(const char* utf8) { return text::fromUtf8(utf8); }

// The literal that follows "var <name>=" in a script, as the engine reads it.
std::vector<std::string> arrayValue(const std::string& script, const std::string& name) {
    std::vector<std::string> out;
    const std::string head = "var " + name + "=[";
    const size_t start = script.find(head);
    if (start == std::string::npos) return out;
    size_t pos = start + head.size();
    while (pos < script.size() && script[pos] == '"') {
        const size_t end = script.find('"', pos + 1);
        std::string value;
        EXPECT_TRUE(readJsLiteral(std::string_view(script).substr(pos, end - pos + 1), value));
        out.push_back(value);
        pos = end + 1;
        if (script[pos] == ',') ++pos;
    }
    EXPECT_EQ(script[pos], ']');
    return out;
}

TEST(MarkWordsSplit, WordRule) {
    // Ideographic spaces around and between words are blanks.
    auto s = splitMarkWords(sj("　建築　"));
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.words, std::vector<std::string>{sj("建築")});
    s = splitMarkWords(sj("  建築　基準  法 "));
    EXPECT_EQ(s.words, (std::vector<std::string>{sj("建築"), sj("基準"), sj("法")}));

    EXPECT_EQ(splitMarkWords("a b c d").status, kMarkTooManyWords);
    EXPECT_TRUE(splitMarkWords("a b c d").words.empty());
    EXPECT_EQ(splitMarkWords("").status, kMarkUnusable);
    EXPECT_EQ(splitMarkWords(sj("　 　")).status, kMarkUnusable);
    EXPECT_EQ(splitMarkWords(std::string(2048, 'x')).status, 0);
    EXPECT_EQ(splitMarkWords(std::string(2049, 'x')).status, kMarkUnusable);
}

TEST(MarkColors, SixDigitsRedFirst) {
    const OptionBlock o = defaultOptionBlock();
    EXPECT_EQ(markColor(o, FontColorTarget1), "#87CEEB");
    EXPECT_EQ(markColor(o, FontColorTarget2), "#FFC0FB");
    EXPECT_EQ(markColor(o, FontColorTarget3), "#FFD700");
    // A blue component below 0x10 keeps its leading zero.
    EXPECT_EQ(savedColorOf(0x0A2233, "#FFFFFF"), "#33220A");
    EXPECT_EQ(savedColorOf(0x000000, "#FFFFFF"), "#000000");
    EXPECT_EQ(savedColorOf(-1, "#123456"), "#123456");
    EXPECT_EQ(savedColorOf(0x1000000, "#123456"), "#123456");
}

TEST(MarkRequest, CarriesWordsColoursAndFirstIndex) {
    OptionBlock o = defaultOptionBlock();
    o[FontColorTarget2] = 0x010203;
    const auto r = markWordsRequest(sj("　第一　第二 "), false, o, 4);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(arrayValue(r.script, "words"), (std::vector<std::string>{"第一", "第二"}));
    EXPECT_EQ(arrayValue(r.script, "colors"), (std::vector<std::string>{"#87CEEB", "#030201"}));
    EXPECT_NE(r.script.find("var base=4;"), std::string::npos);

    const auto c = markWordsRequest(sj("第一 第二"), true, o, 7);
    ASSERT_EQ(c.status, 0);
    EXPECT_NE(c.script.find("var n=7;"), std::string::npos);
    EXPECT_EQ(c.script.find("words"), std::string::npos);

    EXPECT_EQ(markWordsRequest("a b c d", false, o, 0).status, kMarkTooManyWords);
    EXPECT_TRUE(markWordsRequest("a b c d", false, o, 0).script.empty());
    EXPECT_EQ(markWordsRequest(" ", true, o, 3).status, kMarkUnusable);
}

TEST(MarkRequest, UserWordsCannotBreakOutOfTheirLiterals) {
    const OptionBlock o = defaultOptionBlock();
    const std::vector<std::string> words = {"a\"b'c\\", "</script><b>", "x\ny\r\u2028z"};
    const std::string text = sj("a\"b'c\\ </script><b> x\ny\r\u2028z");
    // The line end inside a word is no blank: three words.
    const auto r = markWordsRequest(text, false, o, 0);
    ASSERT_EQ(r.status, 0);
    // What the engine reads back is exactly what the user typed (the line
    // separator has no CP932 form and reaches the core as "?").
    EXPECT_EQ(arrayValue(r.script, "words"), (std::vector<std::string>{"a\"b'c\\", "</script><b>", "x\ny\r?z"}));
    // Nothing in the script could close a script element or start a new line
    // of script inside a literal.
    EXPECT_EQ(r.script.find("</"), std::string::npos);
    for (const char c : r.script) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
}

TEST(JsLiteral, EscapesEverythingButPlainMarks) {
    std::string v;
    EXPECT_EQ(jsString("abc-_ .,:;#()09"), "\"abc-_ .,:;#()09\"");
    EXPECT_EQ(jsString("\"\\'/<>`\n\t"), "\"\\u0022\\u005C\\u0027\\u002F\\u003C\\u003E\\u0060\\u000A\\u0009\"");
    EXPECT_EQ(jsString(sj("条")), "\"\\u6761\"");
    EXPECT_TRUE(readJsLiteral(jsString(sj("第１２条の２　「」")), v));
    EXPECT_EQ(v, "第１２条の２　「」");
    // A broken CP932 byte and invalid UTF-8 become the replacement character.
    EXPECT_EQ(jsString(std::string("\x81", 1)), "\"\\uFFFD\"");
    EXPECT_EQ(jsStringFromUtf8("\xC0\xAF"), "\"\\uFFFD\\uFFFD\"");
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(jsStringFromUtf8("\xF0\x9F\x98\x80"), "\"\\uD83D\\uDE00\"");
    EXPECT_TRUE(readJsLiteral(jsStringFromUtf8("\xF0\x9F\x98\x80"), v));
    EXPECT_EQ(v, "\xF0\x9F\x98\x80");
    EXPECT_EQ(jsStringArray({}), "[]");
    EXPECT_EQ(jsStringArray({"a", "b"}), "[\"a\",\"b\"]");
}

class MarkState : public ::testing::Test {
protected:
    OptionBlock options = [] {
        OptionBlock o = defaultOptionBlock();
        o[BackColor] = 0x00EEDD;  // "#DDEE00"
        return o;
    }();
    std::string marks;
    std::deque<std::string> saved;
};

TEST_F(MarkState, PaintingSavesOneColourPerHitInOrder) {
    // Two words, the first found twice and the second once: three hits (the
    // third a colour whose blue part is below 0x10: 660000 = 0x0A1220).
    const std::string words = sj("建築 基準");
    const int n = markWordsFinish(words, false, "3;16777215;-1;660000", options, marks, saved);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(saved, (std::deque<std::string>{"#FFFFFF", "#DDEE00", "#20120A"}));
    EXPECT_EQ(marks, words);

    // Marking again continues the saved colours.
    EXPECT_EQ(markWordsFinish(sj("法"), false, "1;abc", options, marks, saved), 1);
    EXPECT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved.back(), "#DDEE00");
    EXPECT_EQ(marks, sj("法"));
}

TEST_F(MarkState, NoHitOrGarbledResultChangesNothing) {
    marks = "old";
    saved = {"#000000"};
    EXPECT_EQ(markWordsFinish("new", false, "0", options, marks, saved), 0);
    EXPECT_EQ(markWordsFinish("new", false, "", options, marks, saved), 0);
    EXPECT_EQ(markWordsFinish("new", false, "x;1", options, marks, saved), 0);
    EXPECT_EQ(markWordsFinish("new", false, "-3", options, marks, saved), 0);
    EXPECT_EQ(marks, "old");
    EXPECT_EQ(saved, std::deque<std::string>{"#000000"});
    // A count beyond the colours reported is cut to them.
    EXPECT_EQ(markWordsFinish("new", false, "1000000000;5;6", options, marks, saved), 2);
    EXPECT_EQ(saved.size(), 3u);
}

TEST_F(MarkState, ClearingEmptiesBothAndCountsAtMostTheSavedHits) {
    marks = "a b";
    saved = {"#FFFFFF", "#FFFFFF", "#FFFFFF"};
    EXPECT_EQ(markWordsFinish(marks, true, "3", options, marks, saved), 3);
    EXPECT_TRUE(marks.empty());
    EXPECT_TRUE(saved.empty());

    marks = "a";
    saved = {"#FFFFFF"};
    EXPECT_EQ(markWordsFinish(marks, true, "9", options, marks, saved), 1);
    marks = "a";
    saved = {"#FFFFFF"};
    EXPECT_EQ(markWordsFinish(marks, true, "garbled", options, marks, saved), 0);
    EXPECT_TRUE(marks.empty());
    EXPECT_TRUE(saved.empty());
}

TEST_F(MarkState, MarkWordsRunsOneScriptPerCall) {
    std::vector<std::string> scripts;
    std::string answer = "2;0;0";
    const ScriptRunner run = [&](const std::string& s) {
        scripts.push_back(s);
        return answer;
    };
    EXPECT_EQ(markWords("x y", false, options, marks, saved, run), 2);
    EXPECT_EQ(marks, "x y");
    EXPECT_EQ(saved, (std::deque<std::string>{"#000000", "#000000"}));
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_NE(scripts[0].find("var base=0;"), std::string::npos);

    // Clearing asks the page for exactly the saved hits.
    answer = "2";
    EXPECT_EQ(markWords(marks, true, options, marks, saved, run), 2);
    ASSERT_EQ(scripts.size(), 2u);
    EXPECT_NE(scripts[1].find("var n=2;"), std::string::npos);
    EXPECT_TRUE(marks.empty());
    EXPECT_TRUE(saved.empty());

    // Failures come before any script: four words, and clearing with no marks.
    EXPECT_EQ(markWords("a b c d", false, options, marks, saved, run), kMarkTooManyWords);
    EXPECT_EQ(markWords(marks, true, options, marks, saved, run), kMarkUnusable);
    EXPECT_EQ(scripts.size(), 2u);
}

}  // namespace
}  // namespace tavrel::textview
