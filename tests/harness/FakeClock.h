#pragma once

#include "platform/SystemEvents.h"

#include <QDateTime>
#include <QTemporaryDir>

// A clock a test can set: the real one plus an offset, with the SystemEvents that follow it.
// A jump is announced the way the kernel's clock watch announces one, by clockChanged.
class FakeClock {
public:
    FakeClock();

    QDateTime now() const { return QDateTime::currentDateTimeUtc().addMSecs(m_offset); }
    qint64 nowMs() const { return now().toMSecsSinceEpoch(); }
    void jumpBy(qint64 msecs);

    // Watches zone files of its own (none), so only the test changes anything.
    SystemEvents& events() { return m_events; }

private:
    qint64 m_offset = 0;
    QTemporaryDir m_zoneFolder;
    SystemEvents m_events;
};
