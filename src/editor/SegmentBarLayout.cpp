#include "editor/SegmentBarLayout.h"

#include "model/TemplateSyntax.h"

#include <algorithm>
#include <cmath>

namespace SegmentBarLayout {

bool isBlank(const QString& label) {
    return TemplateSyntax::trimmed(label).isEmpty();
}

qreal gap(qreal separatorWidth) {
    return std::max(std::ceil(separatorWidth), minimumGap);
}

qreal segmentWidth(std::optional<qreal> labelWidth) {
    if (!labelWidth)
        return blankWidth;
    return std::max(std::ceil(*labelWidth) + labelPadding, blankWidth);
}

QList<QRectF> frames(const QList<std::optional<qreal>>& labelWidths, qreal separatorWidth,
                     const QSizeF& bar) {
    QList<qreal> widths;
    for (const auto& labelWidth : labelWidths)
        widths.append(segmentWidth(labelWidth));
    if (widths.isEmpty())
        return {};
    const qreal space = gap(separatorWidth);
    qreal total = space * qreal(widths.size() - 1);
    for (qreal width : widths)
        total += width;
    qreal x = std::max(bar.width() - margin - total, margin);
    const qreal y = (bar.height() - segmentHeight) / 2;
    QList<QRectF> result;
    for (qreal width : widths) {
        result.append(QRectF(x, y, width, segmentHeight));
        x += width + space;
    }
    return result;
}

std::optional<Hit> hitAt(const QList<QRectF>& frames, const QPointF& point) {
    for (int i = 0; i < frames.size(); ++i) {
        if (frames[i].contains(point))
            return Hit{i, point.x() >= frames[i].center().x() ? Half::right : Half::left};
    }
    return std::nullopt;
}

int insertionIndex(const QList<QRectF>& frames, const QPointF& point) {
    const auto after = std::find_if(frames.begin(), frames.end(), [&](const QRectF& frame) {
        return frame.center().x() > point.x();
    });
    return int(after - frames.begin());
}

QRectF insertionMarker(const QList<QRectF>& frames, int index, const QSizeF& bar) {
    qreal x = bar.width() - 17;
    if (index < frames.size())
        x = frames[index].left() - 5;
    else if (!frames.isEmpty())
        x = frames.last().right() + 3;
    return QRectF(x, markerInset, 2, bar.height() - 2 * markerInset);
}

} // namespace SegmentBarLayout
