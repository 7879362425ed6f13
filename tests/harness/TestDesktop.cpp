#include "harness/TestDesktop.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray folders(const QString& first, const QString& second) {
    return QFile::encodeName(first + ":" + second);
}

} // namespace

TestDesktop::TestDesktop()
    : m_configHome("XDG_CONFIG_HOME", QFile::encodeName(configHome())),
      m_configDirs("XDG_CONFIG_DIRS", folders(m_root.path() + "/xdg0", m_root.path() + "/xdg1")),
      m_dataHome("XDG_DATA_HOME", QFile::encodeName(m_root.path() + "/data")),
      m_dataDirs("XDG_DATA_DIRS", folders(m_root.path() + "/share1", m_root.path() + "/share2")),
      m_desktop("XDG_CURRENT_DESKTOP", "") {}

QString TestDesktop::configDir(int index) const {
    return m_root.path() + "/xdg" + QString::number(index);
}

QString TestDesktop::applications(int folder) const {
    return m_root.path() + (folder == 0 ? "/data" : "/share" + QString::number(folder)) +
           "/applications";
}

// The program writes its own path and its arguments, each ended by a NUL, beside itself.
QString TestDesktop::recordingProgram(const QString& name) const {
    const QString program = m_root.path() + "/bin/" + name;
    writeFile(program, "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > \"$0.part\" && "
                       "mv \"$0.part\" \"$0.arguments\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
}

std::optional<QStringList> TestDesktop::recorded(const QString& name) const {
    const QString record = m_root.path() + "/bin/" + name + ".arguments";
    if (!QTest::qWaitFor([&] { return QFile::exists(record); }, 5000))
        return std::nullopt;
    const QStringList fields = QString::fromUtf8(readFile(record)).split(QChar(0));
    return fields.mid(1, fields.size() - 2); // without the program and what follows the last NUL
}

void TestDesktop::addEntry(int folder, const QString& id, const QString& exec,
                           const QByteArray& more) const {
    writeFile(applications(folder) + "/" + id,
              "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() + "\nExec=" + exec.toUtf8() +
                  "\n" + more);
}
