#pragma once

#include <QDateTime>

#include <functional>

// "Now". The application context makes the one clock of the process from its system events and
// hands it down through constructors, so that a test's clock reaches the bar, the panel, the
// main window and the service client alike.
using Clock = std::function<QDateTime()>;

// The wall clock, for what runs without a context: tools, and tests of one part.
inline QDateTime wallClockNow() {
    return QDateTime::currentDateTimeUtc();
}
