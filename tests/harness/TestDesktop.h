#pragma once

#include "harness/TestProfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A desktop of the test's own: configuration and data folders (two of each system kind),
// applications folders to put desktop entries in, and programs that only record how they
// were started. XDG_CURRENT_DESKTOP names no desktop unless a test sets it.
class TestDesktop {
public:
    TestDesktop();

    // The configuration home, the two configuration folders ($XDG_CONFIG_DIRS), and the
    // applications folders: 0 the data home's, 1 and 2 those of the two $XDG_DATA_DIRS.
    QString configHome() const { return m_root.path() + "/config"; }
    QString configDir(int index) const;
    QString applications(int folder) const;

    // A program that writes its arguments where recorded() finds them, then ends.
    QString recordingProgram(const QString& name) const;
    // The arguments `name` was started with; absent when it has not run within five seconds.
    std::optional<QStringList> recorded(const QString& name) const;

    // Writes applications/<folder>/<id> with a [Desktop Entry] of type Application starting
    // `exec`, followed by `more` (other key lines).
    void addEntry(int folder, const QString& id, const QString& exec,
                  const QByteArray& more = "MimeType=text/calendar;\n") const;

private:
    QTemporaryDir m_root;
    ScopedEnvironment m_configHome;
    ScopedEnvironment m_configDirs;
    ScopedEnvironment m_dataHome;
    ScopedEnvironment m_dataDirs;
    ScopedEnvironment m_desktop;
};
