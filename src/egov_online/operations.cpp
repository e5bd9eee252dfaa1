#include "egov_online/operations.h"

#include "collection/database_reader.h"
#include "egov/law_xml.h"

#include <QDir>
#include <QSaveFile>

namespace tavrel::egov_online {

LawDownload::LawDownload(Client& client, QList<LawToDownload> laws, QString folder, QObject* parent)
    : QObject(parent), client_(client), laws_(std::move(laws)), folder_(std::move(folder)) {}

void LawDownload::start() {
    done_.clear();
    emit progress(0, int(laws_.size()));
    next();
}

void LawDownload::fail(const QString& lawId, const QString& error) {
    done_.clear();
    emit finished({}, error == cancelledMessage() ? error
                                                   : QStringLiteral("法令 %1 をe-Govから取得できませんでした。\n%2")
                                                         .arg(lawId, error));
}

void LawDownload::next() {
    if (done_.size() == laws_.size()) {
        emit finished(done_, {});
        return;
    }
    const LawToDownload law = laws_[done_.size()];
    if (law.revisionId.isEmpty()) {
        // The revision in force is asked for first, so that what is recorded
        // is the revision of the text downloaded.
        client_.lawRevisions(law.lawId, [this, law](const QList<Revision>& revisions, const QString& error) {
            if (!error.isEmpty()) return fail(law.lawId, error);
            const std::optional<Revision> current = currentRevision(revisions);
            if (!current) return fail(law.lawId, QStringLiteral("e-Govに現在施行中の版がありません。"));
            laws_[done_.size()].revisionId = current->revisionId;
            next();
        });
        return;
    }
    client_.lawFile(law.lawId, [this, law](const QByteArray& body, const QString& error) {
        if (!error.isEmpty()) return fail(law.lawId, error);
        const QString file = QDir(folder_).filePath(law.lawId + QStringLiteral(".xml"));
        DownloadedLaw d{law.lawId, law.revisionId, {}, file};
        try {
            // Refused here, a file names e-Gov's answer rather than a
            // temporary file; the import reads it again on its own.
            d.title = QString::fromStdString(egov::parseLawFile(body.toStdString(), law.lawId.toStdString()).title);
        } catch (const std::exception& e) {
            return fail(law.lawId, QStringLiteral("e-Govの応答が法令XMLではありません（%1）。")
                                       .arg(QString::fromUtf8(e.what())));
        }
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size() || !out.commit())
            return fail(law.lawId, QStringLiteral("%1 に書き込めません：%2").arg(file, out.errorString()));
        done_.push_back(d);
        emit progress(int(done_.size()), int(laws_.size()));
        next();
    });
}

UpdateCheck::UpdateCheck(Client& client, QList<ImportedLaw> laws, QObject* parent)
    : QObject(parent), client_(client), laws_(std::move(laws)) {}

void UpdateCheck::start() {
    asked_ = 0;
    skipped_ = 0;
    changes_.clear();
    emit progress(0, int(laws_.size()));
    next();
}

void UpdateCheck::next() {
    if (asked_ == laws_.size()) {
        emit finished(changes_, {});
        return;
    }
    const ImportedLaw law = laws_[asked_];
    if (!isLawId(law.lawId)) {
        ++skipped_;
        emit progress(++asked_, int(laws_.size()));
        next();
        return;
    }
    client_.lawRevisions(law.lawId, [this, law](const QList<Revision>& revisions, const QString& error) {
        if (!error.isEmpty()) {
            changes_.clear();
            emit finished({}, error == cancelledMessage()
                                  ? error
                                  : QStringLiteral("法令 %1 の改正履歴をe-Govから取得できませんでした。\n%2")
                                        .arg(law.lawId, error));
            return;
        }
        if (const std::optional<LawChange> change = changeSinceImport(law, revisions)) changes_.push_back(*change);
        emit progress(++asked_, int(laws_.size()));
        next();
    });
}

bool weeklyCheckDue(const QString& lastCheck, const QDate& today) {
    const QDate last = QDate::fromString(lastCheck, Qt::ISODate);
    return !last.isValid() || last.daysTo(today) >= 7 || last > today;
}

QList<ImportedLaw> importedLaws(const std::filesystem::path& collection) {
    QList<ImportedLaw> laws;
    for (const collection::LawSource& s : collection::readLawSources(collection))
        laws.push_back({QString::fromStdString(s.idHN), QString::fromStdString(s.lawId),
                        QString::fromStdString(s.lawNum), QString::fromStdString(s.revision),
                        QString::fromStdString(s.importedAt)});
    return laws;
}

}  // namespace tavrel::egov_online
