#include "network/NetworkHelper.h"

#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "harness/TestSigningKey.h"
#include "network/ServiceEndpoints.h"
#include "network/helper/UpdateSignature.h"
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

// The service's base and the update feed follow one rule: plain http anywhere but on this
// machine would carry the device identifier in clear text, or let a forged feed in. What is
// refused is left to the fuzz target's corpus, judged there by Qt's own reading of addresses.
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

QByteArray flipped(const QByteArray& base64, int byte) {
    QByteArray raw = QByteArray::fromBase64(base64);
    raw[byte] = char(raw.at(byte) ^ 0x01);
    return raw.toBase64();
}

// A file verifies as the release script signed it, and nothing else does: not another file,
// another signature or key, nor a signature or key that is not Base64 of the right length.
TEST(UpdateSignatureTest, AFileVerifiesOnlyAsTheReleaseScriptSignedIt) {
    const QTemporaryDir folder;
    const QString file = folder.filePath("release");
    const QByteArray content(100000, 'v');
    const TestSigningKey key;
    const QByteArray signature = key.sign(content);
    const QByteArray publicKey = key.publicKey();
    writeFile(file, content);
    EXPECT_TRUE(UpdateSignature::verifyFile(file, " " + signature + "\n", publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, flipped(signature, 63), publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, flipped(publicKey, 5)));
    const QByteArray raw = QByteArray::fromBase64(signature);
    for (const QByteArray& notASignature :
         {QByteArray(), raw.left(63).toBase64(), signature.left(40) + "*" + signature.mid(41), raw})
        EXPECT_FALSE(UpdateSignature::verifyFile(file, notASignature, publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, QByteArray::fromBase64(publicKey)));
    writeFile(file, content + "!");
    EXPECT_FALSE(UpdateSignature::verifyFile(file, signature, publicKey));
    EXPECT_FALSE(UpdateSignature::verifyFile(folder.filePath("missing"), signature, publicKey));
}

// An empty file cannot be mapped; it is read as the empty message of RFC 8032's first test.
TEST(UpdateSignatureTest, AnEmptyFileIsTheEmptyMessage) {
    const QByteArray key =
        QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a");
    const QByteArray signature = QByteArray::fromHex(
        "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bac"
        "c61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b");
    const QTemporaryDir folder;
    writeFile(folder.filePath("empty"), "");
    EXPECT_TRUE(UpdateSignature::verifyFile(folder.filePath("empty"), signature.toBase64(),
                                            key.toBase64()));
    EXPECT_FALSE(UpdateSignature::verify("\x72", signature.toBase64(), key.toBase64()));
}

} // namespace
