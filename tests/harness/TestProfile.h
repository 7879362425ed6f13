#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

// Sets an environment variable for the life of the object and restores the old value after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    QByteArray m_name;
    std::optional<QByteArray> m_old;
};

// A fresh, empty configuration, data and cache folder for one test.
class TestProfile {
public:
    TestProfile();
    QString configHome() const { return m_root.path() + "/config"; }
    QString dataHome() const { return m_root.path() + "/data"; }
    // $XDG_CONFIG_HOME/vesperin/<domain>.json
    QString preferencesFile(const QString& domain) const;

private:
    QTemporaryDir m_root;
    ScopedEnvironment m_config;
    ScopedEnvironment m_data;
    ScopedEnvironment m_cache;
};

// Base fixture of every test that touches stored state.
class ProfileTest : public ::testing::Test {
protected:
    TestProfile profile;
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// The same, then the file's modification time set to `modified`.
void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified);
