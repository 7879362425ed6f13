#include "editor/PopoverPlacement.h"

#include <algorithm>

namespace PopoverPlacement {

QPoint origin(const QRect& anchor, const QSize& popover, const QRect& screen) {
    const int centred = anchor.x() + (anchor.width() - popover.width()) / 2;
    const int x = std::max(screen.left(), std::min(centred, screen.right() + 1 - popover.width()));
    const int below = anchor.bottom() + 1 + gap;
    const int above = anchor.top() - gap - popover.height();
    const bool fitsBelow = below + popover.height() <= screen.bottom() + 1;
    return {x, fitsBelow || above < screen.top() ? below : above};
}

} // namespace PopoverPlacement
