#include "harness/PrivateSessionBus.h"

#include "harness/TestProfile.h"

#include <QStandardPaths>

namespace {

QString daemonProgram() {
    return QStandardPaths::findExecutable("dbus-daemon");
}

} // namespace

bool PrivateSessionBus::isAvailable() {
    return !daemonProgram().isEmpty();
}

PrivateSessionBus::PrivateSessionBus() {
    if (!isAvailable())
        return;
    const QString config = m_folder.path() + "/bus.conf";
    writeFile(config, "<busconfig><type>session</type><listen>unix:tmpdir=" +
                          QFile::encodeName(m_folder.path()) +
                          "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                          "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                          "<allow own=\"*\"/></policy></busconfig>");
    m_daemon.start(daemonProgram(), {"--config-file=" + config, "--nofork", "--print-address"});
    if (m_daemon.waitForReadyRead(5000))
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    m_daemon.kill();
    m_daemon.waitForFinished();
}
