#include "status/StatusItemController.h"

#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "platform/SystemEvents.h"
#include "status/StatusHost.h"

#include <QDateTime>

namespace {

QString autosaveNameFor(const MenuBarItem& item) {
    return "VSP-" + MenuBarItemCoding::uuidText(item.id);
}

QList<QUuid> idsOf(const QList<MenuBarItem>& items) {
    QList<QUuid> ids;
    for (const MenuBarItem& item : items)
        ids.append(item.id);
    return ids;
}

} // namespace

StatusItemController::StatusItemController(StatusHost& host, const MenuBarLayout& layout,
                                           SystemEvents& events, QObject* parent)
    : QObject(parent), m_host(&host), m_layout(layout), m_events(events), m_refresh(events) {
    connect(&m_refresh, &RefreshTimer::due, this, &StatusItemController::refreshTitle);
}

StatusItemController::~StatusItemController() {
    disable();
}

bool StatusItemController::isEnabled() const {
    return !m_entries.isEmpty() || m_fallback;
}

ScreenAnchor StatusItemController::anchor() const {
    if (!m_entries.isEmpty())
        return m_entries.first().status->anchor();
    return m_fallback ? m_fallback->anchor() : ScreenAnchor();
}

void StatusItemController::setHost(StatusHost& host) {
    if (&host == m_host)
        return;
    const bool shown = isEnabled();
    if (shown)
        removeAll();
    m_host = &host;
    if (shown)
        rebuild();
}

void StatusItemController::enable() {
    if (isEnabled()) {
        rebuild();
        return;
    }
    rebuild();
    for (auto signal : {&MenuBarLayout::itemsChanged, &MenuBarLayout::paddingChanged})
        m_observers.append(
            connect(&m_layout, signal, this, &StatusItemController::rebuildIfNeeded));
}

void StatusItemController::disable() {
    for (const auto& connection : std::as_const(m_observers))
        disconnect(connection);
    m_observers.clear();
    m_refresh.stop();
    removeAll();
}

void StatusItemController::rebuild() {
    removeAll();
    const QList<MenuBarItem> items = m_layout.enabledItems();
    // Each new status item lands left of the existing ones, so creating them from the last
    // to the first shows them left to right in layout order.
    for (auto it = items.crbegin(); it != items.crend(); ++it)
        m_entries.prepend({*it, addItem(autosaveNameFor(*it), *it)});
    if (items.isEmpty())
        m_fallback = addItem("VSP-fallback", std::nullopt);
    refreshTitle();
    m_refresh.start(items);
}

StatusHostItem* StatusItemController::addItem(const QString& name,
                                              const std::optional<MenuBarItem>& source) {
    StatusHostItem* status = m_host->addItem(name);
    status->setSource(source);
    connect(status, &StatusHostItem::primaryClicked, this, &StatusItemController::primaryClicked);
    connect(status, &StatusHostItem::scrolled, this, &StatusItemController::scrolled);
    return status;
}

void StatusItemController::removeAll() {
    for (const Entry& entry : std::as_const(m_entries))
        m_host->removeItem(entry.status);
    m_entries.clear();
    if (m_fallback)
        m_host->removeItem(m_fallback);
    m_fallback = nullptr;
}

void StatusItemController::rebuildIfNeeded() {
    const QList<MenuBarItem> items = m_layout.enabledItems();
    QList<MenuBarItem> shown;
    for (const Entry& entry : std::as_const(m_entries))
        shown.append(entry.item);
    if (idsOf(items) != idsOf(shown) || bool(m_fallback) != items.isEmpty()) {
        rebuild();
        return;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        m_entries[i].item = items.at(i);
        m_entries[i].status->setSource(items.at(i));
    }
    refreshTitle();
    m_refresh.start(items);
}

void StatusItemController::refreshTitle() {
    const QDateTime now = m_events.now();
    for (const Entry& entry : std::as_const(m_entries))
        entry.status->showText(MenuBarRenderer::render(entry.item, now));
    if (m_fallback)
        m_fallback->showText(QString());
}
