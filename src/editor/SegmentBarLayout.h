#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Where the segment bar puts its segments: one per part, in a row hugging the bar's right end
// as status items hug the menu bar's, spaced as the item's separator will space them there.
// Pure geometry from measured label widths, so the view only measures, paints and routes events.
namespace SegmentBarLayout {

inline constexpr qreal segmentHeight = 26;
// A blank label's segment, and the narrowest of any.
inline constexpr qreal blankWidth = 30;
inline constexpr qreal labelPadding = 20;
// From either end of the bar.
inline constexpr qreal margin = 12;
inline constexpr qreal minimumGap = 6;
// The insertion marker's distance from the bar's top and bottom.
inline constexpr qreal markerInset = 7;

enum class Half { left, right };

struct Hit {
    int index = 0;
    Half half = Half::left;

    bool operator==(const Hit&) const = default;
};

// A label of only space separators and tabs shows nothing, so its segment gets a fixed width
// and an ellipsis instead.
bool isBlank(const QString& label);

// The separator's width rounded up, and at least 6, so segments never touch.
qreal gap(qreal separatorWidth);
// Absent for a blank label.
qreal segmentWidth(std::optional<qreal> labelWidth);
// One frame per label, vertically centred. The row ends 12 points before the bar's right end
// but never starts closer than 12 to its left end, so a row too long runs past the right end.
QList<QRectF> frames(const QList<std::optional<qreal>>& labelWidths, qreal separatorWidth,
                     const QSizeF& bar);

// The first segment containing the point, and on which side of its centre the point is (the
// centre itself counts as the right half).
std::optional<Hit> hitAt(const QList<QRectF>& frames, const QPointF& point);
// Where something dropped at the point goes: before the first segment whose centre is to the
// right of it, else after the last.
int insertionIndex(const QList<QRectF>& frames, const QPointF& point);
// The bar drawn before the segment at `index`, after the last one when `index` is the count,
// or near the right end of an empty bar.
QRectF insertionMarker(const QList<QRectF>& frames, int index, const QSizeF& bar);

} // namespace SegmentBarLayout
