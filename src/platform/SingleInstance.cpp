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
            if (askOnSocket(primary, request))
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

bool SingleInstance::askOnSocket(QLocalSocket& primary, const OpenRequest& request) {
    primary.write(request.text().toUtf8() + '\n');
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
        const QByteArray line = client->readLine(longestLine);
        const bool whole = line.endsWith('\n');
        if (whole)
            client->write(taken);
        client->disconnectFromServer();
        if (whole)
            take(QString::fromUtf8(line.chopped(1)));
    });
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
