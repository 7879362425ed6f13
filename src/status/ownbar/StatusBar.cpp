#include "status/ownbar/StatusBar.h"

#include "platform/X11Dock.h"
#include "status/ownbar/DockPlacement.h"
#include "status/ownbar/StatusBarAccessible.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace {

constexpr int rightMargin = 8;

} // namespace

StatusBar::StatusBar() {
    setSurfaceType(QSurface::RasterSurface);
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
             Qt::WindowDoesNotAcceptFocus);
    setTitle("Vesperin status bar");
    // Read by Qt's X11 window code: showing the bar must not take the focus from anyone.
    setProperty("_q_showWithoutActivating", true);
    StatusBarAccessible::install();
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
    relayout();
    updateVisibility();
    return item;
}

void StatusBar::removeItem(StatusItem* item) {
    if (!m_items.removeOne(item))
        return;
    update(item->button()->geometry());
    delete item;
    relayout();
    updateVisibility();
}

void StatusBar::setForcedAppearance(std::optional<Appearance> appearance) {
    m_forcedAppearance = appearance;
    applyAppearance();
}

Appearance StatusBar::appearance() const {
    return m_forcedAppearance.value_or(Appearances::of(QGuiApplication::palette()));
}

void StatusBar::relayout() {
    int right = width() - rightMargin;
    for (auto it = m_items.crbegin(); it != m_items.crend(); ++it) {
        const int itemWidth = (*it)->width();
        right -= itemWidth;
        (*it)->button()->setGeometry(QRect(right, 0, itemWidth, thickness));
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
    m_palette = Appearances::palette(appearance());
    update();
}

void StatusBar::fitToScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const int others =
        X11Dock::lowestTopStrut(this, area.left(), area.right()).value_or(area.top());
    const int workAreaTop =
        std::max(area.top(), X11Dock::workArea().value_or(screen->availableGeometry()).top());
    const int top = DockPlacement::top(workAreaTop, m_strutBottom, others, y());
    const QRect strip(QPoint(area.left(), std::clamp(top, area.top(), area.bottom() - thickness)),
                      QSize(area.width(), thickness));
    setGeometry(strip);
    if (handle() && X11Dock::reserveTopStrip(this, strip))
        m_strutBottom = strip.bottom() + 1;
    relayout();
}

void StatusBar::showEvent(QShowEvent* event) {
    QWindow::showEvent(event);
    X11Dock::markAsDock(this); // the window is created but not yet mapped
    fitToScreen();
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QWindow::resizeEvent(event);
    relayout();
    update();
}

void StatusBar::exposeEvent(QExposeEvent*) {
    if (isExposed())
        update();
}

void StatusBar::update(const QRect& area) {
    const bool posted = !m_waiting.isEmpty();
    m_waiting += area.intersected(QRect(QPoint(0, 0), size()));
    // Posted rather than drawn at once: the changes of one turn of the loop are drawn
    // together, and no platform timer wakes the process a second time for them.
    if (!posted && !m_waiting.isEmpty())
        QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
}

void StatusBar::update() {
    update(QRect(QPoint(0, 0), size()));
}

void StatusBar::paintWaiting() {
    const QRegion region = std::exchange(m_waiting, QRegion());
    if (!isExposed() || region.isEmpty())
        return; // the next exposure draws everything
    if (m_store.size() != size())
        m_store.resize(size());
    m_store.beginPaint(region);
    QPaintEvent event(region);
    paintEvent(&event);
    m_store.endPaint();
    m_store.flush(region);
}

bool StatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && !m_forcedAppearance)
        applyAppearance();
    if (event->type() == QEvent::UpdateRequest) {
        paintWaiting();
        return true;
    }
    // A platform that asks for paint gets it drawn the same way, into the backing store.
    if (event->type() == QEvent::Paint) {
        update(static_cast<QPaintEvent*>(event)->rect());
        return true;
    }
    return QWindow::event(event);
}

void StatusBar::paintEvent(QPaintEvent* event) {
    QPainter painter(m_store.paintDevice());
    painter.setClipRegion(event->region());
    paint(painter, event->rect());
}

QImage StatusBar::picture() const {
    QImage image(size() * devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio());
    QPainter painter(&image);
    paint(painter, QRect(QPoint(0, 0), size()));
    return image;
}

void StatusBar::paint(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, m_palette.color(QPalette::Window));
    QColor line = m_palette.color(QPalette::WindowText);
    line.setAlphaF(0.12);
    painter.fillRect(QRect(0, height() - 1, width(), 1).intersected(area), line);
    for (const StatusItem* item : m_items) {
        const StatusBarButton* button = item->button();
        if (!button->geometry().intersects(area))
            continue;
        painter.save();
        painter.setClipRect(button->geometry().intersected(area));
        painter.translate(button->geometry().topLeft());
        button->paint(painter);
        painter.restore();
    }
}

StatusBarButton* StatusBar::buttonAt(const QPointF& point) const {
    for (StatusItem* item : m_items) {
        if (QRectF(item->button()->geometry()).contains(point))
            return item->button();
    }
    return nullptr;
}

void StatusBar::route(QMouseEvent* event, StatusBarButton* button,
                      void (StatusBarButton::*handler)(QMouseEvent*)) {
    if (!button) {
        event->ignore();
        return;
    }
    QMouseEvent local(event->type(), event->position() - button->geometry().topLeft(),
                      event->scenePosition(), event->globalPosition(), event->button(),
                      event->buttons(), event->modifiers(), event->pointingDevice());
    (button->*handler)(&local);
    event->setAccepted(local.isAccepted());
}

void StatusBar::mousePressEvent(QMouseEvent* event) {
    m_pressed = buttonAt(event->position());
    route(event, m_pressed, &StatusBarButton::mousePressEvent);
}

void StatusBar::mouseMoveEvent(QMouseEvent* event) {
    route(event, m_pressed, &StatusBarButton::mouseMoveEvent);
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
    StatusBarButton* pressed = m_pressed;
    if (!event->buttons())
        m_pressed.clear();
    route(event, pressed, &StatusBarButton::mouseReleaseEvent);
}

void StatusBar::wheelEvent(QWheelEvent* event) {
    if (StatusBarButton* button = buttonAt(event->position()))
        button->wheelEvent(event);
    else
        event->ignore();
}
