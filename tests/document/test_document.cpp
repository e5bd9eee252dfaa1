#include "document/document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "document/atomic_file.h"
#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrel;
using tavrel::testing::FakeMessageSink;
using tavrel::testing::FixtureDb;
using tavrel::testing::readFile;
using tavrel::testing::TempDir;
using tavrel::testing::writeFile;

const std::string kNotFound = "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n";
const std::string kEnvText =
    "環境条件に不備があるため、正常に動作できませんでした。\n\n詳しくはヘルプまたはホームページの「ご利用になれる環境」\n"
    "をご覧下さい。\n\nホームページを参照しますか？";

// A 55-character marker key and a 35-character value, told apart by tag.
std::string key55(char tag) { return "01A-00030000-00-0100-0000-0000-0000-" + std::string(18, tag) + "R"; }
std::string value35(char tag) { return "01A-00050000-00-0100-0000-0000-000" + std::string(1, tag); }

class FakeView : public TextViewPartner {
public:
    std::string current;
    std::string currentPageId() const override { return current; }
};

// A data folder with a statute database, a separate user folder, and a
// document over them.
class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() {
        fs::create_directories(dataFolder);
        fs::create_directories(userFolder);
    }
    ~DocumentTest() override { setAtomicWriteHook({}); }

    FixtureDb& db() {
        if (!db_) db_ = std::make_unique<FixtureDb>(dataFolder + "TL2008.orl");
        return *db_;
    }
    void addLaw(const std::string& id, const std::string& name, int shown = -1) {
        db().exec("INSERT INTO T_法 VALUES ('" + id + "', '" + name + "', '" + name + "略', '" + name + "正式', " +
                  std::to_string(shown) + ")");
    }
    // caption/split are SQL expressions ("NULL" allowed).
    void addPage(const std::string& id, const std::string& caption, const std::string& split = "NULL",
                 int shown = -1) {
        db().exec("INSERT INTO T_条 (ID_FN, 条名, 補足, 分割, 表示) VALUES ('" + id + "', " + caption + ", NULL, " +
                  split + ", " + std::to_string(shown) + ")");
    }
    void standardRows() {
        addLaw("02A", "施行令");
        addLaw("01A", "建築基準法");
        addLaw("03A", "廃止法", 0);
        addPage("01A-00010000-00", "'目的'", "1");
        addPage("03A-00010000-00", "'隠れ'");
    }
    Document& makeDoc() {
        doc_ = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, userFolder},
                                            [this](const std::string& url) {
                                                opened.push_back(url);
                                                return openerResult;
                                            });
        return *doc_;
    }
    std::string caption(const std::string& id) {
        ArticleInfo info;
        return doc_->articleInfo(id, info) ? text::toUtf8(info.caption) : "<absent>";
    }

    TempDir dir;
    std::string dataFolder = dir.folder() + "データ 1/";
    std::string userFolder = dir.folder() + "user/";
    MemorySettingsStore settings;
    FakeMessageSink sink;
    std::vector<std::string> opened;
    int openerResult = 0;
    std::unique_ptr<FixtureDb> db_;
    std::unique_ptr<Document> doc_;
};

TEST_F(DocumentTest, LoadsShownLawsAndArticlesWithoutAnyMessage) {
    standardRows();
    addPage("01A-00020000-00", "'隠し条'", "NULL", 0);
    ASSERT_TRUE(makeDoc().startUp());
    EXPECT_TRUE(sink.empty());
    EXPECT_TRUE(doc_->isConnected());
    EXPECT_EQ(doc_->lawOrder(), (std::vector<std::string>{"01A", "02A"}));
    EXPECT_EQ(text::toUtf8(doc_->lawName("01A", 1)), "建築基準法");
    EXPECT_EQ(text::toUtf8(doc_->lawName("01A", 2)), "建築基準法略");
    EXPECT_EQ(text::toUtf8(doc_->lawName("01A", 3)), "建築基準法正式");
    EXPECT_EQ(text::toUtf8(doc_->lawName("01A", 0)), "建築基準法");
    EXPECT_EQ(doc_->lawName("03A", 1), "");
    // Hidden articles and the articles of hidden laws are left out.
    EXPECT_EQ(doc_->articleTable().size(), 1u);
    EXPECT_EQ(caption("01A-00010000-00"), "目的");
    EXPECT_EQ(doc_->databasePath(), dataFolder + "TL2008.orl");
    EXPECT_EQ(doc_->tempFolder(), userFolder + "temp/");
    EXPECT_EQ(doc_->imageFolder(), dataFolder + "images08/");
    EXPECT_EQ(doc_->tableFolder(), dataFolder + "table/");
}

TEST_F(DocumentTest, SplitArticlesCarryCaptionsAndPageNumbers) {
    addLaw("01A", "建築基準法");
    addPage("01A-00120000-00", "'居室'", "3");
    addPage("01A-00120000-01", "NULL", "3");
    addPage("01A-00120000-02", "''", "3");
    addPage("01A-00130000-00", "'敷地'", "2");
    addPage("01A-00130000-01", "'敷地の続き'", "2");
    addPage("01A-00140000-00", "'一頁'", "1");
    addPage("01A-00150000-00", "'空'", "NULL");
    addPage("01A-0016000-01", "NULL", "2");      // 14 characters
    addPage("01A-00170000-000", "'長い'", "2");  // 16 characters
    ASSERT_TRUE(makeDoc().startUp());

    EXPECT_EQ(caption("01A-00120000-01"), "居室");
    EXPECT_EQ(caption("01A-00120000-02"), "居室");
    EXPECT_EQ(caption("01A-00130000-01"), "敷地の続き");
    EXPECT_EQ(caption("01A-0016000-01"), "空") << "a later page without caption takes the last first-page caption";
    EXPECT_EQ(caption("01A-00170000-000"), "長い");

    int count = -1, number = -1;
    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(doc_->splitPage("01A-00120000-0" + std::to_string(page), count, number));
        EXPECT_EQ(count, 3);
        EXPECT_EQ(number, page + 1);
    }
    for (const char* id : {"01A-00140000-00", "01A-00150000-00", "01A-0016000-01", "01A-00170000-000", "none"}) {
        count = number = -1;
        EXPECT_FALSE(doc_->splitPage(id, count, number)) << id;
        EXPECT_EQ(count, 0);
        EXPECT_EQ(number, 0);
    }

    std::vector<std::string> sequence;
    for (const auto& e : doc_->articleSequence()) {
        EXPECT_EQ(e.slot1 | e.slot2, 0);
        sequence.push_back(e.idFN);
    }
    EXPECT_EQ(sequence, (std::vector<std::string>{"01A-00120000-00", "01A-00120000-01", "01A-00120000-02",
                                                  "01A-00130000-00", "01A-00130000-01", "01A-00140000-00",
                                                  "01A-00150000-00"}));
    EXPECT_EQ(doc_->articleTable().size(), 9u);
}

TEST_F(DocumentTest, TemporaryFolderIsEmptiedOfFilesAtStartAndEnd) {
    standardRows();
    const fs::path temp = fs::path(userFolder) / "temp";
    fs::create_directories(temp / "sub");
    writeFile((temp / "01A-00010000-00.tmp").string(), "old page");
    writeFile((temp / "noext").string(), "x");
    writeFile((temp / "sub" / "kept.tmp").string(), "kept");
    ASSERT_TRUE(makeDoc().startUp());
    EXPECT_TRUE(sink.empty());
    EXPECT_FALSE(fs::exists(temp / "01A-00010000-00.tmp"));
    EXPECT_FALSE(fs::exists(temp / "noext"));
    EXPECT_TRUE(fs::exists(temp / "sub" / "kept.tmp"));

    writeFile((temp / "01A-00020000-00.tmp").string(), "page");
    doc_->close();
    doc_.reset();
    EXPECT_FALSE(fs::exists(temp / "01A-00020000-00.tmp"));
    EXPECT_TRUE(fs::exists(temp / "sub" / "kept.tmp"));
}

TEST_F(DocumentTest, TemporaryFolderThatCannotBeMadeIsReportedAndStartGoesOn) {
    standardRows();
    userFolder = dir.file("plainfile") + "/";
    writeFile(dir.file("plainfile"), "not a folder");
    ASSERT_TRUE(makeDoc().startUp());
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].textUtf8(), "テンポラリフォルダが作成できませんでした。");
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(sink.shown()[0].buttons, MsgButtons::Ok);
}

// Missing database: the open's own report, then the environment question;
// Yes opens the support page, and "not found" answers (2, 3) are reported.
struct EnvCase {
    MsgAnswer answer;
    int openerResult;
    bool opens;
    bool failureBox;
};
class EnvironmentTest : public DocumentTest, public ::testing::WithParamInterface<EnvCase> {};

const std::string kEnvironmentPage = "https://support.test/environment.html";

TEST_P(EnvironmentTest, MissingDatabaseAsksAboutTheEnvironment) {
    const EnvCase c = GetParam();
    settings.writeText(kSupportSection, keys::EnvironmentUrl, kEnvironmentPage);
    openerResult = c.openerResult;
    sink.setNextAnswer(MsgAnswer::Ok);
    sink.setNextAnswer(c.answer);
    EXPECT_FALSE(makeDoc().startUp());
    EXPECT_FALSE(doc_->isConnected());
    ASSERT_EQ(sink.shown().size(), c.failureBox ? 3u : 2u);
    EXPECT_EQ(sink.shown()[0].captionUtf8(), "データベースの接続");
    const auto& env = sink.shown()[1];
    EXPECT_EQ(env.captionUtf8(), "ソラテ　エラー情報");
    EXPECT_EQ(env.textUtf8(), kEnvText);
    EXPECT_EQ(env.buttons, MsgButtons::YesNo);
    EXPECT_EQ(env.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(env.ownerless);
    EXPECT_EQ(opened, c.opens ? std::vector<std::string>{kEnvironmentPage} : std::vector<std::string>{});
    if (c.failureBox) {
        EXPECT_EQ(sink.shown()[2].textUtf8(), "ソラテのサポートホームページを\n開くことができませんでした。");
        EXPECT_EQ(sink.shown()[2].icon, MsgIcon::Error);
    }
}
INSTANTIATE_TEST_SUITE_P(Answers, EnvironmentTest,
                         ::testing::Values(EnvCase{MsgAnswer::No, 2, false, false},
                                           EnvCase{MsgAnswer::Yes, 0, true, false},
                                           EnvCase{MsgAnswer::Yes, 2, true, true},
                                           EnvCase{MsgAnswer::Yes, 3, true, true},
                                           EnvCase{MsgAnswer::Yes, 5, true, false}));

// Without the address of the environment page the failure is told plainly:
// no question about a web page, nothing opened.
TEST_F(DocumentTest, MissingDatabaseWithoutAnEnvironmentPageOnlyTellsTheFailure) {
    sink.setNextAnswer(MsgAnswer::Ok);
    sink.setNextAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(makeDoc().startUp());
    ASSERT_EQ(sink.shown().size(), 2u);
    const auto& env = sink.shown()[1];
    EXPECT_EQ(env.captionUtf8(), "ソラテ　エラー情報");
    EXPECT_EQ(env.textUtf8(),
              "環境条件に不備があるため、正常に動作できませんでした。\n\n詳しくはヘルプの「ご利用になれる環境」\n"
              "をご覧下さい。");
    EXPECT_EQ(env.buttons, MsgButtons::Ok);
    EXPECT_EQ(env.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(opened.empty());
}

// Folder names that have no CP932 form, or that come back from CP932 as
// another name, are refused instead of opening some other file.
class ForeignFolderTest : public DocumentTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ForeignFolderTest, DatabaseInSuchAFolderIsNeverOpened) {
    dataFolder = dir.folder() + GetParam() + "/";
    fs::create_directories(dataFolder);
    standardRows();
    // A decoy where the name would lead after a trip through CP932.
    const std::string decoy = text::toUtf8(text::fromUtf8(dataFolder));
    ASSERT_NE(decoy, dataFolder);
    fs::create_directories(decoy);
    FixtureDb other(decoy + "TL2008.orl");
    other.exec("INSERT INTO T_法 VALUES ('01A', 'a', 'b', 'c', -1); INSERT INTO T_条 (ID_FN, 表示) VALUES "
               "('01A-00010000-00', -1)");
    sink.setNextAnswer(MsgAnswer::Ok);
    sink.setNextAnswer(MsgAnswer::No);
    EXPECT_FALSE(makeDoc().startUp());
    ASSERT_EQ(sink.shown().size(), 2u);
    EXPECT_EQ(sink.shown()[0].captionUtf8(), "データベースの接続");
    EXPECT_NE(sink.shown()[0].textUtf8().find("\t関数 = CTavrelDoc::_db_open()"), std::string::npos);
    EXPECT_EQ(sink.shown()[1].captionUtf8(), "ソラテ　エラー情報");
}
INSTANTIATE_TEST_SUITE_P(Names, ForeignFolderTest, ::testing::Values("한국", "波〜線", "円¥"));

TEST_F(DocumentTest, EmptyResultsAndDatabaseErrorsFailTheStart) {
    const std::string tail = "関数 = CTavrelDoc::OnNewDocument()";
    auto expectReport = [&](const std::string& body, bool exactBody) {
        ASSERT_FALSE(makeDoc().startUp());
        ASSERT_EQ(sink.shown().size(), 1u);
        const auto& m = sink.shown()[0];
        EXPECT_EQ(m.captionUtf8(), "ドキュメント初期化プロセス");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_TRUE(m.ownerless);
        if (exactBody) {
            EXPECT_EQ(m.textUtf8(), body + tail);
        } else {
            EXPECT_EQ(m.textUtf8().rfind(body, 0), 0u) << m.textUtf8();
            EXPECT_NE(m.textUtf8().find("\nコード = "), std::string::npos) << "plain variant, no tab";
            EXPECT_EQ(m.textUtf8().substr(m.textUtf8().size() - tail.size()), tail);
        }
        sink.clear();
    };
    addLaw("03A", "廃止法", 0);
    expectReport(kNotFound, true);  // no law shown
    addLaw("01A", "建築基準法");
    addPage("01A-00010000-00", "'隠し'", "NULL", 0);
    expectReport(kNotFound, true);  // no article shown
    addPage("01A-00020000-00", "'目的'");
    db().exec("ALTER TABLE T_条 DROP COLUMN 分割");
    expectReport("#importによって生成されたクラスに対し例外が生成されました。\n\n", false);
}

TEST_F(DocumentTest, MarkerFilesFollowTheLineRules) {
    standardRows();
    const std::string k = key55('A'), v = value35('1');
    const std::string shortLine = std::string(60, 'S');  // key and value overlap
    writeFile(dataFolder + "default.ppj", "VERSION 8.08\r\n" + k + ", " + v + "\r\n" + shortLine + "\r\n" +
                                              std::string(54, 'T') + "\r\n" + key55('B') + ", " + value35('2'));
    writeFile(userFolder + "tavrel08.ppj",
              k + ", " + value35('3') + "\r\n" + key55('C') + ", VERSION" + std::string(28, 'x') + "\r\n" +
                  "VERSION 8.08\r\n" + k + ", " + value35('4') + "\n" + std::string(55, 'U') + "\r\n");
    ASSERT_TRUE(makeDoc().startUp());
    EXPECT_TRUE(sink.empty());

    EXPECT_EQ(doc_->markers(true).size(), 3u);
    EXPECT_EQ(doc_->findMarker(true, k), v);
    EXPECT_EQ(doc_->findMarker(true, std::string(55, 'S')), std::string(35, 'S'));
    EXPECT_EQ(doc_->findMarker(true, key55('B')), value35('2')) << "last line without line end";
    EXPECT_EQ(doc_->markers(false).size(), 2u);
    EXPECT_EQ(doc_->findMarker(false, k), value35('4')) << "the later line wins";
    EXPECT_EQ(doc_->findMarker(false, key55('C')), "");
    EXPECT_EQ(doc_->findMarker(false, std::string(55, 'U')), std::string(35, 'U'));
}

TEST_F(DocumentTest, MarkerTablesAcceptOnlyFiftyFiveCharacterKeys) {
    Document& doc = makeDoc();
    EXPECT_FALSE(doc.addMarker(false, key55('A').substr(1), "v"));
    EXPECT_FALSE(doc.addMarker(false, key55('A') + "X", "v"));
    EXPECT_TRUE(doc.addMarker(false, key55('A'), "first"));
    EXPECT_TRUE(doc.addMarker(false, key55('A'), "second"));
    EXPECT_EQ(doc.findMarker(false, key55('A')), "second");
    EXPECT_EQ(doc.findMarker(true, key55('A')), "") << "the two tables are separate";
    EXPECT_FALSE(doc.removeMarker(true, key55('A')));
    EXPECT_TRUE(doc.removeMarker(false, key55('A')));
    EXPECT_FALSE(doc.removeMarker(false, key55('A')));
    EXPECT_TRUE(doc.markers(false).empty());
}

TEST_F(DocumentTest, CloseWritesUserMarkersInKeyOrderAndTheCurrentPage) {
    standardRows();
    ASSERT_TRUE(makeDoc().startUp());
    FakeView view;
    view.current = "01A-00010000-00";
    doc_->setTextView(&view);
    doc_->addMarker(false, key55('C'), value35('3'));
    doc_->addMarker(false, key55('A'), value35('1'));
    doc_->addMarker(true, key55('B'), value35('2'));
    doc_->close();
    EXPECT_FALSE(doc_->isConnected());
    EXPECT_TRUE(sink.empty());
    EXPECT_EQ(readFile(userFolder + "tavrel08.ppj"), "VERSION 8.08\r\n" + key55('A') + ", " + value35('1') + "\r\n" +
                                                         key55('C') + ", " + value35('3') + "\r\n");
    EXPECT_EQ(settings.readText("Settings-2008", "CurIDFN", "none"), "01A-00010000-00");

    // What was written is read back unchanged by the next start.
    makeDoc();
    ASSERT_TRUE(doc_->startUp());
    EXPECT_EQ(doc_->markers(false), (std::map<std::string, std::string>{{key55('A'), value35('1')},
                                                                        {key55('C'), value35('3')}}));
}

TEST_F(DocumentTest, FailedSaveKeepsTheOldMarkerFileAndCloseGoesOn) {
    standardRows();
    const std::string old = "VERSION 8.08\r\n" + key55('A') + ", " + value35('1') + "\r\n";
    writeFile(userFolder + "tavrel08.ppj", old);
    ASSERT_TRUE(makeDoc().startUp());
    FakeView view;
    view.current = "01A-00010000-00";
    doc_->setTextView(&view);
    doc_->addMarker(false, key55('B'), value35('2'));
    setAtomicWriteHook([](const std::string&) { return false; });
    doc_->close();
    EXPECT_EQ(readFile(userFolder + "tavrel08.ppj"), old);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(userFolder)) ++entries;
    EXPECT_EQ(entries, 2u) << "only temp/ and the old file, no half-written copy";
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(settings.readText("Settings-2008", "CurIDFN", "none"), "01A-00010000-00");
}

TEST_F(DocumentTest, CloseAfterFailedStartLeavesTheUserMarkerFileAlone) {
    addLaw("01A", "建築基準法");  // no article: the start fails
    const std::string old = "VERSION 8.08\r\n" + key55('A') + ", " + value35('1') + "\r\n";
    writeFile(userFolder + "tavrel08.ppj", old);
    ASSERT_FALSE(makeDoc().startUp());
    doc_->addMarker(false, key55('B'), value35('2'));
    EXPECT_FALSE(doc_->saveUserMarkers());
    doc_->close();
    EXPECT_EQ(readFile(userFolder + "tavrel08.ppj"), old);
    EXPECT_FALSE(settings.contains("Settings-2008", "CurIDFN")) << "no text view, nothing stored";
}

TEST_F(DocumentTest, OptionsAreLoadedAtConstructionAndWrittenAtDestruction) {
    settings.writeInt("Settings-2008", "FontSizeBasic", 12);
    settings.writeInt("Settings-2008", "Synchro", 0);
    makeDoc();
    EXPECT_EQ(doc_->options()[FontSizeBasic], 12);
    EXPECT_EQ(doc_->options()[BackColor], 0xFFFFFF);
    EXPECT_EQ(doc_->defaultOptions()[FontSizeBasic], 9);
    EXPECT_FALSE(doc_->toggles().synchro);
    EXPECT_TRUE(doc_->toggles().refer);
    EXPECT_EQ(settings.values().size(), 2u) << "nothing is written before the end";

    doc_->options()[BackColor] = 0x123456;
    doc_->toggles().refer = false;
    EXPECT_TRUE(doc_->citedByShown());  // on by default
    doc_->setCitedByShown(false);
    doc_.reset();
    EXPECT_EQ(settings.readInt("Settings-2008", "CitedBy", 1), 0);  // a key of its own
    EXPECT_EQ(settings.readInt("Settings-2008", "BackColor", 0), 0x123456);
    EXPECT_EQ(settings.readInt("Settings-2008", "Refer", 1), 0);
    EXPECT_EQ(settings.readInt("Settings-2008", "Synchro", 1), 0);
    EXPECT_EQ(settings.readInt("Settings-2008", "ReviveLastPage", 0), 1);
    EXPECT_EQ(settings.values().size(), 29u);
}

// A store whose writes fail: the destructor must swallow that and still
// empty the temporary folder.
class ThrowingStore : public MemorySettingsStore {
public:
    void writeInt(const std::string&, const std::string&, int) override { throw std::runtime_error("disk full"); }
};

TEST_F(DocumentTest, DestructorSurvivesAFailingSettingsStore) {
    standardRows();
    ThrowingStore store;
    auto doc = std::make_unique<Document>(store, sink, DocumentFolders{dataFolder, userFolder});
    ASSERT_TRUE(doc->startUp());
    writeFile(userFolder + "temp/page.tmp", "x");
    doc->close();
    doc.reset();
    EXPECT_FALSE(fs::exists(userFolder + "temp/page.tmp"));
}

TEST_F(DocumentTest, TheUserCollectionIsOpenedInPreferenceAndReloadFollowsTheFile) {
    standardRows();
    const std::string mine = dir.folder() + "mine/";
    fs::create_directories(mine);
    {
        FixtureDb user(mine + "TL2008.orl");
        user.exec("INSERT INTO T_法 VALUES ('05A', '取込法', '取込法', '取込法', -1)");
        user.exec("INSERT INTO T_条 (ID_FN, 条名, 補足, 分割, 表示) VALUES ('05A-00010000-00', '目的', NULL, NULL, -1)");
    }
    doc_ = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, userFolder, mine});
    ASSERT_TRUE(doc_->startUp());
    EXPECT_EQ(doc_->databasePath(), mine + "TL2008.orl");
    EXPECT_TRUE(doc_->usesUserCollection());
    EXPECT_EQ(doc_->lawOrder(), std::vector<std::string>{"05A"});

    fs::remove(mine + "TL2008.orl");
    ASSERT_TRUE(doc_->reload());
    EXPECT_EQ(doc_->databasePath(), dataFolder + "TL2008.orl");
    EXPECT_FALSE(doc_->usesUserCollection());
    EXPECT_EQ(doc_->lawOrder(), (std::vector<std::string>{"01A", "02A"}));
    EXPECT_EQ(caption("05A-00010000-00"), "<absent>");
    EXPECT_TRUE(sink.empty());
}

TEST(LocateFolders, TheCollectionFolderIsThePerUserFolderButNeverTheDataFolder) {
    TempDir dir;
    const std::string exe = dir.folder() + "bin";
    fs::create_directories(exe);
    writeFile(exe + "/TL2008.orl", "");
    // The data folder is writable, yet the user's collection is not put in it.
    DocumentFolders f = locateFolders(exe, dir.folder() + "fallback");
    EXPECT_EQ(f.collectionFolder, dir.folder() + "fallback/");
    EXPECT_EQ(locateFolders(exe, "").collectionFolder, "");

    MemorySettingsStore settings;
    FakeMessageSink sink;
    const Document same(settings, sink, DocumentFolders{exe + "/", exe + "/", exe + "/"});
    EXPECT_EQ(same.userDatabasePath(), "");
    const Document other(settings, sink, f);
    EXPECT_EQ(other.userDatabasePath(), dir.folder() + "fallback/TL2008.orl");
}

TEST(LocateFolders, PicksTheDataFolderAndAWritableUserFolder) {
    TempDir dir;
    const std::string exe = dir.folder() + "bin";
    fs::create_directories(exe);
    writeFile(exe + "/TL2008.orl", "");
    DocumentFolders f = locateFolders(exe, dir.folder() + "fallback");
    EXPECT_EQ(f.dataFolder, exe + "/");
    EXPECT_EQ(f.userFolder, exe + "/");

    fs::remove(exe + "/TL2008.orl");
    f = locateFolders(exe + "/", dir.folder() + "fallback");
    EXPECT_EQ(f.dataFolder, dir.folder() + "share/tavrel/");
    EXPECT_EQ(f.userFolder, dir.folder() + "fallback/") << "a missing data folder cannot be written";

    fs::create_directories(dir.folder() + "share/tavrel");
    f = locateFolders(exe + "/", dir.folder() + "fallback/");
    EXPECT_EQ(f.userFolder, dir.folder() + "share/tavrel/");
}

}  // namespace
