#pragma once

#include "model/Chip.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

// A titled group of chips in the palette.
struct ChipSection {
    QString title;
    QList<Chip> chips;

    bool operator==(const ChipSection&) const = default;
};

// Where a chip strip puts its chips and section titles, and what a point over it means: the
// chip under a press, the insertion index of a drop and where the drop indicator goes. Computed
// once per change of chips, sections or width; drawing and hit-testing only read it.
class ChipStripLayout {
public:
    static constexpr qreal chipHeight = 22;
    static constexpr qreal gap = 5;

    struct Header {
        QString title;
        QRectF frame;

        bool operator==(const Header&) const = default;
    };

    // Chips whose text is empty or only spaces show one dot per space instead of a label.
    static std::optional<qsizetype> dotCount(const Chip& chip);
    // The chip's width: from its dots, else from its label's width (asked only then).
    static qreal chipWidth(const Chip& chip, const std::function<qreal()>& labelWidth);
    // The dots of a chip of `count` spaces drawn in `frame`.
    static QList<QRectF> dots(const QRectF& frame, qsizetype count);

    ChipStripLayout() = default;
    // One frame per width, in order. With sections, each section's title comes before its
    // chips: the sections take the widths in their order, and widths beyond their chips stay
    // in the last section. `wraps` flows the chips into rows within `viewWidth`.
    ChipStripLayout(const QList<qreal>& widths, const QList<ChipSection>& sections, qreal viewWidth,
                    bool wraps);

    const QList<QRectF>& frames() const { return m_frames; }
    const QList<Header>& headers() const { return m_headers; }
    // The bottom of the last chip plus a gap.
    qreal requiredHeight() const;
    // The right edge of the widest row plus a gap.
    qreal requiredWidth() const;

    // The chip whose frame, grown by `margin` on every side, holds the point; the first one.
    std::optional<qsizetype> chipAt(const QPointF& point, qreal margin = 0) const;
    // Where a chip dropped at `point` goes: before the first chip of the point's row whose
    // middle is right of it, after that row's last chip when there is none.
    qsizetype insertionIndex(const QPointF& point) const;
    // The thin bar showing an insertion at `index`.
    QRectF dropIndicator(qsizetype index) const;

private:
    bool m_wraps = false;
    QList<QRectF> m_frames;
    QList<Header> m_headers;
};
