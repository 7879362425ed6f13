#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a popover opens for an anchor on screen: hanging under it, centred on it, kept inside
// the screen's available area, and above the anchor when there is no room below.
namespace PopoverPlacement {

// Between the anchor's edge and the popover.
inline constexpr int gap = 4;

QPoint origin(const QRect& anchor, const QSize& popover, const QRect& screen);

} // namespace PopoverPlacement
