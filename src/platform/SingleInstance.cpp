#include "platform/SingleInstance.h"

#include "platform/Logging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

// What a second start sends on the socket, and what the primary answers once it took it.
const QByteArray request = "reopen\n";
const QByteArray taken = "ok\n";
constexpr qint64 longestLine = 64;

// The object the primary exports on the bus.
class ReopenAdaptor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public Q_SLOTS:
    void Reopen() { Q_EMIT requested(); }

Q_SIGNALS:
    void requested();
};

} // namespace

SingleInstance::SingleInstance(const QString& name, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_name(name), m_bus(bus) {}

SingleInstance::Claim SingleInstance::claim() {
    std::optional<Claim> claimed;
    if (m_bus.isConnected())
        claimed = claimOnBus();
    if (!claimed)
        claimed = claimOnSocket();
    if (claimed == Claim::unanswered)
        qCWarning(lcPlatform) << "Another Vesperin is running but did not answer";
    return *claimed;
}

std::optional<SingleInstance::Claim> SingleInstance::claimOnBus() {
    // The object comes first, so that whoever finds the name finds the method. Its signal is
    // queued, so that the bus carries the reply before anything is done about the request.
    auto* adaptor = new ReopenAdaptor(this);
    connect(adaptor, &ReopenAdaptor::requested, this, &SingleInstance::reopenRequested,
            Qt::QueuedConnection);
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
        if (askOnBus())
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

bool SingleInstance::askOnBus() {
    const QDBusMessage reply =
        m_bus.call(QDBusMessage::createMethodCall(m_name, objectPath(), m_name, "Reopen"),
                   QDBus::Block, answerMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    qCDebug(lcPlatform) << "Reopen on the session bus failed:" << reply.errorMessage();
    return false;
}

SingleInstance::Claim SingleInstance::claimOnSocket() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        qCWarning(lcPlatform) << "No runtime folder: a second start will not find this one";
        return Claim::primary;
    }
    const QString path = folder + '/' + m_name;
    // As on the bus, one more look after a primary that did not answer.
    for (bool asked = false;; asked = true) {
        QLocalSocket primary;
        switch (listenOrConnect(path, primary)) {
        case Step::listening:
            return Claim::primary;
        case Step::busy:
            return Claim::unanswered;
        case Step::connected:
            if (asked)
                return Claim::unanswered;
            if (askOnSocket(primary))
                return Claim::handedOver;
        }
    }
}

SingleInstance::Step SingleInstance::listenOrConnect(const QString& path, QLocalSocket& primary) {
    // Without the lock, two starts could both find no primary (or both remove a stale
    // socket, the second removing the first's new one) and both listen.
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(answerMs)) {
        qCDebug(lcPlatform) << "Cannot take" << path + ".lock" << lock.error();
        return Step::busy;
    }
    primary.connectToServer(path);
    if (primary.waitForConnected(answerMs))
        return Step::connected;
    // A socket that refuses connections is what a primary that crashed left behind.
    if (primary.error() == QLocalSocket::ConnectionRefusedError)
        QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection())
            answer(client);
    });
    if (!m_server->listen(path))
        qCWarning(lcPlatform) << "Cannot listen on" << path << m_server->errorString()
                              << "- a second start will not find this one";
    return Step::listening;
}

bool SingleInstance::askOnSocket(QLocalSocket& primary) {
    primary.write(request);
    primary.flush();
    const QDeadlineTimer deadline(answerMs);
    while (!primary.canReadLine()) {
        if (!primary.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return primary.readLine(longestLine) == taken;
}

void SingleInstance::answer(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    // A client that never finishes its line is let go.
    QTimer::singleShot(answerMs, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->canReadLine() && client->bytesAvailable() < longestLine)
            return;
        const bool reopen = client->readLine(longestLine) == request;
        if (reopen)
            client->write(taken);
        client->disconnectFromServer();
        if (reopen)
            Q_EMIT reopenRequested();
    });
}

QString SingleInstance::objectPath() const {
    return '/' + QString(m_name).replace('.', '/');
}

#include "SingleInstance.moc"
