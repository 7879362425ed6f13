#include "platform/StatusBarButton.h"

#include "platform/StatusBar.h"
#include "platform/StatusItem.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int imageTitleGap = 4;
}

StatusBarButton::StatusBarButton(StatusItem* item, QWidget* parent)
    : QWidget(parent), m_item(item), m_font(font()) {
    setAttribute(Qt::WA_Hover);
}

void StatusBarButton::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    update();
    Q_EMIT contentChanged();
}

void StatusBarButton::setTitleFont(const QFont& font) {
    if (font == m_font)
        return;
    m_font = font;
    update();
    Q_EMIT contentChanged();
}

void StatusBarButton::setImage(const QImage& image, bool isTemplate) {
    m_image = image;
    m_imageIsTemplate = isTemplate;
    update();
    Q_EMIT contentChanged();
}

int StatusBarButton::fittingWidth() const {
    const qreal ratio = m_image.isNull() ? 1.0 : m_image.devicePixelRatio();
    const int imageWidth = m_image.isNull() ? 0 : qCeil(m_image.width() / ratio);
    const int titleWidth =
        m_title.isEmpty() ? 0 : qCeil(QFontMetricsF(m_font).horizontalAdvance(m_title));
    const int gap = imageWidth > 0 && titleWidth > 0 ? imageTitleGap : 0;
    return imageWidth + gap + titleWidth + 2 * contentInset;
}

QSize StatusBarButton::sizeHint() const {
    return {fittingWidth(), StatusBar::thickness};
}

// The menu pops up and this returns at once: a nested event loop here would run the menu's
// actions inside this button's own event handling, and an action that removes the status
// items would delete the button under it.
void StatusBarButton::performClick() {
    if (QMenu* menu = m_item->menu()) {
        setHighlighted(true);
        connect(
            menu, &QMenu::aboutToHide, this, [this] { setHighlighted(false); },
            Qt::SingleShotConnection);
        menu->popup(mapToGlobal(QPoint(0, height())));
        return;
    }
    Q_EMIT mouseUp(Qt::LeftButton);
}

QImage StatusBarButton::tintedImage() const {
    if (!m_imageIsTemplate)
        return m_image;
    QImage tinted = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), palette().color(QPalette::WindowText));
    return tinted;
}

void StatusBarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_highlighted) {
        QColor fill = palette().color(QPalette::WindowText);
        fill.setAlphaF(0.16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0, 2, 0, -2), 4, 4);
    }
    const int content = fittingWidth() - 2 * contentInset;
    qreal x = (width() - content) / 2.0;
    if (!m_image.isNull()) {
        const QImage image = tintedImage();
        const QSizeF size = QSizeF(image.size()) / image.devicePixelRatio();
        painter.drawImage(QPointF(x, (height() - size.height()) / 2.0), image);
        x += size.width() + imageTitleGap;
    }
    if (!m_title.isEmpty()) {
        painter.setFont(m_font);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                         m_title);
    }
}

// An Alt-press may start moving the item, but only a move past the drag distance makes it a
// drag: until then it is an ordinary click.
void StatusBarButton::mousePressEvent(QMouseEvent* event) {
    m_dragging = false;
    m_altPress.reset();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::AltModifier))
        m_altPress = event->position().toPoint();
    setHighlighted(true);
    event->accept();
}

void StatusBarButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (!m_dragging && m_altPress &&
        (position - *m_altPress).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        setHighlighted(false);
    }
    if (!m_dragging)
        return;
    const int x = mapTo(m_item->bar(), position).x();
    m_item->bar()->moveItem(m_item, m_item->bar()->indexAt(x));
}

void StatusBarButton::mouseReleaseEvent(QMouseEvent* event) {
    setHighlighted(false);
    m_altPress.reset();
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    const bool reported = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    if (inside && reported)
        Q_EMIT mouseUp(event->button());
}

void StatusBarButton::setHighlighted(bool highlighted) {
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    update();
}
