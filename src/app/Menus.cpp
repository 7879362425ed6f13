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

QAction* addRow(QMenu* menu, const char* titleKey, const QKeySequence& shortcut = {}) {
    QAction* row = menu->addAction(L(titleKey));
    row->setShortcut(shortcut);
    return row;
}

} // namespace

namespace Menus {

MainMenuRows installMainMenu(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    bar->clear();
    MainMenuRows rows;
    QMenu* application = bar->addMenu("Vesperin");
    rows.messages = addRow(application, "messages.banner_title");
    rows.messages->setVisible(false);
    application->addSeparator();
    rows.checkForUpdates = addRow(application, "menu.check_updates");
    rows.reportProblem = addRow(application, "menu.report_problem");
    application->addSeparator();
    rows.quit = addRow(application, "cal.quitter_vesperin", QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* file = bar->addMenu(L("menu.file"));
    rows.close = addRow(file, "menu.close", QKeySequence(Qt::CTRL | Qt::Key_W));
    addEditMenu(bar);
    // Kept on the window as well, so the keys work whether the menu bar shows or not.
    window.addActions({rows.quit, rows.close});
    return rows;
}

} // namespace Menus
