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
    explicit SingleInstance(const QString& programBaseName, QObject* parent = nullptr);

    // True when another copy answered (and was asked to come to the front).
    bool askRunningCopy();
    // Starts listening; false when the name cannot be taken.
    bool listen();
    QString name() const { return name_; }

  signals:
    void activationRequested();

  private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tavrel::gui
