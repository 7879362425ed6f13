#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class Settings;

// One entry of the support conversation, oldest first in the store.
struct ArchivedMessage {
    // The service's id (positive) for its messages; for the user's own replies, minus the
    // whole seconds since 1970 at the time of sending.
    qint64 id = 0;
    QString body;
    QDateTime date;
    bool mine = false;

    bool operator==(const ArchivedMessage&) const = default;
};

// A service message received but not yet shown to the user.
struct PendingMessage {
    qint64 id = 0;
    QString body;

    bool operator==(const PendingMessage&) const = default;
};

// The application's connection to the maker's support service: the device identifier, the
// periodic check for the ticket state and a message addressed to this device, the local
// history of the conversation, and problem reports (a reply is sent as a problem report).
//
// Lives on the GUI thread. The network waits run on Qt's network thread; answers are applied,
// and completion callbacks called, back on the GUI thread. Nothing is shown to the user here.
class ServiceClient : public QObject {
    Q_OBJECT
public:
    static constexpr int historyLimit = 50;
    static constexpr std::chrono::milliseconds defaultCheckTimeout{8000};
    static constexpr std::chrono::milliseconds defaultReportTimeout{10000};

    // Message times and the history take "now" from `now`.
    // The device's id, the history and the shown messages live in `settings`.
    ServiceClient(Settings& settings, Clock now, QObject* parent = nullptr);

    // "VSPDeviceId"; created (a random upper-case UUID) and stored when absent or empty.
    QString deviceId() const;

    // The conversation, newest first.
    QList<ArchivedMessage> messageHistory() const;
    // Adds a service message unless an entry with its id is already there.
    void archive(qint64 id, const QString& body);
    // Adds the user's own reply; two replies within one second share an id and both stay.
    void archiveOwn(const QString& text);
    // Moves the pending message into the history and the list of shown ids.
    void markMessageShown();
    // The same for `message`, which the user saw; it stops being pending only if it still is,
    // so that a newer message that came while it was on screen waits for its own turn.
    void markMessageShown(const PendingMessage& message);

    // One exchange with the service; `done` runs on the GUI thread when it has ended, whether
    // or not anything changed. A failed exchange changes nothing.
    void checkWithServer(std::function<void()> done = {});
    // Sends a problem report (or a reply); `done` receives true only when the service
    // confirmed receipt. An empty e-mail is left out of the report.
    void reportProblem(const QString& text, const std::optional<QString>& email,
                       std::function<void(bool)> done);

    const std::optional<PendingMessage>& pendingMessage() const { return m_pendingMessage; }
    // The ticket's state as the service last reported it; "open" means an open conversation.
    QString ticketState() const { return m_ticketState; }

    // Tests shorten the waits.
    void setTimeouts(std::chrono::milliseconds check, std::chrono::milliseconds report);

private:
    void applyCheckAnswer(const QByteArray& body);

    std::optional<PendingMessage> m_pendingMessage;
    QString m_ticketState = QStringLiteral("none");
    std::chrono::milliseconds m_checkTimeout = defaultCheckTimeout;
    std::chrono::milliseconds m_reportTimeout = defaultReportTimeout;
    Settings& m_settings;
    Clock m_now;
};
