// The real vesperin-status-line as a bar runs it: its output read, clicks written to its
// standard input, its pipe closed. It runs from a folder of the test's own beside a stand-in
// `vesperin` that only writes down how it was started.
#include "harness/TestProfile.h"
#include "model/MenuBarLayout.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

class StatusLineProgramTest : public ProfileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(VESPERIN_BINARY_DIR "/src/vesperin-status-line",
                                folder.filePath("vesperin-status-line")));
        QFile::setPermissions(folder.filePath("vesperin-status-line"),
                              QFile::ReadOwner | QFile::ExeOwner);
        writeFile(folder.filePath("vesperin"), "#!/bin/sh\necho \"$@\" >> \"$0.log\"\n");
        QFile::setPermissions(folder.filePath("vesperin"), QFile::ReadOwner | QFile::ExeOwner);
    }
    void start(const QString& templateText) {
        Settings settings(Preferences::standard());
        MenuBarLayout(settings).setItems({{QUuid::createUuid(), true, templateText}});
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(folder.filePath("vesperin-status-line"), {"--status-line=i3bar"});
        ASSERT_TRUE(program.waitForStarted());
    }
    void TearDown() override {
        program.kill();
        program.waitForFinished();
    }

    QByteArray nextLine() {
        const QDeadlineTimer deadline(5000);
        while (!program.canReadLine() && program.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        return program.readLine().trimmed();
    }
    QString opened() const { return QString::fromUtf8(readFile(folder.filePath("vesperin.log"))); }

    QTemporaryDir folder;
    QProcess program;
};

// A seconds item ticks, in a process that never maps the libraries of windows or the network.
TEST_F(StatusLineProgramTest, TicksWithoutTheLibrariesOfWindowsOrTheNetwork) {
    start("{HH}:{min}:{sec}");
    EXPECT_TRUE(nextLine().contains("click_events"));
    EXPECT_EQ(nextLine(), "[");
    const QByteArray first = nextLine();
    EXPECT_TRUE(first.startsWith("[{\"full_text\":")) << first.toStdString();
    const QByteArray second = nextLine();
    EXPECT_TRUE(second.startsWith(",[{")) << second.toStdString();
    EXPECT_NE(first.mid(0, 30), second.mid(1, 30)) << "the seconds moved on";
    const QByteArray maps = readFile(QString("/proc/%1/maps").arg(program.processId()));
    ASSERT_FALSE(maps.isEmpty());
    for (const char* library :
         {"libQt6Widgets", "libQt6Gui", "libQt6Network", "libQt6DBus", "libssl", "libcrypto"})
        EXPECT_FALSE(maps.contains(library)) << library;
}

// Clicks reach the application through a `vesperin` start; what is no click (garbage, a line
// far too long) is passed over, and the program goes on.
TEST_F(StatusLineProgramTest, AClickStartsVesperinWithWhatItAsks) {
    start("{HH}:{min}");
    program.write("[\n{\"button\": \"one\"}\n," + QByteArray(100'000, '{') + "\n");
    program.write(",{\"name\":\"x\",\"button\":1,\"x\":812,\"y\":4}\n,{\"button\":3}\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened().count('\n') == 2; }, 5000))
        << opened().toStdString();
    EXPECT_TRUE(opened().contains("--open=panel --at=812,4\n"));
    EXPECT_TRUE(opened().contains("--open=menu\n"));
    EXPECT_EQ(program.state(), QProcess::Running);
}

// The bar ends (here, a reader that takes one byte and goes, at once or while the program
// idles, and one that leaked the reading end of the program's own output into it, as waybar
// does): the program ends at once, with status 0, not at its next write, which for a date
// would be at midnight. Its own status comes out on descriptor 3, past the reader.
TEST_F(StatusLineProgramTest, AClosedOutputEndsTheProgramAtOnce) {
    Settings settings(Preferences::standard());
    MenuBarLayout(settings).setItems({{QUuid::createUuid(), true, "{year}"}});
    const char* const pipe =
        R"({ { "$0" --status-line=i3bar; echo "status $?" >&3; } | %1; } 3>&1)";
    const QString bars[] = {
        QString(pipe).arg("head -c 1 >/dev/null"),
        QString(pipe).arg("{ head -c 1 >/dev/null; sleep 0.5; }"),
        R"(mkfifo "$1/out"; { head -c 1 >/dev/null; sleep 0.5; } <"$1/out" &)"
        R"( (exec "$0" --status-line=i3bar 5<>"$1/out" >"$1/out"); echo "status $?")",
    };
    for (const QString& script : bars) {
        SCOPED_TRACE(script.toStdString());
        QProcess bar;
        // A group of its own, so that a program that outlives its reader is ended with it.
        bar.setChildProcessModifier([] { ::setpgid(0, 0); });
        QFile::remove(folder.filePath("out"));
        bar.start("/bin/sh",
                  {"-c", script, folder.filePath("vesperin-status-line"), folder.path()});
        ASSERT_TRUE(bar.waitForStarted());
        const auto group = pid_t(bar.processId());
        const bool ended = bar.waitForFinished(5000);
        if (group > 1)
            ::kill(-group, SIGKILL);
        ASSERT_TRUE(ended) << "the program outlived its reader";
        EXPECT_EQ(bar.readAllStandardOutput(), "status 0\n");
    }
}

} // namespace
