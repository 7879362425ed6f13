// Gives every thread the program starts an alternate signal stack of its own, so that the
// crash handlers record a stack overflow on any thread, whichever library started it: Qt (the
// HTTP thread, the host lookup pool, the X event reader, QThread), glib and D-Bus workers,
// std::thread.
//
// The program defines pthread_create. The executable comes first in the dynamic linker's
// search order, so every library's call to it lands here (unversioned, the definition also
// answers the libraries' versioned references). The call is passed on to the next definition
// with a trampoline as the thread's function, which installs the stack and removes it when the
// thread's function returns, or when pthread_exit or a cancellation unwinds through it.
// Threads started before the crash handlers are installed get one too: an alternate stack
// changes nothing for handlers that do not ask for it.
//
// Compiled into executables only (an object library), never into a library.
#include "crash/AlternateSignalStack.h"

#include <cerrno>
#include <dlfcn.h>
#include <new>
#include <pthread.h>

using ThreadStarter = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

// A sanitizer's interceptor, which must see every thread start. Its runtime may be linked into
// the executable (clang's default), where this definition replaces the interceptor's weak
// pthread_create and the next definition would be the C library's; or it is a library loaded
// first (gcc's), and this is the same function as the next definition. Absent without one.
extern "C" int __interceptor_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*),
                                            void*) __attribute__((weak));

namespace {

ThreadStarter nextStarter() {
    static const ThreadStarter next =
        __interceptor_pthread_create
            ? __interceptor_pthread_create
            : reinterpret_cast<ThreadStarter>(::dlsym(RTLD_NEXT, "pthread_create"));
    return next;
}

struct ThreadStart {
    void* (*function)(void*);
    void* argument;
};

void* runWithSignalStack(void* data) {
    const ThreadStart start = *static_cast<ThreadStart*>(data);
    delete static_cast<ThreadStart*>(data);
    const AlternateSignalStack stack;
    return start.function(start.argument);
}

} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*function)(void*), void* argument) noexcept {
    const ThreadStarter next = nextStarter();
    ThreadStart* start = next ? new (std::nothrow) ThreadStart{function, argument} : nullptr;
    if (!start)
        return EAGAIN; // what pthread_create answers when resources are short
    const int result = next(thread, attributes, runWithSignalStack, start);
    if (result != 0)
        delete start;
    return result;
}
