// The crash-time half of CrashReporter. Everything here may run in signal context or with
// a broken heap, so the handlers only use what installHandlers() prepared (paths, buffers,
// alternate stacks) and async-signal-safe calls: open, read, write, lseek, ftruncate,
// fsync, close, rename, unlink, backtrace, backtrace_symbols_fd, sigaction, raise.
#include "crash/AlternateSignalStack.h"
#include "crash/CrashReporter.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <iterator>
#include <pthread.h>
#include <typeinfo>
#include <unistd.h>

namespace {

constexpr int capturedSignals[] = {SIGABRT, SIGSEGV, SIGILL, SIGBUS, SIGFPE, SIGTRAP};
// The writer and the handler that called it sit on top of every captured stack.
constexpr int captureFrames = 2;
// Room for frames that something between us and the C library (a sanitizer's interceptor
// of backtrace()) adds on top of those.
constexpr int maxInterposedFrames = 4;

// A C string of fixed capacity; what does not fit is cut off.
class FixedText {
public:
    FixedText(char* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) {
        m_buffer[0] = '\0';
    }

    FixedText& append(const char* text) {
        for (; *text != '\0' && m_size + 1 < m_capacity; ++text)
            m_buffer[m_size++] = *text;
        m_buffer[m_size] = '\0';
        return *this;
    }

    // The message is one line: line breaks inside an exception's text become spaces.
    FixedText& appendOneLine(const char* text) {
        const size_t start = m_size;
        append(text);
        for (size_t i = start; i < m_size; ++i) {
            if (m_buffer[i] == '\n' || m_buffer[i] == '\r')
                m_buffer[i] = ' ';
        }
        return *this;
    }

    FixedText& appendNumber(unsigned number) {
        char digits[12] = {};
        size_t first = sizeof digits - 1; // the last byte stays the terminating zero
        do {
            digits[--first] = char('0' + number % 10);
            number /= 10;
        } while (number != 0);
        return append(digits + first);
    }

private:
    char* m_buffer;
    size_t m_capacity;
    size_t m_size = 0;
};

struct CaptureState {
    char target[4096] = {};
    char temporary[4160] = {};
    char message[2048] = {};
    // The first crash is recorded; a crash while recording just ends the process.
    std::atomic_flag capturing = ATOMIC_FLAG_INIT;
    // The frames above the crash site: the writer, the handler and any interposed ones.
    int skippedFrames = captureFrames;
    // The signal stack of the thread that installed the handlers, kept for the process's life.
    AlternateSignalStack* installerStack = nullptr;
};
CaptureState state;

size_t textLength(const char* text) {
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

// backtrace_symbols_fd() ends every line with a line feed and says nothing when a write
// fails. A last byte other than a line feed means the stack was cut off; otherwise that line
// feed is removed, since the stack text ends with its last line.
bool dropFinalLineFeed(int fd) {
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    char last = '\0';
    return end > 0 && ::lseek(fd, end - 1, SEEK_SET) == end - 1 && ::read(fd, &last, 1) == 1 &&
           last == '\n' && ::ftruncate(fd, end - 1) == 0;
}

// Writes message, separator and stack to a temporary file and renames it over the pending
// file, so that a reader finds the previous crash or this one, never half of one.
[[gnu::noinline]] void persist(const char* message) {
    const int fd = ::open(state.temporary, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    bool complete = writeAll(fd, message, textLength(message)) &&
                    writeAll(fd, CrashReporter::separator, textLength(CrashReporter::separator));
    void* frames[CrashReporter::maxStackLines + captureFrames + maxInterposedFrames];
    const int count = ::backtrace(frames, CrashReporter::maxStackLines + state.skippedFrames);
    if (complete && count > state.skippedFrames) {
        ::backtrace_symbols_fd(frames + state.skippedFrames, count - state.skippedFrames, fd);
        complete = dropFinalLineFeed(fd);
    }
    complete = ::fsync(fd) == 0 && complete;
    complete = ::close(fd) == 0 && complete;
    if (!complete || ::rename(state.temporary, state.target) != 0)
        ::unlink(state.temporary);
}

void restoreDefaultAction(int signal) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(signal, &standard, nullptr);
}

[[noreturn]] void endBy(int signal) {
    restoreDefaultAction(signal);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    ::raise(signal);
    ::_exit(128 + signal); // not reached: each captured signal ends the process by default
}

void handleSignal(int signal) {
    if (!state.capturing.test_and_set()) {
        FixedText(state.message, sizeof state.message)
            .append("Signal ")
            .appendNumber(unsigned(signal));
        persist(state.message);
    }
    endBy(signal);
}

// "Exception: <type> : <what()>"; the text after " : " is empty for exceptions that are not
// std::exception.
void describeCurrentException(const std::type_info& type) {
    int status = -1;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    FixedText message(state.message, sizeof state.message);
    message.append("Exception: ").append(status == 0 && readable ? readable : type.name());
    message.append(" : ");
    std::free(readable);
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const std::exception& exception) {
        message.appendOneLine(exception.what());
    } catch (...) {
    }
}

[[noreturn]] void handleTerminate() {
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type && !state.capturing.test_and_set()) {
        describeCurrentException(*type);
        persist(state.message);
    }
    // With the exception recorded, the abort handler finds the capture taken and only ends
    // the process: the exception's record is the one kept.
    std::abort();
}

// How many frames backtrace() reports above the function that called it: none from the C
// library itself, more when a sanitizer intercepts the call.
[[gnu::noinline]] int interposedFrames() {
    void* frames[2 + maxInterposedFrames];
    const int count = ::backtrace(frames, int(std::size(frames)));
    void* const caller = __builtin_return_address(0);
    for (int i = 1; i < count; ++i) {
        if (frames[i] == caller)
            return i - 1;
    }
    return 0;
}

bool copyPath(const QByteArray& path, char* buffer, size_t capacity) {
    if (size_t(path.size()) >= capacity)
        return false;
    FixedText(buffer, capacity).append(path.constData());
    return true;
}

} // namespace

namespace CrashReporter {

void installHandlers() {
    const QByteArray target = QFile::encodeName(crashFile());
    const QByteArray temporary = target + ".tmp-" + QByteArray::number(::getpid());
    if (!copyPath(target, state.target, sizeof state.target) ||
        !copyPath(temporary, state.temporary, sizeof state.temporary))
        return; // a path this long cannot be written at crash time

    // The first backtrace() loads the unwinder, which allocates: do it now, not in a handler.
    state.skippedFrames = captureFrames + interposedFrames();

    // A stack overflow leaves no stack for the handler; give it one of its own. This thread
    // keeps it for the life of the process. Threads started later get theirs as they start
    // (ThreadSignalStacks.cpp) in the programs built with that.
    if (!state.installerStack)
        state.installerStack = new AlternateSignalStack;

    std::set_terminate(handleTerminate);
    for (int signal : capturedSignals) {
        struct sigaction action {};
        action.sa_handler = handleSignal;
        action.sa_flags = SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace CrashReporter
