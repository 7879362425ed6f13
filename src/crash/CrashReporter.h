#pragma once

#include "platform/ProcessLauncher.h"

#include <QString>

class Settings;

// Captures the application's own crashes and sends them, with the system's own records of
// them (systemd-coredump, apport), to the maker's service. A crash is never sent while it
// happens: the handlers only write the pending file, and the next start sends it.
//
// The pending file, <data home>/Vesperin/pending-crash.txt, holds at most one crash as UTF-8:
// a one-line message, the separator "\n---\n", then up to 30 stack lines.
namespace CrashReporter {

inline constexpr int maxStackLines = 30;
inline constexpr int maxRecordCharacters = 18000;
inline constexpr const char* separator = "\n---\n";

// What earlier runs left: drops the temporary files of an interrupted write, then sends the
// pending crash and the new system records (coredumpctl run through `launcher`). The
// application does this once it is on screen, as the system's records take a while to list.
// Reports are sent without waiting for an answer. The device's id and the date of the last
// scan are in `settings`.
void sendEarlierCrashes(Settings& settings, ProcessLauncher& launcher);

// The pending file's path; its folder is created (a failure is ignored).
QString crashFile();

// Deletes and then sends the pending crash: the message before the first separator (all of
// the text when there is none), the stack up to a second one. False when there was none.
bool sendPendingCrash(const Settings& settings);

// Sends every system record of the application's crashes (SystemCrashRecords::list) made
// after "VSPLastCrashScan" and readable, then moves that date to the newest record sent, so
// each is sent once. The message is the record's first line naming the signal, else
// "Rapport système " and the system's name ("Rapport système Debian 12"); the stack is the
// record's first 18000 characters. Returns how many were sent.
int sendSystemCrashReports(Settings& settings, ProcessLauncher& launcher);

// Posts one record of kind `kind` to the crash endpoint and forgets it.
void send(const Settings& settings, const QString& kind, const QString& message,
          const QString& stack);

// The uncaught-exception handler, then one handler each for SIGABRT, SIGSEGV, SIGILL, SIGBUS,
// SIGFPE and SIGTRAP. A signal is recorded as "Signal <number>" and then raised again with its
// default action, so the process ends by it. An uncaught exception is recorded as
// "Exception: <type> : <what()>" and the process then aborts without a second record.
// The calling thread gets an alternate signal stack for the life of the process, so that a
// stack overflow is caught; other threads get theirs when they start, in programs that link
// the thread start of ThreadSignalStacks.cpp.
void installHandlers();

} // namespace CrashReporter
