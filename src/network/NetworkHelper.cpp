#include "network/NetworkHelper.h"

#include "network/Logging.h"
#include "settings/Localization.h"

#include <QCoreApplication>

#include <algorithm>

using namespace std::chrono_literals;

NetworkHelper::NetworkHelper(QObject* owner) : QObject(owner) {
    m_deadline.setSingleShot(true);
    // The helper's warnings go where the application's go.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        qCWarning(lcNetwork, "The exchange with %s took too long; ended",
                  qPrintable(m_request.url.toString()));
        end(NetworkAnswer::failed(NetworkAnswer::Failure::timedOut));
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &NetworkHelper::readAnswer);
    connect(
        &m_process, &QProcess::errorOccurred, this,
        [this](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            qCWarning(lcNetwork, "The network helper %s did not start: %s", qPrintable(program()),
                      qPrintable(m_process.errorString()));
            end(NetworkAnswer::failed(NetworkAnswer::Failure::helper));
        },
        Qt::QueuedConnection); // a start that fails at once must not answer before start() returns
    connect(&m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        readAnswer();
        const auto answer = status == QProcess::NormalExit && code == 0
                                ? NetworkMessages::decodeAnswer(m_answer, m_request)
                                : std::nullopt;
        if (!answer && !m_ended)
            qCWarning(lcNetwork, "The network helper ended (%s %d) without an answer in form",
                      status == QProcess::NormalExit ? "status" : "signal", code);
        end(answer.value_or(NetworkAnswer::failed(NetworkAnswer::Failure::helper)));
    });
}

// QProcess ends a running helper as it goes; nothing is reported any more by then.
NetworkHelper::~NetworkHelper() {
    m_ended = true;
    m_process.disconnect(this);
}

NetworkHelper* NetworkHelper::start(const NetworkRequest& request, QObject* owner,
                                    std::function<void(const NetworkAnswer&)> done) {
    auto* helper = new NetworkHelper(owner);
    connect(helper, &NetworkHelper::finished, helper,
            [helper, done = std::move(done)](const NetworkAnswer& answer) {
                helper->deleteLater();
                if (done)
                    done(answer);
            });
    helper->run(request);
    return helper;
}

QString NetworkHelper::program() {
    const QString named = qEnvironmentVariable(programVariable);
    return named.isEmpty() ? QCoreApplication::applicationDirPath() + "/vesperin-network" : named;
}

std::chrono::milliseconds NetworkHelper::deadline(const NetworkRequest& request) {
    switch (request.operation) {
    case NetworkRequest::Operation::download:
        return 2h;
    case NetworkRequest::Operation::verify:
        return 2min;
    default:
        return std::max<std::chrono::milliseconds>(request.timeout * 3, 1min);
    }
}

void NetworkHelper::run(const NetworkRequest& request) {
    m_request = request;
    const QByteArray text = NetworkMessages::encode(request);
    if (text.size() > NetworkMessages::maxRequestBytes) {
        qCWarning(lcNetwork, "A request of %lld bytes was not sent", qint64(text.size()));
        QMetaObject::invokeMethod(
            this,
            [this] {
                end(NetworkAnswer::failed(NetworkAnswer::Failure::network,
                                          L("network.error.request_too_large")));
            },
            Qt::QueuedConnection);
        return;
    }
    m_deadline.start(deadline(request));
    m_process.start(program(), {});
    m_process.write(text);
    m_process.closeWriteChannel();
}

void NetworkHelper::readAnswer() {
    if (m_ended)
        return; // a helper ended for answering too much may still have more in the pipe
    m_answer += m_process.readAllStandardOutput();
    if (m_answer.size() > NetworkMessages::maxAnswerBytes(m_request)) {
        qCWarning(lcNetwork, "The network helper's answer went past %lld bytes; ended",
                  NetworkMessages::maxAnswerBytes(m_request));
        end(NetworkAnswer::failed(NetworkAnswer::Failure::helper));
    }
}

void NetworkHelper::end(const NetworkAnswer& answer) {
    if (std::exchange(m_ended, true))
        return;
    m_deadline.stop();
    m_answer.clear();
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill();
    Q_EMIT finished(answer);
}
