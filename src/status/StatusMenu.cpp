#include "status/StatusMenu.h"

#include "settings/Localization.h"
#include "ui/DrawingHelpers.h"

#include <QPixmap>

StatusMenu::StatusMenu(QWidget* parent) : QMenu(parent) {
    addRow("cal.ouvrir_le_calendrier", &StatusMenu::panelRequested);
    addRow("cal.aujourd_hui_dans_calendrier", &StatusMenu::todayRequested);
    addSeparator();
    m_messages = addRow("messages.banner_title", &StatusMenu::messagesRequested);
    addRow("cal.ouvrir_vesperin", &StatusMenu::mainWindowRequested);
    addRow("menubar.configure", &StatusMenu::editorRequested);
    m_compactClock = addRow("settings.compact_system_clock", &StatusMenu::compactClockToggled);
    m_compactClock->setCheckable(true);
    addSeparator();
    addRow("menu.check_updates", &StatusMenu::updateCheckRequested);
    addRow("menu.report_problem", &StatusMenu::problemReportRequested);
    addSeparator();
    addRow("cal.quitter_vesperin", &StatusMenu::quitRequested)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    setState({});
}

void StatusMenu::setState(const State& state) {
    // The badge is drawn when the row is first shown: drawing it at the start would load a
    // bold font before the bar is on screen, for a row most runs never show.
    if (state.messagePending && m_messages->icon().isNull())
        m_messages->setIcon(QIcon(QPixmap::fromImage(quotaBadgeImage(1, 13))));
    m_messages->setVisible(state.messagePending);
    m_compactClock->setVisible(state.compactClockAvailable);
    m_compactClock->setChecked(state.compactClock);
}

QAction* StatusMenu::addRow(const char* titleKey, void (StatusMenu::*signal)()) {
    QAction* row = addAction(L(titleKey));
    connect(row, &QAction::triggered, this, signal, Qt::QueuedConnection);
    return row;
}
