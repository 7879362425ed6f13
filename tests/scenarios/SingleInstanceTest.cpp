#include "platform/SingleInstance.h"

#include "harness/PrivateSessionBus.h"
#include "harness/TestText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// A bare connection to the primary's socket, as a start that misbehaves makes it; -1 when none.
int connectTo(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return socket;
    ::close(socket);
    return -1;
}

// What the primary sends on `socket` until it closes it; "(open)" while it is open after `ms`.
QByteArray readUntilClosed(int socket, int ms) {
    const QDeadlineTimer deadline(ms);
    QByteArray got;
    for (;;) {
        pollfd ready{socket, POLLIN, 0};
        if (::poll(&ready, 1, int(deadline.remainingTime())) <= 0)
            return "(open)";
        char buffer[64];
        const ssize_t read = ::recv(socket, buffer, sizeof buffer, 0);
        if (read <= 0)
            return got;
        got.append(buffer, read);
    }
}

// Real starts of single_instance_child in a runtime folder of the test's own, with no
// session bus (as every test process has) or with a private one.
class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& child : children)
            end(*child);
    }

    // `request`: the line of what the start asks for; empty: a reopen.
    QProcess& start(const QString& request = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        if (!busAddress.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        auto& child = *children.emplace_back(std::make_unique<QProcess>());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(VESPERIN_BINARY_DIR "/tests/single_instance_child",
                    request.isEmpty() ? QStringList() : QStringList{request});
        return child;
    }

    static void end(QProcess& child) {
        child.kill();
        child.waitForFinished();
    }

    // The next line the child prints; "(nothing)" when none comes in time.
    static QString nextLine(QProcess& child) {
        const QDeadlineTimer deadline(15000);
        while (!child.canReadLine() && child.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        return child.canReadLine() ? QString::fromUtf8(child.readLine()).trimmed() : "(nothing)";
    }

    static void expectHandedOver(QProcess& child) {
        ASSERT_TRUE(child.waitForFinished(15000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        EXPECT_EQ(child.readAllStandardOutput(), "handed over\n");
    }

    // Starts that must hand over to `primary`, all at once; it must take every request, a
    // reopen and what --open asks for alike, as it was sent.
    void expectHandOversTo(QProcess& primary, int starts) {
        const QStringList requests{"reopen", "panel 812 -4", "scroll -1", "settings"};
        std::vector<QProcess*> later;
        for (int n = 0; n < starts; ++n)
            later.push_back(&start(requests.at(n % requests.size())));
        for (QProcess* child : later)
            expectHandedOver(*child);
        QStringList taken;
        for (int n = 0; n < starts; ++n)
            taken.append(nextLine(primary));
        taken.sort();
        QStringList sent = requests.mid(0, starts);
        sent.sort();
        EXPECT_EQ(taken, sent);
    }

    QString socketPath() const { return runtime.path() + "/com.orvennalabs.Vesperin"; }

    QTemporaryDir runtime;
    QString busAddress;
    std::vector<std::unique_ptr<QProcess>> children;
};

// The socket a killed primary leaves behind does not block the next start.
TEST_F(SingleInstanceTest, LaterStartsHandOverThroughTheSocketEvenAfterAKilledPrimary) {
    QProcess& crashed = start();
    ASSERT_EQ(nextLine(crashed), "primary");
    EXPECT_TRUE(QFileInfo::exists(socketPath()));
    expectHandOversTo(crashed, 3);
    end(crashed);
    ASSERT_TRUE(QFileInfo::exists(socketPath()));

    QProcess& next = start();
    ASSERT_EQ(nextLine(next), "primary");
    expectHandOversTo(next, 1);
}

// The primary drops, unanswered, a connection that sends more than any line at once and one
// that sends nothing after its answer time; later starts hand over meanwhile. Only its user may
// connect.
TEST_F(SingleInstanceTest, ThePrimaryDropsWhatIsNoLineAndAnswersTheNextStart) {
    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    EXPECT_EQ(QFileInfo(socketPath()).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const int silent = connectTo(socketPath());
    const int flooding = connectTo(socketPath());
    ASSERT_GE(silent, 0);
    ASSERT_GE(flooding, 0);
    const QByteArray noLine(OpenRequest::maxLength + 1, 'x');
    ASSERT_EQ(::send(flooding, noLine.constData(), size_t(noLine.size()), 0), noLine.size());
    EXPECT_EQ(readUntilClosed(flooding, SingleInstance::answerMs / 2), "");
    expectHandOversTo(primary, 1);
    EXPECT_EQ(readUntilClosed(silent, SingleInstance::answerMs + 5000), "");
    ::close(silent);
    ::close(flooding);
}

// Deciding between connecting and listening is one start's at a time (two starts that both
// found no primary, or both removed a stale socket, would both listen): a start waits while
// the lock beside the socket is held.
TEST_F(SingleInstanceTest, AStartWaitsWhileAnotherDecides) {
    QLockFile deciding(socketPath() + ".lock");
    ASSERT_TRUE(deciding.tryLock());
    QProcess& waiting = start();
    EXPECT_FALSE(waiting.waitForReadyRead(1000));
    deciding.unlock();
    EXPECT_EQ(nextLine(waiting), "primary");
}

// A stopped (or hung) primary costs a later start one answer time, not forever; that start
// then fails rather than run beside it.
TEST_F(SingleInstanceTest, APrimaryThatDoesNotAnswerEndsTheLaterStart) {
    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    ASSERT_EQ(::kill(pid_t(primary.processId()), SIGSTOP), 0);
    QProcess& second = start();
    EXPECT_TRUE(second.waitForFinished(SingleInstance::answerMs + 10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(second.readAllStandardOutput(), "unanswered\n");
}

TEST_F(SingleInstanceTest, OnASessionBusTheNameDecidesAndDiesWithItsOwner) {
    if (!PrivateSessionBus::isAvailable())
        GTEST_SKIP() << "dbus-daemon is not installed";
    const PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    busAddress = bus.address();

    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    expectHandOversTo(primary, 2);
    EXPECT_FALSE(QFileInfo::exists(socketPath()));

    end(primary);
    QProcess& next = start();
    ASSERT_EQ(nextLine(next), "primary");
    expectHandOversTo(next, 1);
}

} // namespace
