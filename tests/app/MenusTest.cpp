#include "app/Menus.h"

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

// Ctrl+W and Ctrl+Q work on the window; the Edit rows follow what the focused field can do.
TEST(MenusTest, TheWindowsMenusActOnTheWindowAndItsFocusedField) {
    QStringList called;
    QMainWindow window;
    auto* field = new QLineEdit("hello", &window);
    window.setCentralWidget(field);
    const Menus::MainMenuRows rows = Menus::installMainMenu(window);
    const auto record = [&](QAction* row, const char* name) {
        Menus::onTriggered(row, &window, [&called, name] { called << name; });
    };
    record(rows.close, "closeOrBack");
    record(rows.quit, "quit");
    record(rows.messages, "showMessages");
    QAction* messages = rows.messages;
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
