#include "calendar/CalPanel.h"

#include "platform/Appearance.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

CalPanel::CalPanel(int width)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle("Vesperin calendar");
    setFixedSize(width, height);
}

void CalPanel::paintEvent(QPaintEvent*) {
    const Appearance appearance = Appearances::of(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    // A popover-like material: the window colour, barely see-through, with a hairline edge.
    QColor fill = palette().color(QPalette::Window);
    fill.setAlphaF(0.97);
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
