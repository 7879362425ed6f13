#include "updates/Updater.h"

#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "harness/TestSigningKey.h"
#include "network/ServiceEndpoints.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace std::chrono_literals;
using Outcome = UpdateCheck::Outcome;

// A feed of one release of `version`, with `enclosure` when one is given; what the feed says
// of a release is the feed reader's business.
QByteArray feed(const QByteArray& version, const QByteArray& enclosure = {}) {
    return R"(<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
<item><sparkle:version>)" +
           version + "</sparkle:version>" + enclosure + "</item></channel></rss>";
}

QByteArray feedWithFile(const QByteArray& url, qint64 length, const QByteArray& signature) {
    return feed("99.0", R"(<enclosure url=")" + url + R"(" length=")" + QByteArray::number(length) +
                            R"(" sparkle:edSignature=")" + signature + R"("/>)");
}

class UpdaterTest : public ProfileTest {
protected:
    QByteArray address(const QByteArray& path) const { return server.url().toEncoded() + path; }

    UpdateCheck userCheck() {
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.checkForUpdates();
        EXPECT_TRUE(waitUntil([&] { return finished.size() == 1; }));
        return finished.value(0).value(0).value<UpdateCheck>();
    }

    // One background check, followed to its end and the end of any download it started.
    void checkInBackground(Updater& target) {
        target.checkInBackground();
        ASSERT_TRUE(waitUntil([&] { return !target.isChecking() && !target.isDownloading(); }));
    }

    static QStringList downloads() {
        return QDir(Updater::downloadFolder()).entryList(QDir::Files | QDir::Hidden);
    }

    TestHttpServer server;
    ScopedEnvironment feedAddress{ServiceEndpoints::appcastVariable, address("/appcast.xml")};
    TestSigningKey key;
    Preferences& store = Preferences::standard();
    Settings settings{store};
    // The updater's own "now", which the test may move away from the wall clock.
    qint64 clockOffsetSecs = 0;
    Updater updater{settings, key.publicKey(),
                    [this] { return QDateTime::currentDateTimeUtc().addSecs(clockOffsetSecs); }};
};

TEST_F(UpdaterTest, ACheckReportsANewerReleaseOrThatTheRunningOneIsTheNewest) {
    server.answer(200, feed("99.0"));
    const UpdateCheck newer = userCheck();
    ASSERT_EQ(newer.outcome, Outcome::newer);
    EXPECT_EQ(newer.update.version, "99.0");
    EXPECT_EQ(server.requests().last().method + " " + server.requests().last().path,
              "GET /appcast.xml");

    server.answer(200, feed(ServiceEndpoints::appVersion().toUtf8()));
    EXPECT_EQ(userCheck().outcome, Outcome::upToDate);

    // A secure redirect is followed, and relative addresses are the final feed's.
    server.redirect(address("/moved/appcast.xml"));
    server.answer(200, feedWithFile("Vesperin.AppImage", 10, "c2ln"));
    EXPECT_EQ(userCheck().update.enclosure, QUrl(address("/moved/Vesperin.AppImage")));
    EXPECT_TRUE(downloads().isEmpty()) << "a check the user asked for downloads nothing";
}

TEST_F(UpdaterTest, EveryFailedCheckSaysWhyInOneLine) {
    const QString outside = "http://updates.invalid/appcast.xml";
    const QList<std::pair<std::function<void()>, QString>> cases = {
        {[&] { server.redirect(outside.toLatin1()); },
         L("network.error.insecure_redirect", outside)},
        {[&] { server.answer(404, "Not found"); }, L("network.error.status", 404)},
        {[&] { server.answer(200, feed("99.0") + QByteArray(1 << 20, ' ')); },
         "The answer is larger than 1"},
    };
    for (const auto& [script, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        const qsizetype requests = server.requests().size();
        script();
        const UpdateCheck result = userCheck();
        EXPECT_EQ(result.outcome, Outcome::failed);
        EXPECT_TRUE(result.reason.startsWith(reason)) << result.reason.toStdString();
        EXPECT_FALSE(result.reason.contains('\n'));
        EXPECT_EQ(server.requests().size(), requests + 1) << "the redirect was not followed";
    }
}

TEST_F(UpdaterTest, ABackgroundCheckReportsEachNewerReleaseOnceAndNothingElse) {
    QSignalSpy found(&updater, &Updater::updateFound);
    QSignalSpy finished(&updater, &Updater::checkFinished);
    for (const QByteArray& version : {ServiceEndpoints::appVersion().toUtf8(), QByteArray("<"),
                                      QByteArray("99.0"), QByteArray("99.0"), QByteArray("100")}) {
        server.answer(200, feed(version));
        checkInBackground(updater);
    }
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).at(0).value<AppcastItem>().version, "99.0");
    EXPECT_EQ(found.at(1).at(0).value<AppcastItem>().version, "100");
    EXPECT_TRUE(finished.isEmpty());
}

class UpdateDownloadTest : public UpdaterTest {
protected:
    void SetUp() override { store.setBool(PreferenceKeys::automaticUpdateDownloads, true); }

    QByteArray fileFeed(qint64 length, const QByteArray& signature,
                        const QByteArray& url = "/files/Vesperin-99.0.AppImage") const {
        return feedWithFile(url.startsWith('/') ? address(url) : url, length, signature);
    }

    const QByteArray file = QByteArray(200000, 'v') + "end";
};

// Each mismatch is reported with its reason, and nothing is left in the download folder.
TEST_F(UpdateDownloadTest, AFileIsKeptOnlyWhenItsLengthAndSignatureMatch) {
    const qint64 size = file.size();
    const QByteArray signature = key.sign(file);
    const QString outside = "http://updates.invalid/file";
    const QList<std::tuple<QByteArray, std::function<void()>, QString>> cases = {
        {fileFeed(size + 1, signature), [&] { server.answer(200, file); },
         L("update.error.length_mismatch", size, size + 1)},
        {fileFeed(size - 1, signature), [&] { server.answer(200, file); },
         L("update.error.longer_than_announced", size - 1)},
        {fileFeed(size, key.sign("another file")), [&] { server.answer(200, file); },
         L("update.error.bad_signature")},
        {fileFeed(size, ""), {}, L("update.error.unsigned")},
        {fileFeed(size, signature, outside.toLatin1()),
         {},
         L("update.error.insecure_download", outside)},
        {fileFeed(-1, signature), {}, L("update.error.no_length")},
    };
    writeFile(Updater::downloadFolder() + "/left-by-a-crash.part", "partial");
    for (const auto& [body, serveFile, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        Updater fresh(settings, key.publicKey());
        QSignalSpy failed(&fresh, &Updater::downloadFailed);
        QSignalSpy ready(&fresh, &Updater::updateReady);
        server.answer(200, body);
        if (serveFile)
            serveFile();
        checkInBackground(fresh);
        ASSERT_EQ(failed.size(), 1);
        EXPECT_EQ(failed.at(0).at(1).toString(), reason);
        EXPECT_TRUE(ready.isEmpty());
        EXPECT_TRUE(downloads().isEmpty()) << downloads().join(' ').toStdString();
    }
}

// The verified file replaces older ones, and the next run offers it without fetching it again.
TEST_F(UpdateDownloadTest, AVerifiedFileIsOfferedAndKeptForLaterRuns) {
    writeFile(Updater::downloadFolder() + "/Vesperin-98.0.AppImage", "an older release");
    const QString kept = Updater::downloadFolder() + "/Vesperin-99.0.AppImage";
    QSignalSpy ready(&updater, &Updater::updateReady);
    server.answer(200, fileFeed(file.size(), key.sign(file)));
    server.answer(200, file);
    checkInBackground(updater);
    ASSERT_EQ(ready.size(), 1);
    EXPECT_EQ(ready.at(0).at(0).toString(), kept);
    EXPECT_EQ(readFile(kept), file);
    EXPECT_EQ(downloads(), QStringList{"Vesperin-99.0.AppImage"});

    Updater later(settings, key.publicKey());
    QSignalSpy readyLater(&later, &Updater::updateReady);
    server.answer(200, fileFeed(file.size(), key.sign(file)));
    const qsizetype requests = server.requests().size();
    checkInBackground(later);
    EXPECT_EQ(readyLater.value(0).value(0).toString(), kept);
    EXPECT_EQ(server.requests().size(), requests + 1) << "only the feed";
}

TEST_F(UpdaterTest, AutomaticChecksRunAnIntervalAfterTheLastCheckWhileTheyAreOn) {
    EXPECT_FALSE(updater.isScheduled());
    // Overdue by the updater's clock, two hours on from the wall clock's last check: at once,
    // though the interval is an hour, and the check is dated by that clock.
    clockOffsetSecs = 7200;
    store.setObject(PreferenceKeys::lastUpdateCheck, QDateTime::currentDateTimeUtc());
    store.setBool(PreferenceKeys::automaticUpdateChecks, true);
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 1 && !updater.isChecking(); }));
    const QDateTime checked = store.dateForKey(PreferenceKeys::lastUpdateCheck).value();
    EXPECT_LE(std::abs(checked.secsTo(QDateTime::currentDateTimeUtc().addSecs(7200))), 5);
    clockOffsetSecs = 0;
    EXPECT_TRUE(updater.isScheduled());

    // Then one interval after the last check, again and again.
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
