#pragma once

#include "model/MenuBarLayout.h"
#include "platform/SystemEvents.h"
#include "settings/PreferencesWatcher.h"
#include "settings/Settings.h"
#include "statusline/ClickEvents.h"
#include "statusline/StatusLine.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QSocketNotifier;

// The status-line program around its line: the application's preferences (watched, so that a
// change made by the application or vesperin-defaults shows at once), the line written to
// `outputFd`, and, in the i3bar format, the clicks read from `inputFd`. A click asks the
// application through `open`, with the arguments of a `vesperin` start (which hands them to
// the running application, or starts it). When the output's reader goes (the bar ended),
// finished() is emitted at once, without waiting for the next line to fail.
class StatusLineProcess : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QStringList& arguments)>;

    StatusLineProcess(StatusLineFormat::Format format, int inputFd, int outputFd, Opener open,
                      QObject* parent = nullptr);
    ~StatusLineProcess() override;

    void start();

Q_SIGNALS:
    void finished();

private:
    bool write(const QByteArray& bytes);
    void watchOutput();
    void outputGone();
    void readInput();

    StatusLineFormat::Format m_format;
    int m_inputFd;
    int m_outputFd;
    Opener m_open;
    PreferencesWatcher m_watcher;
    Settings m_settings;
    MenuBarLayout m_layout;
    SystemEvents m_events;
    StatusLine m_line;
    ClickReader m_clicks;
    QSocketNotifier* m_outputGone = nullptr;
    QSocketNotifier* m_input = nullptr;
    bool m_finished = false;
};
