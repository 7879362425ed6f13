#include "app/Menus.h"

#include "app/StatusMenu.h"
#include "harness/TestText.h"
#include "settings/Localization.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The titles of the rows shown, separators as "-", disabled rows in brackets.
QStringList rowsOf(const QMenu& menu) {
    QStringList rows;
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        const QString title = action->isSeparator() ? "-" : action->text();
        rows.append(action->isEnabled() ? title : "[" + title + "]");
    }
    return rows;
}

Menus::Actions allActions(QStringList& called) {
    const auto record = [&called](const char* name) { return [&called, name] { called << name; }; };
    return {record("openPanel"),    record("openToday"),     record("showMessages"),
            record("showMain"),     record("openEditor"),    record("toggleClock"),
            record("checkUpdates"), record("reportProblem"), record("closeOrBack"),
            record("quit")};
}

// One menu for every showing: its rows stay the same objects, and what they show follows the
// state of each opening (the message row while one waits, the compact clock where it can be
// switched); rows whose action is not offered are there, disabled. A row acts only once its
// trigger has returned, so a dialog it opens never runs inside the menu's own handler.
TEST(MenusTest, TheStatusMenuIsMadeOnceAndShowsTheStateOfEachOpening) {
    QStringList called;
    Menus::Actions actions = allActions(called);
    actions.openEditor = nullptr;
    StatusMenu::State state{false, true, true};
    StatusMenu status(actions, [&state] { return state; });
    QMenu* menu = status.refreshed();
    EXPECT_EQ(rowsOf(*menu),
              (QStringList{L("cal.ouvrir_le_calendrier"), L("cal.aujourd_hui_dans_calendrier"), "-",
                           L("cal.ouvrir_vesperin"), "[" + L("menubar.configure") + "]",
                           L("settings.compact_system_clock"), "-", L("menu.check_updates"),
                           L("menu.report_problem"), "-", L("cal.quitter_vesperin")}));
    QAction* clock = menu->actions().at(6);
    EXPECT_TRUE(clock->isChecked());
    menu->actions().at(0)->trigger();
    clock->trigger();
    EXPECT_TRUE(called.isEmpty()) << "a row acted inside its trigger";
    QCoreApplication::processEvents();
    EXPECT_EQ(called, (QStringList{"openPanel", "toggleClock"}));

    state = {true, false, false};
    EXPECT_EQ(status.refreshed(), menu);
    EXPECT_EQ(rowsOf(*menu).at(3), L("messages.banner_title"));
    EXPECT_FALSE(menu->actions().at(3)->icon().isNull()) << "the unread badge";
    EXPECT_FALSE(rowsOf(*menu).contains(L("settings.compact_system_clock")));
    EXPECT_EQ(menu->actions().at(6), clock);
}

// Ctrl+W and Ctrl+Q work on the window; the Edit rows follow what the focused field can do.
TEST(MenusTest, TheWindowsMenusActOnTheWindowAndItsFocusedField) {
    QStringList called;
    QMainWindow window;
    auto* field = new QLineEdit("hello", &window);
    window.setCentralWidget(field);
    QAction* messages = Menus::installMainMenu(window, allActions(called));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    // The messages row heads the application menu, hidden until a ticket is open.
    ASSERT_TRUE(messages);
    EXPECT_EQ(window.menuBar()->actions().at(0)->menu()->actions().first(), messages);
    EXPECT_FALSE(messages->isVisible());
    messages->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(called, (QStringList{"closeOrBack", "quit", "showMessages"}));

    QMenu* edit = window.menuBar()->actions().at(2)->menu();
    ASSERT_TRUE(edit);
    field->setFocus();
    Q_EMIT edit->aboutToShow();
    QAction* selectAll = edit->actions().last();
    ASSERT_TRUE(selectAll->isEnabled());
    selectAll->trigger();
    EXPECT_EQ(field->selectedText(), "hello");
    field->clearFocus();
    window.setFocus();
    Q_EMIT edit->aboutToShow();
    EXPECT_FALSE(selectAll->isEnabled());
}

} // namespace
