#include "app/StatusMenu.h"

#include "settings/Localization.h"
#include "ui/DrawingHelpers.h"

#include <QMenu>
#include <QPixmap>

StatusMenu::StatusMenu(const Menus::Actions& actions, std::function<State()> state, QObject* parent)
    : QObject(parent), m_state(std::move(state)), m_menu(std::make_unique<QMenu>()) {
    QMenu* menu = m_menu.get();
    Menus::addRow(menu, "cal.ouvrir_le_calendrier", actions.openPanel);
    Menus::addRow(menu, "cal.aujourd_hui_dans_calendrier", actions.openToday);
    menu->addSeparator();
    m_messages = Menus::addRow(menu, "messages.banner_title", actions.showMessages);
    m_messages->setIcon(QIcon(QPixmap::fromImage(quotaBadgeImage(1, 13))));
    Menus::addRow(menu, "cal.ouvrir_vesperin", actions.showMainWindow);
    Menus::addRow(menu, "menubar.configure", actions.openEditor);
    m_compactClock =
        Menus::addRow(menu, "settings.compact_system_clock", actions.toggleCompactClock);
    m_compactClock->setCheckable(true);
    menu->addSeparator();
    Menus::addRow(menu, "menu.check_updates", actions.checkForUpdates);
    Menus::addRow(menu, "menu.report_problem", actions.reportProblem);
    menu->addSeparator();
    Menus::addRow(menu, "cal.quitter_vesperin", actions.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Both the own bar and the panel's exporter reach the menu through refreshed().
    refresh();
}

StatusMenu::~StatusMenu() = default;

QMenu* StatusMenu::refreshed() {
    refresh();
    return m_menu.get();
}

void StatusMenu::refresh() {
    const State state = m_state ? m_state() : State{};
    m_messages->setVisible(state.messagePending);
    m_compactClock->setVisible(state.compactClockAvailable);
    m_compactClock->setChecked(state.compactClock);
}
