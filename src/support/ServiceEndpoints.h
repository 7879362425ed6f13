#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// The addresses of the maker's service and the one way requests reach them.
//
// The support endpoints are "<base>/crash", "<base>/check" and "<base>/report". The base is the
// service's HTTPS address unless the environment variable VESPERIN_SERVICE_URL names another
// one, which must be an https address, or a plain http address on the loopback interface (a
// local test server); any other value is ignored, so that the device identifier never travels
// in clear text over a network. The update feed is replaced by VESPERIN_UPDATE_URL by the same
// rule, so that nobody on the way can hand the application a forged feed.
namespace ServiceEndpoints {

inline constexpr const char* defaultBase = "https://api.orvennalabs.com/vesperin";
inline constexpr const char* baseVariable = "VESPERIN_SERVICE_URL";
inline constexpr const char* defaultAppcast = "https://orvennalabs.com/vesperin/appcast.xml";
inline constexpr const char* appcastVariable = "VESPERIN_UPDATE_URL";

QUrl base();
QUrl crash();
QUrl check();
QUrl report();
// The update feed.
QUrl appcast();

// Whether a request may go to `url`: https anywhere, http only to a loopback address.
bool isSecureAddress(const QUrl& url);
// Whether `url` may replace a base or the feed: a secure address without query or fragment.
bool isAcceptableBase(const QUrl& url);

// The application's short version, sent as "v" with every record.
QString appVersion();

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

} // namespace ServiceEndpoints
