#include "support/NetworkTransport.h"

#include "settings/Localization.h"
#include "support/Logging.h"
#include "support/ServiceEndpoints.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

namespace {

// Set on a reply we ended ourselves: the cap its answer went past, the address it was
// redirected to.
const char* const tooLargeProperty = "vesperinAnswerLimit";
const char* const redirectRefusedProperty = "vesperinRefusedRedirect";

// A promised or received length past `limit` ends the exchange before it fills memory or disk.
void limitAnswer(QNetworkReply* reply, qint64 limit) {
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, limit](qint64 received, qint64 total) {
                         if (received > limit || total > limit) {
                             qCWarning(lcService, "An answer of %s went past %lld bytes; ignored",
                                       qPrintable(reply->url().toString()), limit);
                             reply->setProperty(tooLargeProperty, limit);
                             reply->abort();
                         }
                     });
}

} // namespace

namespace NetworkTransport {

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
    limitAnswer(reply, maxAnswerBytes);
    return reply;
}

QNetworkReply* get(const QUrl& url, std::chrono::milliseconds timeout, qint64 limit) {
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = network().get(request);
    limitAnswer(reply, limit);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        const QUrl resolved = reply->url().resolved(target);
        if (ServiceEndpoints::isSecureAddress(resolved)) {
            Q_EMIT reply->redirectAllowed();
            return;
        }
        qCWarning(lcService, "%s was redirected to %s, which is not secure; refused",
                  qPrintable(reply->request().url().toString()), qPrintable(resolved.toString()));
        reply->setProperty(redirectRefusedProperty, resolved);
        reply->abort();
    });
    return reply;
}

QByteArray answerBody(QNetworkReply& reply) {
    if (!reply.isOpen() || wasTooLarge(reply))
        return {};
    QByteArray body = reply.read(maxAnswerBytes + 1);
    return body.size() > maxAnswerBytes ? QByteArray() : body;
}

bool wasTooLarge(const QNetworkReply& reply) {
    return reply.property(tooLargeProperty).isValid();
}

QString failureReason(const QNetworkReply& reply) {
    if (wasTooLarge(reply)) {
        const qint64 limit = reply.property(tooLargeProperty).toLongLong();
        return L("network.error.too_large", QLocale().formattedDataSize(limit, 0));
    }
    if (const QVariant refused = reply.property(redirectRefusedProperty); refused.isValid())
        return L("network.error.insecure_redirect", refused.toUrl().toString());
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        return L("network.error.status", status.toInt());
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return {};
    // Only the transfer time-out ends an exchange we did not end ourselves this way.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return L("network.error.timed_out");
    default:
        return reply.errorString().simplified();
    }
}

} // namespace NetworkTransport
