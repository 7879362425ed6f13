#include "status/StatusHostChoice.h"

#include "settings/Settings.h"
#include "status/Logging.h"
#include "status/tray/TrayHost.h"

std::optional<StatusHostMode> statusHostModeFromText(const QString& text) {
    if (text == "auto")
        return StatusHostMode::automatic;
    if (text == "own")
        return StatusHostMode::own;
    if (text == "tray")
        return StatusHostMode::tray;
    return std::nullopt;
}

StatusHostChoice::StatusHostChoice(const Settings& settings, std::optional<StatusHostMode> forced,
                                   bool ownBarDocks, StatusHost& own, TrayHost& tray,
                                   QObject* parent)
    : QObject(parent), m_settings(settings), m_forced(forced), m_ownBarDocks(ownBarDocks),
      m_own(own), m_tray(tray) {
    m_current = &wanted();
    m_grace.setSingleShot(true);
    m_grace.setInterval(defaultWatcherGraceMs);
    connect(&m_grace, &QTimer::timeout, this, &StatusHostChoice::update);
    connect(&tray, &TrayHost::watcherChanged, this, &StatusHostChoice::watcherChanged);
    if (!forced)
        connect(&settings, &Settings::statusHostChanged, this, &StatusHostChoice::update);
    if (!placedNow())
        m_grace.start(); // a panel starting with the session may still come
}

bool StatusHostChoice::placedNow() const {
    return m_current != &m_tray || m_tray.watcherPresent();
}

StatusHostMode StatusHostChoice::mode() const {
    return m_forced.value_or(
        statusHostModeFromText(m_settings.statusHost()).value_or(StatusHostMode::automatic));
}

StatusHost& StatusHostChoice::wanted() const {
    switch (mode()) {
    case StatusHostMode::own:
        return m_own;
    case StatusHostMode::tray:
        return m_tray;
    case StatusHostMode::automatic:
        break;
    }
    if (m_tray.watcherPresent() || !m_ownBarDocks)
        return m_tray;
    return m_own;
}

void StatusHostChoice::watcherChanged(bool present) {
    if (present) {
        m_grace.stop();
        update();
    } else if (m_current == &m_tray) {
        m_grace.start();
    }
}

void StatusHostChoice::notePlacement() {
    if (placedNow() == m_placed)
        return;
    m_placed = !m_placed;
    qCDebug(lcStatus) << (m_placed ? "The status items have a place"
                                   : "No panel shows the status items");
    Q_EMIT placedChanged(m_placed);
}

void StatusHostChoice::update() {
    StatusHost& host = wanted();
    if (&host != m_current) {
        qCDebug(lcStatus) << "Status items move to"
                          << (&host == &m_own ? "the own bar" : "the panel");
        m_current = &host;
        Q_EMIT changed(host);
    }
    notePlacement();
}
