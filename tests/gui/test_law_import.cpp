// 「法令XMLの取り込み…」 and 「標準の収録データに戻す」 in the real window: an
// e-Gov file replaces its law in the user's collection and the window shows
// it without a restart; a bad file changes nothing and names itself; going
// back removes the user's collection and shows the bundled one again.
#include "app/application.h"
#include "app/command_registry.h"
#include "app/main_window.h"
#include "app/qt_message_sink.h"
#include "gui_test_support.h"
#include "navigator/gui/contents_tree_view.h"
#include "navigator/gui/navigator_pane.h"
#include "textview/gui/law_text_view.h"

#include <QAction>
#include <QPushButton>
#include <QFile>
#include <QTest>
#include <QTreeWidgetItemIterator>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::waitForText;

namespace {

const char* const kSecondArticle = "05A-00020000-00";
// The sample holds 第1条 and 第2条 of the law only: 第3条 comes with the file.
const char* const kThirdArticle = "05A-00030000-00";
const QString kThirdArticleText = QStringLiteral("移動等円滑化の促進に関する基本方針");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Article pages of a law in the contents tree (附則 and 別表 not counted).
int treeArticles(ContentsTreeView* tree, const std::string& idHN) {
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const std::string id = tree->itemId(*it);
        if (id.size() == 15 && id.rfind(idHN, 0) == 0 && id[4] >= '0' && id[4] <= '9') ++n;
    }
    return n;
}

}  // namespace

class TestLawImport : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void importReplacesTheLawWithoutARestartAndGoesBack();
    void badFileChangesNothingAndNamesItself();

  private:
    MainWindow* frame() const { return program_.frame(); }
    QString bundled() const { return program_.dataFolder() + QStringLiteral("/TL2008.orl"); }
    QString userCollection() const { return program_.path(QStringLiteral("user/TL2008.orl")); }

    testing::SampleProgram program_;
};

void TestLawImport::init() { program_.prepare(); }

void TestLawImport::cleanup() { program_.finish(); }

void TestLawImport::importReplacesTheLawWithoutARestartAndGoesBack() {
    program_.start();
    QAction* restore = frame()->commands().byName(QStringLiteral("restoreCollection"));
    QVERIFY(frame()->commands().byName(QStringLiteral("importLaws"))->isEnabled());
    QVERIFY(!restore->isEnabled());
    const QByteArray bundledBytes = fileBytes(bundled());
    const int sampleArticles = treeArticles(frame()->navigator()->tree(), "05A");
    QVERIFY(sampleArticles != 88);
    QVERIFY(program_.doc().articleTable().count(kThirdArticle) == 0);

    QVERIFY(frame()->importLawFiles({QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")}));
    QVERIFY2(program_.app()->messages().shown().empty(),
             qPrintable(program_.app()->messages().shown().empty() ? QString()
                                                                    : program_.app()->messages().shown()[0].text));
    QVERIFY(QFile::exists(userCollection()));
    QVERIFY(!QFile::exists(userCollection() + QStringLiteral(".import")));
    QCOMPARE(fileBytes(bundled()), bundledBytes);  // the bundled collection is never written
    QCOMPARE(QString::fromStdString(program_.doc().databasePath()), userCollection());
    // Without a restart: the tree, the page shown and the page of 第2条.
    QCOMPARE(treeArticles(frame()->navigator()->tree(), "05A"), 88);
    QTRY_VERIFY_WITH_TIMEOUT(program_.view()->currentPageId().rfind("05A-", 0) == 0, 20000);
    QVERIFY(program_.view()->showPage(kSecondArticle));
    QVERIFY(waitForText(program_.view(), QStringLiteral("教育啓発特定事業")));
    QVERIFY(program_.view()->showPage(kThirdArticle));
    QVERIFY(waitForText(program_.view(), kThirdArticleText));
    // A bookmark on 第3条, which only the imported law has.
    frame()->navigator()->selectTab(NavigatorPane::TabBookmarks);
    QTest::mouseClick(frame()->navigator()->addBookmarkButton(), Qt::LeftButton);
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 1);
    const QString bookmarkFile = QString::fromStdString(program_.doc().userFolder()) + QStringLiteral("tavrel08.bmk");
    QVERIFY(fileBytes(bookmarkFile).contains(kThirdArticle));
    QVERIFY(program_.view()->showPage(kSecondArticle));
    QVERIFY(waitForText(program_.view(), QStringLiteral("教育啓発特定事業")));
    QVERIFY(restore->isEnabled());

    // A bad file afterwards leaves the user's collection as it is.
    const QByteArray imported = fileBytes(userCollection());
    const QString bad = program_.path(QStringLiteral("bad.xml"));
    {
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\n<Law>\n<LawBody>\n<LawTitle>試験");
    }
    QVERIFY(!frame()->importLawFiles({bad}));
    QCOMPARE(fileBytes(userCollection()), imported);
    QCOMPARE(program_.app()->messages().shown().size(), size_t(1));
    QVERIFY(program_.app()->messages().shown()[0].text.contains(QStringLiteral("bad.xml:4")));

    // Back to the bundled collection: asked first; "No" keeps the file.
    program_.app()->messages().setNextAnswer(MsgAnswer::No);
    restore->trigger();
    QVERIFY(QFile::exists(userCollection()));
    program_.app()->messages().setNextAnswer(MsgAnswer::Yes);
    const int loads = program_.view()->loadsFinished();
    restore->trigger();
    QVERIFY(!QFile::exists(userCollection()));
    QCOMPARE(QString::fromStdString(program_.doc().databasePath()), bundled());
    QCOMPARE(treeArticles(frame()->navigator()->tree(), "05A"), sampleArticles);
    QVERIFY(!restore->isEnabled());
    // 第2条 is still there: it stays on screen. 第3条 is gone, and so is its
    // history entry.
    QTRY_VERIFY_WITH_TIMEOUT(program_.view()->loadsFinished() > loads, 20000);
    QCOMPARE(program_.view()->currentPageId(), std::string(kSecondArticle));
    // The bookmark on 第3条 is not shown, stays in its file and is named once
    // after the reload.
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 0);
    QVERIFY(fileBytes(bookmarkFile).contains(kThirdArticle));
    const auto& shown = program_.app()->messages().shown();
    QVERIFY(shown.back().text.startsWith(QStringLiteral("次のしおりとマーカーは、ページが収録データにないため")));
    QVERIFY(shown.back().text.contains(QString::fromLatin1(kThirdArticle)));
    const size_t messages = shown.size();
    frame()->reportHiddenEntries();
    QCOMPARE(program_.app()->messages().shown().size(), messages);
    QCOMPARE(program_.doc().articleTable().count(kThirdArticle), size_t(0));
    for (const HistoryEntry& e : program_.app()->navigation()->backList()) QVERIFY(e.idFN != kThirdArticle);
    QVERIFY(!program_.app()->navigation()->backList().empty());
    // With the law imported again the bookmark shows again.
    QVERIFY(frame()->importLawFiles({QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")}));
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 1);
    QCOMPARE(program_.app()->messages().shown().size(), messages);
}

void TestLawImport::badFileChangesNothingAndNamesItself() {
    program_.start();
    const QByteArray bundledBytes = fileBytes(bundled());
    const QString bad = program_.path(QStringLiteral("bad.xml"));
    {
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\n<html><body/></html>");
    }
    QVERIFY(!frame()->importLawFiles({bad}));
    QCOMPARE(fileBytes(bundled()), bundledBytes);
    QVERIFY(!QFile::exists(userCollection()));
    QCOMPARE(QString::fromStdString(program_.doc().databasePath()), bundled());
    QCOMPARE(program_.app()->messages().shown().size(), size_t(1));
    QVERIFY(program_.app()->messages().shown()[0].text.contains(QStringLiteral("bad.xml:2")));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestLawImport test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_law_import.moc"
