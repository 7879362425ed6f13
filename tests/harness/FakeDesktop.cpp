#include "harness/FakeDesktop.h"

#include <QJsonDocument>
#include <QJsonObject>

void FakeDesktop::addCoredump(qint64 microseconds, qint64 pid, const QString& exe, unsigned uid,
                              const std::optional<QByteArray>& info) {
    coredumps.append(QJsonObject{{"time", microseconds},
                                 {"pid", pid},
                                 {"uid", qint64(uid)},
                                 {"gid", qint64(uid)},
                                 {"sig", 11},
                                 {"corefile", "present"},
                                 {"exe", exe},
                                 {"size", 4096}});
    const QString at = QString("@%1.%2")
                           .arg(microseconds / 1000000)
                           .arg(microseconds % 1000000, 6, 10, QChar('0'));
    if (info)
        outputs.insert({"coredumpctl", "info", "--since=" + at, "--until=" + at,
                        "COREDUMP_PID=" + QString::number(pid)},
                       *info);
}

bool FakeDesktop::startDetached(const QString& program, const QStringList& arguments) {
    started.append(QStringList{program} + arguments);
    return true;
}

std::optional<QByteArray> FakeDesktop::run(const QString& program, const QStringList& arguments) {
    const QMutexLocker lock(&m_mutex);
    ran.append(QStringList{program} + arguments);
    if (const auto output = outputs.constFind(ran.last()); output != outputs.cend())
        return *output;
    if (program == "coredumpctl" && arguments == QStringList{"--json=short"} &&
        !coredumps.isEmpty())
        return QJsonDocument(coredumps).toJson(QJsonDocument::Compact);
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
