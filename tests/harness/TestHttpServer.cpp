#include "harness/TestHttpServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <algorithm>

namespace {

bool everyExchangeEnded() {
    const auto replies = QCoreApplication::instance()->findChildren<QNetworkReply*>();
    return std::ranges::all_of(replies, &QNetworkReply::isFinished);
}

} // namespace

QJsonObject RecordedRequest::json() const {
    return QJsonDocument::fromJson(body).object();
}

TestHttpServer::TestHttpServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

TestHttpServer::~TestHttpServer() {
    m_server.close();
    // A hanging or cut-off answer would otherwise keep its exchange running until it times out.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        socket->abort();
    waitUntil(everyExchangeEnded, 5000);
    // Qt's network thread deletes its side of a finished exchange a moment later, through
    // queued calls that are dropped if the thread stops first.
    QTest::qWait(100);
}

QUrl TestHttpServer::url() const {
    return QUrl(QString("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void TestHttpServer::answer(int status, const QByteArray& body) {
    m_scripts.append(Script{Script::Answer, status, body, {}});
}

void TestHttpServer::redirect(const QByteArray& location) {
    m_scripts.append(Script{Script::Answer, 302, {}, location});
}

void TestHttpServer::hang() {
    m_scripts.append(Script{Script::Hang, 200, {}, {}});
}

void TestHttpServer::answerCutOff(int status, const QByteArray& body) {
    m_scripts.append(Script{Script::CutOff, status, body, {}});
}

// One request per connection: every answer closes it.
void TestHttpServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    static const QRegularExpression contentLength("content-length:\\s*(\\d+)",
                                                  QRegularExpression::CaseInsensitiveOption);
    const QByteArray header = buffer.left(headerEnd);
    const qsizetype length =
        contentLength.match(QString::fromLatin1(header)).captured(1).toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return;
    const QList<QByteArray> requestLine = header.left(header.indexOf('\r')).split(' ');
    m_requests.append(
        {requestLine.value(0), requestLine.value(1), buffer.mid(headerEnd + 4, length)});
    buffer.clear();
    respond(socket);
}

void TestHttpServer::respond(QTcpSocket* socket) {
    const Script script = m_scripts.isEmpty() ? Script{} : m_scripts.takeFirst();
    if (script.kind == Script::Hang)
        return;
    const QByteArray reason = script.status == 200 ? "OK" : "Scripted";
    const qsizetype promised = script.body.size() + (script.kind == Script::CutOff ? 100 : 0);
    const QByteArray location =
        script.location.isEmpty() ? QByteArray() : "Location: " + script.location + "\r\n";
    socket->write("HTTP/1.1 " + QByteArray::number(script.status) + " " + reason + "\r\n" +
                  "Content-Type: application/json\r\n" + location +
                  "Content-Length: " + QByteArray::number(promised) + "\r\n" +
                  "Connection: close\r\n\r\n" + script.body);
    if (script.kind == Script::Answer)
        socket->disconnectFromHost();
}

bool waitUntil(const std::function<bool()>& condition, int limitMs) {
    const QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

QUrl refusingUrl() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QString("http://127.0.0.1:%1").arg(port));
}
