// Every page of the bundled sample collection builds without a report, in
// both the first (link-only) and the full form of large pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/document.h"
#include "render/page_builder.h"
#include "support/fake_message_sink.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

using namespace tavrel;

namespace {

std::vector<std::string> column(db::Connection& c, const std::string& sql) {
    std::vector<std::string> out;
    try {
        db::Recordset rs = c.execute(sql);
        for (; !rs.isEOF(); rs.moveNext()) out.push_back(rs.text("ID_FN"));
        rs.close();
    } catch (const db::DbError& e) {
        ADD_FAILURE() << sql << ": " << text::toUtf8(e.error().description);
    }
    return out;
}

}  // namespace

TEST(SamplePages, EveryPageBuildsWithoutAReport) {
    tavrel::testing::TempDir user;
    tavrel::testing::FakeMessageSink sink;
    MemorySettingsStore settings;
    settings.writeInt(kSettingsSection, keys::CitedBy, 0);  // the pages as they are without the 被引用 block
    Document doc(settings, sink, DocumentFolders{std::string(TAVREL_BINARY_DIR) + "/bin/", user.folder()});
    ASSERT_TRUE(doc.startUp());
    ASSERT_TRUE(sink.empty());

    // Hidden pages too: they open through links and commands.
    std::vector<std::string> pages = column(doc.connection(), SJ("SELECT ID_FN FROM T_条 ORDER BY ID_FN"));
    for (const std::string& id : column(doc.connection(), SJ("SELECT DISTINCT ID_FN FROM T_他 ORDER BY ID_FN")))
        pages.push_back(id);
    ASSERT_GT(pages.size(), 60u);

    render::PageBuilder builder(doc);
    size_t large = 0;
    for (const bool full : {false, true}) {
        builder.setFullPageRequest(full);
        for (const std::string& id : pages) {
            std::string html;
            EXPECT_TRUE(builder.buildPage(id, html)) << id;
            EXPECT_TRUE(sink.empty()) << id << ": " << (sink.empty() ? "" : sink.shown().front().textUtf8());
            sink.clear();
            const std::string tail = "</html>\n";
            EXPECT_TRUE(html.size() > tail.size() && html.compare(html.size() - tail.size(), tail.size(), tail) == 0)
                << id;
            // The full build of a large page carries its sentences, not the click-through link.
            if (full && doc.isLargePage(id)) {
                EXPECT_EQ(html.find(SJ("ココをクリックすると全文が表示されます")), std::string::npos) << id;
                EXPECT_NE(html.find("<div style='margin-bottom:"), std::string::npos) << id;
            }
        }
        if (!full) large = std::count_if(pages.begin(), pages.end(), [&](const std::string& id) {
            return doc.isLargePage(id);
        });
    }
    EXPECT_GE(large, 1u);  // the collection has a large page, and it was shown as a link first
}
