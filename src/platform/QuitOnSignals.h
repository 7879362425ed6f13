#pragma once

#include <initializer_list>

// Turns SIGTERM, SIGINT and the like into a normal end of the event loop (and of any modal
// loop inside it): windows are not asked to close, nothing is stored, the process exits 0. The
// handler only writes one byte to a pipe (all a signal handler may safely do); the event loop reads
// it and quits.
namespace QuitOnSignals {

void install(std::initializer_list<int> signals);

// Whether one of those signals has ended the event loop. Modal loops inside it return early,
// as if dismissed; their callers use this to tell that from an answer.
bool received();

} // namespace QuitOnSignals
