#include "model/RefreshTimer.h"

#include "model/Logging.h"
#include "model/MenuBarRenderer.h"
#include "platform/SystemEvents.h"

RefreshTimer::RefreshTimer(SystemEvents& events, QObject* parent)
    : QObject(parent), m_events(events) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        Q_EMIT due();
        arm();
    });
    // Queued: whoever else follows these changes (the zone's own reload) has run first.
    for (auto signal : {&SystemEvents::dayChanged, &SystemEvents::timeZoneChanged,
                        &SystemEvents::clockChanged, &SystemEvents::localeChanged})
        connect(&events, signal, this, &RefreshTimer::systemChanged, Qt::QueuedConnection);
}

void RefreshTimer::start(const QList<MenuBarItem>& items) {
    m_timer.stop();
    m_active = true;
    if (MenuBarRenderer::usesSeconds(items))
        m_interval = 1;
    else if (MenuBarRenderer::usesTime(items))
        m_interval = 60;
    else
        m_interval.reset();
    if (m_interval)
        qCDebug(lcModel) << "Refreshing every" << *m_interval << "s for" << items.size() << "items";
    arm();
}

void RefreshTimer::stop() {
    m_timer.stop();
    m_interval.reset();
    m_active = false;
}

qint64 RefreshTimer::nextFiring(qint64 nowMs, int intervalSeconds) {
    const qint64 intervalMs = qint64(intervalSeconds) * 1000;
    return intervalMs * (nowMs / intervalMs + 1) + alignmentDelayMs;
}

// One precise single shot, armed afresh from the wall clock after every firing. A repeating
// timer counts monotonic time, which drifts from the wall clock and stands still in sleep, and
// Qt lets a coarse timer of a minute fire up to half a second early: either way the text would
// stay a whole minute behind. An early firing finds the old unit and simply arms again.
void RefreshTimer::arm() {
    if (!m_interval)
        return;
    const qint64 now = m_events.now().toMSecsSinceEpoch();
    m_timer.start(int(nextFiring(now, *m_interval) - now));
}

// A change of clock (which includes waking from sleep), zone, day or locale makes every text
// and the timer's phase stale.
void RefreshTimer::systemChanged() {
    if (!m_active)
        return;
    MenuBarRenderer::resetCache();
    Q_EMIT due();
    arm();
}
