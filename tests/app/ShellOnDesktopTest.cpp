#include "app/AppDelegate.h"
#include "app/ApplicationContext.h"
#include "app/ProblemReportDialog.h"
#include "platform/StatusBarButton.h"
#include "settings/Localization.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "support/TestProfile.h"
#include "support/VirtualDisplay.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr std::uint32_t escapeKey = 0xff1b, returnKey = 0xff0d;

QPoint centreOf(const QWidget* widget) {
    return widget->mapToGlobal(widget->rect().center());
}

// The shell of the whole application in the bar, on a private X server with a window manager,
// used with the real pointer and keyboard (XTest) as a person uses it.
class ShellOnDesktopTest : public ProfileTest {
protected:
    ShellOnDesktopTest() {
        Preferences::standard().setBool(PreferenceKeys::onboarded, true);
        Preferences::standard().setBool(PreferenceKeys::menuBarMode, true);
        delegate.applicationDidFinishLaunching();
    }

    StatusBarButton* item() const {
        return qobject_cast<StatusBarButton*>(context.statusItems.anchor().widget.data());
    }
    // Opens the status menu with a right click and clicks the row titled by `titleKey`.
    void chooseFromStatusMenu(const char* titleKey) {
        ASSERT_TRUE(item());
        ASSERT_TRUE(display.click(centreOf(item()), 3));
        QMenu* menu = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return menu && menu->isVisible();
            },
            5000));
        QAction* row = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == L(titleKey))
                row = action;
        }
        ASSERT_TRUE(row);
        QTest::qWait(100);
        ASSERT_TRUE(display.click(menu->mapToGlobal(menu->actionGeometry(row).center())));
    }

    // Runs `step` from the event loop each time the active modal window is a new one: the
    // dialogs run loops of their own, from which the test cannot return until they end.
    void answerModals(std::function<void(QWidget*)> step) {
        QObject::connect(&m_answerer, &QTimer::timeout, [this, step = std::move(step)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_answered || !modal->isActiveWindow())
                return;
            m_answered = modal;
            QTest::qWait(100);
            step(modal);
        });
        m_answerer.start(100);
    }

    const VirtualDisplay& display = *VirtualDisplay::ofThisProcess();
    ApplicationContext context;
    AppDelegate delegate{context};

private:
    QTimer m_answerer;
    QPointer<QWidget> m_answered;
};

// The report dialog opened from the status menu ends by Escape, Cancel or Send (the service is
// out of reach: "Not Sent", then the dialog again with the text kept), and the application
// lives on with its bar and the same menu.
TEST_F(ShellOnDesktopTest, TheReportDialogFromTheStatusMenuEndsEveryWayAndTheAppCarriesOn) {
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return display.windowFrame("Vesperin status bar").has_value(); }, 10000));
    QMenu* const menu = delegate.statusMenu();
    QStringList seen;
    enum class Ending { escape, cancel, send } ending = Ending::escape;
    answerModals([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<ProblemReportDialog*>(modal)) {
            seen.append("dialog:" + dialog->textArea()->toPlainText());
            if (ending == Ending::escape || !dialog->textArea()->toPlainText().isEmpty()) {
                display.typeKey(escapeKey);
            } else if (ending == Ending::cancel) {
                display.click(centreOf(dialog->cancelButton()));
            } else {
                display.typeText("It opens twice");
                QTest::qWait(100);
                display.click(centreOf(dialog->sendButton()));
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.append("alert:" + box->informativeText());
            display.typeKey(returnKey);
        }
    });
    for (const Ending way : {Ending::escape, Ending::cancel, Ending::send}) {
        ending = way;
        const qsizetype before = seen.size();
        chooseFromStatusMenu("menu.report_problem");
        ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() > before; }, 10000));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return QApplication::activeModalWidget() == nullptr && seen.size() > before; },
            20000));
        QTest::qWait(300); // anything freed under Qt's feet would break now
        EXPECT_TRUE(display.windowFrame("Vesperin status bar").has_value());
        EXPECT_EQ(delegate.statusMenu(), menu);
    }
    const QStringList expected{"dialog:", "dialog:", "dialog:",
                               "alert:" + L("report.failed_message"), "dialog:It opens twice"};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return seen.size() == expected.size() && !QApplication::activeModalWidget(); },
        20000));
    EXPECT_EQ(seen, expected);
}

} // namespace
