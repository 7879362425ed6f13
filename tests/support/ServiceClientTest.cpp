#include "support/ServiceClient.h"

#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "platform/OperatingSystem.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class ServiceClientTest : public ProfileTest {
protected:
    void pointAt(const QUrl& base) { address.emplace("VESPERIN_SERVICE_URL", base.toEncoded()); }

    // Runs one check, answered with `body` unless the server was scripted already.
    void check(ServiceClient& target, const QByteArray& body = {}) {
        if (!body.isEmpty())
            server.answer(200, body);
        bool ended = false;
        target.checkWithServer([&] {
            EXPECT_EQ(QThread::currentThread(), target.thread());
            ended = true;
        });
        ASSERT_TRUE(waitUntil([&] { return ended; }));
    }

    std::optional<bool> report(const QString& text, const std::optional<QString>& email = {}) {
        std::optional<bool> result;
        client.reportProblem(text, email, [&](bool confirmed) { result = confirmed; });
        EXPECT_TRUE(waitUntil([&] { return result.has_value(); }));
        return result;
    }

    Preferences& store() { return Preferences::standard(); }

    TestHttpServer server;
    std::optional<ScopedEnvironment> address{std::in_place, "VESPERIN_SERVICE_URL",
                                             server.url().toEncoded()};
    QDateTime now = QDateTime::currentDateTimeUtc();
    Settings settings{store()};
    ServiceClient client{settings, [this] { return now; }};
};

TEST_F(ServiceClientTest, TheDeviceIdentifierIsCreatedOnceAndThenKept) {
    const QString first = client.deviceId();
    EXPECT_TRUE(
        QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$").match(first).hasMatch());
    EXPECT_EQ(ServiceClient(settings, wallClockNow).deviceId(), first);
    store().setObject(PreferenceKeys::deviceId, QString());
    EXPECT_NE(client.deviceId(), first) << "an empty identifier is replaced";
}

TEST_F(ServiceClientTest, CheckPostsTheDeviceVersionSystemChannelAndLastShownMessage) {
    const QJsonObject base{{"d", client.deviceId()},
                           {"v", VESPERIN_VERSION},
                           {"os", OperatingSystem::osString()},
                           {"c", "direct"}};
    QJsonObject withLastShown = base;
    withLastShown.insert("m", 42);
    // "m" goes only with a stored integer of at least 1.
    for (const auto& [stored, expected] :
         QList<std::pair<QVariant, QJsonObject>>{{QVariant(), base},
                                                 {qint64(42), withLastShown},
                                                 {qint64(0), base},
                                                 {QString("42"), base}}) {
        if (stored.isValid())
            store().setObject(PreferenceKeys::ackMessage, stored);
        check(client, "{}");
        EXPECT_EQ(server.requests().last().json(), expected) << stored.toString().toStdString();
    }
    EXPECT_EQ(server.requests().last().method, "POST");
    EXPECT_EQ(server.requests().last().path, "/check");
}

TEST_F(ServiceClientTest, EachRuleOfTheCheckAnswerChangesExactlyWhatItShould) {
    store().setObject(PreferenceKeys::shownMessages, QVariantList{qint64(3), qint64(9)});
    const PendingMessage hello{5, "Hello"};
    const std::optional<PendingMessage> none;
    const QList<std::tuple<QByteArray, QString, std::optional<PendingMessage>>> cases = {
        {R"({"mid":5,"tk":"open","msg":"Hello","other":[1]})", "open", hello},
        {R"({"mid":5.0,"tk":"open","msg":"Hello"})", "open", hello},
        {R"({"mid":0,"tk":"open","msg":"Hello"})", "open", none},
        {R"({"mid":5,"tk":"closed","msg":""})", "closed", none},
        {R"({"mid":9,"tk":"open","msg":"Already shown"})", "open", none},
        {R"({"mid":5,"msg":"Hello"})", "none", none},
        {R"({"mid":"5","tk":"open","msg":"Hello"})", "none", none},
        {R"({"mid":5,"tk":"open","msg":null})", "none", none},
        {R"([{"mid":5,"tk":"open","msg":"Hello"}])", "none", none},
    };
    for (const auto& [body, ticketState, pending] : cases) {
        SCOPED_TRACE(body.toStdString());
        ServiceClient fresh{settings, wallClockNow};
        check(fresh, body);
        EXPECT_EQ(fresh.ticketState(), ticketState);
        EXPECT_EQ(fresh.pendingMessage(), pending);
    }
}

TEST_F(ServiceClientTest, AFailedExchangeChangesNothing) {
    check(client, R"({"mid":5,"tk":"open","msg":"Kept"})");
    client.setTimeouts(300ms, 300ms);
    server.hang();
    check(client);
    EXPECT_EQ(server.requests().size(), 2) << "the request reached the server and timed out";
    server.answerCutOff(200, R"({"mid":6,"tk":"closed","msg":"Cut"})");
    check(client);
    pointAt(refusingUrl());
    check(client);
    EXPECT_EQ(client.ticketState(), "open");
    EXPECT_EQ(client.pendingMessage(), (PendingMessage{5, "Kept"}));
}

TEST_F(ServiceClientTest, TheLastFiftyShownMessagesAreRemembered) {
    QVariantList shown;
    for (qint64 id = 101; id <= 150; ++id)
        shown.append(id);
    store().setObject(PreferenceKeys::shownMessages, shown);
    check(client, R"({"mid":12,"tk":"open","msg":"We fixed it"})");
    client.markMessageShown();
    const QVariantList kept = store().arrayForKey(PreferenceKeys::shownMessages).value();
    EXPECT_EQ(kept, shown.mid(1) << qint64(12));
}

// An answer without a message keeps the one pending and a new one replaces it. The user saw
// the first; the newer one that came while it was on screen stays pending.
TEST_F(ServiceClientTest, ANewerMessageReplacesThePendingOneAndOutlivesMarkingTheSeenOne) {
    check(client, R"({"mid":5,"tk":"open","msg":"Seen"})");
    const PendingMessage seen = *client.pendingMessage();
    check(client, R"({"mid":0,"tk":"closed","msg":""})");
    EXPECT_EQ(client.ticketState(), "closed");
    EXPECT_EQ(client.pendingMessage(), seen);
    check(client, R"({"mid":6,"tk":"open","msg":"Newer"})");
    client.markMessageShown(seen);
    EXPECT_EQ(client.pendingMessage(), (PendingMessage{6, "Newer"}));
    EXPECT_EQ(store().integerForKey(PreferenceKeys::ackMessage), 5);
    ASSERT_EQ(client.messageHistory().size(), 1);
    EXPECT_EQ(client.messageHistory().at(0).body, "Seen");
    client.markMessageShown(*client.pendingMessage());
    EXPECT_FALSE(client.pendingMessage());
}

// An answer past 1 MiB is a failed exchange, whether its length was announced or not.
TEST_F(ServiceClientTest, AnAnswerLargerThanOneMebibyteChangesNothing) {
    const auto padded = [](QByteArray json, qint64 size) {
        return json + QByteArray(size - json.size(), ' ');
    };
    const qint64 limit = 1 << 20;
    check(client, padded(R"({"mid":5,"tk":"open","msg":"Fits"})", limit));
    EXPECT_EQ(client.pendingMessage(), (PendingMessage{5, "Fits"}));
    check(client, padded(R"({"mid":6,"tk":"closed","msg":"Too large"})", limit + 1));
    EXPECT_EQ(client.ticketState(), "open");
    EXPECT_EQ(client.pendingMessage(), (PendingMessage{5, "Fits"}));
    server.answer(200, padded(R"({"ok": true})", 3 * limit));
    EXPECT_EQ(report("text"), false);
}

TEST_F(ServiceClientTest, AReportPostsItsTextAndAnEmailOnlyWhenOneIsGiven) {
    report("It crashes", QString("me@example.org"));
    report("Again", QString());
    report("Once more");
    QJsonObject expected{
        {"d", client.deviceId()}, {"v", VESPERIN_VERSION}, {"os", OperatingSystem::osString()}};
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests().at(0).path, "/report");
    expected.insert("text", "Again");
    EXPECT_EQ(server.requests().at(1).json(), expected);
    expected.insert("text", "It crashes");
    expected.insert("email", "me@example.org");
    EXPECT_EQ(server.requests().at(0).json(), expected);
    EXPECT_FALSE(server.requests().at(2).json().contains("email"));
}

TEST_F(ServiceClientTest, OnlyAConfirmedReceiptCountsAsSent) {
    const QList<std::tuple<int, QByteArray, bool>> answers = {
        {200, R"({"ok": true})", true},  {200, R"({"ok": false})", false},
        {500, R"({"ok": true})", false}, {200, R"({"ok": "true"})", false},
        {200, R"([true])", false},       {200, "garbage", false},
    };
    for (const auto& [status, body, expected] : answers) {
        server.answer(status, body);
        EXPECT_EQ(report("text"), expected) << status << " " << body.toStdString();
    }
    pointAt(refusingUrl());
    EXPECT_EQ(report("text"), false) << "no connection";
}

// The history with a clock the test sets.
class ServiceHistoryTest : public ServiceClientTest {
protected:
    ServiceHistoryTest() { now = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589), Qt::UTC); }
};

TEST_F(ServiceHistoryTest, TheHistoryKeepsTheLastFiftyEntriesOnceEachNewestFirst) {
    for (qint64 id = 1; id <= 51; ++id) {
        now = now.addSecs(1);
        client.archive(id, QString("message %1").arg(id));
    }
    client.archive(51, "the same message again");
    const QList<ArchivedMessage> history = client.messageHistory();
    ASSERT_EQ(history.size(), 50);
    EXPECT_EQ(history.first(), (ArchivedMessage{51, "message 51", now, false}));
    EXPECT_EQ(history.last().id, 2);
}

// One unreadable entry is dropped on its own; the conversation around it stays.
TEST_F(ServiceHistoryTest, ABadStoredEntryCostsOnlyItself) {
    const QVariantMap first{{"id", qint64(1)}, {"body", "first"}, {"date", now}, {"mine", false}};
    const QVariantMap second{{"id", qint64(-7)}, {"body", "mine"}, {"date", now}, {"mine", true}};
    store().setObject(PreferenceKeys::messageHistory,
                      QVariantList{first, "garbage", QVariantMap{{"id", "x"}, {"body", "?"}},
                                   QVariantMap{{"id", qint64(3)}}, second});
    store().setObject(PreferenceKeys::shownMessages, QVariantList{qint64(4), "x", qint64(9)});
    EXPECT_EQ(client.messageHistory().size(), 2);

    check(client, R"({"mid":9,"tk":"open","msg":"Shown before"})");
    EXPECT_FALSE(client.pendingMessage());
    check(client, R"({"mid":12,"tk":"open","msg":"New"})");
    client.markMessageShown();
    const QVariantList stored = store().arrayForKey(PreferenceKeys::messageHistory).value();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored.at(0), first);
    EXPECT_EQ(stored.at(1), second);
    EXPECT_EQ(client.messageHistory().first().body, "New");
    EXPECT_EQ(store().arrayForKey(PreferenceKeys::shownMessages),
              (QVariantList{qint64(4), qint64(9), qint64(12)}));
}

TEST_F(ServiceHistoryTest, RepliesInTheSameSecondShareTheirIdAndBothStay) {
    client.archiveOwn("first");
    now = now.addMSecs(300);
    client.archiveOwn("second");
    const qint64 id = -QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC).toSecsSinceEpoch();
    const QList<ArchivedMessage> history = client.messageHistory();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.at(0), (ArchivedMessage{id, "second", now, true}));
    EXPECT_EQ(history.at(1).id, id);
}

} // namespace
