#include "crash/AlternateSignalStack.h"

#include <QFile>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

// Each case runs on a fresh thread. This test program does not have the program's own thread
// start, so a thread begins with what the C library or a sanitizer gives it.
namespace {

stack_t currentStack() {
    stack_t current{};
    EXPECT_EQ(::sigaltstack(nullptr, &current), 0);
    return current;
}

void expectSameStack(const stack_t& actual, const stack_t& expected) {
    EXPECT_EQ(actual.ss_flags, expected.ss_flags);
    if (!(expected.ss_flags & SS_DISABLE)) {
        EXPECT_EQ(actual.ss_sp, expected.ss_sp);
        EXPECT_EQ(actual.ss_size, expected.ss_size);
    }
}

// The permissions of the mapping that ends where `address` starts, such as "---p".
QByteArray permissionsOfMappingBelow(const void* address) {
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QByteArray end = QByteArray::number(quintptr(address), 16);
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 1 && fields.at(0).split('-').value(1) == end)
            return fields.at(1);
    }
    return {};
}

TEST(AlternateSignalStackTest, TheThreadHasItWithAGuardBelowUntilWhatWasThereComesBack) {
    std::thread([] {
        const stack_t before = currentStack();
        {
            const AlternateSignalStack stack;
            const stack_t during = currentStack();
            EXPECT_FALSE(during.ss_flags & SS_DISABLE);
            EXPECT_EQ(during.ss_size, AlternateSignalStack::size);
            EXPECT_EQ(permissionsOfMappingBelow(during.ss_sp), "---p");
        }
        expectSameStack(currentStack(), before);

        // A stack the thread installed in the meantime is its own and stays.
        std::vector<char> own(AlternateSignalStack::size);
        stack_t installed{};
        installed.ss_sp = own.data();
        installed.ss_size = own.size();
        {
            const AlternateSignalStack stack;
            ASSERT_EQ(::sigaltstack(&installed, nullptr), 0);
        }
        expectSameStack(currentStack(), installed);
        ::sigaltstack(&before, nullptr);
    }).join();
}

} // namespace
