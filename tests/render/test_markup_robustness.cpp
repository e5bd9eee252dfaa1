// Sentence texts that hold markup the page builder does not expect: halves
// of every markup it knows, and source ids that spell markup themselves.
// Nothing of the text may be lost and nothing may hang.

#include "render/brackets.h"
#include "render/links.h"
#include "render/page_builder.h"
#include "render/render_fixture.h"
#include "render/sentence_block.h"
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrel::render {
namespace {

using tavrel::testing::RenderFixture;

const std::string kSource = "01A-00020000-00-0100-0000-0000-0000";

// Every markup the sentence chain rewrites, whole (UTF-8).
const std::vector<std::string>& wholeMarkup() {
    static const std::vector<std::string> m = {
        "[第12条]",
        "[第3条の2/05B]",
        "[L建築物の定義/01A-00020000L]",
        "[K耐火構造K]",
        "（建築物の敷地の内側をいう。以下同じ。）",
        "「特定建築物」という。",
        "床面積10㎝2",
        "容積5m3",
    };
    return m;
}

// The two halves of whole (CP932) at every character boundary inside it.
std::vector<std::string> halves(const std::string& whole) {
    std::vector<std::string> out;
    for (size_t cut = text::charLength(whole, 0); cut < whole.size(); cut += text::charLength(whole, cut)) {
        out.push_back(whole.substr(0, cut));
        out.push_back(whole.substr(cut));
    }
    return out;
}

// A unit exponent is raised even in a half ("㎝2" alone is whole again), so
// those halves are checked without their digits.
bool holdsVerbatim(const std::string& page, const std::string& half) {
    return text::findText(page, half) != std::string::npos;
}

TEST(SourceIdSpellingItsOwnMarkup, TheReferenceStaysAsItIsInsteadOfGrowingWithoutEnd) {
    // A sentence id read from a damaged database can hold anything. When it
    // held the very markup of the text, every link put the markup back and
    // the page builder never finished.
    const std::string markup = SJ("[第2条]");
    const std::string id = "X" + markup + std::string(35 - 1 - markup.size(), 'Y');
    const std::string text = markup + SJ("及び") + markup + SJ("の規定");
    EXPECT_EQ(inlineReferences(id, text, false), text);
    EXPECT_EQ(inlineReferences(id, text, true), text);

    const std::string explicitMarkup = SJ("[L定義/01A-00020000L]");
    const std::string explicitId = explicitMarkup + std::string(35 - explicitMarkup.size(), 'Z');
    ASSERT_EQ(explicitId.size(), 35u);
    const std::string explicitText = explicitMarkup + SJ("、") + explicitMarkup;
    EXPECT_EQ(explicitLinks(explicitId, explicitText), explicitText);

    // A sound id still gets its links, numbered apart.
    const std::string linked = text::toUtf8(inlineReferences(kSource, text, false));
    EXPECT_NE(linked.find("<a id=\"" + kSource + "-to-01A-00020000-p01\" href='http://01A-00020000_TAVREL'>第2条</a>"),
              std::string::npos)
        << linked;
    EXPECT_NE(linked.find(kSource + "-to-01A-00020000-p02"), std::string::npos) << linked;
    const std::string explicitLinked = text::toUtf8(explicitLinks(kSource, explicitText));
    EXPECT_NE(explicitLinked.find("href='http://01A-00020000_TAVREL'>定義</a>"), std::string::npos) << explicitLinked;
}

TEST(MarkupCutInHalf, EveryHalfPassesTheSentenceChainUnchangedAndItsNeighboursStay) {
    MemorySettingsStore settings;
    testing::FakeMessageSink sink;
    Document doc(settings, sink, DocumentFolders{"/nonexistent/", "/nonexistent/"});
    SentenceRenderer renderer(doc, numbering::Article);
    const std::string before = SJ("前文"), after = SJ("後文");
    int checked = 0;
    for (const std::string& whole : wholeMarkup()) {
        for (const std::string& half : halves(text::fromUtf8(whole))) {
            SentenceRow row{kSource, before + half + after, "0000000000000000"};
            const std::string out = renderer.render(row);
            const std::string shown = text::toUtf8(half);
            EXPECT_TRUE(holdsVerbatim(out, before + half + after) ||
                        (shown.find("㎝2") != std::string::npos || shown.find("m3") != std::string::npos))
                << "half: " << shown << "\npage: " << text::toUtf8(out);
            EXPECT_TRUE(holdsVerbatim(out, before)) << shown;
            EXPECT_TRUE(holdsVerbatim(out, after)) << shown;
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
    EXPECT_TRUE(sink.empty());
}

class MarkupPageTest : public RenderFixture {};

TEST_F(MarkupPageTest, APageOfHalvesAndStrayBracketsBuildsWithEveryHalfOnIt) {
    addLaw("01A", "建基法", "建築基準法");
    exec("INSERT INTO T_章 (ID_SN, 章名, 節名, 款名, 目名, 告示) VALUES "
         "('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0)");
    addPage("01A-00020000-00", "01A-0100-0000-0000-0000", "用語の定義");
    std::vector<std::string> texts;
    for (const std::string& whole : wholeMarkup())
        for (const std::string& half : halves(text::fromUtf8(whole))) texts.push_back(text::toUtf8(half));
    // Halves run together in one sentence as well, and a sentence of nothing
    // but closing brackets.
    std::string together;
    for (const std::string& t : texts) together += t;
    texts.push_back(together);
    texts.push_back("）」]L]K]）");
    ASSERT_LT(texts.size(), 99u * 9u);
    exec("BEGIN");
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string id = text::format("01A-00020000-00-%02d00-%02d00-0000-0000", static_cast<int>(i / 99) + 1,
                                            static_cast<int>(i % 99) + 1);
        addSentence(id, texts[i]);
    }
    exec("COMMIT");

    std::string html;
    PageBuilder builder(doc());
    ASSERT_TRUE(builder.buildPage("01A-00020000-00", html)) << firstMessage();
    EXPECT_TRUE(sink_.empty()) << firstMessage();
    const std::string page = text::toUtf8(html);
    for (size_t i = 0; i + 2 < texts.size(); ++i) {
        const std::string& t = texts[i];
        if (t.find("㎝2") != std::string::npos || t.find("m3") != std::string::npos) continue;
        EXPECT_NE(page.find(t), std::string::npos) << "half lost: " << t;
    }
    EXPECT_NE(page.find("）」]L]K]）"), std::string::npos);
    EXPECT_NE(page.find("</body>\n</html>\n"), std::string::npos);
}

}  // namespace
}  // namespace tavrel::render
