#include "service/ServiceEndpoints.h"

#include "service/Logging.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

namespace {

const char* const tooLargeProperty = "vesperinAnswerTooLarge";

bool isLoopbackHost(const QString& host) {
    if (host.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QUrl endpoint(const char* name) {
    QUrl url = ServiceEndpoints::base();
    QString path = url.path();
    while (path.endsWith('/'))
        path.chop(1);
    url.setPath(path + "/" + name);
    return url;
}

} // namespace

namespace ServiceEndpoints {

bool isAcceptableBase(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == "https" || (scheme == "http" && isLoopbackHost(url.host()));
}

QUrl base() {
    const QUrl chosen(qEnvironmentVariable(baseVariable), QUrl::StrictMode);
    return isAcceptableBase(chosen) ? chosen : QUrl(defaultBase);
}

QUrl crash() {
    return endpoint("crash");
}

QUrl check() {
    return endpoint("check");
}

QUrl report() {
    return endpoint("report");
}

QString appVersion() {
    return QStringLiteral(VESPERIN_VERSION);
}

QNetworkAccessManager& network() {
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        QCoreApplication* application = QCoreApplication::instance();
        manager = new QNetworkAccessManager(application);
        QObject::connect(application, &QCoreApplication::aboutToQuit, manager,
                         &QObject::deleteLater);
    }
    return *manager;
}

QNetworkReply* post(const QUrl& endpoint, const QJsonObject& record,
                    std::chrono::milliseconds timeout) {
    QNetworkRequest request(endpoint);
    request.setTransferTimeout(int(timeout.count()));
    // Without a type Qt would label the body as a form and warn about it.
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply* reply =
        network().post(request, QJsonDocument(record).toJson(QJsonDocument::Compact));
    // A promised or received length past the limit ends the exchange before it fills memory.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64 total) {
                         if (received > maxAnswerBytes || total > maxAnswerBytes) {
                             qCWarning(lcService, "An answer of %s went past %lld bytes; ignored",
                                       qPrintable(reply->url().toString()), maxAnswerBytes);
                             reply->setProperty(tooLargeProperty, true);
                             reply->abort();
                         }
                     });
    return reply;
}

QByteArray answerBody(QNetworkReply& reply) {
    if (!reply.isOpen() || reply.property(tooLargeProperty).toBool())
        return {};
    QByteArray body = reply.read(maxAnswerBytes + 1);
    return body.size() > maxAnswerBytes ? QByteArray() : body;
}

} // namespace ServiceEndpoints
