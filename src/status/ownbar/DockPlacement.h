#pragma once

#include <optional>

// Where the application's own bar goes along the top of the screen: under everything else
// that reserves the top edge, never over another dock. The window manager's work area says
// where that is, but once the bar reserves its own strip the work area ends at the bar's own
// lower edge and no longer tells where the others end; the bar then keeps its place, unless
// another dock's strut reaches further down. All values are y coordinates in logical pixels
// of the whole screen (struts count from its top edge).
namespace DockPlacement {

// `workAreaTop`: the top of the work area the window manager reports now.
// `ownStrutBottom`: the lower edge of the strip the bar last reserved, absent while it has
// reserved none. `otherDocksBottom`: the lowest lower edge among the top struts of the other
// windows over the bar's width (the screen's top when there are none). `current`: the bar's
// top now.
int top(int workAreaTop, std::optional<int> ownStrutBottom, int otherDocksBottom, int current);

} // namespace DockPlacement
