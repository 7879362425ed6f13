#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestHttpServer.h"
#include "support/TestProfile.h"
#include "system/CrashReporter.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct Crash {
    int signal = 0;
    QString message;
    QStringList stack;
};

class CrashCaptureTest : public ProfileTest {
protected:
    QString folder() const { return profile.dataHome() + "/Vesperin"; }

    // Runs the child until it dies; the signal that ended it and what it left.
    Crash crashChild(const QStringList& arguments) {
        QFile::remove(folder() + "/pending-crash.txt");
        QProcess process;
        process.start(VESPERIN_BINARY_DIR "/tests/crash_child", arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        const QString text = QString::fromUtf8(readFile(folder() + "/pending-crash.txt"));
        const qsizetype split = text.indexOf("\n---\n");
        EXPECT_GE(split, 0) << "no separator in: " << text.toStdString();
        EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"pending-crash.txt"});
        return {process.exitStatus() == QProcess::CrashExit ? process.exitCode() : 0,
                text.left(split), text.mid(split + 5).split('\n')};
    }

    // The stack holds the crash site, in at most 30 lines, none of them empty.
    void expectStackThrough(const Crash& crash, const char* function) {
        const QString stack = crash.stack.join('\n');
        EXPECT_LE(crash.stack.size(), 30);
        EXPECT_FALSE(crash.stack.contains(QString()));
        EXPECT_TRUE(stack.contains(function)) << stack.toStdString();
    }

    // The child must never reach the real service, whatever it finds to send.
    ScopedEnvironment service{"VESPERIN_SERVICE_URL", refusingUrl().toEncoded()};
};

TEST_F(CrashCaptureTest, AFaultIsRecordedAndTheProcessEndsByTheSameSignal) {
    const Crash fault = crashChild({"segv"});
    EXPECT_EQ(fault.signal, SIGSEGV);
    EXPECT_EQ(fault.message, "Signal 11");
    expectStackThrough(fault, "writeThroughNull");

    const Crash abort = crashChild({"abort"});
    EXPECT_EQ(abort.signal, SIGABRT);
    EXPECT_EQ(abort.message, "Signal 6");
    expectStackThrough(abort, "(main+");

    for (int signal : {SIGILL, SIGBUS, SIGFPE, SIGTRAP}) {
        const Crash raised = crashChild({"raise", QString::number(signal)});
        EXPECT_EQ(raised.signal, signal);
        EXPECT_EQ(raised.message, QString("Signal %1").arg(signal));
    }
}

TEST_F(CrashCaptureTest, AnUncaughtExceptionIsRecordedWithItsTypeAndText) {
    const Crash crash = crashChild({"exception"});
    EXPECT_EQ(crash.signal, SIGABRT);
    EXPECT_EQ(crash.message, "Exception: std::runtime_error : disk on fire second line")
        << "one line, and not replaced by the abort that follows";
    expectStackThrough(crash, "throwFromHere");
    EXPECT_EQ(crashChild({"foreign-exception"}).message, "Exception: int : ");
}

TEST_F(CrashCaptureTest, ADeepOrOverflowingStackIsCutToThirtyLinesFromTheCrashSite) {
    const Crash deep = crashChild({"deep"});
    EXPECT_EQ(deep.signal, SIGSEGV);
    ASSERT_EQ(deep.stack.size(), 30);
    EXPECT_TRUE(deep.stack.at(1).contains("writeThroughNull")) << "under the signal frame";
    EXPECT_TRUE(deep.stack.last().contains("deepen"));

    const Crash overflow = crashChild({"overflow"});
    EXPECT_EQ(overflow.signal, SIGSEGV);
    EXPECT_EQ(overflow.message, "Signal 11");
    expectStackThrough(overflow, "overflow");
}

TEST_F(CrashCaptureTest, ARecordThatCannotBeWrittenWholeIsNotLeftHalfWritten) {
    QProcess process;
    process.start(VESPERIN_BINARY_DIR "/tests/crash_child", {"limited-segv"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), SIGSEGV);
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(CrashCaptureTest, TheNextStartSendsTheCrashOnceAndDeletesIt) {
    const Crash crash = crashChild({"segv"});
    Preferences::standard().setObject(PreferenceKeys::deviceId, "0F0E0D0C-0B0A-4909-8807-0605");
    TestHttpServer server;
    ScopedEnvironment address("VESPERIN_SERVICE_URL", server.url().toEncoded());
    EXPECT_TRUE(CrashReporter::sendPendingCrash());
    EXPECT_FALSE(CrashReporter::sendPendingCrash());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    CrashReporter::send("crash", "probe", ""); // once it arrives, nothing else is on its way
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));

    const RecordedRequest& request = server.requests().at(0);
    EXPECT_EQ(request.path, "/crash");
    const QJsonObject record = request.json();
    EXPECT_EQ(record.keys(), (QStringList{"d", "kind", "message", "os", "stack", "v"}));
    EXPECT_EQ(record.value("d"), "0F0E0D0C-0B0A-4909-8807-0605");
    EXPECT_EQ(record.value("kind"), "crash");
    EXPECT_EQ(record.value("message"), "Signal 11");
    EXPECT_EQ(record.value("stack").toString(), crash.stack.join('\n'));
    EXPECT_EQ(record.value("v"), VESPERIN_VERSION);
    EXPECT_EQ(server.requests().at(1).json().value("message"), "probe");
}

} // namespace
