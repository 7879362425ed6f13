#include "app/Menus.h"

#include "settings/Localization.h"

#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>

namespace {

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

QAction* addRow(QMenu* menu, const char* titleKey, const std::function<void()>& action,
                const QKeySequence& shortcut) {
    QAction* row = menu->addAction(L(titleKey));
    row->setShortcut(shortcut);
    row->setEnabled(bool(action));
    if (action)
        QObject::connect(
            row, &QAction::triggered, menu, [action] { action(); }, Qt::QueuedConnection);
    return row;
}

QAction* addRow(QMenu* menu, const char* titleKey, const std::function<void()>& action) {
    return addRow(menu, titleKey, action, QKeySequence());
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
