#include "calendar/KOrganizerDateCall.h"

#include "calendar/CalEngine.h"
#include "calendar/CalendarAppOpener.h"
#include "harness/PrivateSessionBus.h"
#include "harness/TestDesktop.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// KOrganizer's calendar interface, as far as showing a day goes.
class FakeKOrganizer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.Korganizer.Calendar")
public:
    QList<QDate> shown;
public Q_SLOTS:
    void showDate(const QDate& date) { shown.append(date); }
};

// Two connections to a session bus of the test's own: one for the code under test and one
// that plays KOrganizer.
class KOrganizerDateCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivateSessionBus::isAvailable())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_FALSE(session.address().isEmpty());
        bus = QDBusConnection::connectToBus(session.address(), "vesperin");
        korganizer = QDBusConnection::connectToBus(session.address(), "korganizer");
        ASSERT_TRUE(bus.isConnected() && korganizer.isConnected());
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus("vesperin");
        QDBusConnection::disconnectFromBus("korganizer");
    }

    PrivateSessionBus session;
    QDBusConnection bus{"none"};
    QDBusConnection korganizer{"none"};
    FakeKOrganizer calendar;
};

TEST_F(KOrganizerDateCallTest, KOrganizerShowsTheDayOnceItIsReady) {
    TestDesktop desktop;
    desktop.addEntry(0, "org.kde.korganizer.desktop", desktop.recordingProgram("korganizer"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(
        CalEngine::openInCalendarApp(QDateTime(QDate(2026, 3, 7), QTime(12, 0)),
                                     CalendarAppOpener::opener(ProcessLauncher::system(), bus)));
    EXPECT_LT(clock.elapsed(), 1000); // the day is asked for later, not waited for
    EXPECT_EQ(desktop.recorded("korganizer"), QStringList());

    // A request whose time runs out before KOrganizer appears is given up.
    auto* impatient = KOrganizerDateCall::start(QDate(2026, 1, 1), bus, nullptr, 300);
    QSignalSpy givenUp(impatient, &KOrganizerDateCall::finished);
    ASSERT_TRUE(givenUp.wait(3000));
    EXPECT_EQ(givenUp.first().first(), false);

    // KOrganizer takes its bus name after a moment, and publishes its calendar later still.
    korganizer.registerService(KOrganizerDateCall::service);
    QTimer::singleShot(600, &calendar, [this] {
        korganizer.registerObject(KOrganizerDateCall::path, &calendar,
                                  QDBusConnection::ExportAllSlots);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !calendar.shown.isEmpty(); }, 5000));
    QTest::qWait(2 * KOrganizerDateCall::retryMs);
    EXPECT_EQ(calendar.shown, QList<QDate>{QDate(2026, 3, 7)});
}

} // namespace

#include "KOrganizerDateCallTest.moc"
