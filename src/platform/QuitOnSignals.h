#pragma once

#include <initializer_list>

// Turns SIGTERM, SIGINT and the like into a normal quit of the event loop, so the process
// ends as it would from its Quit menu item. The handler only writes one byte to a pipe (all a
// signal handler may safely do); the event loop reads it and quits.
namespace QuitOnSignals {

void install(std::initializer_list<int> signals);

} // namespace QuitOnSignals
