#pragma once

#include <QJsonObject>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// The one way requests reach the service and the update feed: size-capped, timed out when
// nothing moves, redirected only to secure addresses (ServiceEndpoints says which).
namespace NetworkTransport {

// The process's one network access to the service, created on first use (GUI thread) and
// deleted as the event loop ends: Qt's network thread must stop while the application still
// exists, or an exchange still running at exit is torn down half-way.
QNetworkAccessManager& network();

// The largest answer read; the service's answers are a few hundred bytes.
inline constexpr qint64 maxAnswerBytes = 1 << 20;

// POSTs `record` as a compact JSON body to `endpoint` through network(). The request gives up when
// nothing has moved for `timeout`, and as soon as the answer turns out larger than maxAnswerBytes.
// The caller owns the reply.
QNetworkReply* post(const QUrl& endpoint, const QJsonObject& record,
                    std::chrono::milliseconds timeout);

// GETs `url` through network(), with the same time-out rule and an answer capped at `limit`
// bytes. Redirects are followed only to secure addresses (at most five); any other ends the
// exchange, so an https request can never be turned into a clear-text one. The caller owns
// the reply.
QNetworkReply* get(const QUrl& url, std::chrono::milliseconds timeout,
                   qint64 limit = maxAnswerBytes);

// The body of a finished reply, whatever its status; empty when the exchange failed or the
// answer was too large, as if nothing had been received.
QByteArray answerBody(QNetworkReply& reply);

// Whether the exchange was ended because its answer went past its cap.
bool wasTooLarge(const QNetworkReply& reply);

// Why a finished exchange brought no usable answer, in one line for the user: an answer past
// its cap, a redirect refused, a status other than success (2xx), or the network's own error;
// empty when it succeeded.
QString failureReason(const QNetworkReply& reply);

} // namespace NetworkTransport
