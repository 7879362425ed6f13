#pragma once

#include "network/NetworkMessages.h"

#include <QFile>
#include <QObject>
#include <QPointer>

class QNetworkReply;

// The network helper's one exchange: carries out a request with the network and TLS libraries
// and the release signatures, and reports what came of it.
class HelperExchange : public QObject {
    Q_OBJECT
public:
    explicit HelperExchange(const NetworkRequest& request, QObject* parent = nullptr);

    // Emits finished() once, possibly before returning.
    void start();

Q_SIGNALS:
    void finished(const NetworkAnswer& answer);

private:
    void receive();
    void downloaded();
    // The file's size and whether the request's signature signs it.
    void describeFile(NetworkAnswer& answer) const;

    const NetworkRequest m_request;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    bool m_writeFailed = false;
};
