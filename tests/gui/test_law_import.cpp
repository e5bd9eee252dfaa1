// 「法令XMLの取り込み…」 and 「標準の収録データに戻す」 in the real window: an
// e-Gov file replaces its law in the user's collection and the window shows
// it without a restart (the bundled バリアフリー法 already is the whole file:
// the file imported is a copy that holds only its first two articles); a bad
// file changes nothing and names itself; a bookmark on an article the file
// lacks is hidden and named once; going back removes the user's collection
// and shows the bundled one again, the bookmark with it.
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
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidgetItemIterator>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::waitForText;

namespace {

const char* const kSecondArticle = "05A-00020000-00";
// The file imported holds 第1条 and 第2条 only: 第3条 goes with the import.
const char* const kThirdArticle = "05A-00030000-00";
const QString kThirdArticleText = QStringLiteral("移動等円滑化の促進に関する基本方針");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The e-Gov file of バリアフリー法 without its articles after 第2条 (of the
// main provision and of the 附則), written to path.
bool writeFirstTwoArticles(const QString& path) {
    QString xml = QString::fromUtf8(fileBytes(QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")));
    static const QRegularExpression later(QStringLiteral("<Article Num=\"(?!1\"|2\")[^\"]*\">.*?</Article>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    xml.remove(later);
    QFile f(path);
    return xml.contains(QStringLiteral("<Article Num=\"2\">")) && f.open(QIODevice::WriteOnly) &&
           f.write(xml.toUtf8()) > 0;
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
    QCOMPARE(sampleArticles, 88);
    QVERIFY(program_.view()->showPage(kSecondArticle));
    QVERIFY(waitForText(program_.view(), QStringLiteral("教育啓発特定事業")));
    QVERIFY(program_.view()->showPage(kThirdArticle));
    QVERIFY(waitForText(program_.view(), kThirdArticleText));
    // A bookmark on 第3条, which the imported file lacks.
    frame()->navigator()->selectTab(NavigatorPane::TabBookmarks);
    QTest::mouseClick(frame()->navigator()->addBookmarkButton(), Qt::LeftButton);
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 1);
    const QString bookmarkFile = QString::fromStdString(program_.doc().userFolder()) + QStringLiteral("tavrel08.bmk");
    QVERIFY(fileBytes(bookmarkFile).contains(kThirdArticle));

    const QString twoArticles = program_.path(QStringLiteral("418AC0000000091.xml"));
    QVERIFY(writeFirstTwoArticles(twoArticles));
    QVERIFY(frame()->importLawFiles({twoArticles}));
    QVERIFY(QFile::exists(userCollection()));
    QVERIFY(!QFile::exists(userCollection() + QStringLiteral(".import")));
    QCOMPARE(fileBytes(bundled()), bundledBytes);  // the bundled collection is never written
    QCOMPARE(QString::fromStdString(program_.doc().databasePath()), userCollection());
    // Without a restart: the tree, the page shown and the page of 第2条; 第3条
    // is gone.
    QCOMPARE(treeArticles(frame()->navigator()->tree(), "05A"), 2);
    QTRY_COMPARE_WITH_TIMEOUT(program_.view()->currentPageId(), std::string("05A-00010000-00"), 20000);
    QVERIFY(program_.view()->showPage(kSecondArticle));
    QVERIFY(waitForText(program_.view(), QStringLiteral("教育啓発特定事業")));
    QCOMPARE(program_.doc().articleTable().count(kThirdArticle), size_t(0));
    QVERIFY(restore->isEnabled());
    // The bookmark on 第3条 is not shown, stays in its file and is named once
    // after the reload.
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 0);
    QVERIFY(fileBytes(bookmarkFile).contains(kThirdArticle));
    const auto& shown = program_.app()->messages().shown();
    QVERIFY(!shown.empty());
    QVERIFY2(shown.back().text.startsWith(QStringLiteral("次のしおりとマーカーは、ページが収録データにないため")),
             qPrintable(shown.back().text));
    QVERIFY(shown.back().text.contains(QString::fromLatin1(kThirdArticle)));
    size_t messages = shown.size();
    frame()->reportHiddenEntries();
    QCOMPARE(program_.app()->messages().shown().size(), messages);

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
    QCOMPARE(program_.app()->messages().shown().size(), messages + 1);
    QVERIFY(program_.app()->messages().shown().back().text.contains(QStringLiteral("bad.xml:4")));
    messages = program_.app()->messages().shown().size();

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
    // 第2条 is still there: it stays on screen. 第3条 is back, and so is its
    // bookmark, without another report.
    QTRY_VERIFY_WITH_TIMEOUT(program_.view()->loadsFinished() > loads, 20000);
    QCOMPARE(program_.view()->currentPageId(), std::string(kSecondArticle));
    QCOMPARE(program_.doc().articleTable().count(kThirdArticle), size_t(1));
    QCOMPARE(frame()->navigator()->bookmarkStore().size(), 1);
    QCOMPARE(program_.app()->messages().shown().size(), messages + 2);  // the two questions
    QVERIFY(program_.view()->showPage(kThirdArticle));
    QVERIFY(waitForText(program_.view(), kThirdArticleText));
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
