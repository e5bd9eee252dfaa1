// A statute database in a temporary data folder and a started document on
// it, for the page builder tests. Rows are put in with UTF-8 SQL; pages come
// back as CP932 and are compared as UTF-8.
#pragma once

#include "document/document.h"
#include "document/settings_store.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tavrel::testing {

// 表式, 札抜, 参照, 図入 of a sentence row.
struct SentenceFlags {
    int table = 0, hidden = 0, refer = 0, figures = 0;
};

class RenderFixture : public ::testing::Test {
  protected:
    // Every collection has the pseudo-law of the special pages and a cover.
    RenderFixture() : db_(dir_.file("TL2008.orl")) {
        addLaw("00A", "表紙等", "表紙等");
        addPage("00A-Z0010000-00", "00A-0000-0000-0000-0000", "表紙");
        // The pages are checked as they are without the 被引用 block; the
        // block's own tests turn it on.
        settings_.writeInt(kSettingsSection, keys::CitedBy, 0);
    }

    void exec(const std::string& utf8Sql) { db_.exec(utf8Sql); }

    // Starts the document on the data folder (after the rows are in).
    Document& doc() {
        if (!doc_) {
            doc_ = std::make_unique<Document>(settings_, sink_, DocumentFolders{dir_.folder(), dir_.folder()});
            started_ = doc_->startUp();
            EXPECT_TRUE(started_) << (sink_.empty() ? std::string() : sink_.shown().front().textUtf8());
            sink_.clear();
            // The tests fix the sizes they check; everything else keeps the
            // built-in defaults.
            doc_->options()[FontSizeBasic] = 10;
        }
        return *doc_;
    }

    // The image folder as the page shows it (UTF-8 here).
    std::string images() { return doc().imageFolder(); }

    // The UTF-8 text of the first message shown ("" when none).
    std::string firstMessage() const { return sink_.empty() ? std::string() : sink_.shown().front().textUtf8(); }
    std::string firstCaption() const { return sink_.empty() ? std::string() : sink_.shown().front().captionUtf8(); }

    // A law, shown.
    void addLaw(const std::string& idHN, const std::string& common, const std::string& formal) {
        exec("INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES ('" + idHN + "', '" + common +
             "', '" + common + "', '" + formal + "', -1)");
    }
    // A page row; caption "NULL" for a NULL caption.
    void addPage(const std::string& idFN, const std::string& idSN, const std::string& caption, int split = 0,
                 int large = 0, const std::string& supplement = "") {
        exec("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('" + idFN + "', '" + idSN + "', " +
             (caption == "NULL" ? std::string("NULL") : FixtureDb::quote(caption)) + ", " +
             FixtureDb::quote(supplement) + ", " + std::to_string(split) + ", " + std::to_string(large) + ", -1)");
    }
    void addSentence(const std::string& idBN, const std::string& text, const std::string& format = "0000000000000000",
                     SentenceFlags f = {}) {
        exec("INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入) VALUES ('" + idBN + "', " +
             FixtureDb::quote(text) + ", '" + format + "', " + std::to_string(f.table) + ", " +
             std::to_string(f.hidden) + ", " + std::to_string(f.refer) + ", " + std::to_string(f.figures) + ")");
    }
    void addTablePiece(const std::string& idBN, int order, const std::string& html) {
        exec("INSERT INTO T_表 (ID_BN, 順序, 表式データ) VALUES (" + FixtureDb::quote(idBN) + ", " +
             std::to_string(order) + ", " + FixtureDb::quote(html) + ")");
    }

    TempDir dir_;
    FixtureDb db_;
    MemorySettingsStore settings_;
    FakeMessageSink sink_;
    std::unique_ptr<Document> doc_;
    bool started_ = false;
};

// The page head every law text page starts with, for the default link
// colours, up to and including the image anchor (FontSizeBasic 10, white
// background, black text).
inline std::string expectedPageStart() {
    return "<html>\n<head>\n<style type=\"text/css\">\n<!--\n"
           "A { text-decoration: none; }\n"
           "A:link { color: #007733}\n"
           "A:active { color: #FF0000}\n"
           "A:hover { color: #FF0000}\n"
           "-->\n</style>\n"
           "<script language=\"VBScript\">\n<!--\nSub Dummy()\nEnd Sub\n//-->\n</script>\n"
           "<script language=\"JavaScript\">\n<!--\nfunction Dummy()\n{\n}\n//-->\n</script>\n"
           "</head>\n"
           "<body id=\"oBody\" style=\"font-family: 'ＭＳ Ｐゴシック'; font-size: 10pt\" bgcolor=\"#FFFFFF\" "
           "text=\"#000000\" >\n"
           "\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>\n\n";
}

inline std::string expectedPageEnd() { return "</body>\n</html>\n"; }

}  // namespace tavrel::testing
