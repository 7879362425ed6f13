#include "network/helper/NetworkTransport.h"

#include "network/Logging.h"
#include "network/ServiceEndpoints.h"

#include <QCoreApplication>
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
                             qCWarning(lcNetwork, "An answer of %s went past %lld bytes; ignored",
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

QNetworkReply* post(const QUrl& endpoint, const QByteArray& body, std::chrono::milliseconds timeout,
                    qint64 limit) {
    QNetworkRequest request(endpoint);
    request.setTransferTimeout(int(timeout.count()));
    // Without a type Qt would label the body as a form and warn about it.
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply* reply = network().post(request, body);
    limitAnswer(reply, limit);
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
        qCWarning(lcNetwork, "%s was redirected to %s, which is not secure; refused",
                  qPrintable(reply->request().url().toString()), qPrintable(resolved.toString()));
        reply->setProperty(redirectRefusedProperty, resolved);
        reply->abort();
    });
    return reply;
}

NetworkAnswer answerOf(QNetworkReply& reply, std::optional<qint64> bodyLimit) {
    using Failure = NetworkAnswer::Failure;
    NetworkAnswer answer;
    answer.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.url = reply.url();
    if (const QVariant limit = reply.property(tooLargeProperty); limit.isValid()) {
        answer.failure = Failure::tooLarge;
        answer.limit = limit.toLongLong();
        return answer;
    }
    if (const QVariant refused = reply.property(redirectRefusedProperty); refused.isValid()) {
        answer.failure = Failure::insecureRedirect;
        answer.detail = refused.toUrl().toString();
        return answer;
    }
    switch (reply.error()) {
    case QNetworkReply::NoError:
        break;
    // Only the transfer time-out ends an exchange we did not end ourselves this way.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        answer.failure = Failure::timedOut;
        break;
    default:
        // A status other than success is an error to Qt, and not to the service's answers.
        if (answer.status == 0) {
            answer.failure = Failure::network;
            answer.detail = reply.errorString().simplified();
        }
    }
    if (bodyLimit && reply.isOpen() && answer.failure == Failure::none) {
        answer.body = reply.read(*bodyLimit + 1);
        if (answer.body.size() > *bodyLimit)
            answer.body.clear();
    }
    return answer;
}

} // namespace NetworkTransport
