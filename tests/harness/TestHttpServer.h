#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

struct RecordedRequest {
    QByteArray method;
    QByteArray path;
    QByteArray body;
    QJsonObject json() const; // empty when the body is not an object
};

// A small HTTP/1.1 server on 127.0.0.1 for tests of network clients. It records every
// request and answers each with the next scripted answer (200 with "{}" when none is left).
// It runs on the test's event loop: spin it (waitUntil) while a client talks to it.
class TestHttpServer : public QObject {
    Q_OBJECT
public:
    TestHttpServer();
    // Ends every exchange with the server before the test does, and lets Qt's network thread
    // clean up after them: what is left there as the test process ends is never deleted, which
    // the leak checker reports.
    ~TestHttpServer() override;

    QUrl url() const;

    void answer(int status, const QByteArray& body);
    // The next request is sent on to `location` with a 302 status.
    void redirect(const QByteArray& location);
    // The next request gets no answer at all; its connection stays open.
    void hang();
    // The next request gets `body` under a Content-Length that promises more, and then
    // silence: the answer never completes.
    void answerCutOff(int status, const QByteArray& body);

    const QList<RecordedRequest>& requests() const { return m_requests; }

private:
    struct Script {
        enum Kind { Answer, Hang, CutOff } kind = Answer;
        int status = 200;
        QByteArray body = "{}";
        QByteArray location;
    };

    void readFrom(QTcpSocket* socket);
    void respond(QTcpSocket* socket);

    QTcpServer m_server;
    QList<Script> m_scripts;
    QList<RecordedRequest> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

// Runs the event loop until `condition` holds; false when it still does not after
// `limitMs` (a bound against hanging, not a timing assertion).
bool waitUntil(const std::function<bool()>& condition, int limitMs = 20000);

// An http address on 127.0.0.1 where nothing listens, so connections are refused.
QUrl refusingUrl();
