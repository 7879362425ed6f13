#include "app/Menus.h"

#include "settings/DrawingHelpers.h"
#include "settings/Localization.h"

#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPixmap>

namespace {

QAction* addRow(QMenu* menu, const char* titleKey, const std::function<void()>& action,
                const QKeySequence& shortcut = {}) {
    QAction* row = menu->addAction(L(titleKey));
    row->setShortcut(shortcut);
    row->setEnabled(bool(action));
    if (action)
        QObject::connect(row, &QAction::triggered, menu, [action] { action(); });
    return row;
}

// The Edit rows go to the focused widget, as the design's responder chain would send them:
// any text field of Qt has these slots, and a widget without them leaves the row disabled.
struct EditRow {
    const char* titleKey;
    const char* slot;
    QKeySequence::StandardKey key;
};

const EditRow editRows[] = {
    {"common.cancel", "undo", QKeySequence::Undo},
    {"edit.redo", "redo", QKeySequence::Redo},
    {nullptr, nullptr, QKeySequence::UnknownKey},
    {"edit.cut", "cut", QKeySequence::Cut},
    {"edit.copy", "copy", QKeySequence::Copy},
    {"edit.paste", "paste", QKeySequence::Paste},
    {"edit.select_all", "selectAll", QKeySequence::SelectAll},
};

bool focusHas(const char* slot) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus->metaObject()->indexOfSlot(
                        QMetaObject::normalizedSignature(QByteArray(slot) + "()")) >= 0;
}

void addEditMenu(QMenuBar* bar) {
    QMenu* edit = bar->addMenu(L("menu.edit"));
    QList<std::pair<QAction*, const char*>> rows;
    for (const EditRow& row : editRows) {
        if (!row.titleKey) {
            edit->addSeparator();
            continue;
        }
        QAction* action = edit->addAction(L(row.titleKey));
        // Standard keys would clash with the text fields' own; these rows only stand for them.
        action->setShortcut(QKeySequence(row.key));
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, edit, [slot = row.slot] {
            if (QWidget* focus = QApplication::focusWidget())
                QMetaObject::invokeMethod(focus, slot);
        });
        rows.append({action, row.slot});
    }
    QObject::connect(edit, &QMenu::aboutToShow, edit, [rows] {
        for (const auto& [action, slot] : rows)
            action->setEnabled(focusHas(slot));
    });
}

} // namespace

namespace Menus {

QMenu* statusMenu(const Actions& actions, const StatusState& state, QWidget* parent) {
    auto* menu = new QMenu(parent);
    addRow(menu, "cal.ouvrir_le_calendrier", actions.openPanel);
    addRow(menu, "cal.aujourd_hui_dans_calendrier", actions.openToday);
    menu->addSeparator();
    if (state.messagePending) {
        QAction* messages = addRow(menu, "messages.banner_title", actions.showMessages);
        messages->setIcon(QIcon(QPixmap::fromImage(quotaBadgeImage(1, 13))));
    }
    addRow(menu, "cal.ouvrir_vesperin", actions.showMainWindow);
    addRow(menu, "menubar.configure", actions.openEditor);
    if (state.compactClockAvailable) {
        QAction* clock = addRow(menu, "settings.compact_system_clock", actions.toggleCompactClock);
        clock->setCheckable(true);
        clock->setChecked(state.compactClock);
    }
    menu->addSeparator();
    addRow(menu, "menu.check_updates", actions.checkForUpdates);
    addRow(menu, "menu.report_problem", actions.reportProblem);
    menu->addSeparator();
    addRow(menu, "cal.quitter_vesperin", actions.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    return menu;
}

QAction* installMainMenu(QMainWindow& window, const Actions& actions) {
    QMenuBar* bar = window.menuBar();
    bar->clear();
    QMenu* application = bar->addMenu("Vesperin");
    QAction* messages = addRow(application, "messages.banner_title", actions.showMessages);
    messages->setVisible(false);
    application->addSeparator();
    addRow(application, "menu.check_updates", actions.checkForUpdates);
    addRow(application, "menu.report_problem", actions.reportProblem);
    application->addSeparator();
    QAction* quit = addRow(application, "cal.quitter_vesperin", actions.quit,
                           QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* file = bar->addMenu(L("menu.file"));
    QAction* close =
        addRow(file, "menu.close", actions.closeOrBack, QKeySequence(Qt::CTRL | Qt::Key_W));
    addEditMenu(bar);
    // Kept on the window as well, so the keys work whether the menu bar shows or not.
    window.addActions({quit, close});
    return messages;
}

} // namespace Menus
