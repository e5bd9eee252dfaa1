// The sample collection with the three e-Gov laws imported over its corpus
// laws, opened by the program: every page of the imported laws builds
// without a report, and shows what the import made of the file.
#include "collection/database_reader.h"
#include "collection/writer.h"
#include "document/document.h"
#include "egov/importer.h"
#include "render/page_builder.h"
#include "support/fake_message_sink.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

const std::string kBin = std::string(TAVREL_BINARY_DIR) + "/bin/";

class ImportedPagesTest : public ::testing::Test {
  protected:
    ImportedPagesTest() {
        for (const char* f : {"TL2008.orl", "default.ppj", "help08.html"}) fs::copy_file(kBin + f, data_.file(f));
        collection::Collection c = collection::readDatabase(data_.file("TL2008.orl"));
        std::vector<egov::LawFile> files;
        for (const char* f : {"325AC0000000201.xml", "325CO0000000338.xml", "418AC0000000091.xml"})
            files.push_back(egov::readLawFile(std::string(TAVREL_SOURCE_DIR) + "/data/egov/" + f));
        egov::importLaws(c, files, "2026-01-01T00:00:00Z");
        collection::writeDatabase(c, data_.file("TL2008.orl"));
    }

    // The page as UTF-8, built in full; empty when it failed or reported.
    static std::string page(Document& doc, tavrel::testing::FakeMessageSink& sink, const std::string& id) {
        render::PageBuilder builder(doc);
        builder.setFullPageRequest(true);
        std::string html;
        const bool built = builder.buildPage(id, html);
        const bool quiet = sink.empty();
        sink.clear();
        return built && quiet ? text::toUtf8(html) : std::string();
    }

    tavrel::testing::TempDir data_, user_;
};

TEST_F(ImportedPagesTest, EveryImportedPageBuildsAndShowsTheFile) {
    tavrel::testing::FakeMessageSink sink;
    MemorySettingsStore settings;
    settings.writeInt(kSettingsSection, keys::CitedBy, 0);  // 別表第一 is compared as the sample shows it without 被引用
    Document doc(settings, sink, DocumentFolders{data_.folder(), user_.folder()});
    ASSERT_TRUE(doc.startUp());
    ASSERT_TRUE(sink.empty());

    size_t pages = 0;
    db::Recordset rs = doc.connection().execute(
        SJ("SELECT ID_FN FROM T_条 WHERE LEFT(ID_FN, 3) IN ('01A', '01B', '05A') ORDER BY ID_FN"));
    std::vector<std::string> ids;
    for (; !rs.isEOF(); rs.moveNext()) ids.push_back(rs.text("ID_FN"));
    rs.close();
    for (const std::string& id : ids) {
        EXPECT_FALSE(page(doc, sink, id).empty()) << id;
        ++pages;
    }
    EXPECT_EQ(pages, 414u + 529u + 109u + 2u);  // the sample's 第52条 stays on three pages

    // 第七章の二の二 in its page heading; 充塡 as a character reference; an
    // amendment's 附則 with its printed numbers; 別表第一 as the sample shows it.
    EXPECT_NE(page(doc, sink, "01B-01360204-00").find("第7章の2の2 特定防災街区整備地区内の建築物"), std::string::npos);
    EXPECT_NE(page(doc, sink, "01B-01300907-00").find("充&#x5861;する"), std::string::npos);
    const std::string suppl = page(doc, sink, "01B-F0000001-00");
    EXPECT_NE(suppl.find("１　この政令は、"), std::string::npos);

    tavrel::testing::FakeMessageSink sampleSink;
    MemorySettingsStore sampleSettings;
    sampleSettings.writeInt(kSettingsSection, keys::CitedBy, 0);
    tavrel::testing::TempDir sampleUser;
    Document sample(sampleSettings, sampleSink, DocumentFolders{kBin, sampleUser.folder()});
    ASSERT_TRUE(sample.startUp());
    const std::string table = page(doc, sink, "01A-T0010000-00");
    EXPECT_FALSE(table.empty());
    EXPECT_EQ(table, page(sample, sampleSink, "01A-T0010000-00"));
}

}  // namespace
