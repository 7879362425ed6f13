#include "systemclock/DesktopClock.h"

namespace {

const QString showDate = QStringLiteral("ShowDate");
const QString showDayOfWeek = QStringLiteral("ShowDayOfWeek");
constexpr qint64 dateNever = 2;

} // namespace

namespace DesktopClock {

bool isGnomeShellSession(const QByteArray& currentDesktop) {
    const QList<QByteArray> names = currentDesktop.toLower().split(':');
    return names.contains("gnome") && !names.contains("budgie") &&
           !names.contains("gnome-flashback");
}

bool isShownHere(ProcessLauncher& launcher) {
    if (!isGnomeShellSession(qgetenv("XDG_CURRENT_DESKTOP")))
        return false;
    const auto keys = launcher.run(tool, {"list-keys", schema});
    return keys && keys->split('\n').contains("clock-show-date");
}

std::optional<QString> desktopKey(const QString& managedKey) {
    if (managedKey == showDate)
        return QStringLiteral("clock-show-date");
    if (managedKey == showDayOfWeek)
        return QStringLiteral("clock-show-weekday");
    return std::nullopt;
}

bool shows(const QString& managedKey, qint64 value) {
    return managedKey == showDate ? value != dateNever : value != 0;
}

qint64 valueShowing(const QString& managedKey, bool shown) {
    if (shown)
        return 1;
    return managedKey == showDate ? dateNever : 0;
}

QHash<QString, bool> read(ProcessLauncher& launcher) {
    QHash<QString, bool> settings;
    for (const QString& managedKey : {showDate, showDayOfWeek}) {
        const auto output = launcher.run(tool, {"get", schema, *desktopKey(managedKey)});
        const QByteArray text = output.value_or(QByteArray()).trimmed();
        if (text == "true" || text == "false")
            settings.insert(managedKey, text == "true");
    }
    return settings;
}

void apply(ProcessLauncher& launcher, const QString& managedKey, std::optional<qint64> value) {
    const auto key = desktopKey(managedKey);
    if (!key)
        return;
    if (value)
        launcher.run(tool, {"set", schema, *key, shows(managedKey, *value) ? "true" : "false"});
    else
        launcher.run(tool, {"reset", schema, *key});
}

} // namespace DesktopClock
