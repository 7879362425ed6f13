#include "service/ServiceEndpoints.h"

#include "support/TestProfile.h"

#include <gtest/gtest.h>

namespace {

TEST(ServiceEndpointsTest, TheEnvironmentMayNameAnotherHttpsBaseOrALoopbackServer) {
    const QString service = "https://api.orvennalabs.com/vesperin/check";
    const QList<std::pair<QByteArray, QString>> cases = {
        {"", service},
        {"https://staging.example.net/api/", "https://staging.example.net/api/check"},
        {"http://127.0.0.1:8123", "http://127.0.0.1:8123/check"},
        {"http://localhost:8123/v", "http://localhost:8123/v/check"},
        // Plain http anywhere else would carry the device identifier in clear text.
        {"http://example.net", service},
        {"http://127.0.0.1.example.net", service},
        {"ftp://127.0.0.1", service},
    };
    for (const auto& [base, check] : cases) {
        ScopedEnvironment environment(ServiceEndpoints::baseVariable, base);
        EXPECT_EQ(ServiceEndpoints::check().toString(), check) << base.toStdString();
    }
    ScopedEnvironment unset(ServiceEndpoints::baseVariable, "");
    EXPECT_EQ(ServiceEndpoints::crash(), QUrl("https://api.orvennalabs.com/vesperin/crash"));
    EXPECT_EQ(ServiceEndpoints::report(), QUrl("https://api.orvennalabs.com/vesperin/report"));
}

} // namespace
