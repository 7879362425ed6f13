#pragma once

#include "network/NetworkMessages.h"

#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The one way the network helper reaches the service and the update feed: size-capped, timed
// out when nothing moves, redirected only to secure addresses (ServiceEndpoints says which).
namespace NetworkTransport {

// The process's one network access to the service, created on first use (GUI thread) and
// deleted as the event loop ends: Qt's network thread must stop while the application still
// exists, or an exchange still running at exit is torn down half-way.
QNetworkAccessManager& network();

// POSTs `body` as JSON to `endpoint` through network(). The request gives up when nothing has
// moved for `timeout`, and as soon as the answer turns out larger than `limit` bytes. The
// caller owns the reply.
QNetworkReply* post(const QUrl& endpoint, const QByteArray& body, std::chrono::milliseconds timeout,
                    qint64 limit);

// GETs `url` through network(), with the same time-out rule and an answer capped at `limit`
// bytes. Redirects are followed only to secure addresses (at most five); any other ends the
// exchange, so an https request can never be turned into a clear-text one. The caller owns
// the reply.
QNetworkReply* get(const QUrl& url, std::chrono::milliseconds timeout, qint64 limit);

// What a finished reply brought: its status, its body whatever the status (none when the
// exchange failed or the answer was larger than `bodyLimit`, as if nothing had been received),
// the address that answered, and why it failed: an answer past its cap, a redirect refused, a
// time-out, or the network's own error. Without `bodyLimit` no body is read.
NetworkAnswer answerOf(QNetworkReply& reply, std::optional<qint64> bodyLimit);

} // namespace NetworkTransport
