#include "app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace tavrel::gui {

namespace {
constexpr int kAnswerWait = 1000;
const QByteArray kRaise = "raise\n";
}  // namespace

SingleInstance::SingleInstance(const QString& programBaseName, QObject* parent) : QObject(parent) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    name_ = programBaseName + QLatin1Char('-') + user;
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
        // A copy that crashed leaves its socket behind.
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
