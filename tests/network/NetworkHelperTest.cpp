#include "network/NetworkHelper.h"

#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "settings/Localization.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Failure = NetworkAnswer::Failure;

NetworkRequest download() {
    NetworkRequest request;
    request.operation = NetworkRequest::Operation::download;
    request.url = QUrl("https://example.net/Vesperin-2.0.tar.gz");
    request.timeout = 30s;
    request.limit = 5000;
    request.path = "/tmp/x.part";
    request.signature = "c2lnbmF0dXJl";
    request.publicKey = "a2V5";
    return request;
}

QByteArray withField(const QByteArray& message, const char* key, const QJsonValue& value) {
    QJsonObject object = QJsonDocument::fromJson(message).object();
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Both sides read only what the other may write: the same version, every field in form, and
// no more than the request can call for, so a helper gone wrong cannot make the application
// hold a large or half-read answer.
TEST(NetworkMessagesTest, OnlyMessagesInFormAndWithinTheirCapsAreRead) {
    const NetworkRequest request = download();
    EXPECT_EQ(NetworkMessages::decodeRequest(NetworkMessages::encode(request)), request);
    const NetworkRequest post =
        NetworkRequest::posting(QUrl("http://127.0.0.1:9/check"), {{"text", "ünïcode \"\\\n"}}, 8s);
    EXPECT_EQ(NetworkMessages::decodeRequest(NetworkMessages::encode(post)), post);

    const QByteArray text = NetworkMessages::encode(request);
    for (const auto& [key, value] : std::initializer_list<std::pair<const char*, QJsonValue>>{
             {"v", 2},
             {"op", "delete"},
             {"timeout", 0},
             {"timeout", 1.5},
             {"timeout", "10"},
             {"limit", -1},
             {"body", "not base64!"},
             {"path", QJsonValue::Undefined},
         })
        EXPECT_FALSE(NetworkMessages::decodeRequest(withField(text, key, value))) << key;
    EXPECT_FALSE(NetworkMessages::decodeRequest("[1]"));
    EXPECT_FALSE(NetworkMessages::decodeRequest(
        withField(text, "body", QString(NetworkMessages::maxRequestBytes, 'A'))));

    NetworkRequest get;
    get.limit = 10;
    NetworkAnswer answer;
    answer.status = 200;
    answer.body = "0123456789";
    answer.url = QUrl("https://example.net/feed.xml");
    EXPECT_EQ(NetworkMessages::decodeAnswer(NetworkMessages::encode(answer), get), answer);
    answer.body += "!";
    EXPECT_FALSE(NetworkMessages::decodeAnswer(NetworkMessages::encode(answer), get));
    const QByteArray answered = NetworkMessages::encode(NetworkAnswer{});
    EXPECT_FALSE(NetworkMessages::decodeAnswer(withField(answered, "failure", "lost"), get));
    EXPECT_FALSE(NetworkMessages::decodeAnswer(withField(answered, "signed", 1), get));
    EXPECT_FALSE(NetworkMessages::decodeAnswer(answered + QByteArray(70000, ' '), get));
}

class NetworkHelperTest : public ::testing::Test {
protected:
    // Runs `request` in the helper that `script` stands in for (the real one without).
    NetworkAnswer run(const NetworkRequest& request, const QByteArray& script = {}) {
        std::optional<ScopedEnvironment> program;
        if (!script.isEmpty()) {
            const QString path = folder.filePath("helper");
            writeFile(path, "#!/bin/sh\n" + script);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
            program.emplace(NetworkHelper::programVariable, QFile::encodeName(path));
        }
        std::optional<NetworkAnswer> answer;
        QObject owner; // ends the helper with the test, whatever became of it
        NetworkHelper::start(request, &owner,
                             [&](const NetworkAnswer& received) { answer = received; });
        EXPECT_FALSE(answer) << "answered before start() returned";
        EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
        return answer.value_or(NetworkAnswer{});
    }

    NetworkRequest post(const QByteArray& body = "{}") {
        NetworkRequest request;
        request.operation = NetworkRequest::Operation::post;
        request.url = server.url();
        request.body = body;
        request.timeout = 5s;
        return request;
    }

    QTemporaryDir folder;
    TestHttpServer server;
};

// The helper carries the body out and the service's status and body back, bytes intact.
TEST_F(NetworkHelperTest, TheRealHelperCarriesTheExchangeBothWays) {
    const QByteArray binary("\0\xff{\"ok\":true}\r\n", 16);
    server.answer(201, binary);
    const NetworkAnswer answer = run(post("{\"text\":\"é\"}"));
    EXPECT_EQ(answer.failure, Failure::none);
    EXPECT_EQ(answer.status, 201);
    EXPECT_EQ(answer.body, binary);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().body, "{\"text\":\"é\"}");
}

// Whatever becomes of the helper, the exchange ends once, as a failure the user can read,
// and no helper is left running.
TEST_F(NetworkHelperTest, AHelperGoneWrongEndsAsAFailedExchange) {
    const QString helperLine = L("network.error.helper");
    const QList<std::pair<const char*, QByteArray>> helpers = {
        {"missing", ""},
        {"crashing", "kill -SEGV $$\n"},
        {"failing", "cat >/dev/null; exit 3\n"},
        {"garbage", "cat >/dev/null; echo '{\"v\":1,\"failure\":\"none\"'\n"},
        {"flooding", "cat >/dev/null; exec yes\n"},
    };
    for (const auto& [name, script] : helpers) {
        NetworkAnswer answer;
        if (script.isEmpty()) {
            ScopedEnvironment missing(NetworkHelper::programVariable,
                                      QFile::encodeName(folder.filePath("absent")));
            answer = run(post());
        } else {
            answer = run(post(), script);
        }
        EXPECT_EQ(answer.failure, Failure::helper) << name;
        EXPECT_EQ(NetworkMessages::failureReason(answer), helperLine) << name;
    }
    // A request past the cap never reaches a helper.
    const QString started = folder.filePath("started");
    const NetworkAnswer tooLong = run(post(QByteArray(NetworkMessages::maxRequestBytes, 'x')),
                                      "touch '" + QFile::encodeName(started) + "'\n");
    EXPECT_EQ(NetworkMessages::failureReason(tooLong), L("network.error.request_too_large"));
    EXPECT_FALSE(QFile::exists(started));
}

// The failure lines the user reads are those a direct exchange gave.
TEST(NetworkFailureTest, EachFailureReadsAsBefore) {
    NetworkAnswer answer;
    answer.status = 503;
    answer.failure = Failure::timedOut;
    EXPECT_EQ(NetworkMessages::failureReason(answer), L("network.error.status", 503));
    answer.status = 0;
    EXPECT_EQ(NetworkMessages::failureReason(answer), L("network.error.timed_out"));
    EXPECT_EQ(NetworkMessages::failureReason(NetworkAnswer::failed(Failure::network, "refused")),
              "refused");
}

} // namespace
