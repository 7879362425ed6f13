#pragma once

#include <csignal>
#include <cstddef>

// An alternate signal stack for the thread that creates the object, so that a handler
// installed with SA_ONSTACK (the crash handlers) still has room to run when the thread's own
// stack has overflowed. The memory has an inaccessible page below it: a handler that runs out
// of room faults instead of writing over whatever is mapped next to it.
//
// The destructor, which must run on the same thread, puts back the alternate stack the thread
// had before (none, or a sanitizer's, which the sanitizer unmaps itself when the thread ends)
// and frees the memory. A stack that the thread installed in the meantime is left in place.
class AlternateSignalStack {
public:
    static constexpr std::size_t size = 64 * 1024;

    // Without memory for it the thread keeps what it had.
    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

private:
    void* m_mapping = nullptr;
    stack_t m_previous{};
};
