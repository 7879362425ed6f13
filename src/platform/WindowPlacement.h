#pragma once

#include <QRect>

class QWidget;

// Where the application's windows go on the screen: inside the work area the window manager
// reports (below a top bar, above a bottom panel), their frame included.
namespace WindowPlacement {

// What a window manager's title bar and borders are taken to need while a window's frame is
// not known yet (before it is first mapped).
inline constexpr int frameAllowance = 40;

// The height a window's content may take in `workArea`, below its title bar.
inline int contentRoom(const QRect& workArea) {
    return workArea.height() - frameAllowance;
}

// Centres the window's frame in the work area, moved down or up as far as needed for it to
// start below the area's top and end above its bottom (the top wins on a screen too short), so
// that the window manager's title bar never ends up under a bar.
void centreIn(QWidget* window, const QRect& workArea);

} // namespace WindowPlacement
