#pragma once

#include "network/NetworkMessages.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

#include <functional>

// One request carried out by the network helper, a program of its own (vesperin-network) that
// loads the network and TLS libraries and ends with its exchange, so that the application,
// which reaches the network a few seconds an hour, never holds them.
//
// finished() is emitted exactly once, never before start() returns; the object then deletes
// itself. Whatever goes wrong with the helper (not found, killed, an answer out of form, no
// answer in time) arrives as an answer with a failure, as a failed exchange did. Deleting the
// object (or its owner) before that ends the helper, and nothing is reported.
class NetworkHelper : public QObject {
    Q_OBJECT
public:
    // Names another helper program; tests point it at the one they built.
    static constexpr const char* programVariable = "VESPERIN_NETWORK_HELPER";

    ~NetworkHelper() override;

    // Starts `request` in a new helper owned by `owner`; `done`, when given, receives the answer.
    static NetworkHelper* start(const NetworkRequest& request, QObject* owner,
                                std::function<void(const NetworkAnswer&)> done = {});

    // The helper program: the environment's choice, else vesperin-network beside the
    // application.
    static QString program();
    // How long an exchange may take in all before its helper is ended: the helper's own
    // time-out counts from the last movement, so a slow but moving answer may take longer.
    static std::chrono::milliseconds deadline(const NetworkRequest& request);

Q_SIGNALS:
    void finished(const NetworkAnswer& answer);

private:
    explicit NetworkHelper(QObject* owner);
    void run(const NetworkRequest& request);
    void readAnswer();
    void end(const NetworkAnswer& answer);

    NetworkRequest m_request;
    QProcess m_process;
    QTimer m_deadline;
    QByteArray m_answer;
    bool m_ended = false;
};
