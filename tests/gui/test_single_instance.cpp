// The one-copy rule when copies start at the same moment: this program runs
// itself several times as claimants (each claims the name, as the program
// does at its start) released together; exactly one may listen, and every
// other one must have reached that one.
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/single_instance.h"

using tavrel::gui::SingleInstance;

namespace {

const char* const kClaimArgument = "--claim";

// A claimant: waits for the common start moment, claims, prints what it got;
// the copy that listens stays until it has been asked expected times (or
// for at most ten seconds) and prints how often it was asked.
int runClaimant(const QString& name, qint64 startAt, int expected) {
    SingleInstance instance(name);
    int asked = 0;
    QObject::connect(&instance, &SingleInstance::activationRequested, &instance, [&asked]() { ++asked; });
    while (QDateTime::currentMSecsSinceEpoch() < startAt) QThread::usleep(200);
    const SingleInstance::Claim c = instance.claim();
    if (c != SingleInstance::Claim::First) {
        std::printf(c == SingleInstance::Claim::AskedRunningCopy ? "asked\n" : "not listening\n");
        return 0;
    }
    QElapsedTimer t;
    t.start();
    while (asked < expected && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("first, asked %d\n", asked);
    return 0;
}

}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

  private slots:
    void copiesStartedTogetherLeaveExactlyOneListening();
};

void TestSingleInstance::copiesStartedTogetherLeaveExactlyOneListening() {
    constexpr int kCopies = 6;
    for (int round = 0; round < 3; ++round) {
        const QString name =
            QStringLiteral("tavrel-claim-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(round);
        // Far enough ahead for every claimant to be up and waiting.
        const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 1500;
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < kCopies; ++i) {
            auto p = std::make_unique<QProcess>();
            p->start(QCoreApplication::applicationFilePath(),
                     {QLatin1String(kClaimArgument), name, QString::number(startAt), QString::number(kCopies - 1)});
            copies.push_back(std::move(p));
        }
        QStringList answers;
        for (auto& p : copies) {
            QVERIFY(p->waitForFinished(30000));
            QCOMPARE(p->exitCode(), 0);
            answers << QString::fromLatin1(p->readAllStandardOutput()).trimmed();
        }
        answers.sort();
        QStringList expected(kCopies - 1, QStringLiteral("asked"));
        expected << QStringLiteral("first, asked %1").arg(kCopies - 1);
        QCOMPARE(answers, expected);
        QVERIFY(!QFile::exists(SingleInstance(name).lockFilePath()));
    }
}

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], kClaimArgument) == 0) {
        QCoreApplication app(argc, argv);
        return runClaimant(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(), atoi(argv[4]));
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_single_instance.moc"
