#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vireo {

namespace {

constexpr char kActivateMessage[] = "activate\n";

#ifdef Q_OS_UNIX
// A real folder (no link) of this user's that nobody else may enter.
bool IsPrivateFolder(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

// The socket there is one this user made (a socket, not some other file, and ours).
bool IsOwnSocket(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

// Whoever is at the other end of a local connection.
bool PeerIsThisUser(qintptr descriptor) {
#ifdef SO_PEERCRED
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0) return false;
    return cred.uid == ::getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(static_cast<int>(descriptor), &uid, &gid) == 0 && uid == ::getuid();
#endif
}
#endif

}  // namespace

QString PrivateRuntimeFolder(const QString& key) {
#ifdef Q_OS_UNIX
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime)) return QFile::decodeName(runtime);
    const QString own = QDir(QDir::tempPath()).filePath(key + QLatin1Char('-') + QString::number(::getuid()));
    const QByteArray path = QFile::encodeName(own);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return {};
    // Someone else's folder (or link) of that name is not used: the clock then runs without
    // the one-clock rule rather than talk to a stranger.
    return IsPrivateFolder(path) ? own : QString();
#else
    return QDir::tempPath();
#endif
}

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), key_(key), folder_(PrivateRuntimeFolder(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName() const {
    if (folder_.isEmpty()) return {};
    return QDir(folder_).filePath(key_ + QStringLiteral(".instance"));
}

bool SingleInstance::Listening() const { return server_ && server_->isListening(); }

SingleInstance::Claim SingleInstance::ClaimOrNotify(int waitMs) {
    if (folder_.isEmpty()) return Claim::Unavailable;
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(key_ + QStringLiteral(".lock")));
    // Held for life, never stale by age; a lock whose holder is gone is taken over at once.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return Listen() ? Claim::First : Claim::Unavailable;
    if (lock_->error() != QLockFile::LockFailedError) {
        lock_.reset();
        return Claim::Unavailable;
    }
    lock_.reset();
    // Another clock holds the lock: ask it to come forward. It may be starting still.
    Notify(waitMs);
    return Claim::Running;
}

bool SingleInstance::Listen() {
    // Only the lock's holder gets here, so a socket left by a clock that died is no one's.
    QLocalServer::removeServer(ServerName());
    server_ = new QLocalServer(this);
    if (!server_->listen(ServerName())) return false;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::Notify(int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    do {
#ifdef Q_OS_UNIX
        if (IsOwnSocket(ServerName())) {
#endif
            QLocalSocket socket;
            socket.connectToServer(ServerName(), QIODevice::WriteOnly);
            if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
                socket.write(kActivateMessage);
                socket.waitForBytesWritten(1000);
                socket.disconnectFromServer();
                if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
                return true;
            }
#ifdef Q_OS_UNIX
        }
#endif
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
#ifdef Q_OS_UNIX
        if (!PeerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
#endif
        // Nothing is kept beyond one short line.
        socket->setReadBufferSize(kMaxMessage);
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (guard) Read(guard);
        });
        Read(socket);
    }
}

void SingleInstance::Read(QLocalSocket* socket) {
    if (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxMessage + 1);
        if (line == kActivateMessage) emit ActivationRequested();
        socket->disconnectFromServer();
        return;
    }
    // A full buffer without a line end is no message of ours.
    if (socket->bytesAvailable() >= kMaxMessage) socket->abort();
}

}  // namespace vireo
