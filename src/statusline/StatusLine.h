#pragma once

#include "model/RefreshTimer.h"
#include "statusline/StatusLineFormat.h"

#include <QDate>
#include <QObject>

#include <functional>

class MenuBarLayout;
class Settings;
class SystemEvents;

// The enabled items written as a bar's status line, refreshed exactly as the status items
// are (RefreshTimer), and at once when the layout, the padding or a setting the line shows
// changes, whoever changed it. A line the same as the last one is not written again.
class StatusLine : public QObject {
    Q_OBJECT
public:
    // Each piece of output goes to `write`, which says whether it could be written.
    using Writer = std::function<bool(const QByteArray&)>;

    StatusLine(StatusLineFormat::Format format, const Settings& settings,
               const MenuBarLayout& layout, SystemEvents& events, Writer write,
               QObject* parent = nullptr);

    // Writes the header and the first line, and follows the items from then on.
    void start();

Q_SIGNALS:
    // The writer failed: the bar is gone.
    void outputClosed();

private:
    void itemsChanged();
    void writeLine();
    QString tooltip(const QDateTime& now);
    void put(const QByteArray& bytes);

    StatusLineFormat::Format m_format;
    const Settings& m_settings;
    const MenuBarLayout& m_layout;
    SystemEvents& m_events;
    Writer m_write;
    RefreshTimer m_refresh;
    QByteArray m_lastLine;
    // What the tooltip's month was worked out for.
    struct TooltipKey {
        QDate today;
        int firstWeekday = 0;
        QString localeID;
        bool operator==(const TooltipKey&) const = default;
    };
    TooltipKey m_tooltipKey;
    QString m_tooltip;
    bool m_first = true;
};
