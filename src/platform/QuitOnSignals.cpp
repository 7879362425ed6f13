#include "platform/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeFds[2] = {-1, -1};
bool quitReceived = false;

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFds[0], &byte, 1);
}

} // namespace

namespace QuitOnSignals {

void install(std::initializer_list<int> signals) {
    if (wakeFds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        [[maybe_unused]] const ssize_t ignored = ::read(wakeFds[1], &byte, 1);
        quitReceived = true;
        // exit(), not quit(): quit() first asks every window to close, which an open modal
        // alert refuses and which the main window would take as a switch of display mode.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : signals)
        ::sigaction(signal, &action, nullptr);
}

bool received() {
    return quitReceived;
}

} // namespace QuitOnSignals
