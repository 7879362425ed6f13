#include "editor/SegmentBarView.h"

#include "editor/ChipPayload.h"
#include "editor/ChipStripView.h"
#include "editor/SegmentBarAccessible.h"
#include "editor/SegmentBarEdits.h"
#include "editor/SegmentBarLayout.h"
#include "editor/SegmentPayload.h"
#include "settings/Localization.h"
#include "ui/DrawingHelpers.h"

#include <QAccessible>
#include <QDrag>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineF>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

namespace {

// The straight-line distance a press must travel before it becomes a drag.
constexpr qreal dragThreshold = 4;
const QColor barGrey = QColor::fromRgbF(0.13f, 0.13f, 0.13f);

QFont labelFont() {
    return systemFont(13, QFont::Medium);
}

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

// A segment moves; a chip is copied (its source decides whether it leaves there).
Qt::DropAction actionFor(const std::variant<std::monostate, int, Chip>& dragged,
                         Qt::DropActions possible) {
    const Qt::DropAction wanted = std::holds_alternative<int>(dragged)    ? Qt::MoveAction
                                  : std::holds_alternative<Chip>(dragged) ? Qt::CopyAction
                                                                          : Qt::IgnoreAction;
    return possible.testFlag(wanted) ? wanted : Qt::IgnoreAction;
}

void drawLabel(QPainter& painter, const QRectF& frame, const QString& label) {
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(frame, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, label);
}

} // namespace

SegmentBarView::SegmentBarView(QWidget* parent) : QWidget(parent) {
    static const bool accessible =
        (QAccessible::installFactory(&SegmentBarAccessible::create), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
}

void SegmentBarView::setParts(const QList<MenuBarPart>& parts) {
    m_parts = parts;
    relayout();
}

void SegmentBarView::setSeparator(const QString& separator) {
    m_separator = separator;
    relayout();
}

void SegmentBarView::relayout() {
    const QFontMetricsF metrics(labelFont(), this);
    QList<std::optional<qreal>> labelWidths;
    m_labels.clear();
    for (const MenuBarPart& part : m_parts) {
        const QString& label = m_labels.emplace_back(render(part));
        labelWidths.append(SegmentBarLayout::isBlank(label)
                               ? std::nullopt
                               : std::optional(metrics.horizontalAdvance(label)));
    }
    m_frames =
        SegmentBarLayout::frames(labelWidths, metrics.horizontalAdvance(m_separator), size());
    update();
}

void SegmentBarView::refreshLabels() {
    for (qsizetype i = 0; i < std::min({m_parts.size(), m_labels.size(), m_frames.size()}); ++i) {
        QString label = render(m_parts[i]);
        if (label != m_labels[i]) {
            m_labels[i] = std::move(label);
            update(m_frames[i].toAlignedRect().adjusted(-1, -1, 1, 1)); // with the selection line
        }
    }
}

QRectF SegmentBarView::frameOf(int index) const {
    return index >= 0 && index < m_frames.size() ? m_frames[index] : QRectF(rect());
}

QString SegmentBarView::displayedLabel(int index) const {
    const QString label = render(m_parts.at(index));
    return SegmentBarLayout::isBlank(label) ? QStringLiteral("…") : label;
}

QPixmap SegmentBarView::dragPixmap(int index, qreal devicePixelRatio) const {
    const QRectF bounds(QPointF(), frameOf(index).size());
    QPixmap pixmap((bounds.size() * devicePixelRatio).toSize());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    // Opaque, on the bar's grey: without a compositing manager a drag image shows partial
    // transparency as white.
    pixmap.fill(barGrey);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(Qt::white, 0.25));
    painter.drawRoundedRect(bounds, 7, 7);
    drawLabel(painter, bounds, displayedLabel(index));
    return pixmap;
}

bool SegmentBarView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        showToolTip(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void SegmentBarView::showToolTip(QHelpEvent* event) {
    const auto hit = SegmentBarLayout::hitAt(m_frames, event->pos());
    const auto text = hit ? tooltip(m_parts.at(hit->index)) : std::nullopt;
    if (text)
        QToolTip::showText(event->globalPos(), *text, this, m_frames[hit->index].toAlignedRect());
    else
        QToolTip::hideText();
}

void SegmentBarView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(barGrey);
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
    if (hasFocus()) {
        painter.setPen(QPen(calBlue(this), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }

    for (int i = 0; i < std::min(m_parts.size(), m_frames.size()); ++i) {
        if (event->region().intersects(m_frames[i].toAlignedRect().adjusted(-1, -1, 1, 1)))
            drawSegment(painter, i);
    }

    if (m_dropIndex && !m_dropOnto) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(calBlueFixed());
        painter.drawRoundedRect(SegmentBarLayout::insertionMarker(m_frames, *m_dropIndex, size()),
                                1, 1);
    }

    if (m_parts.isEmpty()) {
        painter.setFont(systemFont(12, QFont::Normal));
        painter.setPen(withAlpha(Qt::white, 0.5));
        painter.drawText(QRectF(0, 0, width() - 16, height()),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         L("menubar.bar_empty"));
    }
}

void SegmentBarView::drawSegment(QPainter& painter, int index) const {
    const bool selected = m_selected == index;
    QColor fill = withAlpha(Qt::white, m_dropOnto == index ? 0.28 : 0.12);
    if (selected)
        fill = withAlpha(calBlueFixed(), 0.45);
    painter.setPen(selected ? QPen(calBlueFixed(), 1.5) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawRoundedRect(m_frames[index], 7, 7);
    drawLabel(painter, m_frames[index], displayedLabel(index));
}

void SegmentBarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void SegmentBarView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_pressPoint = event->position();
    const auto hit = SegmentBarLayout::hitAt(m_frames, event->position());
    m_pressIndex = hit ? std::optional(hit->index) : std::nullopt;
    setSelected(m_pressIndex);
    reportSelection();
}

void SegmentBarView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressPoint || !m_pressIndex || *m_pressIndex >= m_frames.size() ||
        !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (QLineF(*m_pressPoint, event->position()).length() <= dragThreshold)
        return;
    const QPointF hotSpot = *m_pressPoint - m_frames[*m_pressIndex].topLeft();
    m_pressPoint.reset(); // one drag per press
    startDrag(*m_pressIndex, hotSpot);
}

void SegmentBarView::startDrag(int index, const QPointF& hotSpot) {
    auto* data = new QMimeData;
    data->setData(SegmentPayload::mimeType, SegmentPayload::encode(index));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragPixmap(index, devicePixelRatioF()));
    drag->setHotSpot(hotSpot.toPoint());
    drag->exec(Qt::MoveAction);
}

// A press that never became a drag is a click: the part is to be edited.
void SegmentBarView::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked = event->button() == Qt::LeftButton && m_pressPoint && m_pressIndex &&
                         *m_pressIndex < m_parts.size() && m_selected == m_pressIndex;
    m_pressPoint.reset();
    const std::optional<int> index = std::exchange(m_pressIndex, std::nullopt);
    if (clicked)
        Q_EMIT editRequested(*index, frameOf(*index), false);
    QWidget::mouseReleaseEvent(event);
}

void SegmentBarView::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

bool SegmentBarView::handleKey(const QKeyEvent* event) {
    const int key = event->key();
    const bool control = event->modifiers() == Qt::ControlModifier;
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    const int step = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    if (plain && step != 0 && !m_parts.isEmpty()) {
        selectNeighbour(step);
        return true;
    }
    if (!m_selected || *m_selected >= m_parts.size())
        return false;
    if (control && step != 0) {
        const int target = *m_selected + (step < 0 ? -1 : 2);
        if (target < 0 || target > m_parts.size())
            return true; // already at that end
        const SegmentBarEdits::Edit edit = SegmentBarEdits::moved(m_parts, *m_selected, target);
        applyEdit(edit.parts, edit.selected);
        return true;
    }
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        Q_EMIT editRequested(*m_selected, frameOf(*m_selected), true);
        return true;
    }
    if (plain && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        const auto remaining = SegmentBarEdits::removed(m_parts, *m_selected);
        if (remaining)
            applyEdit(*remaining, std::nullopt);
        return remaining.has_value();
    }
    return false;
}

void SegmentBarView::selectNeighbour(int step) {
    const int last = int(m_parts.size()) - 1;
    const int next = m_selected ? *m_selected + step : (step < 0 ? last : 0);
    setSelected(std::clamp(next, 0, last));
    reportSelection();
}

SegmentBarView::Dragged SegmentBarView::draggedBy(const QDropEvent* event) const {
    // Another application's drag has no source here, whatever it carries.
    const QMimeData* data = event->mimeData();
    if (!data || !event->source())
        return {};
    if (event->source() == this) {
        if (const auto index =
                SegmentPayload::decode(data->data(SegmentPayload::mimeType), int(m_parts.size())))
            return *index;
    }
    if (const auto payload =
            ChipPayload::decode(QString::fromUtf8(data->data(ChipPayload::mimeType))))
        return payload->chip;
    return {};
}

void SegmentBarView::dragEnterEvent(QDragEnterEvent* event) {
    hover(event);
}

void SegmentBarView::dragMoveEvent(QDragMoveEvent* event) {
    hover(event);
}

void SegmentBarView::hover(QDragMoveEvent* event) {
    const Dragged dragged = draggedBy(event);
    const Qt::DropAction action = actionFor(dragged, event->possibleActions());
    if (action == Qt::IgnoreAction) {
        clearDropState();
        event->ignore();
        return;
    }
    const auto hit = std::holds_alternative<Chip>(dragged)
                         ? SegmentBarLayout::hitAt(m_frames, event->position())
                         : std::nullopt;
    m_dropOnto = hit ? std::optional(hit->index) : std::nullopt;
    m_dropIndex =
        hit ? std::nullopt
            : std::optional(SegmentBarLayout::insertionIndex(m_frames, event->position()));
    update();
    event->setDropAction(action);
    event->accept();
}

void SegmentBarView::dragLeaveEvent(QDragLeaveEvent*) {
    clearDropState();
}

void SegmentBarView::clearDropState() {
    m_dropIndex.reset();
    m_dropOnto.reset();
    update();
}

void SegmentBarView::dropEvent(QDropEvent* event) {
    clearDropState();
    const Dragged dragged = draggedBy(event);
    const Qt::DropAction action = actionFor(dragged, event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    // Where it lands is where the user saw it land, before anything moves.
    const QPointF point = event->position();
    const int at = SegmentBarLayout::insertionIndex(m_frames, point);
    const auto hit = SegmentBarLayout::hitAt(m_frames, point);
    event->setDropAction(action);
    event->accept();
    SegmentBarEdits::Edit edit;
    if (const int* source = std::get_if<int>(&dragged)) {
        edit = SegmentBarEdits::moved(m_parts, *source, at);
    } else {
        // The chip leaves the strip it came from first; that changes the text of a part, never
        // which parts there are, so `at` and `hit` still name the same places.
        const QPointer<SegmentBarView> alive(this);
        ChipStripView::chipTaken(this);
        if (!alive)
            return;
        const Chip& chip = std::get<Chip>(dragged);
        edit = hit ? SegmentBarEdits::chipDroppedOnto(m_parts, *hit, chip)
                   : SegmentBarEdits::chipInserted(m_parts, at, chip);
    }
    applyEdit(edit.parts, edit.selected, true);
}

void SegmentBarView::setSelected(std::optional<int> index) {
    m_selected = index;
    update();
    if (index) {
        QAccessibleEvent announcement(this, QAccessible::Selection);
        announcement.setChild(*index);
        QAccessible::updateAccessibility(&announcement);
    }
}

void SegmentBarView::reportSelection() {
    Q_EMIT selectionChanged(m_selected, m_selected ? frameOf(*m_selected) : QRectF(rect()));
}

void SegmentBarView::applyEdit(const QList<MenuBarPart>& parts, std::optional<int> selected,
                               bool requestsEdit) {
    const bool differs = parts != m_parts;
    m_parts = parts;
    relayout();
    setSelected(selected);
    const QPointer<SegmentBarView> alive(this);
    if (differs)
        Q_EMIT changed();
    if (!alive)
        return;
    reportSelection();
    if (requestsEdit && m_selected)
        Q_EMIT editRequested(*m_selected, frameOf(*m_selected), false);
}
