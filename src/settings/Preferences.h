#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <sys/types.h>

// A per-user typed key-value store for one preferences domain, kept in the JSON file
// $XDG_CONFIG_HOME/vesperin/<domain>.json (see PreferenceCoding for its form).
//
// Every write is visible to the next read at once and is saved before the call returns,
// atomically. Reads notice when another process (the vesperin-defaults tool, a second
// instance, a synced dotfile) replaced the file and load it afresh; a PreferencesWatcher
// makes that happen as soon as the file changes. Every change of a value, by this process or
// another, is announced by changed(). A file that cannot be read or parsed is moved aside with
// its bytes intact and the store starts empty. All members are safe to call from any thread.
class Preferences : public QObject {
    Q_OBJECT
public:
    static constexpr const char* applicationDomain = "com.orvennalabs.vesperin";

    // The store of the application's own domain.
    static Preferences& standard();
    // The store of any domain, created on first use. The store of a domain is tied to the
    // configuration folder in force when it is asked for, so tests can move that folder.
    static Preferences& domain(const QString& name);
    // Domain names become file names: letters, digits, '.', '-' and '_', not starting with '.'.
    static bool isValidDomainName(const QString& name);
    static QString folder();
    // The stores asked for so far whose files are in `folder`.
    static QList<Preferences*> storesIn(const QString& folder);

    QString domainName() const { return m_domain; }
    QString filePath() const { return m_path; }

    // Typed reads of a missing key give false, 0, 0.0 or absent. Numbers, bools and numeric
    // strings convert into each other as the macOS defaults store converts them.
    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    std::optional<QString> stringForKey(const QString& key) const;
    std::optional<QByteArray> dataForKey(const QString& key) const;
    std::optional<QDateTime> dateForKey(const QString& key) const;
    std::optional<QVariantList> arrayForKey(const QString& key) const;
    std::optional<QVariantMap> dictionaryForKey(const QString& key) const;
    std::optional<QVariant> objectForKey(const QString& key) const;
    QVariantMap dictionaryRepresentation() const;

    // Writes return whether the new content reached the disk; the value is visible to
    // reads in this process either way. setObject() refuses (returns false, changes
    // nothing) a value that the store cannot keep.
    bool setBool(const QString& key, bool value);
    bool setInteger(const QString& key, qint64 value);
    bool setDouble(const QString& key, double value);
    bool setObject(const QString& key, const QVariant& value);
    bool removeObject(const QString& key);
    bool removeAll();

    // Loads the file again if another process replaced or changed it, and announces the keys
    // whose values differ.
    void reloadIfChanged();

    Preferences(const QString& domain, const QString& path);

Q_SIGNALS:
    // The keys whose values changed. A write of this process announces its key before the
    // write returns, on the writing thread (and only when the value really changed); changes
    // of another process are announced on the GUI thread once they are seen.
    void changed(const QStringList& keys);

private:
    struct FileStamp {
        ino_t inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    std::optional<FileStamp> currentStamp() const;
    bool isStaleLocked() const;
    void refreshLocked() const;
    // Loads the file; returns the keys whose values it changed.
    QStringList loadLocked() const;
    bool saveLocked() const;
    template <typename Change> bool modify(Change&& change);
    // Changes seen while reading are announced later, from the event loop: a listener must
    // never run in the middle of someone else's read.
    void announceLater(const QStringList& keys) const;
    void announcePending();

    const QString m_domain;
    const QString m_path;
    mutable QMutex m_mutex;
    mutable QVariantMap m_values;
    mutable std::optional<FileStamp> m_stamp;
    mutable bool m_loaded = false;
    mutable QStringList m_unannounced;
};
