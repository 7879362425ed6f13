#pragma once

#include "platform/OpenRequest.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

// Keeps the application to one process per user: the first start becomes the primary and
// listens; a later start hands its request to it and ends: a reopen (the desktop's way of
// clicking the Dock icon of a running application), or what `vesperin --open=...` asks. The
// two meet on the session bus when `bus` is connected: the primary owns `name` there and
// exports the methods Reopen and Open(request) on the object path made of the name
// ("/com/orvennalabs/Vesperin"). Without a bus they meet on a local socket
// named `name` in the runtime folder ($XDG_RUNTIME_DIR, else Qt's private folder of the user
// in the temporary folder); a socket left by a primary that crashed is removed, and a lock
// file beside it lets only one start at a time decide between listening and connecting.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        // This process is the primary and listens; also when there is no way to meet at all
        // (no runtime folder, a socket that cannot be made), so that the application runs.
        primary,
        // The primary took the request: this process has nothing more to do.
        handedOver,
        // Another process holds the name or the socket but did not take the request in time.
        unanswered,
    };

    // How long a start waits for the primary's answer (or for another start's decision).
    static constexpr int answerMs = 5000;

    SingleInstance(const QString& name, const QDBusConnection& bus, QObject* parent = nullptr);

    // Decides, once, before the event loop runs. Requests reach the primary through its event
    // loop; each is answered before requested() is emitted, so a second start never waits
    // for what the primary does with it.
    Claim claim(const OpenRequest& request = {});

Q_SIGNALS:
    // A later start's request; one that cannot be read is answered and dropped.
    void requested(const OpenRequest& request);

private:
    // Absent when the bus will not let this process own the name at all.
    std::optional<Claim> claimOnBus(const OpenRequest& request);
    // Whether this process now owns the name; absent when the bus refused the request.
    std::optional<bool> ownBusName();
    bool askOnBus(const OpenRequest& request);
    Claim claimOnSocket(const OpenRequest& request);
    QString objectPath() const;
    void take(const QString& line);

    QString m_name;
    QDBusConnection m_bus;
};
