#include "status/ownbar/DockPlacement.h"

#include <algorithm>

namespace DockPlacement {

// A work area that ends exactly at the bar's own strip is the bar's doing: going by it would
// push the bar down under itself, a bar height at every change. What lies above is then known
// only from the other windows' struts; panels that the desktop's compositor draws itself
// (GNOME Shell's, Cinnamon's) have none, but they keep their height.
int top(int workAreaTop, std::optional<int> ownStrutBottom, int otherDocksBottom, int current) {
    if (ownStrutBottom && workAreaTop == *ownStrutBottom)
        return std::max(current, otherDocksBottom);
    return std::max(workAreaTop, otherDocksBottom);
}

} // namespace DockPlacement
