#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestHttpServer.h"
#include "support/TestProfile.h"
#include "system/CrashReporter.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class CrashReportsTest : public ProfileTest {
protected:
    void writeLog(const QString& name, const QByteArray& text, const QDateTime& modified) {
        const QString path = profile.dataHome() + "/Vesperin/DiagnosticReports/" + name;
        writeFile(path, text);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }

    // The records received, by message, once `count` have arrived.
    QMap<QString, QJsonObject> received(int count) {
        EXPECT_TRUE(waitUntil([&] { return server.requests().size() >= count; }));
        QMap<QString, QJsonObject> records;
        for (const RecordedRequest& request : server.requests())
            records.insert(request.json().value("message").toString(), request.json());
        return records;
    }

    std::optional<QDateTime> lastScan() {
        return Preferences::standard().dateForKey(PreferenceKeys::lastCrashScan);
    }

    TestHttpServer server;
    ScopedEnvironment address{"VESPERIN_SERVICE_URL", server.url().toEncoded()};
    const QDateTime monday = QDateTime(QDate(2026, 2, 2), QTime(10, 0, 0, 250), Qt::UTC);
};

TEST_F(CrashReportsTest, APendingFileKeepsItsMessageAndTheStackUpToASecondSeparator) {
    writeFile(CrashReporter::crashFile(), "Signal 6\n---\na\nb\n---\ndropped");
    EXPECT_TRUE(CrashReporter::sendPendingCrash());
    writeFile(CrashReporter::crashFile(), "Something odd\nover two lines");
    EXPECT_TRUE(CrashReporter::sendPendingCrash());
    const auto records = received(2);
    EXPECT_EQ(records.value("Signal 6").value("stack"), "a\nb");
    EXPECT_EQ(records.value("Something odd\nover two lines").value("stack"), "");
    EXPECT_EQ(records.first().value("d"), "?") << "no device identifier, and none is created";
    EXPECT_FALSE(Preferences::standard().objectForKey(PreferenceKeys::deviceId));
}

TEST_F(CrashReportsTest, TheApplicationsNewLogsAreSentOnceWithTheirSummary) {
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(), 0) << "no folder yet";
    EXPECT_FALSE(lastScan());
    writeLog("Vesperin-2026-02-01.ips",
             "Process: Vesperin\n\nException Type: SIGSEGV\nTermination Reason: x\n", monday);
    writeLog("Orvenna Cal_2026.crash", "\nTermination Reason: SIGNAL\nException Type: EXC\n",
             monday.addSecs(-60));
    writeLog("Vesperin quiet.crash", "nothing named here\n", monday.addSecs(-120));
    writeLog("Vesperin.diag", "Exception Type: other extension\n", monday);
    writeLog("vesperin.ips", "Exception Type: other name\n", monday);
    writeLog("Other App.ips", "Exception Type: another application\n", monday);
    writeLog("Vesperin broken.ips", "Exception Type: \xff\xfe not UTF-8\n", monday.addSecs(60));

    EXPECT_EQ(CrashReporter::sendSystemCrashReports(), 3);
    const auto records = received(3);
    ASSERT_EQ(server.requests().size(), 3);
    ASSERT_EQ(records.keys(), (QStringList{"Exception Type: SIGSEGV", "Rapport système macOS",
                                           "Termination Reason: SIGNAL"}));
    EXPECT_EQ(records.first().value("stack"),
              "Process: Vesperin\n\nException Type: SIGSEGV\nTermination Reason: x\n");
    EXPECT_EQ(lastScan(), monday) << "the newest log sent, not the unreadable one";

    EXPECT_EQ(CrashReporter::sendSystemCrashReports(), 0) << "the next start sends none again";
    writeLog("Vesperin quiet.crash", "touched again\n", monday.addSecs(5));
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(), 1);
    EXPECT_EQ(lastScan(), monday.addSecs(5));
}

TEST_F(CrashReportsTest, ALongLogIsCutAtEighteenThousandCharactersNeverInsideOne) {
    const QString accent = QString("e") + QChar(0x0301);         // one character, two units
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units
    const QString start = QString(17998, 'a') + accent + emoji;
    writeLog("Vesperin big.ips", (start + accent + "\nException: late\n").toUtf8(), monday);
    writeLog("Vesperin exact.ips", QByteArray(18000, 'b'), monday);
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(), 2);
    const auto records = received(2);
    EXPECT_EQ(records.value("Exception: late").value("stack").toString(), start);
    EXPECT_EQ(records.value("Rapport système macOS").value("stack").toString(),
              QString(18000, 'b'));
}

} // namespace
