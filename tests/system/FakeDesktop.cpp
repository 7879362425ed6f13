#include "system/FakeDesktop.h"

bool FakeDesktop::startDetached(const QString& program, const QStringList& arguments) {
    started.append(QStringList{program} + arguments);
    return !startFails;
}

std::optional<QByteArray> FakeDesktop::run(const QString& program, const QStringList& arguments) {
    ran.append(QStringList{program} + arguments);
    const QString command = arguments.value(0);
    const QString key = arguments.value(2);
    if (!hasSettingsTool || program != "gsettings" ||
        arguments.value(1) != "org.gnome.desktop.interface")
        return std::nullopt;
    if (command == "list-keys" && arguments.size() == 2)
        return (QStringList(settings.keys()) << "clock-format").join('\n').toUtf8() + '\n';
    if (!settings.contains(key))
        return std::nullopt;
    if (command == "get" && arguments.size() == 3)
        return settings.value(key) ? "true\n" : "false\n";
    if (command == "set" && arguments.size() == 4 &&
        (arguments.at(3) == "true" || arguments.at(3) == "false")) {
        settings[key] = arguments.at(3) == "true";
        changes.append(arguments);
        return QByteArray();
    }
    if (command == "reset" && arguments.size() == 3) {
        settings[key] = defaults.value(key);
        changes.append(arguments);
        return QByteArray();
    }
    return std::nullopt;
}
