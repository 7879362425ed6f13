#pragma once

#include <QString>
#include <QUrl>

// The addresses of the maker's service (NetworkTransport carries the requests).
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

} // namespace ServiceEndpoints
