#include "statusline/StatusLine.h"

#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "platform/SystemContext.h"
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
    const QByteArray line = StatusLineFormat::line(m_format, blocks, tooltip(now), m_first);
    if (line == m_lastLine)
        return;
    m_lastLine = line;
    m_first = false;
    put(line);
}

// Only waybar shows a tooltip. Its month changes with the day, the first weekday and the
// locale's names, not with the seconds the line ticks by, so it is worked out again only then.
QString StatusLine::tooltip(const QDateTime& now) {
    if (m_format != StatusLineFormat::Format::waybar)
        return {};
    const TooltipKey key{m_events.today(), m_settings.firstWeekday(),
                         SystemContext::currentLocaleID()};
    if (key != m_tooltipKey) {
        m_tooltipKey = key;
        m_tooltip = StatusLineFormat::monthText(now, key.firstWeekday);
    }
    return m_tooltip;
}

void StatusLine::put(const QByteArray& bytes) {
    if (!bytes.isEmpty() && !m_write(bytes))
        Q_EMIT outputClosed();
}
