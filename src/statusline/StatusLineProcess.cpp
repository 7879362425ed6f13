#include "statusline/StatusLineProcess.h"

#include "settings/Preferences.h"
#include "statusline/Logging.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only the reading end of a pipe or socket can go away under a writer; a terminal or a file
// stays, and a terminal may even become readable when someone types.
bool canBeClosedByReader(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
}

bool readerGone(int fd) {
    pollfd watched{fd, 0, 0};
    return poll(&watched, 1, 0) == 1 && (watched.revents & (POLLERR | POLLHUP | POLLNVAL));
}

} // namespace

StatusLineProcess::StatusLineProcess(StatusLineFormat::Format format, int inputFd, int outputFd,
                                     Opener open, QObject* parent)
    : QObject(parent), m_format(format), m_inputFd(inputFd), m_outputFd(outputFd),
      m_open(std::move(open)), m_watcher(Preferences::folder()),
      m_settings(Preferences::standard()), m_layout(m_settings),
      m_line(format, m_settings, m_layout, m_events,
             [this](const QByteArray& bytes) { return write(bytes); }),
      m_clicks([this](const ClickEvent& click) {
          const QStringList arguments = click.openArguments();
          if (!arguments.isEmpty())
              m_open(arguments);
      }) {
    connect(&m_line, &StatusLine::outputClosed, this, &StatusLineProcess::outputGone);
}

StatusLineProcess::~StatusLineProcess() = default;

void StatusLineProcess::start() {
    watchOutput();
    if (m_format == StatusLineFormat::Format::i3bar) {
        fcntl(m_inputFd, F_SETFL, fcntl(m_inputFd, F_GETFL) | O_NONBLOCK);
        m_input = new QSocketNotifier(m_inputFd, QSocketNotifier::Read, this);
        connect(m_input, &QSocketNotifier::activated, this, &StatusLineProcess::readInput);
    }
    m_line.start();
}

// A pipe whose reader closed reports an error to poll(), which Qt's event loop hands to a read
// notifier: the process learns of it at once, not at its next write a minute later.
void StatusLineProcess::watchOutput() {
    if (!canBeClosedByReader(m_outputFd))
        return;
    m_outputGone = new QSocketNotifier(m_outputFd, QSocketNotifier::Read, this);
    connect(m_outputGone, &QSocketNotifier::activated, this, [this] {
        if (!readerGone(m_outputFd))
            return;
        m_outputGone->setEnabled(false);
        outputGone();
    });
}

// A failed write and the reader's end may both tell: the first one counts.
void StatusLineProcess::outputGone() {
    if (!std::exchange(m_finished, true))
        Q_EMIT finished();
}

bool StatusLineProcess::write(const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step =
            ::write(m_outputFd, bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0 && errno == EAGAIN) {
            pollfd writable{m_outputFd, POLLOUT, 0};
            poll(&writable, 1, 1000);
            continue;
        }
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

void StatusLineProcess::readInput() {
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(m_inputFd, buffer, sizeof buffer);
        if (count > 0) {
            m_clicks.feed(QByteArray(buffer, count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0) {
            // The bar no longer sends clicks; the line goes on.
            qCDebug(lcStatusLine) << "Standard input closed";
            m_input->setEnabled(false);
        }
        return;
    }
}
