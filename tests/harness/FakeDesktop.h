#pragma once

#include "platform/ProcessLauncher.h"

#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QStringList>

// Stands in for the real process launcher: records every program started, plays the
// gsettings tool over an in-memory copy of the desktop's clock settings, and answers other
// commands from a script.
class FakeDesktop : public ProcessLauncher {
public:
    // Whether a gsettings tool with the interface schema "exists".
    bool hasSettingsTool = true;
    // The desktop's effective settings and the defaults that "reset" brings back.
    QMap<QString, bool> settings = {{"clock-show-date", true}, {"clock-show-weekday", false}};
    QMap<QString, bool> defaults = settings;
    // What other commands (program followed by its arguments) print; any other one fails.
    QMap<QStringList, QByteArray> outputs;
    // The crashes systemd-coredump recorded, as `coredumpctl --json=short` lists them. With
    // none, that command fails, as the real one does.
    QJsonArray coredumps;

    // Programs started without waiting, each as program followed by its arguments.
    QList<QStringList> started;
    // Every program run to its end, as program followed by its arguments.
    QList<QStringList> ran;
    // gsettings commands that changed something ("set ..." or "reset ...").
    QList<QStringList> changes;

    // Records a crash of `exe` at `microseconds` since the epoch, and what
    // `coredumpctl info` prints for it (absent: that command fails).
    void addCoredump(qint64 microseconds, qint64 pid, const QString& exe, unsigned uid,
                     const std::optional<QByteArray>& info);

    bool startDetached(const QString& program, const QStringList& arguments) override;
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) override;

private:
    // The application asks the desktop some questions from a thread of its own.
    QMutex m_mutex;
};
