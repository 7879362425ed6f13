#include "network/ServiceEndpoints.h"

#include "harness/TestProfile.h"

#include <gtest/gtest.h>

namespace {

// The service's base and the update feed follow one rule: plain http anywhere but on this
// machine would carry the device identifier in clear text, or let a forged feed in.
TEST(ServiceEndpointsTest, TheEnvironmentMayNameAnotherHttpsAddressOrALoopbackServer) {
    const QString service = "https://api.orvennalabs.com/vesperin/check";
    const QString feed = "https://orvennalabs.com/vesperin/appcast.xml";
    const auto check = [] { return ServiceEndpoints::check(); };
    const auto appcast = [] { return ServiceEndpoints::appcast(); };
    const QList<std::tuple<const char*, QByteArray, std::function<QUrl()>, QString>> cases = {
        {ServiceEndpoints::baseVariable, "", check, service},
        {ServiceEndpoints::baseVariable, "https://staging.example.net/api/", check,
         "https://staging.example.net/api/check"},
        {ServiceEndpoints::baseVariable, "http://127.0.0.1:8123", check,
         "http://127.0.0.1:8123/check"},
        {ServiceEndpoints::baseVariable, "http://localhost:8123/v", check,
         "http://localhost:8123/v/check"},
        {ServiceEndpoints::baseVariable, "http://127.9.8.7", check, "http://127.9.8.7/check"},
        {ServiceEndpoints::baseVariable, "http://[::ffff:127.0.0.1]", check,
         "http://[::ffff:127.0.0.1]/check"},
        {ServiceEndpoints::baseVariable, "http://128.0.0.1", check, service},
        {ServiceEndpoints::baseVariable, "http://[::2]", check, service},
        {ServiceEndpoints::baseVariable, "http://127.0.0.1.example.net", check, service},
        {ServiceEndpoints::baseVariable, "ftp://127.0.0.1", check, service},
        {ServiceEndpoints::appcastVariable, "", appcast, feed},
        {ServiceEndpoints::appcastVariable, "https://mirror.example.net/feed.xml", appcast,
         "https://mirror.example.net/feed.xml"},
        {ServiceEndpoints::appcastVariable, "http://[::1]:8080/appcast.xml", appcast,
         "http://[::1]:8080/appcast.xml"},
        {ServiceEndpoints::appcastVariable, "https://mirror.example.net/feed.xml?beta=1", appcast,
         feed},
        {ServiceEndpoints::appcastVariable, "appcast.xml", appcast, feed},
    };
    for (const auto& [variable, named, address, used] : cases) {
        ScopedEnvironment environment(variable, named);
        EXPECT_EQ(address().toString(), used) << variable << "=" << named.toStdString();
    }
}

} // namespace
