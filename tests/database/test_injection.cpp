// Texts from pages, files and the user that carry SQL syntax: quotes, the
// wildcards % and _, brackets, comment marks and statement ends. Every
// statement builder refuses them or keeps them inside one literal, and the
// program's readers of such texts run no statement that means something
// else, crash on none, and leave the database and the collection as they were.

#include "database/identifiers.h"
#include "database/sql_texts.h"
#include "navigator/bookmark_store.h"
#include "render/page_builder.h"
#include "render/render_fixture.h"
#include "text/sjis.h"
#include "textview/link_target.h"
#include "textview/pinpoint.h"
#include "textview/pinpoint_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrel {
namespace {

using tavrel::testing::RenderFixture;

// Hostile identifiers of every length the program formats into SQL: each has
// exactly the length its kind needs, so only the character check stands
// between it and the statement.
std::vector<std::string> hostileOfLength(size_t length) {
    // ("-" belongs to identifiers, and "--" inside a literal is no comment.)
    const std::vector<std::string> pieces = {"'", "''", "%", "_", "[", "]", ";", "\"", " ", "a", "*", "\\", "/*"};
    std::vector<std::string> out;
    const std::string base = std::string("01A-00020000-00-0100-0000-0000-0000").substr(0, length);
    for (const std::string& p : pieces) {
        for (size_t at : {size_t{0}, length / 2, length - std::min(length, p.size())}) {
            std::string s = base;
            s.replace(at, std::min(p.size(), length - at), p.substr(0, std::min(p.size(), length - at)));
            if (s.size() == length && s != base) out.push_back(s);
        }
    }
    out.push_back(base.substr(0, length - 1) + std::string(1, '\0'));
    out.push_back(std::string("1' OR '1'='1' --          ").substr(0, length));
    return out;
}

TEST(StatementBuilders, EveryIdentifierBuilderRefusesQuotesWildcardsBracketsAndCommentMarks) {
    namespace q = db::sql;
    struct Builder {
        const char* name;
        size_t length;
        std::function<std::optional<std::string>(std::string_view)> build;
    };
    const std::vector<Builder> builders = {
        {"pagesOfLaw", 3, q::pagesOfLaw},         {"chapters", 3, q::chapters},
        {"sections", 3, q::sections},             {"subsections", 3, q::subsections},
        {"divisions", 3, q::divisions},           {"pageTitle", 15, q::pageTitle},
        {"sentencesByPrefix 12", 12, q::sentencesByPrefix},
        {"sentencesByPrefix 15", 15, q::sentencesByPrefix},
        {"sentencesByPrefix 35", 35, q::sentencesByPrefix},
        {"tablePieces", 35, q::tablePieces},      {"otherPieces", 15, q::otherPieces},
        {"references", 35, q::references},        {"history", 15, q::history},
    };
    for (const Builder& b : builders) {
        const std::string sound = std::string("01A-00020000-00-0100-0000-0000-0000").substr(0, b.length);
        ASSERT_TRUE(b.build(sound)) << b.name << " refuses a sound identifier";
        for (const std::string& bad : hostileOfLength(b.length)) {
            EXPECT_FALSE(b.build(bad)) << b.name << " took " << bad;
        }
    }
}

TEST(StatementBuilders, ASearchWordStaysInsideItsOneLikeLiteral) {
    namespace q = db::sql;
    for (const std::string word : {"%", "_", "100%", "a_b", "[a]", "--", "a;DROP TABLE T_文", "\"x\"", "\\"}) {
        for (const auto& build : {q::searchTitles, q::searchSentences, q::searchTables}) {
            const auto sql = build(word);
            ASSERT_TRUE(sql) << word;
            // The word sits between "Like '%" and "%'", and the statement has
            // exactly the two quotes of that literal.
            EXPECT_NE(sql->find("Like '%" + word + "%'"), std::string::npos) << *sql;
            EXPECT_EQ(std::count(sql->begin(), sql->end(), '\''), 2) << *sql;
        }
    }
    for (const std::string word : {"'", "a'--", "' OR ''='", "x''y"}) {
        EXPECT_FALSE(q::searchTitles(word)) << word;
        EXPECT_FALSE(q::searchSentences(word)) << word;
        EXPECT_FALSE(q::searchTables(word)) << word;
    }
}

TEST(StatementBuilders, AFormatWithAnyOtherConversionIsRefused) {
    const std::string id = "01A-00020000-00";
    EXPECT_EQ(db::formatSqlWithId("a '%s' 100%%", id, 15), "a '" + id + "' 100%");
    for (const char* fmt : {"%s %s", "%d", "%n", "%", "'%s' %", "%x%s", "no conversion"}) {
        EXPECT_FALSE(db::formatSqlWithId(fmt, id, 15)) << fmt;
    }
    EXPECT_FALSE(db::formatSqlWithId(nullptr, id, 15));
}

// A small collection: one law with one article of two sentences.
class InjectionTest : public RenderFixture {
  protected:
    InjectionTest() {
        addLaw("01A", "建基法", "建築基準法");
        exec("INSERT INTO T_章 (ID_SN, 章名, 節名, 款名, 目名, 告示) VALUES "
             "('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0)");
        addPage("01A-00020000-00", "01A-0100-0000-0000-0000", "用語の定義");
        addSentence("01A-00020000-00-0100-0000-0000-0000", "この法律において次の用語の意義は、次に定める。");
        addSentence("01A-00020000-00-0100-0100-0000-0000", "建築物");
    }
    std::string rowCounts() {
        return db_.scalar("SELECT (SELECT count(*) FROM T_法) || '/' || (SELECT count(*) FROM T_条) || '/' || "
                          "(SELECT count(*) FROM T_文)");
    }
};

TEST_F(InjectionTest, PageIdentifiersFromLinksBuildNothingAndTheCollectionStays) {
    Document& d = doc();
    const std::string counts = rowCounts();
    render::PageBuilder builder(d);
    // Link addresses a page could hold; the browser may hand them back
    // lower-cased with a "/" appended.
    const std::vector<std::string> urls = {
        "http://01A-0002'--0_TAVREL",  "http://01A-0002%_00-00_TAVREL", "http://01A-0002[0]0-00_TAVREL",
        "http://01A' OR '1'=_TAVREL",  "http://01a-00020000-0'_tavrel/", "http://01A-000200;--00_TAVREL",
        "http://%%%%%%%%%%%%%%%_TAVREL",
    };
    for (const std::string& url : urls) {
        const std::string target = textview::linkTarget(url);
        if (target.empty()) continue;
        EXPECT_FALSE(db::isIdFN(target)) << target;
        std::string html = "old";
        sink_.clear();
        EXPECT_FALSE(builder.buildPage(target, html)) << target;
        EXPECT_TRUE(html.empty()) << target;
        EXPECT_EQ(sink_.shown().size(), 1u) << target << ": one message, no crash";
    }
    EXPECT_EQ(rowCounts(), counts);
    // The connection is as good as before.
    sink_.clear();
    std::string html;
    EXPECT_TRUE(builder.buildPage("01A-00020000-00", html)) << firstMessage();
    EXPECT_NE(text::toUtf8(html).find("建築物"), std::string::npos);
}

TEST_F(InjectionTest, PinpointValuesAndTargetsWithSqlSyntaxAreSkippedWithoutAQuery) {
    Document& d = doc();
    d.toggles().pinPoint = true;
    const std::string anchor = "01A-00010000-00-0100-0000-0000-0000-to-01A-00020000-p01";
    ASSERT_EQ(anchor.size(), 55u);
    const std::vector<std::string> values = {
        "01A-00020000-00-0100-0000-0000-000'", "01A-00020000-00-0100' OR '1'='1' --",
        "01A-00020000-00-0100-0000-0000-%_%_", "01A-00020000-00-0100-0000-[0000]-00",
    };
    for (const std::string& value : values) {
        ASSERT_EQ(value.size(), 35u) << value;
        d.addMarker(false, anchor, value);
        const textview::PinPointTarget t = textview::resolvePinPoint(d, anchor, "01A-00020000-00");
        EXPECT_EQ(t.target, "01A-00020000-00") << value;
        EXPECT_EQ(t.sentence, "") << value << ": no sentence identifier, no jump";
        // The selective jump list reads the article's sentences, and the
        // hostile marker simply marks none of them.
        const textview::PinPointList list = textview::buildPinPointList(d, anchor, "01A-00020000-00");
        EXPECT_NE(list.result, 0) << value;
        for (const auto& item : list.items) EXPECT_NE(item.data, value);
    }
    for (const std::string target : {"01A-0002'--0-00", "01A-0002%_00-00", "01A' OR 1=1 -00", "01A-0002[00]-00"}) {
        const textview::PinPointList list = textview::buildPinPointList(d, anchor, target);
        EXPECT_NE(list.result, 0) << target;
        EXPECT_TRUE(list.items.empty()) << target;
        const textview::PinPointTarget t = textview::resolvePinPoint(d, anchor, target);
        EXPECT_EQ(t.sentence, "") << target;
    }
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

TEST_F(InjectionTest, BookmarkIdentifiersWithSqlSyntaxAreDroppedOnReadAndNeverShown) {
    Document& d = doc();
    testing::writeFile(d.userFolder() + "tavrel08.bmk",
              "VERSION 8.08\r\n01A-00020000-00, book_mark_root\r\n01A-0002'--0-00, book_mark_root\r\n"
              "01A-0002%_00-00, x\r\n' OR '1'='1, x\r\n01A-[0002]00-00,\r\n01A-00020000-00;--, x\r\n\r\n");
    nav::BookmarkStore list(d);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.bookmarks(), std::vector<std::string>{"01A-00020000-00"});
    // A hostile identifier handed in directly has no row and is not shown.
    EXPECT_EQ(list.addPage("01A-0002'--0-00"), -1);
    list.fill();
    EXPECT_EQ(list.size(), 1);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

}  // namespace
}  // namespace tavrel
