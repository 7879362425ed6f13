#include "statusline/StatusLine.h"

#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "platform/SystemEvents.h"
#include "settings/Settings.h"

StatusLine::StatusLine(StatusLineFormat::Format format, const Settings& settings,
                       const MenuBarLayout& layout, SystemEvents& events, Writer write,
                       QObject* parent)
    : QObject(parent), m_format(format), m_settings(settings), m_layout(layout), m_events(events),
      m_write(std::move(write)), m_refresh(events) {
    connect(&m_refresh, &RefreshTimer::due, this, &StatusLine::writeLine);
    connect(&layout, &MenuBarLayout::itemsChanged, this, &StatusLine::itemsChanged);
    connect(&layout, &MenuBarLayout::paddingChanged, this, &StatusLine::writeLine);
    // The tooltip's month follows the first weekday.
    connect(&settings, &Settings::firstWeekdayChanged, this, &StatusLine::writeLine);
}

void StatusLine::start() {
    put(StatusLineFormat::header(m_format));
    itemsChanged();
}

void StatusLine::itemsChanged() {
    m_refresh.start(m_layout.enabledItems());
    writeLine();
}

void StatusLine::writeLine() {
    const QDateTime now = m_events.now();
    QList<StatusLineFormat::Block> blocks;
    for (const MenuBarItem& item : m_layout.enabledItems())
        blocks.append({MenuBarItemCoding::uuidText(item.id), MenuBarRenderer::render(item, now)});
    // With no item enabled, the one block a click can reach, as the status items' lone icon.
    if (blocks.isEmpty())
        blocks.append({QStringLiteral("fallback"), QString()});
    // Only waybar shows a tooltip: the month is not worked out for the others.
    const QString tooltip = m_format == StatusLineFormat::Format::waybar
                                ? StatusLineFormat::monthText(now, m_settings.firstWeekday())
                                : QString();
    const QByteArray line = StatusLineFormat::line(m_format, blocks, tooltip, m_first);
    if (line == m_lastLine)
        return;
    m_lastLine = line;
    m_first = false;
    put(line);
}

void StatusLine::put(const QByteArray& bytes) {
    if (!bytes.isEmpty() && !m_write(bytes))
        Q_EMIT outputClosed();
}
