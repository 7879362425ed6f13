// A program that installs the crash reporter and then dies the way its argument says, for
// the crash capture tests:
//
//   crash_child segv | abort | exception | foreign-exception | deep | raise N
//   crash_child overflow [std::thread | QThread | QThreadPool]
//   crash_child thread-stacks
//
// "overflow" overflows the stack of the main thread, or of a thread that libstdc++ or Qt
// starts. "thread-stacks" installs nothing and exits with status 0 when every kind of thread
// ran with an alternate signal stack of its own and gave its result back.
#include "crash/AlternateSignalStack.h"
#include "crash/CrashReporter.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <pthread.h>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>

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

// Runs `work` to its end on a thread of the given kind, each started by another library;
// on the main thread when the kind is empty.
void runOn(const QString& kind, const std::function<void()>& work) {
    if (kind == "std::thread") {
        std::thread(work).join();
    } else if (kind == "QThread") {
        const std::unique_ptr<QThread> thread(QThread::create(work));
        thread->start();
        thread->wait();
    } else if (kind == "QThreadPool") {
        QThreadPool::globalInstance()->start(work);
        QThreadPool::globalInstance()->waitForDone();
    } else {
        work();
    }
}

bool hasOwnSignalStack() {
    stack_t current{};
    return ::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) &&
           current.ss_size == AlternateSignalStack::size;
}

void* endByPthreadExit(void* result) {
    ::pthread_exit(result);
}

// A thread that ends by pthread_exit unwinds through the thread start; its result must still
// come back.
bool pthreadExitGivesItsResult() {
    int result = 0;
    pthread_t thread;
    void* returned = nullptr;
    return ::pthread_create(&thread, nullptr, endByPthreadExit, &result) == 0 &&
           ::pthread_join(thread, &returned) == 0 && returned == &result;
}

int checkThreadStacks() {
    int failures = 0;
    for (const QString kind : {"std::thread", "QThread", "QThreadPool"}) {
        bool covered = false;
        runOn(kind, [&] { covered = hasOwnSignalStack(); });
        if (!covered) {
            std::fprintf(stderr, "no alternate signal stack on a %s\n", qPrintable(kind));
            ++failures;
        }
    }
    if (!pthreadExitGivesItsResult()) {
        std::fprintf(stderr, "pthread_exit lost its result\n");
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "thread-stacks")
        return checkThreadStacks();

    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    CrashReporter::installHandlers();
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
        runOn(args.value(2), [] { overflow(0, 100000000); });
    else if (mode == "raise")
        ::raise(args.value(2).toInt());
    return 3;
}
