#include "systemclock/SystemClock.h"

#include "platform/Integers.h"
#include "platform/ProcessLauncher.h"
#include "settings/PreferenceKeys.h"
#include "settings/Preferences.h"
#include "systemclock/DesktopClock.h"
#include "systemclock/Logging.h"

namespace {

Preferences& clockDomain() {
    return Preferences::domain(SystemClock::domainName);
}

Preferences& appDomain() {
    return Preferences::standard();
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

// The stored backup, as long as it is a dictionary of numbers; anything else reads as empty.
QVariantMap storedBackup() {
    const auto backup = appDomain().dictionaryForKey(PreferenceKeys::systemClockBackup);
    if (!backup)
        return {};
    for (const QVariant& value : *backup) {
        if (!isNumber(value))
            return {};
    }
    return *backup;
}

void write(const QVariantMap& values, const QStringList& removing, ProcessLauncher& launcher) {
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        clockDomain().setObject(it.key(), it.value());
        DesktopClock::apply(launcher, it.key(), integerValue(it.value()));
    }
    for (const QString& key : removing) {
        clockDomain().removeObject(key);
        DesktopClock::apply(launcher, key, std::nullopt);
    }
}

} // namespace

namespace SystemClock {

QStringList managedKeys() {
    return {"IsAnalog", "ShowDate", "ShowDayOfWeek"};
}

QVariantMap compactValues() {
    return {{"IsAnalog", qint64(1)}, {"ShowDate", qint64(2)}, {"ShowDayOfWeek", qint64(0)}};
}

bool isAvailable(ProcessLauncher& launcher) {
    return !qEnvironmentVariableIsSet("APP_SANDBOX_CONTAINER_ID") &&
           DesktopClock::isShownHere(launcher);
}

bool isCompact() {
    return appDomain().boolForKey(PreferenceKeys::compactSystemClock);
}

QVariantMap currentValues(ProcessLauncher& launcher) {
    QVariantMap values;
    for (const QString& key : managedKeys()) {
        const auto value = clockDomain().objectForKey(key);
        if (value && isNumber(*value))
            values.insert(key, *value);
    }
    // The desktop's own settings app may have changed its clock since we last wrote; what it
    // shows wins over a domain value that would show something else.
    const QHash<QString, bool> desktop = DesktopClock::read(launcher);
    for (auto it = desktop.cbegin(); it != desktop.cend(); ++it) {
        const auto stored = values.constFind(it.key());
        if (stored == values.cend() ||
            DesktopClock::shows(it.key(), integerValue(*stored)) != it.value())
            values.insert(it.key(), DesktopClock::valueShowing(it.key(), it.value()));
    }
    return values;
}

bool matchesCompact(ProcessLauncher& launcher) {
    const QVariantMap values = currentValues(launcher);
    const QVariantMap compact = compactValues();
    for (auto it = compact.cbegin(); it != compact.cend(); ++it) {
        const auto value = values.constFind(it.key());
        if (value == values.cend() || integerValue(*value) != it.value().toLongLong())
            return false;
    }
    return true;
}

void setCompact(bool on, ProcessLauncher& launcher) {
    if (!isAvailable(launcher))
        return;
    qCDebug(lcSystemClock) << "Compact system clock:" << on;
    if (on) {
        // Only the first switch saves: the values the user had before any compaction.
        if (!appDomain().objectForKey(PreferenceKeys::systemClockBackup))
            appDomain().setObject(PreferenceKeys::systemClockBackup, currentValues(launcher));
        write(compactValues(), {}, launcher);
    } else {
        const QVariantMap backup = storedBackup();
        QStringList missing;
        for (const QString& key : managedKeys()) {
            if (!backup.contains(key))
                missing.append(key);
        }
        write(backup, missing, launcher);
        appDomain().removeObject(PreferenceKeys::systemClockBackup);
    }
    appDomain().setBool(PreferenceKeys::compactSystemClock, on);
}

void reconcileAtLaunch(ProcessLauncher& launcher) {
    if (!isAvailable(launcher))
        return;
    const bool hasBackup = appDomain().objectForKey(PreferenceKeys::systemClockBackup).has_value();
    if (!isCompact() && hasBackup)
        setCompact(false, launcher);
    else if (isCompact() && !matchesCompact(launcher))
        setCompact(true, launcher);
}

} // namespace SystemClock
