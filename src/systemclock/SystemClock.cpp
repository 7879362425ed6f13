#include "systemclock/SystemClock.h"

#include "platform/Integers.h"
#include "platform/ProcessLauncher.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "systemclock/DesktopClock.h"
#include "systemclock/Logging.h"

namespace {

Preferences& clockDomain() {
    return Preferences::domain(SystemClock::domainName);
}

bool isNumber(const QVariant& value) {
    const int type = value.typeId();
    return type == QMetaType::LongLong || type == QMetaType::Double || type == QMetaType::Bool;
}

// A number's integer value, truncated toward zero as the clock reads it.
qint64 integerValue(const QVariant& number) {
    if (number.typeId() != QMetaType::Double)
        return number.toLongLong();
    return Integers::truncated(number.toDouble());
}

} // namespace

QStringList SystemClock::managedKeys() {
    return {"IsAnalog", "ShowDate", "ShowDayOfWeek"};
}

QVariantMap SystemClock::compactValues() {
    return {{"IsAnalog", qint64(1)}, {"ShowDate", qint64(2)}, {"ShowDayOfWeek", qint64(0)}};
}

bool SystemClock::isAvailable(ProcessLauncher& launcher) {
    return !qEnvironmentVariableIsSet("APP_SANDBOX_CONTAINER_ID") &&
           DesktopClock::isShownHere(launcher);
}

SystemClock::SystemClock(Settings& settings, ProcessLauncher& launcher)
    : m_settings(settings), m_launcher(launcher) {}

bool SystemClock::isCompact() const {
    return m_settings.compactSystemClock();
}

// The stored backup, as long as it is a dictionary of numbers; anything else reads as empty.
QVariantMap SystemClock::storedBackup() const {
    const auto backup = m_settings.systemClockBackup();
    if (!backup)
        return {};
    for (const QVariant& value : *backup) {
        if (!isNumber(value))
            return {};
    }
    return *backup;
}

void SystemClock::write(const QVariantMap& values, const QStringList& removing) {
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        clockDomain().setObject(it.key(), it.value());
        DesktopClock::apply(m_launcher, it.key(), integerValue(it.value()));
    }
    for (const QString& key : removing) {
        clockDomain().removeObject(key);
        DesktopClock::apply(m_launcher, key, std::nullopt);
    }
}

QVariantMap SystemClock::currentValues() const {
    QVariantMap values;
    for (const QString& key : managedKeys()) {
        const auto value = clockDomain().objectForKey(key);
        if (value && isNumber(*value))
            values.insert(key, *value);
    }
    // The desktop's own settings app may have changed its clock since we last wrote; what it
    // shows wins over a domain value that would show something else.
    const QHash<QString, bool> desktop = DesktopClock::read(m_launcher);
    for (auto it = desktop.cbegin(); it != desktop.cend(); ++it) {
        const auto stored = values.constFind(it.key());
        if (stored == values.cend() ||
            DesktopClock::shows(it.key(), integerValue(*stored)) != it.value())
            values.insert(it.key(), DesktopClock::valueShowing(it.key(), it.value()));
    }
    return values;
}

bool SystemClock::matchesCompact() const {
    const QVariantMap values = currentValues();
    const QVariantMap compact = compactValues();
    for (auto it = compact.cbegin(); it != compact.cend(); ++it) {
        const auto value = values.constFind(it.key());
        if (value == values.cend() || integerValue(*value) != it.value().toLongLong())
            return false;
    }
    return true;
}

void SystemClock::setCompact(bool on) {
    if (!isAvailable(m_launcher))
        return;
    qCDebug(lcSystemClock) << "Compact system clock:" << on;
    if (on) {
        // Only the first switch saves: the values the user had before any compaction.
        if (!m_settings.systemClockBackup())
            m_settings.setSystemClockBackup(currentValues());
        write(compactValues(), {});
    } else {
        const QVariantMap backup = storedBackup();
        QStringList missing;
        for (const QString& key : managedKeys()) {
            if (!backup.contains(key))
                missing.append(key);
        }
        write(backup, missing);
        m_settings.setSystemClockBackup(std::nullopt);
    }
    m_settings.setCompactSystemClock(on);
}

void SystemClock::reconcileAtLaunch() {
    if (!isAvailable(m_launcher))
        return;
    const bool hasBackup = m_settings.systemClockBackup().has_value();
    if (!isCompact() && hasBackup)
        setCompact(false);
    else if (isCompact() && !matchesCompact())
        setCompact(true);
}
