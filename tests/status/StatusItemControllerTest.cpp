#include "status/StatusItemController.h"

#include "harness/FakeClock.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "harness/WidgetEvents.h"
#include "model/MenuBarLayout.h"
#include "platform/SystemContext.h"
#include "platform/SystemEvents.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "status/ownbar/OwnBarHost.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

StatusItem* statusOf(StatusHostItem* item) {
    return static_cast<OwnBarItem*>(item)->statusItem();
}

class StatusItemControllerTest : public ProfileTest {
protected:
    QList<QPointer<StatusItem>> shownItems() {
        QList<QPointer<StatusItem>> items;
        for (const auto& entry : controller.entries())
            items.append(statusOf(entry.status));
        return items;
    }
    QStringList titles() {
        QStringList result;
        for (const auto& entry : controller.entries())
            result.append(statusOf(entry.status)->button()->title());
        return result;
    }
    // The button a panel opened without a click goes under.
    StatusBarButton* anchorButton() {
        return qobject_cast<StatusBarButton*>(controller.anchor().source.data());
    }

    FakeClock clock;
    StatusBar bar;
    Settings settings{Preferences::standard()};
    MenuBarLayout layout{settings};
    QMenu menu;
    OwnBarHost host{bar, layout, menu};
    StatusItemController controller{host, layout, clock.events()};
};

TEST_F(StatusItemControllerTest, AnEmptyLayoutShowsExactlyTheCalendarIcon) {
    layout.setItems({MenuBarItem{QUuid::createUuid(), false, "{day}"}});
    controller.enable();
    ASSERT_TRUE(controller.fallback());
    EXPECT_EQ(bar.items(), QList<StatusItem*>{statusOf(controller.fallback())});
    EXPECT_EQ(statusOf(controller.fallback())->autosaveName(), "VSP-fallback");
    StatusBarButton* button = anchorButton();
    EXPECT_FALSE(button->image().isNull());
    EXPECT_TRUE(button->imageIsTemplate());
    EXPECT_TRUE(button->title().isEmpty());
    EXPECT_EQ(button->accessibleName(), "Vesperin");

    const MenuBarItem shown = itemOf("Hello");
    layout.setItems({shown});
    EXPECT_FALSE(controller.fallback());
    ASSERT_EQ(bar.items().size(), 1);
    EXPECT_EQ(bar.items().first()->autosaveName(), "VSP-" + MenuBarItemCoding::uuidText(shown.id));
    EXPECT_EQ(titles(), QStringList{"Hello"});
    EXPECT_TRUE(anchorButton()->image().isNull());

    // Text of spaces only (no-break and ideographic ones too) shows the icon in its own item
    // rather than an empty item.
    layout.setItems({itemOf(" \t\u00A0\u3000")});
    ASSERT_EQ(controller.entries().size(), 1);
    EXPECT_FALSE(controller.fallback());
    EXPECT_FALSE(anchorButton()->image().isNull());
    EXPECT_TRUE(anchorButton()->title().isEmpty());
}

TEST_F(StatusItemControllerTest, EditsKeepStatusItemsWhileDisablingAndReorderingRebuild) {
    QList<MenuBarItem> items{itemOf("One"), itemOf("Two"), itemOf("Three")};
    layout.setItems(items);
    controller.enable();
    EXPECT_EQ(titles(), (QStringList{"One", "Two", "Three"}));
    EXPECT_EQ(bar.items().first(), statusOf(controller.entries().first().status)); // left to right
    const auto before = shownItems();

    items[1].templateText = "Deux";
    items[1].separator = "";
    layout.setItems(items);
    EXPECT_EQ(shownItems(), before);
    EXPECT_EQ(titles(), (QStringList{"One", "Deux", "Three"}));
    EXPECT_EQ(controller.entries().at(1).item, items[1]);

    std::swap(items[0], items[2]);
    layout.setItems(items);
    EXPECT_EQ(titles(), (QStringList{"Three", "Deux", "One"}));
    for (const auto& old : before)
        EXPECT_TRUE(old.isNull()); // every status item was recreated
    EXPECT_EQ(bar.items().size(), 3);
    EXPECT_LT(statusOf(controller.entries().at(0).status)->button()->x(),
              statusOf(controller.entries().at(2).status)->button()->x());

    const auto reordered = shownItems();
    items[0].enabled = false;
    layout.setItems(items);
    EXPECT_EQ(titles(), (QStringList{"Deux", "One"}));
    for (const auto& old : reordered)
        EXPECT_TRUE(old.isNull());
}

TEST_F(StatusItemControllerTest, PaddingChoosesTheItemLength) {
    const QString text = "<b>Hello</b> 12";
    layout.setItems({itemOf(text)});
    controller.enable();
    StatusItem* status = statusOf(controller.entries().first().status);
    StatusBarButton* button = status->button();
    const int textWidth =
        int(std::ceil(QFontMetricsF(StatusHost::textFont()).horizontalAdvance(text)));

    const auto spokenName = [&] {
        return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    };
    layout.setPadding(-8);
    EXPECT_EQ(status->length(), textWidth); // closer than the button's margins: none on the sides
    EXPECT_EQ(button->title(), text);
    EXPECT_EQ(spokenName(), text);

    layout.setPadding(-3);
    EXPECT_EQ(status->length(), 10 + textWidth);

    layout.setPadding(0);
    EXPECT_EQ(status->length(), StatusItem::variableLength);
    EXPECT_EQ(button->title(), text);
    EXPECT_EQ(spokenName(), text);

    layout.setPadding(10);
    EXPECT_EQ(status->length(), 20 + button->fittingWidth() + 16);
    EXPECT_EQ(status->width(), 20 + button->fittingWidth() + 16);
}

TEST_F(StatusItemControllerTest, TheTimerFollowsTheFinestUnitShown) {
    layout.setItems({itemOf("{HH}:{min}:{sec}"), itemOf("{wd}")});
    controller.enable();
    EXPECT_EQ(controller.timerInterval(), 1);
    layout.setItems({itemOf("{HH}:{min}"), itemOf("{wd}")});
    EXPECT_EQ(controller.timerInterval(), 60);
    layout.setItems({itemOf("{wd} {day}"), itemOf("S{week}")});
    EXPECT_FALSE(controller.timerInterval());
    layout.setItems({MenuBarItem{QUuid::createUuid(), false, "{sec}"}});
    EXPECT_FALSE(controller.timerInterval()); // disabled items do not count
    controller.disable();
    EXPECT_FALSE(controller.timerInterval());
}

// A right click shows the host's menu; a left click, or a wheel turned over an item, goes on
// to the controller's signals.
TEST_F(StatusItemControllerTest, RightClicksShowTheMenuOnAnyItemAndLeftClicksNever) {
    layout.setItems({itemOf("One"), itemOf("Two")});
    controller.enable();
    QList<QObject*> primaryClicks;
    QList<int> turns;
    int menusShown = 0;
    QObject::connect(&controller, &StatusItemController::primaryClicked,
                     [&](const ScreenAnchor& anchor) { primaryClicks.append(anchor.source); });
    QObject::connect(&controller, &StatusItemController::scrolled,
                     [&](int delta) { turns.append(delta); });
    menu.addAction("Quit");
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        ++menusShown;
        QTimer::singleShot(0, &menu, &QMenu::close);
    });
    bar.show();
    StatusItem* second = statusOf(controller.entries().at(1).status);
    const QPoint onSecond = second->button()->geometry().center();
    // Sent straight to the bar, with no event loop run in between.
    const auto click = [&](Qt::MouseButton button, Qt::KeyboardModifiers keys = {}) {
        sendMouse(bar, QEvent::MouseButtonPress, onSecond, button, keys);
        sendMouse(bar, QEvent::MouseButtonRelease, onSecond, button, keys);
    };
    click(Qt::RightButton);
    EXPECT_EQ(menusShown, 1);
    EXPECT_TRUE(primaryClicks.isEmpty());
    // Shown without a nested event loop: the click has returned while the menu is open.
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu.isVisible(); }, 1000));

    click(Qt::LeftButton);
    click(Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(menusShown, 1);
    EXPECT_EQ(primaryClicks, (QList<QObject*>{second->button(), second->button()}));

    sendWheel(bar, -120, {}, onSecond);
    EXPECT_EQ(turns, QList<int>{-1});
}

// A clock shows the new minute within 100 ms of it, whether the minute came by waiting or the
// clock was set (forwards, to the next minute, backwards).
TEST_F(StatusItemControllerTest, TheNewMinuteShowsWithin100msAndASetClockAtOnce) {
    layout.setItems({itemOf("{HH}:{min}")});
    controller.enable();
    qint64 shownAt = 0; // by the test's clock
    QObject::connect(anchorButton(), &StatusBarButton::titleChanged,
                     [&] { shownAt = clock.nowMs(); });
    const auto minuteAt = [](qint64 msecs) {
        return QStringList{QDateTime::fromMSecsSinceEpoch(msecs).toString("HH:mm")};
    };
    for (const qint64 minutes : {4, 1, -90}) {
        SCOPED_TRACE(minutes);
        const qint64 boundary = (clock.nowMs() / 60'000 + minutes) * 60'000;
        clock.jumpBy(boundary - 700 - clock.nowMs());
        QCoreApplication::processEvents(); // the jump is taken from the event loop
        EXPECT_EQ(titles(), minuteAt(boundary - 700));
        ASSERT_TRUE(QTest::qWaitFor([&] { return titles() == minuteAt(boundary); }, 2000));
        EXPECT_GE(shownAt - boundary, 0);
        EXPECT_LE(shownAt - boundary, 100);
    }
}

TEST_F(StatusItemControllerTest, SystemChangesReRenderAtOnce) {
    layout.setItems({itemOf("{HH}")});
    controller.enable();
    const QString parisHour = titles().first();
    {
        ScopedEnvironment tz("TZ", "Asia/Tokyo"); // seven or eight hours from Paris
        SystemContext::reloadFromEnvironment();
        Q_EMIT clock.events().timeZoneChanged();
        EXPECT_TRUE(QTest::qWaitFor([&] { return titles().first() != parisHour; }, 1000));
    }
    SystemContext::reloadFromEnvironment();
}

} // namespace
