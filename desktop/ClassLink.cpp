#include "ClassLink.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QRandomGenerator>
#include <QtCore/QUrl>
#include <QtNetwork/QNetworkAccessManager>
#include <QtNetwork/QNetworkReply>
#include <QtNetwork/QNetworkRequest>

#include <nats/nats.h>

#include <cstdlib>
#include <cstring>

namespace pr {

namespace {

// As the page: a broker that stops answering is given up after two pings, 2 s apart, and
// tried again for as long as the class lasts.
constexpr int64_t kPingMs = 2000;
constexpr int kPingsOut = 2;

natsStatus userJwt(char **jwt, char **, void *closure)
{
    *jwt = strdup(static_cast<const ClassLink::Credentials *>(closure)->jwt.c_str());
    return *jwt ? NATS_OK : NATS_NO_MEMORY;
}

natsStatus signNonce(char **, unsigned char **signature, int *length, const char *nonce,
                     void *closure)
{
    return nats_Sign(static_cast<const ClassLink::Credentials *>(closure)->seed.c_str(), nonce,
                     signature, length);
}

std::string text(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key)).toString().toStdString();
}

} // namespace

ClassLink::ClassLink(QObject *parent) : QObject(parent), http_(new QNetworkAccessManager(this)) {}

ClassLink::~ClassLink()
{
    // Destroying the subscriptions and the connection waits for their callbacks to return;
    // what they queued for this object is dropped with it.
    for (auto &[subject, sub] : subs_)
        natsSubscription_Destroy(sub);
    if (nc_)
        natsConnection_Destroy(nc_);
}

void ClassLink::join(const QString &address, const QString &code, const QString &name)
{
    QUrl url(address.trimmed());
    const QString fragment = url.fragment();
    url.setFragment(QString());
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https")) {
        emit failed(QStringLiteral("授業につながりません"));
        return;
    }
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    QJsonObject body;
    const bool teacher = fragment.startsWith(QStringLiteral("teacher="));
    if (teacher) {
        body.insert(QStringLiteral("key"), fragment.mid(8));
    } else {
        if (code.trimmed().isEmpty() || name.trimmed().isEmpty()) {
            emit failed(QStringLiteral("クラスコードと名前を入れてください"));
            return;
        }
        body.insert(QStringLiteral("code"), code.trimmed());
        body.insert(QStringLiteral("name"), name.trimmed());
    }
    QNetworkRequest request(url.resolved(QUrl(teacher ? QStringLiteral("teacher")
                                                       : QStringLiteral("join"))));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply *reply = http_->post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    connect(reply, &QNetworkReply::finished, this, [this, reply, teacher] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QJsonObject o = QJsonDocument::fromJson(reply->readAll()).object();
        if (status == 403 || status == 404) {
            emit failed(teacher ? QStringLiteral("先生のアドレスではありません")
                                : QStringLiteral("クラスコードが違います"));
            return;
        }
        if (status == 429 || status == 503) {
            emit failed(QStringLiteral("少し待ってからもう一度どうぞ"));
            return;
        }
        Credentials c;
        c.teacher = teacher;
        c.jwt = text(o, "jwt");
        c.seed = text(o, "seed");
        c.classTag = text(o, "classTag");
        c.pupil = text(o, "pupil");
        c.inboxPrefix = text(o, "inboxPrefix");
        c.classCode = text(o, "classCode");
        for (const QJsonValue v : o.value(QStringLiteral("natsUrls")).toArray())
            c.natsUrls.append(v.toString());
        if (status != 200 || c.jwt.empty() || c.seed.empty() || c.classTag.empty() ||
            c.natsUrls.isEmpty() || (!teacher && c.pupil.empty())) {
            emit failed(QStringLiteral("授業につながりません"));
            return;
        }
        creds_ = std::move(c);
        if (connectBroker())
            emit joined();
    });
}

bool ClassLink::connectBroker()
{
    natsOptions *opts = nullptr;
    if (natsOptions_Create(&opts) != NATS_OK) {
        emit failed(QStringLiteral("授業につながりません"));
        return false;
    }
    std::vector<std::string> urls;
    for (const QString &u : creds_.natsUrls)
        urls.push_back(u.toStdString());
    std::vector<const char *> servers;
    for (const std::string &u : urls)
        servers.push_back(u.c_str());
    natsOptions_SetServers(opts, servers.data(), int(servers.size()));
    natsOptions_SetUserCredentialsCallbacks(opts, userJwt, &creds_, signNonce, &creds_);
    // A pupil may read its own inbox alone.
    const std::string inbox = creds_.inboxPrefix.empty() ? std::string("_INBOX")
                                                         : creds_.inboxPrefix;
    if (!creds_.inboxPrefix.empty())
        natsOptions_SetCustomInboxPrefix(opts, inbox.c_str());
    natsOptions_SetMaxReconnect(opts, -1);
    natsOptions_SetReconnectWait(opts, 1000);
    natsOptions_SetPingInterval(opts, kPingMs);
    natsOptions_SetMaxPingsOut(opts, kPingsOut);
    const auto report = [](natsConnection *, void *closure) {
        auto *self = static_cast<ClassLink *>(closure);
        QMetaObject::invokeMethod(self, [self] {
            const bool on = natsConnection_Status(self->nc_) == NATS_CONN_STATUS_CONNECTED;
            if (on != self->online_) {
                self->online_ = on;
                emit self->onlineChanged(on);
            }
        }, Qt::QueuedConnection);
    };
    natsOptions_SetDisconnectedCB(opts, report, this);
    natsOptions_SetReconnectedCB(opts, report, this);
    natsOptions_SetRetryOnFailedConnect(opts, true, report, this);
    const natsStatus s = natsConnection_Connect(&nc_, opts);
    natsOptions_Destroy(opts);
    if (s != NATS_OK && s != NATS_NOT_YET_CONNECTED) {
        nc_ = nullptr;
        emit failed(QStringLiteral("授業につながりません"));
        return false;
    }
    if (s == NATS_OK) {
        online_ = true;
        emit onlineChanged(true);
    }
    replyBase_ = inbox + ".kept" + std::to_string(QRandomGenerator::global()->generate());
    subscribe(replyBase_ + ".*");
    return true;
}

void ClassLink::onMessage(natsConnection *, natsSubscription *, natsMsg *msg, void *closure)
{
    auto *self = static_cast<ClassLink *>(closure);
    const QString subject = QString::fromUtf8(natsMsg_GetSubject(msg));
    const QByteArray bytes(natsMsg_GetData(msg), natsMsg_GetDataLength(msg));
    const char **keys = nullptr;
    int count = 0;
    const bool headers = natsMsgHeader_Keys(msg, &keys, &count) == NATS_OK && count > 0;
    std::free(keys);
    // The subject a kept message was kept on, if named exactly once.
    const char **values = nullptr;
    int n = 0;
    QString kept;
    if (natsMsgHeader_Values(msg, "Nats-Subject", &values, &n) == NATS_OK) {
        if (n == 1)
            kept = QString::fromUtf8(values[0]);
        std::free(values);
    }
    natsMsg_Destroy(msg);
    QMetaObject::invokeMethod(self, [self, subject, bytes, headers, kept] {
        self->deliver(subject, bytes, headers, kept);
    }, Qt::QueuedConnection);
}

void ClassLink::deliver(const QString &subject, const QByteArray &bytes, bool withHeaders,
                        const QString &keptOn)
{
    const std::string s = subject.toStdString();
    const auto asked = asked_.find(s);
    if (asked == asked_.end()) {
        emit received(subject, bytes, withHeaders);
        return;
    }
    const std::string wanted = asked->second;
    asked_.erase(asked);
    // An answer without the subject it was kept on (nothing kept: a status alone) holds no
    // board.
    if (keptOn.toStdString() == wanted && !bytes.isEmpty())
        emit received(QString::fromStdString(wanted), bytes, true);
}

void ClassLink::subscribe(const std::string &subject)
{
    if (!nc_ || subs_.count(subject))
        return;
    natsSubscription *sub = nullptr;
    if (natsConnection_Subscribe(&sub, nc_, subject.c_str(), &ClassLink::onMessage, this) ==
        NATS_OK)
        subs_[subject] = sub;
}

void ClassLink::publish(const std::string &subject, const std::string &bytes)
{
    if (nc_)
        natsConnection_Publish(nc_, subject.c_str(), bytes.data(), int(bytes.size()));
}

void ClassLink::askKept(const std::string &stream, const std::string &subject)
{
    if (!nc_)
        return;
    const std::string reply = replyBase_ + "." + std::to_string(++asks_);
    asked_[reply] = subject;
    natsConnection_PublishRequest(nc_, ("$JS.API.DIRECT.GET." + stream + "." + subject).c_str(),
                                  reply.c_str(), "", 0);
}

} // namespace pr
