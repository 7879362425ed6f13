#include "editor/ChipStripView.h"

#include "editor/ChipStripAccessible.h"
#include "settings/Localization.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QAccessible>
#include <QDrag>
#include <QHelpEvent>
#include <QLineF>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolTip>

#include <cmath>

namespace {

// A press becomes a drag once the pointer is further than this from where it went down.
constexpr qreal dragThreshold = 4;
// A press this close around a chip still takes it.
constexpr qreal pressMargin = 2;
constexpr qreal cornerRadius = 6;
const QPointF placeholderOrigin(8, 9);

// The strip whose drag is under way in this process. A drop names its source strip; one
// from another process (the same type, but no drag of ours running) is refused.
QPointer<ChipStripView> dragSource;

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

QFont chipFont() {
    return systemFont(12, QFont::Medium);
}

// Drawn from the top left of the text's line box, never clipped.
void drawText(QPainter& painter, const QPointF& origin, const QString& text) {
    painter.drawText(QRectF(origin, QSizeF(0, 0)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     text);
}

void paintChip(QPainter& painter, const Chip& chip, const QRectF& frame, bool highlighted,
               const QString& label, Appearance appearance) {
    const QColor ink = Appearances::labelColor(appearance);
    QColor fill;
    if (chip.isTextChip())
        fill = withAlpha(ink, highlighted ? 0.35 : 0.1);
    else
        fill = highlighted ? withAlpha(calBlueFixed(), 0.55) : withAlpha(calBlue(appearance), 0.22);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, cornerRadius, cornerRadius);
    if (const auto spaces = ChipStripLayout::dotCount(chip)) {
        painter.setBrush(withAlpha(ink, 0.35));
        for (const QRectF& dot : ChipStripLayout::dots(frame, *spaces))
            painter.drawEllipse(dot);
        return;
    }
    const QFont font = chipFont();
    const QFontMetricsF metrics(font, painter.device());
    const QSizeF size(metrics.horizontalAdvance(label), metrics.height());
    painter.setFont(font);
    painter.setPen(ink);
    drawText(painter, frame.center() - QPointF(size.width() / 2, size.height() / 2), label);
}

// A palette offers only copies; a chip from a strip moves.
void acceptChip(QDropEvent* event) {
    event->setDropAction(event->possibleActions() & Qt::MoveAction ? Qt::MoveAction
                                                                   : Qt::CopyAction);
    event->accept();
}

QAbstractScrollArea* scrollAreaAround(const QWidget* widget) {
    QWidget* viewport = widget->parentWidget();
    auto* area = viewport ? qobject_cast<QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
    return area && area->viewport() == viewport ? area : nullptr;
}

} // namespace

qint64 ChipStripView::s_nextId = 1;

ChipStripView::ChipStripView(Mode mode, QWidget* parent)
    : QWidget(parent), m_palette(mode == Mode::palette), m_stripId(s_nextId++) {
    ChipStripAccessible::install();
    setFocusPolicy(m_palette ? Qt::TabFocus : Qt::StrongFocus);
    setAcceptDrops(!m_palette);
    relayout();
}

void ChipStripView::setChips(const QList<Chip>& chips) {
    m_chips = chips;
    m_sections.clear();
    relayout();
}

void ChipStripView::setSections(const QList<ChipSection>& sections) {
    m_sections = sections;
    m_chips.clear();
    for (const ChipSection& section : sections)
        m_chips += section.chips;
    relayout();
}

void ChipStripView::setWraps(bool wraps) {
    m_wraps = wraps;
    relayout();
}

QString ChipStripView::accessibleName(qsizetype index) const {
    if (index < 0 || index >= m_chips.size())
        return {};
    if (const auto spaces = ChipStripLayout::dotCount(m_chips[index]))
        return L("menubar.chip_spaces", int(*spaces));
    return render(m_chips[index]);
}

void ChipStripView::relayout() {
    const QFontMetricsF metrics(chipFont(), this);
    QList<qreal> widths;
    m_labels.clear();
    for (const Chip& chip : m_chips) {
        m_labels.append(render(chip));
        widths.append(ChipStripLayout::chipWidth(
            chip, [&] { return metrics.horizontalAdvance(m_labels.last()); }));
    }
    m_layout = ChipStripLayout(widths, m_sections, width(), m_wraps);
    if (m_selected && *m_selected >= m_chips.size())
        m_selected.reset();
    updateGeometry();
    followScrollArea();
    update();
}

void ChipStripView::refreshLabels() {
    const QList<QRectF>& frames = m_layout.frames();
    for (qsizetype i = 0; i < std::min({m_chips.size(), m_labels.size(), frames.size()}); ++i) {
        QString label = render(m_chips[i]);
        if (label != m_labels[i]) {
            m_labels[i] = std::move(label);
            update(frames[i].toAlignedRect());
        }
    }
}

// A wrapping strip that is a scroll area's content is as wide as the area shows and as tall as
// its rows, filling the area at least.
void ChipStripView::followScrollArea() {
    const QAbstractScrollArea* area = scrollAreaAround(this);
    if (!m_wraps || !area)
        return;
    const QSize shown = area->viewport()->size();
    const qreal height = std::max(m_layout.requiredHeight(), qreal(shown.height()));
    if (std::abs(height - this->height()) > 0.5 || std::abs(width() - shown.width()) > 0.5)
        resize(shown.width(), int(std::ceil(height)));
}

QSize ChipStripView::sizeHint() const {
    const qreal height =
        std::max(m_layout.requiredHeight(), ChipStripLayout::chipHeight + 2 * ChipStripLayout::gap);
    return QSize(int(std::ceil(m_layout.requiredWidth())), int(std::ceil(height)));
}

bool ChipStripView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        if (m_watchedViewport)
            m_watchedViewport->removeEventFilter(this);
        const QAbstractScrollArea* area = scrollAreaAround(this);
        m_watchedViewport = area ? area->viewport() : nullptr;
        if (m_watchedViewport)
            m_watchedViewport->installEventFilter(this);
        relayout();
    } else if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto index = m_layout.chipAt(help->pos());
        const auto text =
            index && *index < m_chips.size() ? tooltip(m_chips[*index]) : std::optional<QString>();
        if (text && !text->isEmpty()) {
            QToolTip::showText(help->globalPos(), *text, this,
                               m_layout.frames()[*index].toAlignedRect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

bool ChipStripView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedViewport && event->type() == QEvent::Resize)
        relayout();
    return QWidget::eventFilter(watched, event);
}

void ChipStripView::resizeEvent(QResizeEvent*) {
    relayout();
}

void ChipStripView::paintEvent(QPaintEvent* event) {
    const Appearance appearance = Appearances::of(this);
    const QColor ink = Appearances::labelColor(appearance);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // A one-point line on the half point, so that it covers whole pixels at every ratio.
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor fill =
        m_palette ? withAlpha(ink, 0.04) : withAlpha(palette().color(QPalette::Base), 0.6);
    painter.setPen(QPen(withAlpha(ink, m_palette ? 0.06 : 0.14), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, cornerRadius, cornerRadius);
    if (hasFocus()) {
        painter.setPen(QPen(withAlpha(calBlue(appearance), 0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), cornerRadius, cornerRadius);
    }

    painter.setFont(systemFont(10, QFont::DemiBold));
    painter.setPen(Appearances::secondaryLabelColor(appearance));
    for (const ChipStripLayout::Header& header : m_layout.headers())
        drawText(painter, header.frame.topLeft(), header.title);

    const QList<QRectF>& frames = m_layout.frames();
    for (qsizetype i = 0; i < std::min(m_chips.size(), frames.size()); ++i) {
        if (event->region().intersects(frames[i].toAlignedRect()))
            paintChip(painter, m_chips[i], frames[i], !m_palette && m_selected == i,
                      render(m_chips[i]), appearance);
    }
    // The palette's chosen chip is ringed rather than filled: it is not a selection.
    if (m_palette && hasFocus() && m_selected && *m_selected < frames.size()) {
        painter.setPen(QPen(calBlueFixed(), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frames[*m_selected].adjusted(-1, -1, 1, 1), cornerRadius + 1,
                                cornerRadius + 1);
    }

    if (m_dropIndex) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(calBlueFixed());
        painter.drawRoundedRect(m_layout.dropIndicator(*m_dropIndex), 1, 1);
    }
    if (!m_palette && m_chips.isEmpty()) {
        painter.setFont(systemFont(11, QFont::Normal));
        painter.setPen(Appearances::tertiaryLabelColor(appearance));
        drawText(painter, placeholderOrigin, L("menubar.strip_empty"));
    }
}

void ChipStripView::focusInEvent(QFocusEvent* event) {
    // A click reports itself; reaching the strip by the keyboard is the same.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        Q_EMIT focusTaken();
    if (m_palette && !m_selected && !m_chips.isEmpty())
        setSelected(0);
    update();
}

void ChipStripView::focusOutEvent(QFocusEvent*) {
    update();
}

void ChipStripView::press(QMouseEvent* event) {
    m_pressPoint = event->position();
    m_pressChip = m_layout.chipAt(event->position(), pressMargin);
    if (m_palette)
        return;
    setFocus(Qt::MouseFocusReason);
    Q_EMIT focusTaken();
    setSelected(m_pressChip);
}

void ChipStripView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    press(event);
}

// Qt sends the second press of a double-click here instead of to mousePressEvent.
void ChipStripView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    press(event);
    if (!m_palette && m_pressChip && *m_pressChip < m_chips.size() &&
        m_chips[*m_pressChip].isTextChip())
        Q_EMIT textEditRequested(*m_pressChip);
}

void ChipStripView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !m_pressPoint || !m_pressChip ||
        *m_pressChip >= m_chips.size())
        return;
    if (QLineF(*m_pressPoint, event->position()).length() <= dragThreshold)
        return;
    startDrag(*m_pressChip);
}

void ChipStripView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool clicked = m_palette && m_pressPoint && m_pressChip && *m_pressChip < m_chips.size();
    const std::optional<qsizetype> chip = std::exchange(m_pressChip, std::nullopt);
    m_pressPoint.reset();
    if (clicked)
        Q_EMIT chipClicked(m_chips[*chip]);
}

void ChipStripView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool chosen = m_selected && *m_selected < m_chips.size();
    const bool removes = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    const bool adds = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!m_palette && removes && chosen) {
        removeChip(*m_selected);
    } else if (m_palette && adds && chosen) {
        Q_EMIT chipClicked(m_chips[*m_selected]);
    } else if (!m_chips.isEmpty() && event->modifiers() == Qt::NoModifier &&
               (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
                key == Qt::Key_End)) {
        moveCurrent(event);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void ChipStripView::moveCurrent(QKeyEvent* event) {
    const qsizetype last = m_chips.size() - 1;
    qsizetype next = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        next = m_selected ? *m_selected - 1 : last;
        break;
    case Qt::Key_Right:
        next = m_selected ? *m_selected + 1 : 0;
        break;
    case Qt::Key_End:
        next = last;
        break;
    default:
        break;
    }
    next = std::clamp<qsizetype>(next, 0, last);
    setSelected(next);
    ensureChipVisible(next);
}

void ChipStripView::ensureChipVisible(qsizetype index) {
    auto* area = qobject_cast<QScrollArea*>(scrollAreaAround(this));
    if (area && index < m_layout.frames().size()) {
        const QRect frame = m_layout.frames()[index].toAlignedRect();
        area->ensureVisible(frame.center().x(), frame.center().y(), frame.width() / 2 + 5,
                            frame.height() / 2 + 20);
    }
}

// A chip of a strip leaves it only when another view takes it (chipTaken), at the drop: a
// drag released where nothing takes it, or cancelled, changes nothing. A palette only ever
// gives copies.
void ChipStripView::startDrag(qsizetype index) {
    const QPointF pressPoint = *m_pressPoint;
    m_pressPoint.reset();
    m_pressChip.reset();
    m_draggedIndex = m_palette ? std::nullopt : std::optional(index);

    auto* data = new QMimeData;
    data->setData(ChipPayload::mimeType,
                  ChipPayload::encode({m_stripId, index, m_chips[index]}).toUtf8());
    // Qt deletes the drag once its loop is over.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragPixmap(index));
    drag->setHotSpot((pressPoint - m_layout.frames()[index].topLeft()).toPoint());

    const QPointer<ChipStripView> alive(this);
    dragSource = this;
    runDrag(*drag, m_palette ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction);
    // The owner may have closed the strip while the drag ran.
    if (!alive)
        return;
    dragSource = nullptr;
    m_draggedIndex.reset();
}

void ChipStripView::chipTaken(const QWidget* by) {
    ChipStripView* source = dragSource;
    if (!source || source == by || !source->m_draggedIndex)
        return;
    const qsizetype index = *std::exchange(source->m_draggedIndex, std::nullopt);
    if (index < source->m_chips.size())
        source->removeChip(index);
}

Qt::DropAction ChipStripView::runDrag(QDrag& drag, Qt::DropActions actions) {
    return drag.exec(actions, m_palette ? Qt::CopyAction : Qt::MoveAction);
}

QPixmap ChipStripView::dragPixmap(qsizetype index) const {
    const QRectF frame = m_layout.frames()[index];
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap((frame.size() * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    // Opaque, on the window's colour: without a compositing manager a drag image shows
    // partial transparency as white.
    pixmap.fill(palette().color(QPalette::Window));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintChip(painter, m_chips[index], QRectF(QPointF(0, 0), frame.size()), true,
              render(m_chips[index]), Appearances::of(this));
    return pixmap;
}

void ChipStripView::removeChip(qsizetype index) {
    m_chips.removeAt(index);
    relayout();
    setSelected(std::nullopt);
    Q_EMIT changed();
}

void ChipStripView::setSelected(std::optional<qsizetype> index) {
    m_selected = index;
    update();
    if (index && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(int(*index));
        QAccessible::updateAccessibility(&focus);
    }
}

// Only a chip from a strip of this process that is being dragged right now, and only when it
// would change something here.
std::optional<ChipDrop::Result> ChipStripView::dropResult(const QDropEvent* event) const {
    if (!dragSource || !event->mimeData()->hasFormat(ChipPayload::mimeType))
        return std::nullopt;
    const auto payload =
        ChipPayload::decode(QString::fromUtf8(event->mimeData()->data(ChipPayload::mimeType)));
    if (!payload || payload->sourceId != dragSource->stripId())
        return std::nullopt;
    return ChipDrop::apply(m_chips, *payload, dragSource == this,
                           m_layout.insertionIndex(event->position()));
}

void ChipStripView::followDrag(QDropEvent* event) {
    if (!dropResult(event)) {
        event->ignore();
        return;
    }
    m_dropIndex = m_layout.insertionIndex(event->position());
    update();
    acceptChip(event);
}

void ChipStripView::dragEnterEvent(QDragEnterEvent* event) {
    followDrag(event);
}

void ChipStripView::dragMoveEvent(QDragMoveEvent* event) {
    followDrag(event);
}

void ChipStripView::dragLeaveEvent(QDragLeaveEvent*) {
    m_dropIndex.reset();
    update();
}

void ChipStripView::dropEvent(QDropEvent* event) {
    m_dropIndex.reset();
    update();
    const auto result = dropResult(event);
    if (!result) {
        event->ignore();
        return;
    }
    chipTaken(this);
    m_chips = result->chips;
    relayout();
    setSelected(result->selected);
    acceptChip(event);
    Q_EMIT focusTaken();
    Q_EMIT changed();
}
