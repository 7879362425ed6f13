#include "network/helper/HelperExchange.h"

#include "network/Logging.h"
#include "network/helper/NetworkTransport.h"
#include "network/helper/UpdateSignature.h"

#include <QFileInfo>
#include <QNetworkReply>

HelperExchange::HelperExchange(const NetworkRequest& request, QObject* parent)
    : QObject(parent), m_request(request), m_file(request.path) {}

void HelperExchange::start() {
    using Operation = NetworkRequest::Operation;
    switch (m_request.operation) {
    case Operation::verify: {
        NetworkAnswer answer;
        describeFile(answer);
        Q_EMIT finished(answer);
        return;
    }
    case Operation::download:
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            Q_EMIT finished(
                NetworkAnswer::failed(NetworkAnswer::Failure::cannotWrite, m_file.errorString()));
            return;
        }
        m_reply = NetworkTransport::get(m_request.url, m_request.timeout, m_request.limit);
        connect(m_reply, &QNetworkReply::readyRead, this, &HelperExchange::receive);
        connect(m_reply, &QNetworkReply::finished, this, &HelperExchange::downloaded);
        return;
    case Operation::post:
        m_reply = NetworkTransport::post(m_request.url, m_request.body, m_request.timeout,
                                         m_request.limit);
        break;
    case Operation::get:
        m_reply = NetworkTransport::get(m_request.url, m_request.timeout, m_request.limit);
        break;
    }
    connect(m_reply, &QNetworkReply::finished, this,
            [this] { Q_EMIT finished(NetworkTransport::answerOf(*m_reply, m_request.limit)); });
}

void HelperExchange::receive() {
    const QByteArray chunk = m_reply->readAll();
    if (!m_writeFailed && m_file.write(chunk) != chunk.size()) {
        qCWarning(lcNetwork, "Cannot write %s: %s", qPrintable(m_file.fileName()),
                  qPrintable(m_file.errorString()));
        m_writeFailed = true;
        m_reply->abort();
    }
}

void HelperExchange::downloaded() {
    receive();
    if (m_writeFailed || !m_file.flush()) {
        Q_EMIT finished(
            NetworkAnswer::failed(NetworkAnswer::Failure::cannotWrite, m_file.errorString()));
        return;
    }
    m_file.close();
    NetworkAnswer answer = NetworkTransport::answerOf(*m_reply, std::nullopt);
    if (answer.failure == NetworkAnswer::Failure::none)
        describeFile(answer);
    Q_EMIT finished(answer);
}

void HelperExchange::describeFile(NetworkAnswer& answer) const {
    const QFileInfo file(m_request.path);
    answer.size = file.exists() ? file.size() : -1;
    answer.signatureValid =
        UpdateSignature::verifyFile(m_request.path, m_request.signature, m_request.publicKey);
}
