#include "platform/SingleInstance.h"

#include "support/PrivateSessionBus.h"
#include "support/TestText.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>

namespace {

// Real starts of single_instance_child in a runtime folder of the test's own, with no
// session bus (as every test process has) or with a private one.
class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& child : children) {
            child->kill();
            child->waitForFinished();
        }
    }

    QProcess& start(const QStringList& arguments = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        if (!busAddress.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        auto& child = *children.emplace_back(std::make_unique<QProcess>());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(VESPERIN_BINARY_DIR "/tests/single_instance_child", arguments);
        return child;
    }

    // The next line the child prints; "(nothing)" when none comes in time.
    static QString nextLine(QProcess& child) {
        const QDeadlineTimer deadline(15000);
        while (!child.canReadLine() && child.waitForReadyRead(int(deadline.remainingTime()))) {
        }
        return child.canReadLine() ? QString::fromUtf8(child.readLine()).trimmed() : "(nothing)";
    }

    // Starts a process that must hand over to `primary`, which must then say so.
    void expectHandOverTo(QProcess& primary) {
        QProcess& second = start();
        ASSERT_TRUE(second.waitForFinished(15000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(second.readAllStandardOutput(), "handed over\n");
        EXPECT_EQ(nextLine(primary), "reopen");
    }

    QString socketPath() const { return runtime.path() + "/com.orvennalabs.Vesperin"; }

    QTemporaryDir runtime;
    QString busAddress;
    std::vector<std::unique_ptr<QProcess>> children;
};

TEST_F(SingleInstanceTest, LaterStartsHandOverThroughTheSocket) {
    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    EXPECT_TRUE(QFileInfo::exists(socketPath()));
    expectHandOverTo(primary);
    expectHandOverTo(primary);
}

TEST_F(SingleInstanceTest, TheSocketOfAKilledPrimaryDoesNotBlockTheNextStart) {
    QProcess& crashed = start();
    ASSERT_EQ(nextLine(crashed), "primary");
    crashed.kill();
    crashed.waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(socketPath()));

    QProcess& next = start();
    ASSERT_EQ(nextLine(next), "primary");
    expectHandOverTo(next);
}

// A primary that is stopped (or hung) costs a later start one answer time, not forever;
// that start then ends with a failure status rather than running beside it.
TEST_F(SingleInstanceTest, APrimaryThatDoesNotAnswerEndsTheLaterStart) {
    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    ASSERT_EQ(::kill(pid_t(primary.processId()), SIGSTOP), 0);
    QProcess& second = start();
    EXPECT_TRUE(second.waitForFinished(SingleInstance::answerMs + 10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(second.readAllStandardOutput(), "unanswered\n");
    ::kill(pid_t(primary.processId()), SIGCONT);
}

// Starts that race, past a stale socket too: one of them listens, the others find it.
TEST_F(SingleInstanceTest, StartsAtOnceLeaveOnePrimary) {
    QProcess& crashed = start();
    ASSERT_EQ(nextLine(crashed), "primary");
    crashed.kill();
    crashed.waitForFinished();

    const int starts = 8;
    std::vector<QProcess*> racing;
    for (int n = 0; n < starts; ++n) {
        racing.push_back(&start({"wait"}));
        ASSERT_TRUE(racing.back()->waitForStarted());
    }
    for (QProcess* child : racing)
        child->write("go\n");
    QProcess* primary = nullptr;
    int handedOver = 0;
    for (QProcess* child : racing) {
        const QString line = nextLine(*child);
        if (line == "primary") {
            EXPECT_EQ(primary, nullptr) << "two primaries";
            primary = child;
        } else {
            EXPECT_EQ(line, "handed over");
            EXPECT_TRUE(child->waitForFinished(15000) && child->exitCode() == 0);
            ++handedOver;
        }
    }
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(handedOver, starts - 1);
    for (int n = 1; n < starts; ++n)
        EXPECT_EQ(nextLine(*primary), "reopen");
}

// Deciding between connecting and listening is one start's at a time: a start waits while
// the lock beside the socket is held.
TEST_F(SingleInstanceTest, AStartWaitsWhileAnotherDecides) {
    QLockFile deciding(socketPath() + ".lock");
    ASSERT_TRUE(deciding.tryLock());
    QProcess& waiting = start();
    EXPECT_FALSE(waiting.waitForReadyRead(1000));
    deciding.unlock();
    EXPECT_EQ(nextLine(waiting), "primary");
}

TEST_F(SingleInstanceTest, OnASessionBusTheNameDecidesAndDiesWithItsOwner) {
    if (!PrivateSessionBus::isAvailable())
        GTEST_SKIP() << "dbus-daemon is not installed";
    const PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    busAddress = bus.address();

    QProcess& primary = start();
    ASSERT_EQ(nextLine(primary), "primary");
    expectHandOverTo(primary);
    EXPECT_FALSE(QFileInfo::exists(socketPath()));

    primary.kill();
    primary.waitForFinished();
    QProcess& next = start();
    ASSERT_EQ(nextLine(next), "primary");
    expectHandOverTo(next);
}

} // namespace
