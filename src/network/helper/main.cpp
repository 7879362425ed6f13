// vesperin-network: one exchange with the network for the application, which starts it. It reads
// one request on its standard input (NetworkMessages), carries it out and writes one answer on
// its standard output. It exits with 0 when it wrote the answer and with 2 when the request was
// out of form; the application treats anything else as a helper that failed.
#include "network/Logging.h"
#include "network/helper/HelperExchange.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The whole of the standard input, or absent past the cap or on a read error.
std::optional<QByteArray> readRequest() {
    QByteArray text;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count == 0)
            return text;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 || text.size() + count > NetworkMessages::maxRequestBytes)
            return std::nullopt;
        text.append(buffer, count);
    }
}

bool writeAnswer(const QByteArray& text) {
    for (qsizetype written = 0; written < text.size();) {
        const ssize_t count =
            ::write(STDOUT_FILENO, text.constData() + written, size_t(text.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // An application that went away closes the pipe; the write then fails instead of killing.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vesperin");
    QCoreApplication::setApplicationVersion(VESPERIN_VERSION);
    const auto text = readRequest();
    const auto request = text ? NetworkMessages::decodeRequest(*text) : std::nullopt;
    if (!request) {
        qCCritical(lcNetwork, "vesperin-network: the request on the standard input is out of form");
        return 2;
    }
    HelperExchange exchange(*request);
    QObject::connect(
        &exchange, &HelperExchange::finished, &app,
        [](const NetworkAnswer& answer) {
            QCoreApplication::exit(writeAnswer(NetworkMessages::encode(answer)) ? 0 : 1);
        },
        Qt::QueuedConnection);
    exchange.start();
    return app.exec();
}
