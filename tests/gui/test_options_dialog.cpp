// The options dialog in the running program: opened by its command, it
// shows every control of the option block; a colour picked in the chooser
// and applied recolours the page at once, and cancelling brings the old
// colours back; the custom colours are kept in CustColors.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <functional>
#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/command_registry.h"
#include "app/options_dialog.h"
#include "document/document.h"
#include "document/options.h"
#include "textview/gui/law_text_view.h"
#include "gui_test_support.h"
#include "textview/gui/pinpoint_view.h"

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

namespace {

const char* const kPage = "01A-00010000-00";

QString pageBackground(LawTextView* view) {
    return evaluate(view->page(), QStringLiteral("document.body ? getComputedStyle(document.body).backgroundColor : ''"))
        .toString();
}

bool waitForBackground(LawTextView* view, const QString& css) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (!view->pinPoint()->loadPending() && pageBackground(view) == css) return true;
        QTest::qWait(50);
    }
    return false;
}

QString css(const QColor& c) { return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

// Waits for a modal window of type T (the dialog runs its own event loop).
template <class T>
T* waitForModal() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible())
            return QTest::qWaitForWindowExposed(w) ? w : nullptr;
        QTest::qWait(20);
    }
    return nullptr;
}

}  // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void applyThenCancelBringsTheOldColoursBack();
    void everyControlIsThereAndFollowsTheWorkingBlock();
    void okKeepsTheChosenFontSizeAndWhiteCustomColoursClearNothing();

private:
    void startApp();
    LawTextView* view() const { return program_.view(); }
    Document& doc() const { return program_.doc(); }
    // Opens the dialog with the options command and runs drive while it is
    // open; true when drive ran.
    bool withDialog(const std::function<void(OptionsDialog*)>& drive);
    QString custColors() const {
        QSettings s(program_.settingsFile(), QSettings::IniFormat);
        return s.value(QStringLiteral("Settings-2008/CustColors")).toString();
    }

    testing::SampleProgram program_;
};

void TestOptionsDialog::init() { program_.prepare(); }

void TestOptionsDialog::cleanup() { program_.finish(); }

void TestOptionsDialog::startApp() {
    program_.start();
    QVERIFY(view()->showPage(kPage));
}

bool TestOptionsDialog::withDialog(const std::function<void(OptionsDialog*)>& drive) {
    bool ran = false;
    QTimer::singleShot(0, this, [&]() {
        OptionsDialog* dlg = waitForModal<OptionsDialog>();
        if (!dlg) return;
        drive(dlg);
        ran = true;
        // Whatever drive left open ends here.
        if (dlg->isVisible()) dlg->reject();
    });
    program_.frame()->commands().byName(QStringLiteral("options"))->trigger();
    return ran;
}

void TestOptionsDialog::applyThenCancelBringsTheOldColoursBack() {
    startApp();
    const QColor old = OptionsDialog::toQColor(doc().options()[BackColor]);
    QVERIFY(waitForBackground(view(), css(old)));
    const OptionBlock before = doc().options();
    const QColor chosen(0x12, 0x34, 0x56);
    QVERIFY(chosen != old);

    bool applied = false;
    QVERIFY(withDialog([&](OptionsDialog* dlg) {
        QVERIFY(dlg->control(1072));
        // The chooser opens on the swatch's colour; OK takes the new one and
        // the non-white custom colours.
        QColor offered;
        QTimer::singleShot(0, this, [&]() {
            QColorDialog* chooser = waitForModal<QColorDialog>();
            if (!chooser) return;
            offered = chooser->currentColor();
            chooser->setCurrentColor(chosen);
            QColorDialog::setCustomColor(3, QColor(0x60, 0x40, 0x20));
            chooser->accept();
        });
        QTest::mouseClick(dlg->control(1072), Qt::LeftButton);
        QCOMPARE(offered, old);
        QCOMPARE(dlg->model().working()[BackColor], int32_t(0x563412));
        // Not yet on the page: only "適用" hands the block over.
        QCOMPARE(doc().options()[BackColor], before[BackColor]);
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg->control(3)), Qt::LeftButton);
        applied = waitForBackground(view(), css(chosen));
        QVERIFY(dlg->isVisible());
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg->control(2)), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
    }));
    QVERIFY(applied);
    QVERIFY(waitForBackground(view(), css(old)));
    QCOMPARE(doc().options(), before);
    // The redisplays added no history entry: back leads to the page before.
    program_.frame()->commands().byName(QStringLiteral("back"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    // The sixteen custom colours, the chosen one at its place.
    const QStringList entries = custColors().split(QLatin1Char(':'));
    QCOMPARE(entries.size(), 16);
    QCOMPARE(custColors().size(), 111);
    QCOMPARE(entries[3], QStringLiteral("204060"));
    QCOMPARE(entries[0], QStringLiteral("FFFFFF"));
}

void TestOptionsDialog::everyControlIsThereAndFollowsTheWorkingBlock() {
    startApp();
    const OptionBlock before = doc().options();
    QVERIFY(withDialog([&](OptionsDialog* dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("オプション設定"));
        QStringList labels;
        for (QLabel* l : dlg->findChildren<QLabel*>()) labels << l->text();
        for (const char* text : {"本文及びタイトル", "表式", "トップ見出し", "セクション名", "告示の公布年月日", "背景",
                                 "第1括弧", "第2括弧", "第3括弧", "タグ（項、号、イ等）", "リンク文字",
                                 "リンク文字（アクティブ時）", "キーワード", "ピンポイントマーク", "第1検索単語",
                                 "第2検索単語", "第3検索単語"})
            QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
        QVERIFY(labels.contains(QStringLiteral("表式の文字サイズは10ptでデザインしました。そのため、表式の文字サイズを11pt"
                                               "以上にすると文字がうまくおさまらないことがあります。")));
        // Nineteen swatches and the blank one.
        for (int id : {1052, 1053, 1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066, 1069,
                       1070, 1071, 1072, 1073})
            QVERIFY2(dlg->control(id), qPrintable(QString::number(id)));
        QVERIFY(!dlg->control(1067) && !dlg->control(1068));
        const QStringList buttons{QStringLiteral("全てデフォルトに戻す"), QStringLiteral("OK"), QStringLiteral("適用"),
                                  QStringLiteral("取消")};
        QStringList shown;
        for (int id : {1074, 1, 3, 2}) shown << qobject_cast<QPushButton*>(dlg->control(id))->text();
        QCOMPARE(shown, buttons);

        auto* basic = qobject_cast<QComboBox*>(dlg->control(1050));
        QCOMPARE(basic->count(), 5);
        QCOMPARE(basic->itemText(0), QStringLiteral("8"));
        QCOMPARE(basic->itemText(4), QStringLiteral("12"));
        QCOMPARE(basic->currentText(), QString::number(before[FontSizeBasic]));

        // The check box swaps the pinpoint swatch for the blank one and back.
        auto* off = qobject_cast<QCheckBox*>(dlg->control(1042));
        QCOMPARE(off->text(), QStringLiteral("ピンポイントマークに色をつけない"));
        QCOMPARE(off->isChecked(), before[FontColorPioPointOff] == 1);
        off->click();
        QCOMPARE(dlg->model().working()[FontColorPioPointOff], before[FontColorPioPointOff] == 1 ? 0 : 1);
        QCOMPARE(dlg->control(1060)->isVisible(), !off->isChecked());
        QCOMPARE(dlg->control(1073)->isVisible(), off->isChecked());
        off->click();
        QCOMPARE(dlg->control(1060)->isVisible(), !off->isChecked());
        QCOMPARE(dlg->model().working()[FontColorPinPoint], before[FontColorPinPoint]);

        auto* user = qobject_cast<QRadioButton*>(dlg->control(1044));
        auto* preferDefault = qobject_cast<QRadioButton*>(dlg->control(1043));
        QCOMPARE(user->text(), QStringLiteral("ユーザ設定を優先する"));
        QCOMPARE(preferDefault->text(), QStringLiteral("デフォルト設定を優先する"));
        user->click();
        QCOMPARE(dlg->model().working()[PinPointPriority], 0);
        preferDefault->click();
        QCOMPARE(dlg->model().working()[PinPointPriority], 1);
        user->click();
        auto* revive = qobject_cast<QCheckBox*>(dlg->control(1045));
        QCOMPARE(revive->text(), QStringLiteral("最後に開いたページを起動時に表示する"));
        revive->click();
        QCOMPARE(dlg->model().working()[ReviveLastPage], revive->isChecked() ? 1 : 0);

        // Back to the defaults, the controls with them; the dialog stays.
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg->control(1074)), Qt::LeftButton);
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->model().working(), doc().defaultOptions());
        QCOMPARE(preferDefault->isChecked(), doc().defaultOptions()[PinPointPriority] == 1);
        QCOMPARE(revive->isChecked(), doc().defaultOptions()[ReviveLastPage] != 0);
        // ...and "取消" after it changes nothing.
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg->control(2)), Qt::LeftButton);
    }));
    QCOMPARE(doc().options(), before);
}

void TestOptionsDialog::okKeepsTheChosenFontSizeAndWhiteCustomColoursClearNothing() {
    // A stored list of the wrong length starts white; one that fits is read.
    {
        QSettings s(program_.settingsFile(), QSettings::IniFormat);
        QStringList entries(16, QStringLiteral("FFFFFF"));
        entries[5] = QStringLiteral("0000FF");
        s.setValue(QStringLiteral("Settings-2008/CustColors"), entries.join(QLatin1Char(':')));
    }
    startApp();
    QVERIFY(withDialog([&](OptionsDialog* dlg) {
        QCOMPARE(dlg->model().customColors()[5], uint32_t(0x0000FF));
        QColor offeredCustom;
        QTimer::singleShot(0, this, [&]() {
            QColorDialog* chooser = waitForModal<QColorDialog>();
            if (!chooser) return;
            offeredCustom = QColorDialog::customColor(5);
            QColorDialog::setCustomColor(5, Qt::white);
            chooser->setCurrentColor(QColor(0, 0x80, 0));
            chooser->accept();
        });
        QTest::mouseClick(dlg->control(1057), Qt::LeftButton);
        // The dialog's custom colours were offered; a white one leaves the
        // dialog's entry be.
        QCOMPARE(offeredCustom, QColor(0xFF, 0, 0));
        QCOMPARE(dlg->model().customColors()[5], uint32_t(0x0000FF));
        QCOMPARE(dlg->model().working()[FontColorLink], int32_t(0x008000));
        qobject_cast<QComboBox*>(dlg->control(1051))->setCurrentIndex(4);
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg->control(1)), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
    }));
    QCOMPARE(doc().options()[FontSizeTable], 12);
    QCOMPARE(doc().options()[FontColorLink], int32_t(0x008000));
    QCOMPARE(custColors().split(QLatin1Char(':')).value(5), QStringLiteral("0000FF"));
    // The page was built again with the new link colour.
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view()->page(), QStringLiteral("document.documentElement.outerHTML"))
                                 .toString()
                                 .contains(QStringLiteral("008000"), Qt::CaseInsensitive),
                             20000);
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestOptionsDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_options_dialog.moc"
