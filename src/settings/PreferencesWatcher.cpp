#include "settings/PreferencesWatcher.h"

#include "settings/Logging.h"
#include "settings/Preferences.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

PreferencesWatcher::PreferencesWatcher(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_watcher(new QFileSystemWatcher(this)),
      m_settle(new QTimer(this)) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleMsecs);
    connect(m_settle, &QTimer::timeout, this, &PreferencesWatcher::reloadStores);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
    if (!QDir().mkpath(m_folder))
        qCWarning(lcPreferences, "Cannot create the preferences folder %s", qPrintable(m_folder));
    watch();
}

// The folder sees files replaced (the atomic rename of every writer of ours); the files see
// writes in place. A replaced file's watch follows the old file, so it is renewed each time.
void PreferencesWatcher::watch() {
    if (const QStringList files = m_watcher->files(); !files.isEmpty())
        m_watcher->removePaths(files);
    QStringList paths;
    if (!m_watcher->directories().contains(m_folder))
        paths.append(m_folder);
    // Filtered here: a name filter would compile a regular expression at every start.
    for (const QString& file : QDir(m_folder).entryList(QDir::Files)) {
        if (file.endsWith(u".json", Qt::CaseInsensitive))
            paths.append(m_folder + "/" + file);
    }
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
}

void PreferencesWatcher::reloadStores() {
    watch();
    for (Preferences* store : Preferences::storesIn(m_folder))
        store->reloadIfChanged();
}
