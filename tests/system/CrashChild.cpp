// A program that installs the crash reporter and then dies the way its argument says, for
// the crash capture tests:
//
//   crash_child segv | abort | exception | foreign-exception | deep | overflow | raise N
#include "system/CrashReporter.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/resource.h>

// Kept out of line and exported (external linkage, and the program is linked with -rdynamic)
// so that the tests find these names in the captured stacks. The write is meant to fault:
// under the undefined-behaviour sanitizer it must reach the signal handler, not be reported.
[[gnu::noinline, gnu::no_sanitize("null")]] void writeThroughNull(const char* address) {
    *reinterpret_cast<volatile int*>(std::strtoul(address, nullptr, 10)) = 1;
}

[[gnu::noinline]] void throwFromHere() {
    throw std::runtime_error("disk on fire\nsecond line");
}

[[gnu::noinline]] int deepen(int depth, int crashAt) {
    volatile int keep = depth;
    if (depth < crashAt)
        return deepen(depth + 1, crashAt) + keep;
    writeThroughNull("0");
    return keep;
}

[[gnu::noinline]] int overflow(long depth, long limit) {
    volatile char frame[512];
    frame[0] = char(depth);
    return depth < limit ? overflow(depth + 1, limit) + frame[0] : 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    CrashReporter::install();

    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "segv")
        writeThroughNull("0");
    else if (mode == "abort")
        std::abort();
    else if (mode == "exception")
        throwFromHere();
    else if (mode == "foreign-exception")
        throw 42;
    else if (mode == "deep")
        return deepen(0, 60);
    else if (mode == "overflow")
        return overflow(0, 100000000);
    else if (mode == "raise")
        ::raise(args.value(2).toInt());
    return 3;
}
