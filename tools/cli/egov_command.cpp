#include "egov_command.h"
#include "cli_options.h"
#include "import_command.h"

#include "egov/collection_update.h"
#include "egov_online/operations.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace tavrel::cli {

namespace {

const char* const kEgovUsage =
    "usage: tavrel-cli egov search <title> [--base URL] [--timeout SECONDS]\n"
    "       tavrel-cli egov add <law_id>... [--data DIR] [--base URL] [--timeout SECONDS]\n"
    "       tavrel-cli egov check [--data DIR] [--base URL] [--timeout SECONDS]\n";

int usage(const std::string& error) { return usageError(error, kEgovUsage); }

int failed(const char* sub, const QString& message) {
    std::fprintf(stderr, "tavrel-cli egov %s: %s\n", sub, message.toUtf8().constData());
    return 1;
}

// Runs the event loop until the operation's finished signal.
template <typename Operation, typename Signal>
void runToEnd(Operation& op, Signal signal) {
    QEventLoop loop;
    QObject::connect(&op, signal, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    op.start();
    loop.exec();
}

int search(egov_online::Client& client, const QString& text) {
    QList<egov_online::LawEntry> laws;
    QString error;
    QEventLoop loop;
    client.searchLaws(text, [&](const QList<egov_online::LawEntry>& found, const QString& e) {
        laws = found, error = e;
        loop.quit();
    });
    loop.exec();
    if (!error.isEmpty()) return failed("search", error);
    for (const egov_online::LawEntry& l : laws)
        std::printf("%s\t%s\t%s\t%s\t%s\n", l.lawId.toUtf8().constData(), l.title.toUtf8().constData(),
                    l.lawNum.toUtf8().constData(), egov_online::lawTypeName(l.lawType).toUtf8().constData(),
                    l.enforcementDate.toUtf8().constData());
    std::fprintf(stderr, "tavrel-cli egov search: %lld laws\n", static_cast<long long>(laws.size()));
    return 0;
}

int add(egov_online::Client& client, const QStringList& ids, const std::filesystem::path& database) {
    QTemporaryDir folder;
    if (!folder.isValid()) return failed("add", QStringLiteral("一時フォルダを作れません。"));
    QList<egov_online::LawToDownload> laws;
    for (const QString& id : ids) laws.push_back({id, {}});
    egov_online::LawDownload download(client, laws, folder.path());
    QList<egov_online::DownloadedLaw> got;
    QString error;
    QObject::connect(&download, &egov_online::LawDownload::finished, &download,
                     [&](const QList<egov_online::DownloadedLaw>& d, const QString& e) { got = d, error = e; });
    runToEnd(download, &egov_online::LawDownload::finished);
    if (!error.isEmpty()) return failed("add", error + QStringLiteral("\nnothing was changed"));

    egov::CollectionUpdate update;
    for (const egov_online::DownloadedLaw& d : got) {
        update.files.push_back(d.file.toStdString());
        update.origins.push_back({d.lawId.toStdString(), d.revisionId.toStdString()});
    }
    update.source = update.target = database;
    update.importedAt = nowUtc();
    update.markerFile = database.parent_path() / "default.ppj";
    try {
        printImportSummary(egov::updateCollection(update), database);
        return 0;
    } catch (const std::exception& e) {
        return failed("add", QString::fromUtf8(e.what()) + QStringLiteral("\nnothing was changed"));
    }
}

int check(egov_online::Client& client, const std::filesystem::path& database) {
    QList<egov_online::ImportedLaw> imported;
    try {
        imported = egov_online::importedLaws(database);
    } catch (const std::exception& e) {
        return failed("check", QString::fromUtf8(e.what()));
    }
    egov_online::UpdateCheck checker(client, imported);
    QList<egov_online::LawChange> changes;
    QString error;
    QObject::connect(&checker, &egov_online::UpdateCheck::finished, &checker,
                     [&](const QList<egov_online::LawChange>& c, const QString& e) { changes = c, error = e; });
    runToEnd(checker, &egov_online::UpdateCheck::finished);
    if (!error.isEmpty()) return failed("check", error);
    for (const egov_online::LawChange& c : changes)
        std::printf("%s\t%s\t%s\t%s -> %s\t%s\n", c.law.idHN.toUtf8().constData(), c.law.lawId.toUtf8().constData(),
                    c.current.title.toUtf8().constData(),
                    (c.oldDate.isEmpty() ? QStringLiteral("?") : c.oldDate).toUtf8().constData(),
                    c.current.enforcementDate.toUtf8().constData(), c.current.amendLawNum.toUtf8().constData());
    std::printf("tavrel-cli egov check: %lld of %lld imported laws revised since their import\n",
                static_cast<long long>(changes.size()), static_cast<long long>(imported.size()));
    if (checker.skipped() > 0)
        std::fprintf(stderr, "tavrel-cli egov check: %d laws without an e-Gov law id not checked\n", checker.skipped());
    return 0;
}

}  // namespace

bool isEgovCommand(const std::vector<std::string>& args) { return commandWord(args) == "egov"; }

int egovMain(int argc, char** argv, const std::vector<std::string>& args, const std::string& executableFolder,
             const std::string& userFallback) {
    std::vector<std::string> words;
    std::string dataFolder;
    egov_online::ClientSettings settings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data" || a == "--base" || a == "--timeout") {
            if (i + 1 == args.size()) return usage(a + " needs a value");
            const std::string value = args[++i];
            if (a == "--data") {
                dataFolder = value;
            } else if (a == "--base") {
                settings.base = QUrl(QString::fromStdString(value));
            } else {
                bool ok = false;
                const double seconds = QString::fromStdString(value).toDouble(&ok);
                if (!ok || seconds <= 0 || seconds > 3600) return usage("--timeout needs seconds (0 < s <= 3600)");
                settings.timeoutMs = static_cast<int>(seconds * 1000);
            }
        } else if (a.rfind("--", 0) == 0) {
            return usage("unknown option " + a);
        } else {
            words.push_back(a);
        }
    }
    // words[0] is "egov".
    const std::string sub = words.size() > 1 ? words[1] : std::string();
    const std::vector<std::string> rest(words.begin() + std::min<size_t>(words.size(), 2), words.end());
    if (sub == "search" && rest.empty()) return usage("egov search needs a title");
    if (sub == "add" && rest.empty()) return usage("egov add needs law ids");
    if (sub == "check" && !rest.empty()) return usage("egov check takes no words");
    if (sub != "search" && sub != "add" && sub != "check") return usage("egov needs search, add or check");
    const QString problem = egov_online::baseAddressProblem(settings.base);
    if (!problem.isEmpty()) return failed(sub.c_str(), problem);

    QCoreApplication app(argc, argv);
    egov_online::Client client(settings);
    if (sub == "search") {
        QStringList text;
        for (const std::string& w : rest) text << QString::fromStdString(w);
        return search(client, text.join(QLatin1Char(' ')));
    }
    const std::filesystem::path database = importTarget(dataFolder, executableFolder, userFallback);
    if (sub == "check") return check(client, database);
    QStringList ids;
    for (const std::string& w : rest) {
        const QString id = QString::fromStdString(w);
        if (!egov_online::isLawId(id)) return usage("not a law id: " + w);
        ids << id;
    }
    return add(client, ids, database);
}

}  // namespace tavrel::cli
