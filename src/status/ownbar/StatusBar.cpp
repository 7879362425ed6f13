#include "status/ownbar/StatusBar.h"

#include "platform/X11Dock.h"
#include "status/ownbar/DockPlacement.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int rightMargin = 8;

} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
    setWindowTitle("Vesperin status bar");
    setAttribute(Qt::WA_ShowWithoutActivating);
    applyAppearance();
    fitToScreen();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::geometryChanged, this, &StatusBar::fitToScreen);
        connect(screen, &QScreen::availableGeometryChanged, this, &StatusBar::fitToScreen);
    }
    X11Dock::watchWorkArea([this] { fitToScreen(); }, this);
}

StatusBar::~StatusBar() = default;

StatusItem* StatusBar::addItem(qreal length) {
    auto* item = new StatusItem(this, length);
    m_items.prepend(item);
    connect(item, &StatusItem::geometryChanged, this, &StatusBar::relayout);
    item->button()->show();
    relayout();
    updateVisibility();
    return item;
}

void StatusBar::removeItem(StatusItem* item) {
    if (!m_items.removeOne(item))
        return;
    delete item->button();
    delete item;
    relayout();
    updateVisibility();
}

void StatusBar::setForcedAppearance(std::optional<Appearance> appearance) {
    m_forcedAppearance = appearance;
    applyAppearance();
}

Appearance StatusBar::appearance() const {
    return m_forcedAppearance.value_or(Appearances::of(QApplication::palette()));
}

void StatusBar::relayout() {
    int right = width() - rightMargin;
    for (auto it = m_items.crbegin(); it != m_items.crend(); ++it) {
        const int itemWidth = (*it)->width();
        right -= itemWidth;
        (*it)->button()->setGeometry(right, 0, itemWidth, thickness);
    }
}

int StatusBar::indexAt(int x) const {
    for (int i = 0; i < m_items.size(); ++i) {
        const QRect frame = m_items.at(i)->button()->geometry();
        if (x < frame.center().x())
            return i;
    }
    return int(m_items.size()) - 1;
}

void StatusBar::moveItem(StatusItem* item, int index) {
    const qsizetype from = m_items.indexOf(item);
    if (from < 0 || index < 0 || index >= m_items.size() || index == from)
        return;
    m_items.move(from, index);
    relayout();
    rememberOrder();
}

// Puts a newly named item back where the user last dragged it, relative to the other named
// items; an item the bar has never seen stays where it was created.
void StatusBar::placeNamedItem(StatusItem* item) {
    const QStringList& order = m_rememberedOrder;
    const qsizetype rank = order.indexOf(item->autosaveName());
    if (rank < 0)
        return;
    m_items.removeOne(item);
    qsizetype at = m_items.size();
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const qsizetype otherRank = order.indexOf(m_items.at(i)->autosaveName());
        if (otherRank > rank) {
            at = i;
            break;
        }
    }
    m_items.insert(at, item);
    relayout();
}

void StatusBar::setRememberedOrder(const QStringList& order) {
    m_rememberedOrder = order;
}

// The names shown now, in their new order, after the remembered names that are not shown.
void StatusBar::rememberOrder() {
    QStringList shown;
    for (StatusItem* item : m_items) {
        if (!item->autosaveName().isEmpty())
            shown.append(item->autosaveName());
    }
    m_rememberedOrder.removeIf([&](const QString& name) { return shown.contains(name); });
    m_rememberedOrder.append(shown);
    Q_EMIT orderRemembered(m_rememberedOrder);
}

void StatusBar::updateVisibility() {
    const bool wasVisible = isVisible();
    setVisible(!m_items.isEmpty());
    if (isVisible() && !wasVisible)
        X11Dock::flush(); // mapped now, even when the launch goes on before the loop runs
}

void StatusBar::applyAppearance() {
    setPalette(Appearances::palette(appearance()));
    update();
}

void StatusBar::fitToScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const int others =
        X11Dock::lowestTopStrut(windowHandle(), area.left(), area.right()).value_or(area.top());
    const int workAreaTop =
        std::max(area.top(), X11Dock::workArea().value_or(screen->availableGeometry()).top());
    const int top = DockPlacement::top(workAreaTop, m_strutBottom, others, y());
    const QRect strip(QPoint(area.left(), std::clamp(top, area.top(), area.bottom() - thickness)),
                      QSize(area.width(), thickness));
    setGeometry(strip);
    if (windowHandle() && X11Dock::reserveTopStrip(windowHandle(), strip))
        m_strutBottom = strip.bottom() + 1;
    relayout();
}

void StatusBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    X11Dock::markAsDock(windowHandle()); // the window is created but not yet mapped
    fitToScreen();
}

bool StatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && !m_forcedAppearance)
        applyAppearance();
    if (event->type() == QEvent::Resize)
        relayout();
    return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.12);
    painter.fillRect(QRect(0, height() - 1, width(), 1), line);
}
