#pragma once

#include "platform/ProcessLauncher.h"

#include <QList>
#include <QMap>
#include <QStringList>

// Stands in for the real process launcher: records every program started and plays the
// gsettings tool over an in-memory copy of the desktop's clock settings.
class FakeDesktop : public ProcessLauncher {
public:
    // Whether a gsettings tool with the interface schema "exists".
    bool hasSettingsTool = true;
    // Whether detached programs fail to start.
    bool startFails = false;
    // The desktop's effective settings and the defaults that "reset" brings back.
    QMap<QString, bool> settings = {{"clock-show-date", true}, {"clock-show-weekday", false}};
    QMap<QString, bool> defaults = settings;

    // Programs started without waiting, each as program followed by its arguments.
    QList<QStringList> started;
    // Every program run to its end, as program followed by its arguments.
    QList<QStringList> ran;
    // gsettings commands that changed something ("set ..." or "reset ...").
    QList<QStringList> changes;

    bool startDetached(const QString& program, const QStringList& arguments) override;
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) override;
};
