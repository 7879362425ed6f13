#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class ProcessLauncher;

// The records the system itself keeps of the application's crashes, in the two stores a
// Linux desktop has: systemd-coredump's journal entries, read with coredumpctl, and apport's
// reports in its report folder. Listing reads no more than each record's time, so that
// records sent at an earlier start cost nothing more; a record's text is read on demand.
namespace SystemCrashRecords {

inline constexpr const char* coredumpTool = "coredumpctl";

// The running program as the stores name it.
struct Program {
    QString executable;  // the absolute path of its file, as /proc/<pid>/exe gives it
    QString commandName; // the kernel's short name: the file's name, cut to 15 bytes
    unsigned userId = 0; // the user it runs as

    // This process (it needs the application object).
    static Program current();
};

struct Record {
    QDateTime time; // when the store made the record (UTC, milliseconds)
    // The record's text; absent when it cannot be read (any more), or is not valid UTF-8.
    // Records of coredumpctl run it again: read them while the launcher lives.
    std::function<std::optional<QString>()> read;
};

// apport's report folder: $APPORT_REPORT_DIR when it is set and not empty, as apport itself
// decides, else /var/crash.
QString apportFolder();

// Every record of `program` made while it ran as its user, in both stores: a store that is
// absent (no coredumpctl, no folder) or unreadable just has none.
//
// - coredumpctl: the entries of `coredumpctl --json=short` whose "exe" is the executable
//   (" (deleted)" after it when the file was replaced while it ran) or, when the entry has no
//   path, the command name, and whose "uid" is the user's. The text is what
//   `coredumpctl info` prints for that one entry: pid, signal, command line, the stack of the
//   crashing thread when systemd could unwind it.
// - apport: <folder>/<executable with "/" as "_">.<uid>.crash, timed by its modification. Its
//   ExecutablePath must be the executable. The text is its text fields as apport wrote them,
//   those that name the crash first (ExecutablePath, Signal, SignalName, StacktraceTop,
//   Stacktrace), then the others in the file's order; binary fields (the core dump, base64)
//   are left out.
QList<Record> list(ProcessLauncher& launcher, const Program& program);

} // namespace SystemCrashRecords
