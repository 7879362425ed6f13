#pragma once

#include "platform/ProcessLauncher.h"

#include <QStringList>
#include <QVariantMap>

class Settings;

// Shrinks the system's own top-bar clock to its smallest form and gives it back exactly as
// it was. The clock's settings live in the preferences domain "com.apple.menuextra.clock"
// (key to number) and are mirrored onto the desktop's clock (see DesktopClock), which shows
// every change at once. Before the first switch to compact, the user's values are saved under
// "VSPSystemClockBackup" in the application's domain; switching off writes them back and
// deletes the keys that had no value. Main thread only.
class SystemClock {
public:
    static constexpr const char* domainName = "com.apple.menuextra.clock";

    // "IsAnalog", "ShowDate", "ShowDayOfWeek", in this order.
    static QStringList managedKeys();
    // "IsAnalog" 1, "ShowDate" 2 (never), "ShowDayOfWeek" 0, as integers.
    static QVariantMap compactValues();

    // True only where the running desktop shows a clock that these settings change (see
    // DesktopClock::isShownHere), and never in an application sandbox (the variable
    // "APP_SANDBOX_CONTAINER_ID" is set, even empty). Where it is false, callers hide the
    // switch and nothing here touches any setting. Any thread.
    static bool isAvailable(ProcessLauncher& launcher);

    // The choice is stored in `settings`; the desktop settings tool runs through `launcher`.
    SystemClock(Settings& settings, ProcessLauncher& launcher);

    // The stored choice "VSPCompactSystemClock".
    bool isCompact() const;
    // Switches the compact clock on or off and stores the choice.
    void setCompact(bool on);
    // At start-up: restores a backup left behind while the choice is off, and compacts the
    // clock again when the choice is on but the clock no longer shows the compact values.
    void reconcileAtLaunch();

    // The managed keys' current numeric values: the domain's numbers, where the desktop's clock
    // disagrees replaced by the value that stands for what the desktop shows.
    QVariantMap currentValues() const;
    // Whether the clock shows exactly the compact values (false when no value is known).
    bool matchesCompact() const;

private:
    QVariantMap storedBackup() const;
    void write(const QVariantMap& values, const QStringList& removing);

    Settings& m_settings;
    ProcessLauncher& m_launcher;
};
