#pragma once

// What assistive technology sees of the own bar, which is a window without widgets: the bar as a
// tool bar whose children are its items, each a button named by its title (or, for an icon, by
// its accessible name) that can be pressed.
namespace StatusBarAccessible {

// Makes the bar and its buttons known to Qt's accessibility; once per process is enough.
void install();

} // namespace StatusBarAccessible
