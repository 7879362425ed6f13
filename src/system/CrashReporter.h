#pragma once

#include <QString>

// Captures the application's own crashes and sends them, with the crash logs collected in
// the diagnostic-reports folder, to the maker's service. A crash is never sent while it
// happens: the handlers only write the pending file, and the next start sends it.
//
// The pending file, <data home>/Vesperin/pending-crash.txt, holds at most one crash as UTF-8:
// a one-line message, the separator "\n---\n", then up to 30 stack lines.
namespace CrashReporter {

inline constexpr int maxStackLines = 30;
inline constexpr int maxLogCharacters = 18000;
inline constexpr const char* separator = "\n---\n";

// At start-up, on the GUI thread, before anything else: sends the pending crash, then the new
// crash logs, then installs the handlers. Reports are sent without waiting for an answer.
void install();

// The pending file's path; its folder is created (a failure is ignored).
QString crashFile();

// Deletes and then sends the pending crash: the message before the first separator (all of
// the text when there is none), the stack up to a second one. False when there was none.
bool sendPendingCrash();

// Sends every crash log of the application (named "Vesperin..." or "Orvenna Cal...", ending in
// ".ips" or ".crash", valid UTF-8) modified after "VSPLastCrashScan", then moves that date to
// the newest log sent. The message is the log's first line naming an "Exception" or a
// "Termination"; the stack is the log's first 18000 characters. Returns how many were sent.
int sendSystemCrashReports();

// Posts one record of kind `kind` to the crash endpoint and forgets it.
void send(const QString& kind, const QString& message, const QString& stack);

// The uncaught-exception handler, then one handler each for SIGABRT, SIGSEGV, SIGILL, SIGBUS,
// SIGFPE and SIGTRAP. A signal is recorded as "Signal <number>" and then raised again with its
// default action, so the process ends by it. An uncaught exception is recorded as
// "Exception: <type> : <what()>" and the process then aborts without a second record.
void installHandlers();

} // namespace CrashReporter
