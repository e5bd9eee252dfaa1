// One running copy per user: the first start listens on a local socket
// named after the program's base name and the user; a second start asks it
// to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tavrel::gui {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Claim {
        First,             // this copy listens now
        AskedRunningCopy,  // another copy runs and was asked to come to the front
        NotListening,      // no other copy, but the name could not be taken
    };

    explicit SingleInstance(const QString& programBaseName, QObject* parent = nullptr);

    // Asks a running copy to come to the front, or else starts listening.
    // Copies started at the same moment take turns (a lock file around the
    // check and the listen), so exactly one of them listens.
    Claim claim();
    QString name() const { return name_; }
    // The lock file that serialises the claims.
    QString lockFilePath() const;

  signals:
    void activationRequested();

  private:
    bool askRunningCopy();
    bool listen();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tavrel::gui
