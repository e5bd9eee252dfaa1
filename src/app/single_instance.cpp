#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace tavrel::gui {

namespace {
constexpr int kAnswerWait = 1000;
// A copy holds the lock only for the check and the listen: a few
// milliseconds, even on a loaded machine well under this.
constexpr int kLockWait = 10000;
const QByteArray kRaise = "raise\n";
}  // namespace

SingleInstance::SingleInstance(const QString& programBaseName, QObject* parent) : QObject(parent) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    name_ = programBaseName + QLatin1Char('-') + user;
}

QString SingleInstance::lockFilePath() const {
    return QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock"));
}

SingleInstance::Claim SingleInstance::claim() {
    // Without the lock two copies started together could both find no
    // server, and the second's clean-up of a "left-behind" socket would
    // take the name from the first. A lock that cannot be had (a folder
    // without write access) leaves the check unguarded rather than the
    // program unstarted; a copy that died holding it leaves a stale lock,
    // which QLockFile takes over.
    QLockFile lock(lockFilePath());
    const bool locked = lock.tryLock(kLockWait);
    if (askRunningCopy()) return Claim::AskedRunningCopy;
    const bool listening = listen();
    if (locked) lock.unlock();
    return listening ? Claim::First : Claim::NotListening;
}

bool SingleInstance::askRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kAnswerWait)) return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(kAnswerWait);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // No copy answered, so the socket is one a crashed copy left behind.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this]() {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, s, [this, s]() {
                if (s->readAll().contains("raise")) emit activationRequested();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace tavrel::gui
