#include "status/StatusMenu.h"

#include "settings/Localization.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// The titles of the rows shown, separators as "-".
QStringList rowsOf(const QMenu& menu) {
    QStringList rows;
    for (const QAction* action : menu.actions()) {
        if (action->isVisible())
            rows.append(action->isSeparator() ? "-" : action->text());
    }
    return rows;
}

// One menu for every showing: its rows stay the same objects and show the state last set (the
// message row while one waits, the compact clock where it can be switched). A row acts only once
// its trigger has returned, so a dialog it opens never runs inside the menu's own handler.
TEST(StatusMenuTest, RowsShowTheStateGivenAndActFromTheEventLoop) {
    StatusMenu menu;
    QStringList called;
    QObject::connect(&menu, &StatusMenu::panelRequested, [&] { called << "panel"; });
    QObject::connect(&menu, &StatusMenu::compactClockToggled, [&] { called << "clock"; });
    menu.setState({false, true, true});
    EXPECT_EQ(rowsOf(menu),
              (QStringList{L("cal.ouvrir_le_calendrier"), L("cal.aujourd_hui_dans_calendrier"), "-",
                           L("cal.ouvrir_vesperin"), L("menubar.configure"),
                           L("settings.compact_system_clock"), "-", L("menu.check_updates"),
                           L("menu.report_problem"), "-", L("cal.quitter_vesperin")}));
    QAction* clock = menu.actions().at(6);
    EXPECT_TRUE(clock->isChecked());
    menu.actions().at(0)->trigger();
    clock->trigger();
    EXPECT_TRUE(called.isEmpty()) << "a row acted inside its trigger";
    QCoreApplication::processEvents();
    EXPECT_EQ(called, (QStringList{"panel", "clock"}));

    menu.setState({true, false, false});
    EXPECT_EQ(rowsOf(menu).at(3), L("messages.banner_title"));
    EXPECT_FALSE(menu.actions().at(3)->icon().isNull()) << "the unread badge";
    EXPECT_FALSE(rowsOf(menu).contains(L("settings.compact_system_clock")));
    EXPECT_EQ(menu.actions().at(6), clock);
}

} // namespace
