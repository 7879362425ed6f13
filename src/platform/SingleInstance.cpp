#include "platform/SingleInstance.h"

#include "platform/Logging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {

// A later start sends its request's line on the socket; the primary answers this once it took
// it.
const QByteArray taken = "ok\n";
constexpr qint64 longestLine = OpenRequest::maxLength + 1;

// The object the primary exports on the bus.
class ReopenAdaptor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public Q_SLOTS:
    void Reopen() { Q_EMIT requested(OpenRequest().text()); }
    void Open(const QString& request) {
        Q_EMIT requested(request.left(OpenRequest::maxLength + 1));
    }

Q_SIGNALS:
    void requested(const QString& request);
};

// A descriptor, closed when its holder goes. Closing keeps errno, so that a failure's cause
// outlives the descriptor it came from.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Fd() {
        if (m_fd < 0)
            return;
        const int error = errno;
        ::close(m_fd);
        errno = error;
    }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

using Take = std::function<void(const QString& line)>;

Fd localSocket() {
    return Fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

// Absent when the path does not fit a socket's address.
std::optional<sockaddr_un> socketAddress(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

const sockaddr* asAddress(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

// 0 once `socket` is connected, else why not. A primary whose queue of connections is full
// turns a start away (EAGAIN) rather than keep it waiting: it is asked again until the answer
// time is up.
int connectTo(int socket, const sockaddr_un& address) {
    const QDeadlineTimer deadline(SingleInstance::answerMs);
    while (::connect(socket, asAddress(address), sizeof address) != 0) {
        if (errno != EAGAIN || deadline.hasExpired())
            return errno;
        QThread::msleep(10);
    }
    return 0;
}

// None (and errno says why) when it cannot be made.
Fd listenOn(const sockaddr_un& address) {
    Fd socket = localSocket();
    // Only this user may connect, whatever the umask and the folder: the file bind() makes
    // takes the socket's mode.
    if (!socket || ::fchmod(socket.get(), S_IRUSR | S_IWUSR) != 0 ||
        ::bind(socket.get(), asAddress(address), sizeof address) != 0)
        return Fd();
    if (::listen(socket.get(), SOMAXCONN) == 0)
        return socket;
    const int error = errno;
    ::unlink(address.sun_path);
    errno = error;
    return Fd();
}

enum class Step { listening, connected, busy };

// What one start found: a connection to the primary, or the socket it now listens on (none
// when it cannot listen).
struct Decision {
    Step step;
    Fd socket;
};

Decision listenOrConnect(const QString& path, const sockaddr_un& address) {
    // Without the lock, two starts could both find no primary (or both remove a stale
    // socket, the second removing the first's new one) and both listen.
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(SingleInstance::answerMs)) {
        qCDebug(lcPlatform) << "Cannot take" << path + ".lock" << lock.error();
        return {Step::busy, Fd()};
    }
    Fd primary = localSocket();
    const int failure = primary ? connectTo(primary.get(), address) : errno;
    if (failure == 0)
        return {Step::connected, std::move(primary)};
    if (failure == EAGAIN) {
        qCDebug(lcPlatform) << "The primary on" << path << "takes no more connections";
        return {Step::busy, Fd()};
    }
    // A socket that refuses connections is what a primary that crashed left behind.
    if (failure == ECONNREFUSED)
        ::unlink(address.sun_path);
    Fd listening = listenOn(address);
    if (!listening)
        qCWarning(lcPlatform) << "Cannot listen on" << path << qt_error_string(errno)
                              << "- a second start will not find this one";
    return {Step::listening, std::move(listening)};
}

// Sends `line` to the primary and waits, answerMs in all, for its answer.
bool askOnSocket(int primary, const QByteArray& line) {
    const QDeadlineTimer deadline(SingleInstance::answerMs);
    qsizetype sent = 0;
    QByteArray answer;
    for (;;) {
        if (sent < line.size()) {
            const ssize_t wrote =
                ::send(primary, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
            if (wrote >= 0)
                sent += wrote;
            else if (errno != EAGAIN && errno != EINTR)
                return false;
        }
        std::array<char, 64> buffer{};
        const ssize_t got = ::recv(primary, buffer.data(), buffer.size(), 0);
        if (got > 0) {
            answer.append(buffer.data(), got);
            if (const qsizetype end = answer.indexOf('\n'); end >= 0)
                return answer.first(end + 1) == taken;
            if (answer.size() >= longestLine)
                return false;
            continue;
        }
        if (got == 0 || (errno != EAGAIN && errno != EINTR))
            return false;
        pollfd ready{primary, short(POLLIN | (sent < line.size() ? POLLOUT : 0)), 0};
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            return false;
        if (const int polled = ::poll(&ready, 1, int(remaining));
            polled == 0 || (polled < 0 && errno != EINTR))
            return false;
    }
}

// A later start's connection on the primary's side, until its line is whole. A start that
// never finishes its line, or sends more than any line, is let go unanswered.
class Client : public QObject {
public:
    Client(Fd socket, Take take, QObject* parent)
        : QObject(parent), m_socket(std::move(socket)), m_take(std::move(take)),
          m_notifier(m_socket.get(), QSocketNotifier::Read) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Client::read);
        QTimer::singleShot(SingleInstance::answerMs, this, &Client::end);
    }

private:
    void read() {
        // Never beyond one line: whatever follows it stays unread.
        const ssize_t got =
            ::read(m_socket.get(), m_line.data() + m_length, m_line.size() - size_t(m_length));
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        const auto begin = m_line.begin() + m_length;
        m_length += std::max<ssize_t>(got, 0);
        const auto end = m_line.begin() + m_length;
        const auto newline = std::find(begin, end, '\n');
        if (newline == end) {
            if (got <= 0 || m_length == longestLine)
                this->end();
            return;
        }
        ::send(m_socket.get(), taken.constData(), size_t(taken.size()), MSG_NOSIGNAL);
        const QString line = QString::fromUtf8(m_line.data(), newline - m_line.begin());
        const Take take = m_take;
        this->end();
        take(line);
    }

    void end() {
        m_notifier.setEnabled(false);
        m_socket = Fd();
        deleteLater();
    }

    Fd m_socket;
    Take m_take;
    QSocketNotifier m_notifier;
    std::array<char, longestLine> m_line{};
    qsizetype m_length = 0;
};

// The primary's listening socket. Its file goes with it, and before the socket closes: a start
// that found the socket closed would take the file for a crashed primary's and replace it,
// and this one would then remove the new primary's file.
class Listener : public QObject {
public:
    Listener(Fd socket, QByteArray path, Take take, QObject* parent)
        : QObject(parent), m_socket(std::move(socket)), m_path(std::move(path)),
          m_take(std::move(take)), m_notifier(m_socket.get(), QSocketNotifier::Read) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Listener::acceptAll);
    }
    ~Listener() override { ::unlink(m_path.constData()); }

private:
    void acceptAll() {
        for (;;) {
            Fd client(::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (client) {
                new Client(std::move(client), m_take, this);
                continue;
            }
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN)
                return;
            // Out of descriptors, for one: the start stays queued and the socket readable, so
            // looking again at once would only spin.
            qCWarning(lcPlatform) << "Cannot take a later start:" << qt_error_string(errno);
            m_notifier.setEnabled(false);
            QTimer::singleShot(SingleInstance::answerMs, this,
                               [this] { m_notifier.setEnabled(true); });
            return;
        }
    }

    Fd m_socket;
    QByteArray m_path;
    Take m_take;
    QSocketNotifier m_notifier;
};

} // namespace

SingleInstance::SingleInstance(const QString& name, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_name(name), m_bus(bus) {}

SingleInstance::Claim SingleInstance::claim(const OpenRequest& request) {
    std::optional<Claim> claimed;
    if (m_bus.isConnected())
        claimed = claimOnBus(request);
    if (!claimed)
        claimed = claimOnSocket(request);
    if (claimed == Claim::unanswered)
        qCWarning(lcPlatform) << "Another Vesperin is running but did not answer";
    return *claimed;
}

std::optional<SingleInstance::Claim> SingleInstance::claimOnBus(const OpenRequest& request) {
    // The object comes first, so that whoever finds the name finds the method. Its signal is
    // queued, so that the bus carries the reply before anything is done about the request.
    auto* adaptor = new ReopenAdaptor(this);
    connect(adaptor, &ReopenAdaptor::requested, this, &SingleInstance::take, Qt::QueuedConnection);
    if (!m_bus.registerObject(objectPath(), m_name, adaptor, QDBusConnection::ExportAllSlots))
        return std::nullopt;
    // A primary that does not answer may be quitting: one more look finds the name free then.
    for (bool asked = false;; asked = true) {
        const std::optional<bool> owned = ownBusName();
        if (!owned)
            return std::nullopt;
        if (*owned)
            return Claim::primary;
        if (asked)
            return Claim::unanswered;
        if (askOnBus(request))
            return Claim::handedOver;
    }
}

std::optional<bool> SingleInstance::ownBusName() {
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(m_name, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        qCDebug(lcPlatform) << "The session bus refused" << m_name << reply.error().message();
        return std::nullopt;
    }
    return reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

bool SingleInstance::askOnBus(const OpenRequest& request) {
    // A plain reopen keeps the method every earlier version answers.
    QDBusMessage call;
    if (request.what == OpenRequest::What::reopen) {
        call = QDBusMessage::createMethodCall(m_name, objectPath(), m_name, "Reopen");
    } else {
        call = QDBusMessage::createMethodCall(m_name, objectPath(), m_name, "Open");
        call << request.text();
    }
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, answerMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    qCDebug(lcPlatform) << "The request on the session bus failed:" << reply.errorMessage();
    return false;
}

SingleInstance::Claim SingleInstance::claimOnSocket(const OpenRequest& request) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        qCWarning(lcPlatform) << "No runtime folder: a second start will not find this one";
        return Claim::primary;
    }
    const QString path = folder + '/' + m_name;
    const std::optional<sockaddr_un> address = socketAddress(path);
    if (!address) {
        qCWarning(lcPlatform) << "The socket path" << path
                              << "is too long: a second start will not find this one";
        return Claim::primary;
    }
    // As on the bus, one more look after a primary that did not answer.
    for (bool asked = false;; asked = true) {
        Decision found = listenOrConnect(path, *address);
        switch (found.step) {
        case Step::listening:
            if (found.socket)
                new Listener(
                    std::move(found.socket), address->sun_path,
                    [this](const QString& line) { take(line); }, this);
            return Claim::primary;
        case Step::busy:
            return Claim::unanswered;
        case Step::connected:
            if (asked)
                return Claim::unanswered;
            if (askOnSocket(found.socket.get(), request.text().toUtf8() + '\n'))
                return Claim::handedOver;
        }
    }
}

void SingleInstance::take(const QString& line) {
    if (const auto request = OpenRequest::parse(line))
        Q_EMIT requested(*request);
    else
        qCWarning(lcPlatform) << "A later start asked for something unknown:" << line.left(80);
}

QString SingleInstance::objectPath() const {
    return '/' + QString(m_name).replace('.', '/');
}

#include "SingleInstance.moc"
