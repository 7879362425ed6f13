#include "status/ownbar/StatusBarButton.h"

#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusItem.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTextLine>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>

namespace {
constexpr int imageTitleGap = 4;
}

StatusBarButton::StatusBarButton(StatusItem* item)
    : QObject(item), m_item(item), m_font(QGuiApplication::font()) {}

StatusBar* StatusBarButton::bar() const {
    return m_item->bar();
}

StatusBarButton::~StatusBarButton() = default;

void StatusBarButton::setTitle(const QString& title) {
    if (title == m_title)
        return;
    const int widthBefore = fittingWidth();
    const std::unique_ptr<QTextLayout> before = std::move(m_titleLayout);
    m_title = title;
    layOutTitle();
    if (fittingWidth() != widthBefore || !before || !m_titleLayout)
        contentResized();
    else
        update(changedTitleRect(*before));
    Q_EMIT titleChanged(m_title);
}

void StatusBarButton::setAccessibleName(const QString& name) {
    if (name == m_accessibleName)
        return;
    m_accessibleName = name;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void StatusBarButton::setGeometry(const QRect& geometry) {
    if (geometry == m_geometry)
        return;
    bar()->update(m_geometry);
    m_geometry = geometry;
    bar()->update(m_geometry);
}

QPoint StatusBarButton::mapToGlobal(const QPoint& point) const {
    return bar()->mapToGlobal(m_geometry.topLeft() + point);
}

qreal StatusBarButton::devicePixelRatio() const {
    return bar()->devicePixelRatio();
}

void StatusBarButton::update(const QRect& area) {
    bar()->update(area.intersected(rect()).translated(m_geometry.topLeft()));
}

void StatusBarButton::setTitleFont(const QFont& font) {
    if (font == m_font)
        return;
    m_font = font;
    layOutTitle();
    contentResized();
}

void StatusBarButton::setImage(const QImage& image, bool isTemplate) {
    if (image == m_image && isTemplate == m_imageIsTemplate)
        return;
    m_image = image;
    m_imageIsTemplate = isTemplate;
    contentResized();
}

void StatusBarButton::contentResized() {
    update(rect());
    Q_EMIT fittingWidthChanged();
}

void StatusBarButton::layOutTitle() {
    m_titleWidth = 0;
    m_titleLayout.reset();
    if (!m_title.isEmpty()) {
        m_titleLayout = std::make_unique<QTextLayout>(m_title, m_font);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        m_titleLayout->setTextOption(option);
        m_titleLayout->setCacheEnabled(true); // drawn from the same shaping, every repaint
        m_titleLayout->beginLayout();
        QTextLine line = m_titleLayout->createLine();
        line.setPosition(QPointF(0, 0));
        m_titleLayout->endLayout();
        m_titleWidth = qCeil(line.horizontalAdvance());
    }
}

qreal StatusBarButton::imageWidth() const {
    return m_image.isNull() ? 0 : m_image.width() / m_image.devicePixelRatio();
}

int StatusBarButton::fittingWidth() const {
    const int image = qCeil(imageWidth());
    const int gap = image > 0 && m_titleWidth > 0 ? imageTitleGap : 0;
    return image + gap + m_titleWidth + 2 * contentInset;
}

qreal StatusBarButton::contentX() const {
    return (width() - (fittingWidth() - 2 * contentInset)) / 2.0;
}

qreal StatusBarButton::titleX() const {
    return contentX() + (m_image.isNull() ? 0 : imageWidth() + imageTitleGap);
}

// From the first to the last character that differs, in either title, with a pixel of room
// for antialiasing; the common start and end keep their glyphs where they were.
QRect StatusBarButton::changedTitleRect(const QTextLayout& before) const {
    const QString& old = before.text();
    const qsizetype shorter = std::min(old.size(), m_title.size());
    qsizetype head = 0;
    while (head < shorter && old.at(head) == m_title.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           old.at(old.size() - 1 - tail) == m_title.at(m_title.size() - 1 - tail))
        ++tail;
    const auto span = [](const QTextLayout& layout, qsizetype from, qsizetype to) {
        const QTextLine line = layout.lineAt(0);
        return std::pair(line.cursorToX(int(from)), line.cursorToX(int(to)));
    };
    const auto [oldLeft, oldRight] = span(before, head, old.size() - tail);
    const auto [newLeft, newRight] = span(*m_titleLayout, head, m_title.size() - tail);
    const qreal left = titleX() + std::min(oldLeft, newLeft);
    const qreal right = titleX() + std::max(oldRight, newRight);
    return QRect(QPoint(qFloor(left) - 1, 0), QPoint(qCeil(right) + 1, height() - 1));
}

// The menu pops up and this returns at once: a nested event loop here would run the menu's
// actions inside this button's own event handling, and an action that removes the status
// items would delete the button under it.
void StatusBarButton::popUpMenu(QMenu& menu) {
    setHighlighted(true);
    connect(
        &menu, &QMenu::aboutToHide, this, [this] { setHighlighted(false); },
        Qt::SingleShotConnection);
    menu.popup(mapToGlobal(QPoint(0, height())));
}

void StatusBarButton::wheelEvent(QWheelEvent* event) {
    if (const int steps = m_wheel.add(event->angleDelta().y()))
        Q_EMIT wheelTurned(steps);
    event->accept();
}

QImage StatusBarButton::tintedImage() const {
    if (!m_imageIsTemplate)
        return m_image;
    QImage tinted = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), bar()->palette().color(QPalette::WindowText));
    return tinted;
}

void StatusBarButton::paint(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_highlighted) {
        QColor fill = bar()->palette().color(QPalette::WindowText);
        fill.setAlphaF(0.16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0, 2, 0, -2), 4, 4);
    }
    if (!m_image.isNull()) {
        const QImage image = tintedImage();
        const qreal imageHeight = image.height() / image.devicePixelRatio();
        painter.drawImage(QPointF(contentX(), (height() - imageHeight) / 2.0), image);
    }
    if (m_titleLayout) {
        painter.setPen(bar()->palette().color(QPalette::WindowText));
        const qreal lineHeight = m_titleLayout->lineAt(0).height();
        m_titleLayout->draw(&painter, QPointF(titleX(), (height() - lineHeight) / 2.0));
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
        (position - *m_altPress).manhattanLength() >=
            QGuiApplication::styleHints()->startDragDistance()) {
        m_dragging = true;
        setHighlighted(false);
    }
    if (!m_dragging)
        return;
    bar()->moveItem(m_item, bar()->indexAt(x() + position.x()));
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
        Q_EMIT clicked(event->button());
}

void StatusBarButton::setHighlighted(bool highlighted) {
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    update(rect());
}
