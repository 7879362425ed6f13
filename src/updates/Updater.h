#pragma once

#include "platform/Clock.h"
#include "settings/Settings.h"
#include "updates/AppcastFeed.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

class NetworkHelper;
struct NetworkAnswer;
class UpdateDownload;

// The application's own updater. It reads the update feed (ServiceEndpoints::appcast()) and
// compares its newest release with the running version; it never installs or runs anything.
//
// Two flags of the preferences decide what happens unasked: with "SUEnableAutomaticChecks"
// on, a check runs in the background one interval (an hour) after the last check of any kind
// ("SULastCheckTime"), at once when that is overdue, and again after every interval; with
// "SUAutomaticallyUpdate" on as well, a newer release found in the background is downloaded
// into downloadFolder() and offered only once its length and signature verify. Changes of the
// flags, from this process or another, apply at once.
//
// Results are signals on the GUI thread. A check the user asked for always ends with
// checkFinished(). A background check is silent unless it finds a newer release, which it
// reports once per run: by updateFound() (no automatic download, or a release without a file),
// updateReady() or downloadFailed().
class Updater : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultCheckInterval = std::chrono::hours(1);
    static constexpr std::chrono::milliseconds feedTimeout{10000};
    // The public half of the key that signs our releases (Base64 of a raw Ed25519 key). Its
    // private half is kept away from the sources; scripts/sign-update.sh signs a file with it.
    static constexpr const char* builtInPublicKey = "Z2D1v0tnLFJA3kUZUPgH0K7h1ExLwIY//lFOXUMLR/Y=";

    // `publicKey` (Base64 of a raw Ed25519 key) is the key releases must be signed with.
    // The time of the last check, and so the next one, is read from `now`.
    Updater(Settings& settings, const QByteArray& publicKey, Clock now = wallClockNow,
            QObject* parent = nullptr);
    ~Updater() override;

    // $XDG_CACHE_HOME/vesperin/updates
    static QString downloadFolder();

    // The interval of the automatic checks.
    void setCheckInterval(std::chrono::milliseconds interval);
    // Whether the next automatic check is planned.
    bool isScheduled() const { return m_timer.isActive(); }

    bool isChecking() const { return !m_feed.isNull(); }
    bool isDownloading() const { return !m_download.isNull(); }

    // A check the user asked for; a check already running answers it.
    void checkForUpdates();
    // A check nobody waits for.
    void checkInBackground();

Q_SIGNALS:
    void checkFinished(const UpdateCheck& result);
    void updateFound(const AppcastItem& update);
    void updateReady(const QString& path, const AppcastItem& update);
    void downloadFailed(const AppcastItem& update, const QString& reason);

private:
    void startCheck();
    void feedFinished(const NetworkAnswer& answer);
    void followUpInBackground(const UpdateCheck& result);
    void download(const AppcastItem& update);
    void reschedule();

    Settings& m_settings;
    const QByteArray m_publicKey;
    Clock m_now;
    QTimer m_timer;
    std::chrono::milliseconds m_interval = defaultCheckInterval;
    QPointer<NetworkHelper> m_feed;
    bool m_userWaiting = false;
    bool m_backgroundWaiting = false;
    QPointer<UpdateDownload> m_download;
    // The newest release already reported by a background check in this run.
    QString m_reportedVersion;
};
