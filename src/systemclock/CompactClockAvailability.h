#pragma once

#include "platform/ProcessLauncher.h"

#include <QObject>
#include <QThreadPool>

// Whether the compact system clock can be switched here (SystemClock::isAvailable), found out
// on a thread of its own: the answer comes from the desktop's settings tool, which may take
// seconds, and a menu or a window that offers the switch must never wait for it. The answer
// is asked for when this is made and again on check(); until the first one arrives the switch
// is not offered.
class CompactClockAvailability : public QObject {
    Q_OBJECT
public:
    explicit CompactClockAvailability(ProcessLauncher& launcher, QObject* parent = nullptr);
    // Waits for a question on its way, so that its answer never reaches a deleted object.
    ~CompactClockAvailability() override;

    bool isAvailable() const { return m_available; }
    // Asks again; a question already on its way is followed by one more.
    void check();

Q_SIGNALS:
    void availabilityChanged(bool available);

private:
    void answered(bool available);

    ProcessLauncher& m_launcher;
    QThreadPool m_pool;
    bool m_available = false;
    bool m_asking = false;
    bool m_askAgain = false;
};
