// The settings store on QSettings: values keep their type and Japanese text
// survives the trip through the file; missing or mistyped values read as the
// default.
#include "app/qt_settings_store.h"
#include "text/sjis.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrel;
using namespace tavrel::gui;

class TestQtSettingsStore : public QObject {
    Q_OBJECT

  private slots:
    void valuesSurviveAReopen() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.ini"));
        const std::string japanese = text::fromUtf8("建築基準法　第２条");
        {
            QtSettingsStore store(file);
            store.writeInt("Settings-2008", "FontSizeBasic", -12);
            store.writeText("Settings-2008", "CurIDFN", "01A-00020000-00");
            store.writeText("Settings-2008", "SearchTarget-01", japanese);
            store.writeBinary("Settings-2008", "SchDlgA", {0, 1, 0xFF, 0x80, 7, 0, 0, 9});
            store.sync();
        }
        QtSettingsStore store(file);
        QCOMPARE(store.readInt("Settings-2008", "FontSizeBasic", 0), -12);
        QCOMPARE(store.readText("Settings-2008", "CurIDFN", ""), std::string("01A-00020000-00"));
        QCOMPARE(store.readText("Settings-2008", "SearchTarget-01", ""), japanese);
        std::vector<uint8_t> bytes;
        QVERIFY(store.readBinary("Settings-2008", "SchDlgA", bytes));
        QCOMPARE(bytes, (std::vector<uint8_t>{0, 1, 0xFF, 0x80, 7, 0, 0, 9}));
        // Sections are kept apart.
        QCOMPARE(store.readInt("Records", "FontSizeBasic", 5), 5);
    }

    void missingOrMistypedValuesReadAsDefault() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.filePath(QStringLiteral("s.ini")));
        QCOMPARE(store.readInt("Settings-2008", "Synchro", 1), 1);
        QCOMPARE(store.readText("Settings-2008", "CurIDFN", "00A-Z0010000-00"), std::string("00A-Z0010000-00"));
        std::vector<uint8_t> untouched{42};
        QVERIFY(!store.readBinary("Settings-2008", "SchDlgA", untouched));
        QCOMPARE(untouched, std::vector<uint8_t>{42});

        store.writeText("Settings-2008", "Synchro", "yes");
        QCOMPARE(store.readInt("Settings-2008", "Synchro", 1), 1);
        store.writeBinary("Settings-2008", "CurIDFN", {1, 2});
        QCOMPARE(store.readText("Settings-2008", "CurIDFN", "dflt"), std::string("dflt"));
        QCOMPARE(store.readInt("Settings-2008", "CurIDFN", 3), 3);
        store.writeInt("Settings-2008", "SchDlgB", 4);
        QVERIFY(!store.readBinary("Settings-2008", "SchDlgB", untouched));
    }
};

QTEST_GUILESS_MAIN(TestQtSettingsStore)
#include "test_qt_settings_store.moc"
