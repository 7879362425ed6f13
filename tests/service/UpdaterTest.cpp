#include "service/Updater.h"

#include "service/ServiceEndpoints.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestAppcast.h"
#include "support/TestHttpServer.h"
#include "support/TestProfile.h"
#include "support/TestSigningKey.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Outcome = UpdateCheck::Outcome;

const QByteArray newerVersion = "99.0";

// Everything an updater reports, in order.
struct Reports {
    explicit Reports(Updater& updater) {
        QObject::connect(&updater, &Updater::checkFinished, &context,
                         [this](const UpdateCheck& result) { checks.append(result); });
        QObject::connect(&updater, &Updater::updateFound, &context,
                         [this](const AppcastItem& update) { found.append(update); });
        QObject::connect(&updater, &Updater::updateReady, &context,
                         [this](const QString& path, const AppcastItem&) { ready.append(path); });
        QObject::connect(
            &updater, &Updater::downloadFailed, &context,
            [this](const AppcastItem&, const QString& reason) { failures.append(reason); });
    }
    int count() const { return checks.size() + found.size() + ready.size() + failures.size(); }

    QObject context; // the connections end with the reports
    QList<UpdateCheck> checks;
    QList<AppcastItem> found;
    QStringList ready;
    QStringList failures;
};

class UpdaterTest : public ProfileTest {
protected:
    QByteArray address(const QByteArray& path) const { return server.url().toEncoded() + path; }

    QByteArray feedWithFile(const QByteArray& url, qint64 length, const QByteArray& signature) {
        return TestAppcast::feedWithFile(newerVersion, url, length, signature);
    }

    UpdateCheck userCheck(Updater& updater) {
        Reports reports(updater);
        updater.checkForUpdates();
        EXPECT_TRUE(waitUntil([&] { return reports.checks.size() == 1; }));
        EXPECT_EQ(reports.count(), 1);
        return reports.checks.value(0);
    }

    // One background check, followed until it has reported or found nothing to report.
    void checkInBackground(Updater& updater, Reports& reports) {
        const int before = reports.count();
        const qsizetype requests = server.requests().size();
        updater.checkInBackground();
        ASSERT_TRUE(waitUntil([&] {
            return reports.count() > before ||
                   (!updater.isChecking() && server.requests().size() > requests &&
                    !updater.isDownloading());
        }));
    }

    QStringList downloads() const {
        return QDir(Updater::downloadFolder()).entryList(QDir::Files | QDir::Hidden);
    }

    TestHttpServer server;
    ScopedEnvironment feedAddress{ServiceEndpoints::appcastVariable, address("/appcast.xml")};
    TestSigningKey key;
    Preferences& store = Preferences::standard();
};

TEST_F(UpdaterTest, ACheckReportsANewerReleaseOrThatTheRunningOneIsTheNewest) {
    Updater updater(store, key.publicKey());
    server.answer(200, TestAppcast::feed(newerVersion));
    const UpdateCheck newer = userCheck(updater);
    ASSERT_EQ(newer.outcome, Outcome::newer);
    EXPECT_EQ(newer.update.shownVersion(), newerVersion);
    EXPECT_EQ(newer.update.notes, "\u2022 Week numbers in the panel\n\u2022 Fixes & more");
    EXPECT_EQ(newer.update.page, QUrl("https://example.org/download"));
    EXPECT_EQ(server.requests().last().method, "GET");
    EXPECT_EQ(server.requests().last().path, "/appcast.xml");

    server.answer(200, TestAppcast::feed(ServiceEndpoints::appVersion().toUtf8()));
    EXPECT_EQ(userCheck(updater).outcome, Outcome::upToDate);

    // A redirect to a secure address is followed, and the feed's relative addresses are taken
    // from where it was found.
    server.redirect(address("/moved/appcast.xml"));
    server.answer(200, feedWithFile("Vesperin.AppImage", 10, "c2ln"));
    const UpdateCheck moved = userCheck(updater);
    EXPECT_EQ(moved.outcome, Outcome::newer);
    EXPECT_EQ(moved.update.enclosure, QUrl(address("/moved/Vesperin.AppImage")));
    EXPECT_EQ(server.requests().last().path, "/moved/appcast.xml");
    EXPECT_TRUE(downloads().isEmpty()) << "a check the user asked for downloads nothing";
}

TEST_F(UpdaterTest, EveryFailedCheckSaysWhyInOneLineAndKeepsNothing) {
    Updater updater(store, key.publicKey());
    const QByteArray outside = "http://updates.invalid/appcast.xml";
    const QByteArray tooLarge = TestAppcast::feed(newerVersion) + QByteArray(1 << 20, ' ');
    const QList<std::tuple<std::function<void()>, QString>> cases = {
        {[&] { server.answer(200, TestAppcast::feed(newerVersion).chopped(20)); },
         "The update feed is not valid XML (line "},
        {[&] { server.redirect(outside); },
         L("network.error.insecure_redirect", QString::fromLatin1(outside))},
        {[&] { server.answer(404, "Not found"); }, L("network.error.status", 404)},
        {[&] { server.answer(200, tooLarge); }, "The answer is larger than 1"},
    };
    for (const auto& [script, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        const qsizetype requests = server.requests().size();
        script();
        const UpdateCheck result = userCheck(updater);
        EXPECT_EQ(result.outcome, Outcome::failed);
        EXPECT_TRUE(result.reason.startsWith(reason)) << result.reason.toStdString();
        EXPECT_FALSE(result.reason.contains('\n'));
        EXPECT_EQ(server.requests().size(), requests + 1) << "nothing else was asked for";
    }
    ScopedEnvironment closed(ServiceEndpoints::appcastVariable, refusingUrl().toEncoded());
    const UpdateCheck refused = userCheck(updater);
    EXPECT_EQ(refused.outcome, Outcome::failed);
    EXPECT_FALSE(refused.reason.isEmpty());
    EXPECT_TRUE(downloads().isEmpty());
}

TEST_F(UpdaterTest, ABackgroundCheckReportsEachNewerReleaseOnceAndNothingElse) {
    Updater updater(store, key.publicKey());
    Reports reports(updater);
    for (const QByteArray& body :
         {TestAppcast::feed(ServiceEndpoints::appVersion().toUtf8()), QByteArray("<rss>"),
          TestAppcast::feed(newerVersion), TestAppcast::feed(newerVersion)}) {
        server.answer(200, body);
        checkInBackground(updater, reports);
    }
    ASSERT_EQ(reports.found.size(), 1);
    EXPECT_EQ(reports.found.at(0).version, newerVersion);
    server.answer(200, TestAppcast::feed("100.0"));
    checkInBackground(updater, reports);
    ASSERT_EQ(reports.found.size(), 2);
    EXPECT_EQ(reports.found.at(1).version, "100.0");
    EXPECT_EQ(reports.count(), 2);
}

class UpdateDownloadTest : public UpdaterTest {
protected:
    void SetUp() override { store.setBool(PreferenceKeys::automaticUpdateDownloads, true); }

    const QByteArray file = QByteArray(200000, 'v') + "end";
    const QByteArray fileAddress = address("/files/Vesperin-99.0.AppImage");
};

// Each mismatch is reported with its reason, and leaves the download folder as it was.
TEST_F(UpdateDownloadTest, AFileIsKeptOnlyWhenItsLengthAndSignatureMatch) {
    const QByteArray signature = key.sign(file);
    const QList<std::tuple<QByteArray, std::function<void()>, QString>> cases = {
        {feedWithFile(fileAddress, file.size() + 1, signature), [&] { server.answer(200, file); },
         L("update.error.length_mismatch", file.size(), file.size() + 1)},
        {feedWithFile(fileAddress, file.size() - 1, signature), [&] { server.answer(200, file); },
         L("update.error.longer_than_announced", file.size() - 1)},
        {feedWithFile(fileAddress, file.size(), key.sign(file + "!")),
         [&] { server.answer(200, file); }, L("update.error.bad_signature")},
        {feedWithFile(fileAddress, file.size(), signature), [&] { server.answer(404, "gone"); },
         L("network.error.status", 404)},
        {feedWithFile(fileAddress, file.size(), signature),
         [&] { server.redirect("http://updates.invalid/file"); },
         L("network.error.insecure_redirect", QString("http://updates.invalid/file"))},
        {feedWithFile(fileAddress, file.size(), ""), {}, L("update.error.unsigned")},
        {feedWithFile("http://updates.invalid/file", file.size(), signature),
         {},
         L("update.error.insecure_download", QString("http://updates.invalid/file"))},
        {TestAppcast::feed(newerVersion, R"(<enclosure url="f" sparkle:edSignature="c2ln"/>)"),
         {},
         L("update.error.no_length")},
    };
    writeFile(Updater::downloadFolder() + "/left-by-a-crash.part", "partial");
    for (const auto& [body, serveFile, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        Updater updater(store, key.publicKey());
        Reports reports(updater);
        server.answer(200, body);
        if (serveFile)
            serveFile();
        checkInBackground(updater, reports);
        EXPECT_EQ(reports.failures, QStringList{reason});
        EXPECT_EQ(reports.count(), 1);
        EXPECT_TRUE(downloads().isEmpty()) << downloads().join(' ').toStdString();
    }
}

TEST_F(UpdateDownloadTest, AVerifiedFileIsOfferedAndKeptForLaterRuns) {
    writeFile(Updater::downloadFolder() + "/Vesperin-98.0.AppImage", "an older release");
    server.answer(200, feedWithFile(fileAddress, file.size(), key.sign(file)));
    server.answer(200, file);
    {
        Updater updater(store, key.publicKey());
        Reports reports(updater);
        checkInBackground(updater, reports);
        ASSERT_EQ(reports.ready.size(), 1);
        EXPECT_EQ(reports.ready.at(0), Updater::downloadFolder() + "/Vesperin-99.0.AppImage");
        EXPECT_EQ(readFile(reports.ready.at(0)), file);
        EXPECT_EQ(downloads(), QStringList{"Vesperin-99.0.AppImage"});
    }
    // The next run offers the file it finds without fetching it again.
    server.answer(200, feedWithFile(fileAddress, file.size(), key.sign(file)));
    const qsizetype requests = server.requests().size();
    Updater later(store, key.publicKey());
    Reports reports(later);
    checkInBackground(later, reports);
    EXPECT_EQ(reports.ready, QStringList{Updater::downloadFolder() + "/Vesperin-99.0.AppImage"});
    EXPECT_EQ(server.requests().size(), requests + 1);
}

TEST_F(UpdaterTest, AutomaticChecksRunAnIntervalAfterTheLastCheckWhileTheyAreOn) {
    Updater updater(store, key.publicKey());
    EXPECT_FALSE(updater.isScheduled());
    // Overdue: at once, though the interval is an hour.
    store.setObject(PreferenceKeys::lastUpdateCheck,
                    QDateTime::currentDateTimeUtc().addSecs(-7200));
    store.setBool(PreferenceKeys::automaticUpdateChecks, true);
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 1; }));
    const QDateTime checked = store.dateForKey(PreferenceKeys::lastUpdateCheck).value();
    EXPECT_LE(checked.secsTo(QDateTime::currentDateTimeUtc()), 5);
    EXPECT_TRUE(updater.isScheduled());

    // Then one interval after the last check, again and again.
    ASSERT_TRUE(waitUntil([&] { return !updater.isChecking(); }));
    QElapsedTimer elapsed;
    store.setObject(PreferenceKeys::lastUpdateCheck, QDateTime::currentDateTimeUtc());
    elapsed.start();
    updater.setCheckInterval(400ms);
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));
    EXPECT_GE(elapsed.elapsed(), 300);
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 3; }));

    store.setBool(PreferenceKeys::automaticUpdateChecks, false);
    EXPECT_FALSE(updater.isScheduled());
}

} // namespace
