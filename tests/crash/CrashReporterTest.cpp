#include "crash/CrashReporter.h"

#include "crash/AlternateSignalStack.h"
#include "crash/SystemCrashRecords.h"
#include "harness/FakeDesktop.h"
#include "harness/TestHttpServer.h"
#include "harness/TestProfile.h"
#include "platform/OperatingSystem.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>
#include <vector>

namespace {

struct Crash {
    int signal = 0;
    QString message;
    QStringList stack;
};

class CrashCaptureTest : public ProfileTest {
protected:
    Settings settings{Preferences::standard()};

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

// Every way of dying is recorded with its message and the crash site (where the child has a
// function of its own there), and the process ends by the signal that ended it. An exception's
// message is one line, not replaced by the abort that follows; a stack overflow is caught on
// any thread, whichever library started it.
TEST_F(CrashCaptureTest, EveryCrashIsRecordedAndTheProcessEndsByTheSameSignal) {
    struct Case {
        QStringList arguments;
        int signal;
        QString message;
        const char* function = nullptr; // on the stack, when given
    };
    QList<Case> cases{
        {{"segv"}, SIGSEGV, "Signal 11", "writeThroughNull"},
        {{"abort"}, SIGABRT, "Signal 6", "(main+"},
        {{"exception"},
         SIGABRT,
         "Exception: std::runtime_error : disk on fire second line",
         "throwFromHere"},
        {{"foreign-exception"}, SIGABRT, "Exception: int : "},
        {{"overflow"}, SIGSEGV, "Signal 11", "overflow"},
        {{"overflow", "std::thread"}, SIGSEGV, "Signal 11", "overflow"},
        {{"overflow", "QThread"}, SIGSEGV, "Signal 11", "overflow"},
    };
    for (const int signal : {SIGILL, SIGBUS, SIGFPE, SIGTRAP})
        cases.append(
            {{"raise", QString::number(signal)}, signal, QString("Signal %1").arg(signal)});
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.arguments.join(' ').toStdString());
        const Crash crash = crashChild(expected.arguments);
        EXPECT_EQ(crash.signal, expected.signal);
        EXPECT_EQ(crash.message, expected.message);
        if (expected.function)
            expectStackThrough(crash, expected.function);
    }

    // A deep stack is cut to thirty lines from the crash site.
    const Crash deep = crashChild({"deep"});
    ASSERT_EQ(deep.stack.size(), 30);
    EXPECT_TRUE(deep.stack.at(1).contains("writeThroughNull")) << "under the signal frame";
    EXPECT_TRUE(deep.stack.last().contains("deepen"));
}

TEST_F(CrashCaptureTest, ThreadsStartWithTheirOwnSignalStackAndEndAsBeforeWithoutHandlers) {
    QProcess process;
    process.start(VESPERIN_BINARY_DIR "/tests/crash_child", {"thread-stacks"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

TEST_F(CrashCaptureTest, TheNextStartSendsTheCrashOnceAndDeletesIt) {
    const Crash crash = crashChild({"segv"});
    Preferences::standard().setObject(PreferenceKeys::deviceId, "0F0E0D0C-0B0A-4909-8807-0605");
    TestHttpServer server;
    ScopedEnvironment address("VESPERIN_SERVICE_URL", server.url().toEncoded());
    EXPECT_TRUE(CrashReporter::sendPendingCrash(settings));
    EXPECT_FALSE(CrashReporter::sendPendingCrash(settings));
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    // Once the probe has arrived too, nothing else is on its way; each report runs in a
    // helper of its own, so the two may arrive in either order.
    CrashReporter::send(settings, "crash", "probe", "");
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 2; }));

    QList<RecordedRequest> received = server.requests();
    if (received.at(0).json().value("message") == "probe")
        received.swapItemsAt(0, 1);
    EXPECT_EQ(received.at(0).path, "/crash");
    EXPECT_EQ(received.at(0).json(), (QJsonObject{{"d", "0F0E0D0C-0B0A-4909-8807-0605"},
                                                  {"kind", "crash"},
                                                  {"message", "Signal 11"},
                                                  {"os", OperatingSystem::osString()},
                                                  {"stack", crash.stack.join('\n')},
                                                  {"v", VESPERIN_VERSION}}));
    EXPECT_EQ(received.at(1).json().value("message"), "probe");
}

// What earlier runs left: the pending file and the system's records of crashes.
class CrashReportsTest : public ProfileTest {
protected:
    Settings settings{Preferences::standard()};

    // A coredump of this program, made at `time` (and a fraction of a millisecond), whose
    // details coredumpctl prints as `info` (absent: it cannot).
    void addCoredump(const QDateTime& time, const std::optional<QByteArray>& info) {
        desktop.addCoredump(time.toMSecsSinceEpoch() * 1000 + 999, ++lastPid, program.executable,
                            program.userId, info);
    }

    void writeReport(const QByteArray& text, const QDateTime& modified) {
        const QString name = QString(program.executable).replace('/', '_');
        writeFile(folder() + "/" + name + "." + QString::number(program.userId) + ".crash", text,
                  modified);
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

    QString folder() const { return profile.dataHome() + "/crash"; }

    const SystemCrashRecords::Program program = SystemCrashRecords::Program::current();
    const QString withoutSignal = "Rapport système " + OperatingSystem::osString();
    FakeDesktop desktop;
    qint64 lastPid = 100;
    TestHttpServer server;
    ScopedEnvironment address{"VESPERIN_SERVICE_URL", server.url().toEncoded()};
    ScopedEnvironment reports{"APPORT_REPORT_DIR", QFile::encodeName(folder())};
    const QDateTime monday = QDateTime(QDate(2026, 2, 2), QTime(10, 0, 0, 250), Qt::UTC);
};

TEST_F(CrashReportsTest, APendingFileKeepsItsMessageAndTheStackUpToASecondSeparator) {
    writeFile(CrashReporter::crashFile(), "Signal 6\n---\na\nb\n---\ndropped");
    EXPECT_TRUE(CrashReporter::sendPendingCrash(settings));
    writeFile(CrashReporter::crashFile(), "Something odd\nover two lines");
    EXPECT_TRUE(CrashReporter::sendPendingCrash(settings));
    const auto records = received(2);
    EXPECT_EQ(records.value("Signal 6").value("stack"), "a\nb");
    EXPECT_EQ(records.value("Something odd\nover two lines").value("stack"), "");
    EXPECT_EQ(records.first().value("d"), "?") << "no device identifier, and none is created";
    EXPECT_FALSE(Preferences::standard().objectForKey(PreferenceKeys::deviceId));
}

TEST_F(CrashReportsTest, TheSystemsNewRecordsAreSentOnceWithTheirSignal) {
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(settings, desktop), 0)
        << "no coredumpctl, no report folder";
    EXPECT_FALSE(lastScan());
    addCoredump(monday, "           PID: 101 (system_tests)\n        Signal: 11 (SEGV)\n");
    addCoredump(monday.addSecs(-60), "       Storage: none\n");
    addCoredump(monday.addSecs(60), std::nullopt);
    const QByteArray report =
        "ProblemType: Crash\nExecutablePath: " + QFile::encodeName(program.executable) +
        "\nSignal: 6\n";
    writeReport(report, monday.addSecs(-120));

    EXPECT_EQ(CrashReporter::sendSystemCrashReports(settings, desktop), 3);
    const auto records = received(3);
    ASSERT_EQ(server.requests().size(), 3);
    ASSERT_EQ(records.keys(), (QStringList{withoutSignal, "Signal: 11 (SEGV)", "Signal: 6"}));
    EXPECT_EQ(lastScan(), monday) << "the newest record sent, not the unreadable one";

    const qsizetype commands = desktop.ran.size();
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(settings, desktop), 0)
        << "the next start sends none again";
    EXPECT_EQ(desktop.ran.size(), commands + 2) << "the list, and the record it could not read";
    writeReport(report + "Title: again\n", monday.addSecs(5));
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(settings, desktop), 1)
        << "apport wrote a new report";
    EXPECT_EQ(lastScan(), monday.addSecs(5));
}

TEST_F(CrashReportsTest, ALongRecordIsCutAtEighteenThousandCharactersNeverInsideOne) {
    const QString accent = QString("e") + QChar(0x0301);         // one character, two units
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units
    const QString start = QString(17998, 'a') + accent + emoji;
    addCoredump(monday, (start + accent + "\nSignal: late\n").toUtf8());
    addCoredump(monday, QByteArray(18000, 'b'));
    EXPECT_EQ(CrashReporter::sendSystemCrashReports(settings, desktop), 2);
    const auto records = received(2);
    EXPECT_EQ(records.value("Signal: late").value("stack").toString(), start);
    EXPECT_EQ(records.value(withoutSignal).value("stack").toString(), QString(18000, 'b'));
}

stack_t currentStack() {
    stack_t current{};
    EXPECT_EQ(::sigaltstack(nullptr, &current), 0);
    return current;
}

void expectSameStack(const stack_t& actual, const stack_t& expected) {
    EXPECT_EQ(actual.ss_flags, expected.ss_flags);
    if (!(expected.ss_flags & SS_DISABLE)) {
        EXPECT_EQ(actual.ss_sp, expected.ss_sp);
        EXPECT_EQ(actual.ss_size, expected.ss_size);
    }
}

// The permissions of the mapping that ends where `address` starts, such as "---p".
QByteArray permissionsOfMappingBelow(const void* address) {
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QByteArray end = QByteArray::number(quintptr(address), 16);
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 1 && fields.at(0).split('-').value(1) == end)
            return fields.at(1);
    }
    return {};
}

// The case runs on a fresh thread. This test program does not have the program's own thread
// start, so a thread begins with what the C library or a sanitizer gives it.
TEST(AlternateSignalStackTest, TheThreadHasItWithAGuardBelowUntilWhatWasThereComesBack) {
    std::thread([] {
        const stack_t before = currentStack();
        {
            const AlternateSignalStack stack;
            const stack_t during = currentStack();
            EXPECT_FALSE(during.ss_flags & SS_DISABLE);
            EXPECT_EQ(during.ss_size, AlternateSignalStack::size);
            EXPECT_EQ(permissionsOfMappingBelow(during.ss_sp), "---p");
        }
        expectSameStack(currentStack(), before);

        // A stack the thread installed in the meantime is its own and stays.
        std::vector<char> own(AlternateSignalStack::size);
        stack_t installed{};
        installed.ss_sp = own.data();
        installed.ss_size = own.size();
        {
            const AlternateSignalStack stack;
            ASSERT_EQ(::sigaltstack(&installed, nullptr), 0);
        }
        expectSameStack(currentStack(), installed);
        ::sigaltstack(&before, nullptr);
    }).join();
}

} // namespace
