#include "calendar/CalPanel.h"

#include "platform/X11Dock.h"
#include "ui/Appearance.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

CalPanel::CalPanel(int width)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint),
      m_rounded(X11Dock::hasCompositor()) {
    setAttribute(Qt::WA_TranslucentBackground, m_rounded);
    setWindowTitle("Vesperin calendar");
    setFixedSize(width, height);
    winId(); // the taskbar hint must be on the native window before it is mapped
    X11Dock::keepOffTaskbars(windowHandle());
}

void CalPanel::paintEvent(QPaintEvent*) {
    const Appearance appearance = Appearances::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = m_rounded ? cornerRadius : 0;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    // A popover-like material: the window colour, barely see-through, with a hairline edge.
    QColor fill = palette().color(QPalette::Window);
    fill.setAlphaF(m_rounded ? 0.97 : 1.0);
    painter.fillPath(shape, fill);
    QColor edge = Appearances::labelColor(appearance);
    edge.setAlphaF(appearance == Appearance::dark ? 0.22 : 0.14);
    painter.setPen(QPen(edge, 1));
    painter.drawPath(shape);
}

bool CalPanel::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate)
        Q_EMIT deactivated();
    return QWidget::event(event);
}
