#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// The three endpoints of the maker's support service and the one way requests reach them.
//
// The endpoints are "<base>/crash", "<base>/check" and "<base>/report". The base is the
// service's HTTPS address unless the environment variable VESPERIN_SERVICE_URL names another
// one, which must be an https address, or a plain http address on the loopback interface (a
// local test server); any other value is ignored, so that the device identifier never travels
// in clear text over a network.
namespace ServiceEndpoints {

inline constexpr const char* defaultBase = "https://api.orvennalabs.com/vesperin";
inline constexpr const char* baseVariable = "VESPERIN_SERVICE_URL";

QUrl base();
QUrl crash();
QUrl check();
QUrl report();

// Whether `url` may serve as the base: https anywhere, http only to a loopback address.
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

// The body of a finished reply, whatever its status; empty when the exchange failed or the
// answer was too large, as if nothing had been received.
QByteArray answerBody(QNetworkReply& reply);

} // namespace ServiceEndpoints
