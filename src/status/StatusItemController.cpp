#include "status/StatusItemController.h"

#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "model/TemplateSyntax.h"
#include "platform/StatusBar.h"
#include "platform/StatusBarButton.h"
#include "platform/StatusItem.h"
#include "platform/SymbolImage.h"
#include "platform/SystemEvents.h"
#include "settings/DrawingHelpers.h"
#include "status/Logging.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QMenu>

#include <cmath>

namespace {

constexpr int alignmentDelayMs = 50;

QString autosaveNameFor(const MenuBarItem& item) {
    return "VSP-" + MenuBarItemCoding::uuidText(item.id);
}

// 50 ms after the next whole multiple of the interval since 1970, in milliseconds since 1970.
qint64 nextFiring(qint64 nowMs, int interval) {
    const qint64 intervalMs = qint64(interval) * 1000;
    return intervalMs * (nowMs / intervalMs + 1) + alignmentDelayMs;
}

QList<QUuid> idsOf(const QList<MenuBarItem>& items) {
    QList<QUuid> ids;
    for (const MenuBarItem& item : items)
        ids.append(item.id);
    return ids;
}

} // namespace

PassThroughLabel::PassThroughLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText); // a template such as "<b>{HH}</b>" is shown as written
    setText(text);
}

StatusItemController::StatusItemController(StatusBar& bar, SystemEvents& events, QObject* parent)
    : QObject(parent), m_bar(bar), m_events(events) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        refreshTitle();
        armTimer();
    });
}

StatusItemController::~StatusItemController() {
    disable();
}

bool StatusItemController::isEnabled() const {
    return !m_entries.isEmpty() || m_fallback;
}

StatusBarButton* StatusItemController::button() const {
    if (!m_entries.isEmpty())
        return m_entries.first().status->button();
    return m_fallback ? m_fallback->button() : nullptr;
}

QFont StatusItemController::textFont() {
    return systemFont(13, QFont::Medium);
}

void StatusItemController::enable() {
    if (isEnabled()) {
        rebuild();
        return;
    }
    rebuild();
    for (auto signal : {&SystemEvents::dayChanged, &SystemEvents::timeZoneChanged,
                        &SystemEvents::clockChanged, &SystemEvents::localeChanged})
        m_observers.append(connect(&m_events, signal, this, &StatusItemController::systemChanged,
                                   Qt::QueuedConnection));
    m_observers.append(connect(MenuBarLayoutNotifier::instance(), &MenuBarLayoutNotifier::changed,
                               this, &StatusItemController::rebuildIfNeeded));
}

// A change of clock (which includes waking from sleep), zone, day or locale makes every text
// and the timer's phase stale.
void StatusItemController::systemChanged() {
    MenuBarRenderer::resetCache();
    refreshTitle();
    armTimer();
}

void StatusItemController::disable() {
    for (const auto& connection : std::as_const(m_observers))
        disconnect(connection);
    m_observers.clear();
    stopTimer();
    removeAll();
}

void StatusItemController::rebuild() {
    removeAll();
    const QList<MenuBarItem> items = MenuBarLayout::enabledItems();
    // Each new status item lands left of the existing ones, so creating them from the last
    // to the first shows them left to right in layout order.
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        StatusItem* status = m_bar.addItem(StatusItem::variableLength);
        status->setAutosaveName(autosaveNameFor(*it));
        configure(status);
        m_entries.prepend({*it, status});
    }
    if (items.isEmpty()) {
        m_fallback = m_bar.addItem(StatusItem::variableLength);
        m_fallback->setAutosaveName("VSP-fallback");
        configure(m_fallback);
    }
    refreshTitle();
    scheduleTimer(items);
}

void StatusItemController::configure(StatusItem* status) {
    StatusBarButton* button = status->button();
    connect(button, &StatusBarButton::mouseUp, this,
            [this, button](Qt::MouseButton mouseButton) { clicked(button, mouseButton); });
}

void StatusItemController::removeAll() {
    for (const Entry& entry : std::as_const(m_entries))
        m_bar.removeItem(entry.status);
    m_entries.clear();
    if (m_fallback)
        m_bar.removeItem(m_fallback);
    m_fallback = nullptr;
}

void StatusItemController::rebuildIfNeeded() {
    const QList<MenuBarItem> items = MenuBarLayout::enabledItems();
    QList<MenuBarItem> shown;
    for (const Entry& entry : std::as_const(m_entries))
        shown.append(entry.item);
    if (idsOf(items) != idsOf(shown) || bool(m_fallback) != items.isEmpty()) {
        rebuild();
        return;
    }
    for (qsizetype i = 0; i < items.size(); ++i)
        m_entries[i].item = items.at(i);
    refreshTitle();
    scheduleTimer(items);
}

void StatusItemController::refreshTitle() {
    const QDateTime now = m_events.now();
    for (const Entry& entry : std::as_const(m_entries))
        apply(MenuBarRenderer::render(entry.item, now), entry.status);
    if (m_fallback)
        apply(QString(), m_fallback);
}

void StatusItemController::stopTimer() {
    m_timer.stop();
    m_interval.reset();
}

void StatusItemController::scheduleTimer(const QList<MenuBarItem>& items) {
    stopTimer();
    if (MenuBarRenderer::usesSeconds(items))
        m_interval = 1;
    else if (MenuBarRenderer::usesTime(items))
        m_interval = 60;
    else
        return; // dates change at midnight, which the day-change signal covers
    qCDebug(lcStatus) << "Refreshing every" << *m_interval << "s for" << items.size() << "items";
    armTimer();
}

// One precise single shot, armed afresh from the wall clock after every firing. A repeating
// timer counts monotonic time, which drifts from the wall clock and stands still in sleep, and
// Qt lets a coarse timer of a minute fire up to half a second early: either way the text would
// stay a whole minute behind. An early firing finds the old unit and simply arms again.
void StatusItemController::armTimer() {
    if (!m_interval)
        return;
    const qint64 now = m_events.now().toMSecsSinceEpoch();
    m_timer.start(int(nextFiring(now, *m_interval) - now));
}

void StatusItemController::apply(const QString& text, StatusItem* status) {
    StatusBarButton* button = status->button();
    qDeleteAll(button->findChildren<PassThroughLabel*>(Qt::FindDirectChildrenOnly));
    button->setAccessibleName(QString());
    if (TemplateSyntax::trimmed(text).isEmpty()) {
        applyIcon(button, status);
        return;
    }
    const double padding = MenuBarLayout::padding();
    if (padding < 0) {
        applyLabel(text, button, status, padding);
        return;
    }
    button->setImage(QImage(), false);
    button->setTitle(text);
    button->setTitleFont(textFont());
    status->setLength(padding > 0 ? 2 * padding + button->fittingWidth() + 16
                                  : StatusItem::variableLength);
}

void StatusItemController::applyIcon(StatusBarButton* button, StatusItem* status) {
    button->setTitle(QString());
    const auto icon =
        SymbolImage::image("calendar", 14, QFont::Medium, Qt::black, button->devicePixelRatioF());
    button->setImage(icon.value_or(QImage()), true);
    button->setAccessibleName(icon ? "Vesperin" : QString());
    status->setLength(StatusItem::variableLength);
}

// Below the system's own margins the button cannot place its title, so the text goes into
// a label of its own, with s points on each side.
void StatusItemController::applyLabel(const QString& text, StatusBarButton* button,
                                      StatusItem* status, double padding) {
    button->setImage(QImage(), false);
    button->setTitle(QString());
    const QFont font = textFont();
    const int textWidth = int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
    const double side = std::max(padding + 8, 0.0);
    status->setLength(2 * side + textWidth);

    auto* label = new PassThroughLabel(text, button);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setForegroundRole(QPalette::WindowText);
    const int height = int(std::ceil(label->sizeHint().height()));
    label->setGeometry(int(side), (StatusBar::thickness - height) / 2, textWidth, height);
    label->show();
    button->setAccessibleName(text);
}

void StatusItemController::clicked(StatusBarButton* button, Qt::MouseButton mouseButton) {
    if (mouseButton == Qt::RightButton) {
        showContextMenu(button);
        return;
    }
    Q_EMIT primaryClicked(button);
}

StatusItem* StatusItemController::statusItemFor(StatusBarButton* button) const {
    for (const Entry& entry : m_entries) {
        if (entry.status->button() == button)
            return entry.status;
    }
    if (m_fallback)
        return m_fallback;
    return m_entries.isEmpty() ? nullptr : m_entries.first().status;
}

// The menu is attached only while it is shown, so that the next left click reaches
// clicked() instead of opening the menu again.
void StatusItemController::showContextMenu(StatusBarButton* button) {
    if (!contextMenuProvider)
        return;
    StatusItem* status = statusItemFor(button);
    if (!status)
        return;
    QMenu* menu = contextMenuProvider();
    status->setMenu(menu);
    connect(menu, &QMenu::aboutToHide, this, [status = QPointer(status), menu] {
        if (status && status->menu() == menu)
            status->setMenu(nullptr);
        menu->deleteLater();
    });
    status->button()->performClick();
}
