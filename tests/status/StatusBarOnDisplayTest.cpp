#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "harness/VirtualDisplay.h"
#include "platform/X11Dock.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 800;

// Another application's panel along the top edge: a dock window whose strut reserves its
// height, as a desktop's panel is.
class OtherDock : public QWidget {
public:
    OtherDock() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
        setWindowTitle("Other dock");
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    void reserve(int height) {
        setGeometry(0, 0, screenWidth, height);
        if (!windowHandle()) {
            create();
            X11Dock::markAsDock(windowHandle());
            show();
        }
        X11Dock::reserveTopStrip(windowHandle(), QRect(0, 0, screenWidth, height));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x30, 0x34, 0x3b));
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(0, 0, -12, 0), Qt::AlignVCenter | Qt::AlignRight,
                         "Another panel");
    }
};

class StatusBarOnDisplayTest : public ProfileTest {
protected:
    // What a window manager writes once the docks reserve `top` pixels along the top edge.
    void workAreaFrom(int top) {
        ASSERT_TRUE(display.setRootCardinals(
            "_NET_WORKAREA", {0, uint32_t(top), screenWidth, uint32_t(screenHeight - top)}));
    }
    bool shows(const QString& title, const char* property, const QString& value) {
        return QTest::qWaitFor(
            [&] { return display.windowProperty(title, property).contains(value); }, 3000);
    }
    bool barAt(int y) {
        return QTest::qWaitFor(
            [&] {
                const auto frame = display.windowFrame("Vesperin status bar");
                return frame && frame->y() == y;
            },
            3000);
    }
    // The bar's strut: from the screen's top edge to its own lower edge, over its width.
    QString strutDownTo(int bottom) {
        return QString("= 0, 0, %1, 0, 0, 0, 0, 0, 0, %2, 0, 0").arg(bottom).arg(screenWidth - 1);
    }
    void keepPicture(StatusBar& bar, Appearance appearance, const QString& name) {
        bar.setForcedAppearance(appearance);
        QTest::qWait(200);
        keepForLooking(display.screenshot(QRect(screenWidth - 520, 0, 520, 64)), name);
    }

    const VirtualDisplay& display = *VirtualDisplay::ofThisProcess();
};

// The bar draws into its backing store without paint events that a filter could see.
class WatchedBar : public StatusBar {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        StatusBar::paintEvent(event);
    }
};

// A dock of its own, the bar goes under the panel that is there and moves when the others
// reserve more; once the window manager counts the bar's strip, the work area ends at the
// bar's own edge and only the others' struts tell where they end.
TEST_F(StatusBarOnDisplayTest, TheBarSitsUnderOtherDocksAndFollowsTheWorkArea) {
    OtherDock dock;
    dock.reserve(30);
    workAreaFrom(30);
    StatusBar bar;
    bar.addItem(StatusItem::variableLength)->button()->setTitle("Mon 28  12:34");
    ASSERT_TRUE(barAt(30));
    EXPECT_EQ(display.windowFrame("Vesperin status bar")->size(), QSize(screenWidth, 24));
    EXPECT_TRUE(shows("Vesperin status bar", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK"));
    EXPECT_TRUE(shows("Vesperin status bar", "_NET_WM_STRUT_PARTIAL", strutDownTo(54)));
    keepPicture(bar, Appearance::light, "bar-under-dock-light");
    keepPicture(bar, Appearance::dark, "bar-under-dock-dark");
    workAreaFrom(54);

    // The dock grows while the work area still ends at the bar's edge.
    dock.reserve(40);
    ASSERT_TRUE(shows("Other dock", "_NET_WM_STRUT_PARTIAL", "= 0, 0, 40,"));
    workAreaFrom(54);
    ASSERT_TRUE(barAt(40));
    EXPECT_TRUE(shows("Vesperin status bar", "_NET_WM_STRUT_PARTIAL", strutDownTo(64)));

    // Something without a window of its own (a compositor's panel) reserves more.
    workAreaFrom(100);
    EXPECT_TRUE(barAt(100));
}

// A clock's tick draws only the characters that changed and moves nothing in the bar, yet the
// screen shows exactly what a full repaint of the new time shows.
TEST_F(StatusBarOnDisplayTest, ATickRepaintsOnlyWhatChangedAndLeavesNothingStale) {
    workAreaFrom(0);
    WatchedBar bar;
    StatusBarButton* button = bar.addItem(StatusItem::variableLength)->button();
    button->setTitle("12:34:56");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QTest::qWait(100);
    const QRect frame = button->geometry();
    const auto onScreen = [&] {
        const QPoint origin = button->mapToGlobal(QPoint(0, 0));
        return bar.screen()
            ->grabWindow(0, origin.x(), origin.y(), frame.width(), frame.height())
            .toImage();
    };
    QRegion& painted = bar.painted;
    QSignalSpy resized(button, &StatusBarButton::fittingWidthChanged);
    for (const char* title : {"12:34:57", "12:35:00", "12:41:09", "13:00:00"}) {
        painted = QRegion();
        button->setTitle(title);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !painted.isEmpty(); }, 2000)) << title;
        QTest::qWait(50);
        const QImage ticked = onScreen();
        const QRect tickPaint = painted.boundingRect();
        EXPECT_GT(tickPaint.left(), frame.left()) << title << ": the whole text was drawn";
        EXPECT_LT(tickPaint.width(), frame.width()) << title;
        painted = QRegion();
        bar.update();
        ASSERT_TRUE(QTest::qWaitFor([&] { return painted.contains(frame); }, 2000));
        QTest::qWait(50);
        EXPECT_EQ(ticked, onScreen()) << title << ": the tick left old pixels behind";
    }
    EXPECT_EQ(resized.count(), 0);
    EXPECT_EQ(button->geometry(), frame);
}

} // namespace
