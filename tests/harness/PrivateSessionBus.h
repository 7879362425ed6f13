#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of the test's own: a dbus-daemon that listens in a temporary folder, can
// activate nothing and lets every connection own any name. It stops with the object.
class PrivateSessionBus {
public:
    // Whether dbus-daemon is installed; tests that need a bus are skipped without it.
    static bool isAvailable();

    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // The address to connect to (DBUS_SESSION_BUS_ADDRESS); empty when the daemon did not
    // start.
    QString address() const { return m_address; }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};
