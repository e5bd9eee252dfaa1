// The two things the program and tavrel-cli do with e-Gov, each a chain of
// requests on one client: downloading the current text of laws into law
// files for the import, and checking the imported laws for newer revisions.
// Both end with finished(), once; a failure names the law and changes
// nothing but the download folder.
#pragma once

#include "egov_online/client.h"

#include <QDate>
#include <QObject>
#include <QStringList>

#include <filesystem>

namespace tavrel::egov_online {

// A law to download: its id and, when already known (from a search or a
// check), the revision in force; else it is asked for first.
struct LawToDownload {
    QString lawId, revisionId;
};

struct DownloadedLaw {
    QString lawId, revisionId, title;
    QString file;  // the law XML file written in the download folder
};

class LawDownload : public QObject {
    Q_OBJECT
  public:
    LawDownload(Client& client, QList<LawToDownload> laws, QString folder, QObject* parent = nullptr);
    void start();
    void cancel() { client_.cancelAll(); }

  signals:
    void progress(int done, int total);
    // laws empty and error set on a failure (cancelledMessage() when cancelled).
    void finished(const QList<tavrel::egov_online::DownloadedLaw>& laws, const QString& error);

  private:
    void next();
    void fail(const QString& lawId, const QString& error);

    Client& client_;
    QList<LawToDownload> laws_;
    QString folder_;
    QList<DownloadedLaw> done_;
};

class UpdateCheck : public QObject {
    Q_OBJECT
  public:
    UpdateCheck(Client& client, QList<ImportedLaw> laws, QObject* parent = nullptr);
    void start();
    void cancel() { client_.cancelAll(); }
    // Laws recorded without an e-Gov law id (a bare <Law> file from
    // elsewhere): e-Gov cannot be asked for them; they are left out.
    int skipped() const { return skipped_; }

  signals:
    void progress(int done, int total);
    // The laws revised since their import, in collection order.
    void finished(const QList<tavrel::egov_online::LawChange>& changes, const QString& error);

  private:
    void next();

    Client& client_;
    QList<ImportedLaw> laws_;
    int asked_ = 0;
    int skipped_ = 0;
    QList<LawChange> changes_;
};

// Whether the weekly check at start-up is due: never made, or made seven
// or more days before today (lastCheck yyyy-MM-dd; an unreadable date is due).
bool weeklyCheckDue(const QString& lastCheck, const QDate& today);

// The laws of a collection file that were imported (its T_法令XML rows);
// throws std::exception when the file cannot be read.
QList<ImportedLaw> importedLaws(const std::filesystem::path& collection);

}  // namespace tavrel::egov_online
