#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vireo {

namespace {
constexpr char ActivateMessage[] = "activate\n";

QString userTag() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
#ifdef Q_OS_UNIX
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty() && QDir(runtimeDir).exists())
        serverName_ = QDir(runtimeDir).filePath(key + QStringLiteral(".instance"));
    else
        serverName_ = QDir(QDir::tempPath()).filePath(key + QStringLiteral("-") + userTag() + QStringLiteral(".instance"));
#else
    serverName_ = key + QStringLiteral("-") + userTag();
#endif
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::NotifyRunningInstance(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_, QIODevice::WriteOnly);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(ActivateMessage);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::Listen() {
    if (server_) return server_->isListening();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) {
        // A socket left behind by a crashed instance: nobody answered on it, so take it over.
        QLocalServer::removeServer(serverName_);
        if (!server_->listen(serverName_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        auto handle = [this, guard]() {
            if (!guard) return;
            if (guard->canReadLine()) {
                const QByteArray line = guard->readLine();
                if (line == ActivateMessage) emit ActivationRequested();
                guard->disconnectFromServer();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle();
    }
}

}  // namespace vireo
