#include "SingleInstance.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QLockFile>
#include <QtCore/QStandardPaths>
#include <QtCore/QTimer>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>

namespace pr {

namespace {

constexpr int kWaitMs = 3000;
const QByteArray kTaken = "ok\n";

QString folderKey(const QString &boardFolder)
{
    const QByteArray path = QDir::cleanPath(QDir(boardFolder).absolutePath()).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace

SingleInstance::SingleInstance(const QString &boardFolder, QObject *parent) : QObject(parent)
{
    const QString base = QStringLiteral("parallel-ratio-") + folderKey(boardFolder);
#ifdef Q_OS_WIN
    // Pipe names are one namespace for the machine: the user's name keeps users apart, and
    // the server accepts only its own user.
    name_ = base + u'-' + qEnvironmentVariable("USERNAME");
    lockPath_ = QDir::temp().filePath(name_ + QStringLiteral(".lock"));
#else
    // Qt makes the runtime folder private to the user (0700) where none is set.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QDir dir(runtime.isEmpty() ? QDir::tempPath() : runtime);
    name_ = dir.filePath(base + QStringLiteral(".socket"));
    lockPath_ = dir.filePath(base + QStringLiteral(".lock"));
#endif
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close(); // removes the socket file
}

bool SingleInstance::handOver(const QByteArray &request) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs))
        return false; // nobody listens: none runs, or one crashed and left its socket
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (socket.bytesAvailable() < kTaken.size() && socket.waitForReadyRead(kWaitMs)) {
    }
    return socket.read(kTaken.size()) == kTaken;
}

bool SingleInstance::handOverOrListen(const QByteArray &request)
{
    QLockFile lock(lockPath_);
    lock.setStaleLockTime(kWaitMs * 3);
    const bool locked = lock.tryLock(kWaitMs * 2);
    if (handOver(request))
        return true;
    QLocalServer::removeServer(name_); // a crashed program's socket
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    if (!server_->listen(name_))
        qWarning("parallel-ratio: no other start can find this window (%s)",
                 qPrintable(server_->errorString()));
    if (locked)
        lock.unlock();
    return false;
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest)
                    socket->abort(); // no line end in sight: not one of ours
                return;
            }
            QByteArray line = socket->readLine(kMaxRequest + 1);
            if (!line.endsWith('\n')) {
                socket->abort();
                return;
            }
            line.chop(1);
            socket->write(kTaken);
            socket->disconnectFromServer();
            emit requested(line);
        });
        // A connection that says nothing is let go.
        QTimer::singleShot(kWaitMs, socket, [socket] { socket->abort(); });
    }
}

} // namespace pr
