#pragma once
#include <QtCore/QByteArray>
#include <QtCore/QObject>
#include <QtCore/QString>

class QLocalServer;

namespace pr {

// One program per user and board folder: two windows writing one kept board would each
// overwrite the other's. The first start listens on a local socket named after the folder
// (in the user's own runtime folder, which no other user can enter); a later start hands its
// request to it and ends. A socket left by a program that crashed answers nobody and is
// replaced; a lock file keeps two starts at the same moment from both taking the socket.
//
// A request is one short line; anything else a connection sends is ignored.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString &boardFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Brings the program already running to the front (and hands it `request`): true if it
    // took it, so this start should end. Otherwise this one listens from now on, and later
    // starts reach it; false.
    bool handOverOrListen(const QByteArray &request = "show");

    // The socket's full name, for tests.
    const QString &socketName() const { return name_; }

    // The largest request read; a longer one is dropped.
    static constexpr int kMaxRequest = 4096;

signals:
    // A later start asked for the window (`request` without its line end).
    void requested(const QByteArray &request);

private:
    bool handOver(const QByteArray &request) const;
    void accept();

    QString name_;
    QString lockPath_;
    QLocalServer *server_ = nullptr;
};

} // namespace pr
