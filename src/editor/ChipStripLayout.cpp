#include "editor/ChipStripLayout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal dotPitch = 6;
constexpr qreal dotDiameter = 2;
constexpr qreal labelPadding = 14;
constexpr qreal titleInset = 7;
constexpr qreal titleHeight = 14;
// From a title's top to its chips, and from the top of a section's last row to the next title.
constexpr qreal titleToChips = 16;
constexpr qreal rowToNextTitle = 33;
// How far below a row's bottom a drop still counts as on that row.
constexpr qreal rowSlack = 3;
// How far the drop indicator stands off the chip it is beside.
constexpr qreal indicatorOffset = 3;
constexpr qreal indicatorWidth = 2;
constexpr qreal emptyIndicatorX = 6;

} // namespace

std::optional<qsizetype> ChipStripLayout::dotCount(const Chip& chip) {
    if (!chip.isTextChip() ||
        std::any_of(chip.value.begin(), chip.value.end(), [](QChar c) { return c != u' '; }))
        return std::nullopt;
    return chip.value.size();
}

qreal ChipStripLayout::chipWidth(const Chip& chip, const std::function<qreal()>& labelWidth) {
    if (const auto dots = dotCount(chip))
        return dotPitch * qreal(*dots) + 8;
    return std::max(std::ceil(labelWidth()) + labelPadding, chipHeight);
}

QList<QRectF> ChipStripLayout::dots(const QRectF& frame, qsizetype count) {
    QList<QRectF> dots;
    for (qsizetype i = 0; i < count; ++i)
        dots.append(QRectF(frame.left() + dotPitch + dotPitch * qreal(i),
                           frame.center().y() - dotDiameter / 2, dotDiameter, dotDiameter));
    return dots;
}

ChipStripLayout::ChipStripLayout(const QList<qreal>& widths, const QList<ChipSection>& sections,
                                 qreal viewWidth, bool wraps)
    : m_wraps(wraps) {
    qreal rowTop = gap;
    qreal x = gap;
    const auto place = [&](qreal width) {
        // The first chip of a row stays on it, however wide.
        if (wraps && x > gap && x + width > viewWidth - gap) {
            rowTop += chipHeight + gap;
            x = gap;
        }
        m_frames.append(QRectF(x, rowTop, width, chipHeight));
        x += width + gap;
    };
    qsizetype next = 0;
    for (qsizetype k = 0; k < sections.size(); ++k) {
        const qreal titleTop = k == 0 ? gap : rowTop + rowToNextTitle;
        m_headers.append(
            {sections[k].title,
             QRectF(titleInset, titleTop, std::max(viewWidth - 2 * titleInset, 0.0), titleHeight)});
        rowTop = titleTop + titleToChips;
        x = gap;
        const qsizetype end = k + 1 == sections.size()
                                  ? widths.size()
                                  : std::min(next + sections[k].chips.size(), widths.size());
        for (; next < end; ++next)
            place(widths[next]);
    }
    for (; next < widths.size(); ++next)
        place(widths[next]);
}

qreal ChipStripLayout::requiredHeight() const {
    qreal bottom = m_frames.isEmpty() ? 0 : m_frames.last().bottom();
    // A last section without chips still shows its title.
    if (!m_headers.isEmpty())
        bottom = std::max(bottom, m_headers.last().frame.bottom());
    return bottom + gap;
}

qreal ChipStripLayout::requiredWidth() const {
    qreal right = 0;
    for (const QRectF& frame : m_frames)
        right = std::max(right, frame.right());
    return right + gap;
}

std::optional<qsizetype> ChipStripLayout::chipAt(const QPointF& point, qreal margin) const {
    for (qsizetype i = 0; i < m_frames.size(); ++i) {
        if (m_frames[i].adjusted(-margin, -margin, margin, margin).contains(point))
            return i;
    }
    return std::nullopt;
}

// In a wrapping strip the point's row is the first whose bottom (with some slack) is not above
// the point; below every row, the drop goes at the end. A point right of the middle of its
// row's last chip goes after that chip, not into the next row.
qsizetype ChipStripLayout::insertionIndex(const QPointF& point) const {
    qsizetype i = 0;
    if (m_wraps) {
        while (i < m_frames.size() && m_frames[i].bottom() + rowSlack < point.y())
            ++i;
    }
    const qreal rowTop = i < m_frames.size() ? m_frames[i].top() : 0;
    for (; i < m_frames.size() && (!m_wraps || m_frames[i].top() == rowTop); ++i) {
        if (point.x() < m_frames[i].center().x())
            return i;
    }
    return i;
}

QRectF ChipStripLayout::dropIndicator(qsizetype index) const {
    QRectF beside(0, gap, 0, chipHeight);
    qreal x = emptyIndicatorX;
    if (index >= 0 && index < m_frames.size()) {
        beside = m_frames[index];
        x = beside.left() - indicatorOffset;
    } else if (!m_frames.isEmpty()) {
        beside = m_frames.last();
        x = beside.right() + indicatorOffset;
    }
    return QRectF(x - indicatorWidth / 2, beside.top(), indicatorWidth, beside.height());
}
