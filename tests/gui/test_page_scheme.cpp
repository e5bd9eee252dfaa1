// What the page scheme hands to the web view: the page published last under
// its own address, and files from the image folder only.
#include "textview/gui/page_scheme.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrel::gui;

namespace {
bool writeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("GIF89a") == 6;
}
}  // namespace

class TestPageScheme : public QObject {
    Q_OBJECT

  private slots:
    void pagesAreServedUnderTheirNewestAddress() {
        PageSchemeHandler handler;
        QVERIFY(!handler.servesPage(QStringLiteral("/")));
        const QUrl first = handler.publish(QStringLiteral("01A-00010000-00"), "<html>1</html>");
        QCOMPARE(first.toString(), QStringLiteral("tavrel://page/01A-00010000-00?v=1"));
        QVERIFY(handler.servesPage(first.path()));
        // The same page again gets a new address, so the view loads it anew.
        const QUrl again = handler.publish(QStringLiteral("01A-00010000-00"), "<html>2</html>");
        QCOMPARE(again.query(), QStringLiteral("v=2"));
        const QUrl other = handler.publish(QStringLiteral("00A-Z0010000-00"), "<html>3</html>");
        QVERIFY(handler.servesPage(other.path()));
        QVERIFY(!handler.servesPage(first.path()));
    }

    void onlyFilesInsideTheImageFolderAreServed() {
        QTemporaryDir dir;
        const QString images = dir.filePath(QStringLiteral("images08"));
        const QString arrow = images + QStringLiteral("/system/move_back.gif");
        QVERIFY(writeFile(arrow));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("secret.txt"))));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("images08evil/x.gif"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("secret.txt")), images + QStringLiteral("/system/link.gif")));

        PageSchemeHandler handler;
        // No image folder yet: nothing at all.
        QCOMPARE(handler.servableFile(arrow), QString());
        handler.setImageFolder(images);
        QCOMPARE(handler.servableFile(arrow), QFileInfo(arrow).canonicalFilePath());
        QCOMPARE(handler.servableFile(images + QStringLiteral("/system/../system/move_back.gif")),
                 QFileInfo(arrow).canonicalFilePath());
        QCOMPARE(handler.servableFile(images + QStringLiteral("/../secret.txt")), QString());
        QCOMPARE(handler.servableFile(dir.filePath(QStringLiteral("images08evil/x.gif"))), QString());
        QCOMPARE(handler.servableFile(images + QStringLiteral("/system/link.gif")), QString());
        QCOMPARE(handler.servableFile(images + QStringLiteral("/system")), QString());
        QCOMPARE(handler.servableFile(images + QStringLiteral("/system/missing.gif")), QString());
        QCOMPARE(handler.servableFile(QStringLiteral("/etc/passwd")), QString());
    }
};

QTEST_GUILESS_MAIN(TestPageScheme)
#include "test_page_scheme.moc"
