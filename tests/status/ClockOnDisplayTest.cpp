#include "model/MenuBarLayout.h"
#include "platform/StatusBar.h"
#include "platform/StatusBarButton.h"
#include "platform/StatusItem.h"
#include "status/OwnBarHost.h"
#include "status/StatusItemController.h"
#include "support/FakeClock.h"
#include "support/TestProfile.h"
#include "support/TestText.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Records what the bar's first item paints on the X server, and when by the test's clock.
class PaintRecorder : public QObject {
public:
    struct Paint {
        qint64 at;
        QString text;
    };

    PaintRecorder(StatusBarButton* button, const FakeClock& clock)
        : m_button(button), m_clock(clock) {
        button->installEventFilter(this);
    }

    QList<Paint> paints;

    // The last paint up to `instant`: what the screen showed then.
    std::optional<Paint> lastPaintUpTo(qint64 instant) const {
        std::optional<Paint> last;
        for (const Paint& paint : paints)
            if (paint.at <= instant)
                last = paint;
        return last;
    }

    // The first paint at or after `since` that shows `text`.
    std::optional<Paint> firstShowing(const QString& text, qint64 since) const {
        for (const Paint& paint : paints)
            if (paint.at >= since && paint.text == text)
                return paint;
        return std::nullopt;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_button && event->type() == QEvent::Paint)
            paints.append({m_clock.nowMs(), m_button->title()});
        return false;
    }

private:
    StatusBarButton* m_button;
    const FakeClock& m_clock;
};

QString minuteText(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).toString("HH:mm");
}

class ClockOnDisplayTest : public ProfileTest {
protected:
    QImage barPixels() const {
        return bar.screen()->grabWindow(0, 0, 0, bar.width(), bar.height()).toImage();
    }
    void waitUntil(qint64 instant) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return clock.nowMs() >= instant; }, 5000));
    }

    FakeClock clock;
    StatusBar bar;
    OwnBarHost host{bar};
    StatusItemController controller{host, clock.events()};
};

// A person watching a "{HH}:{min}" clock on the desktop: at every minute the new minute is
// on screen within 100 ms, whether the minute came by waiting or the clock was set.
TEST_F(ClockOnDisplayTest, TheBarShowsTheNewMinuteWithin100ms) {
    MenuBarLayout::setItems({MenuBarItem{QUuid::createUuid(), true, "{HH}:{min}"}});
    controller.enable();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    PaintRecorder recorder(bar.items().first()->button(), clock);

    for (const qint64 minutes : {4, 1, -90}) {
        // A jump to 700 ms before a whole minute, then the minute comes by itself.
        const qint64 boundary = (clock.nowMs() / 60'000 + minutes) * 60'000;
        const qint64 setTo = boundary - 700;
        clock.jumpBy(setTo - clock.nowMs());
        waitUntil(boundary - 300);
        const QImage before = barPixels();
        waitUntil(boundary + 100);
        const QImage turned = barPixels();
        waitUntil(boundary + 400);

        // A jump within the same minute repaints nothing, as nothing changed.
        const auto afterJump = recorder.lastPaintUpTo(setTo + 100);
        ASSERT_TRUE(afterJump) << minutes;
        EXPECT_EQ(afterJump->text, minuteText(setTo)) << "the set clock is shown at once";
        const auto turnedOver = recorder.firstShowing(minuteText(boundary), boundary);
        ASSERT_TRUE(turnedOver) << minuteText(boundary) << " never painted";
        EXPECT_LE(turnedOver->at - boundary, 100) << minuteText(boundary);
        EXPECT_NE(before, turned) << "the screen still shows the old minute";
        EXPECT_EQ(turned, barPixels()) << "the minute changed again";
    }
}

} // namespace
