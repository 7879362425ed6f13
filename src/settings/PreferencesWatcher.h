#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Sees the preferences files change on disk and has their stores reload them, so that a
// change made by another process (the vesperin-defaults tool, a second instance, a synced
// dotfile) is announced by the store's changed() at once. inotify on the folder and its files,
// no polling: the idle application does not wake up for it. Changes are looked at once the
// folder has been quiet for a moment, so a file is not read while another program is still
// writing it. Lives on the GUI thread.
class PreferencesWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int settleMsecs = 100;

    // Watches `folder` (created when missing): Preferences::folder() in the application.
    explicit PreferencesWatcher(const QString& folder, QObject* parent = nullptr);

private:
    void watch();
    void reloadStores();

    QString m_folder;
    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
};
