#include "systemclock/CompactClockAvailability.h"

#include "systemclock/Logging.h"
#include "systemclock/SystemClock.h"

CompactClockAvailability::CompactClockAvailability(ProcessLauncher& launcher, QObject* parent)
    : QObject(parent), m_launcher(launcher) {
    m_pool.setMaxThreadCount(1);
    check();
}

CompactClockAvailability::~CompactClockAvailability() {
    m_pool.waitForDone();
}

void CompactClockAvailability::check() {
    if (m_asking) {
        m_askAgain = true;
        return;
    }
    m_asking = true;
    m_pool.start([this] {
        const bool available = SystemClock::isAvailable(m_launcher);
        QMetaObject::invokeMethod(
            this, [this, available] { answered(available); }, Qt::QueuedConnection);
    });
}

void CompactClockAvailability::answered(bool available) {
    m_asking = false;
    if (available != m_available) {
        m_available = available;
        qCDebug(lcSystemClock) << "The compact system clock is"
                               << (available ? "offered" : "not offered");
        Q_EMIT availabilityChanged(available);
    }
    if (std::exchange(m_askAgain, false))
        check();
}
