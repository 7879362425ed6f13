#include "harness/TestProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value) : m_name(name) {
    if (qEnvironmentVariableIsSet(name))
        m_old = qgetenv(name);
    qputenv(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_old)
        qputenv(m_name.constData(), *m_old);
    else
        qunsetenv(m_name.constData());
}

TestProfile::TestProfile()
    : m_config("XDG_CONFIG_HOME", QFile::encodeName(m_root.path() + "/config")),
      m_data("XDG_DATA_HOME", QFile::encodeName(m_root.path() + "/data")),
      m_cache("XDG_CACHE_HOME", QFile::encodeName(m_root.path() + "/cache")) {}

QString TestProfile::preferencesFile(const QString& domain) const {
    return configHome() + "/vesperin/" + domain + ".json";
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    writeFile(path, bytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(modified, QFileDevice::FileModificationTime))
        ADD_FAILURE() << "cannot date " << path.toStdString();
}
