#include "crash/AlternateSignalStack.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

std::size_t guardSize() {
    return std::size_t(::sysconf(_SC_PAGESIZE));
}

} // namespace

AlternateSignalStack::AlternateSignalStack() {
    const std::size_t guard = guardSize();
    void* mapping = ::mmap(nullptr, guard + size, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(mapping) + guard; // stacks grow down, onto the guard
    stack.ss_size = size;
    if (::mprotect(mapping, guard, PROT_NONE) != 0 || ::sigaltstack(&stack, &m_previous) != 0) {
        ::munmap(mapping, guard + size);
        return;
    }
    m_mapping = mapping;
}

AlternateSignalStack::~AlternateSignalStack() {
    if (!m_mapping)
        return;
    const std::size_t guard = guardSize();
    stack_t current{};
    if (::sigaltstack(nullptr, &current) == 0 &&
        current.ss_sp == static_cast<char*>(m_mapping) + guard &&
        ::sigaltstack(&m_previous, nullptr) != 0)
        return; // refused while a handler runs on it: the memory is still in use
    ::munmap(m_mapping, guard + size);
}
