#pragma once
#include <QtCore/QByteArray>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdint>
#include <map>
#include <string>

class QNetworkAccessManager;
struct __natsConnection;
struct __natsSubscription;
struct __natsMsg;

namespace pr {

// The window's connection to a live class: the join service's credentials over HTTP, then
// the class's broker over plain TCP (libnats). It moves bytes and decides nothing about them.
// libnats calls back on threads of its own; everything it reports reaches this object's
// signals on the thread the object lives on (the window's), queued.
class ClassLink : public QObject {
    Q_OBJECT

public:
    struct Credentials {
        bool teacher = false;
        std::string classTag, pupil, inboxPrefix, classCode, jwt, seed;
        QStringList natsUrls;
    };

    explicit ClassLink(QObject *parent = nullptr);
    ~ClassLink() override;

    // address: the pupils' address, or the teacher's (…#teacher=<key>, where code and name
    // are not asked for). Ends in joined() or failed() with the text for the user.
    void join(const QString &address, const QString &code, const QString &name);
    const Credentials &credentials() const { return creds_; }
    bool online() const { return online_; }

    void subscribe(const std::string &subject);
    void publish(const std::string &subject, const std::string &bytes);
    // The snapshot the broker keeps on `subject`: delivered by received() with withHeaders,
    // only if the broker says it was kept on that very subject.
    void askKept(const std::string &stream, const std::string &subject);

signals:
    void joined();
    void failed(const QString &text);
    void onlineChanged(bool online);
    void received(const QString &subject, const QByteArray &bytes, bool withHeaders);

private:
    bool connectBroker(); // false after failed()
    void deliver(const QString &subject, const QByteArray &bytes, bool withHeaders,
                 const QString &keptOn);
    static void onMessage(__natsConnection *, __natsSubscription *, __natsMsg *msg,
                          void *closure);

    QNetworkAccessManager *http_ = nullptr;
    Credentials creds_;
    __natsConnection *nc_ = nullptr;
    std::map<std::string, __natsSubscription *> subs_;
    std::string replyBase_; // <inbox>.kept: answers of the broker's kept snapshots
    std::map<std::string, std::string> asked_; // reply subject -> kept subject
    std::uint64_t asks_ = 0;
    bool online_ = false;
};

} // namespace pr
