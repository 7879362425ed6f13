#include "updates/Updater.h"

#include "network/NetworkHelper.h"
#include "network/ServiceEndpoints.h"
#include "platform/AppFolders.h"
#include "updates/Logging.h"
#include "updates/UpdateDownload.h"

#include <QDateTime>

#include <algorithm>
#include <limits>
#include <utility>

Updater::Updater(Settings& settings, const QByteArray& publicKey, Clock now, QObject* parent)
    : QObject(parent), m_settings(settings), m_publicKey(publicKey), m_now(std::move(now)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Updater::checkInBackground);
    connect(&m_settings, &Settings::automaticUpdateChecksChanged, this, &Updater::reschedule);
    connect(&m_settings, &Settings::lastUpdateCheckChanged, this, &Updater::reschedule);
    reschedule();
}

// Deleting a running helper ends it.
Updater::~Updater() {
    delete m_feed.data();
}

QString Updater::downloadFolder() {
    return AppFolders::cacheHome() + "/vesperin/updates";
}

void Updater::setCheckInterval(std::chrono::milliseconds interval) {
    m_interval = interval;
    reschedule();
}

void Updater::checkForUpdates() {
    m_userWaiting = true;
    startCheck();
}

void Updater::checkInBackground() {
    m_backgroundWaiting = true;
    startCheck();
}

void Updater::startCheck() {
    if (m_feed)
        return;
    NetworkRequest request;
    request.url = ServiceEndpoints::appcast();
    request.timeout = feedTimeout;
    m_feed = NetworkHelper::start(request, this,
                                  [this](const NetworkAnswer& answer) { feedFinished(answer); });
    // Also re-arms the automatic checks.
    m_settings.setLastUpdateCheck(m_now());
}

void Updater::feedFinished(const NetworkAnswer& answer) {
    m_feed.clear();
    const QString failure = NetworkMessages::failureReason(answer);
    // After redirects the answer's address is the feed's own, which relative addresses need.
    const UpdateCheck result =
        failure.isEmpty()
            ? AppcastFeed::check(answer.body, answer.url, ServiceEndpoints::appVersion())
            : UpdateCheck::failed(failure);
    if (std::exchange(m_userWaiting, false))
        Q_EMIT checkFinished(result);
    if (std::exchange(m_backgroundWaiting, false))
        followUpInBackground(result);
}

void Updater::followUpInBackground(const UpdateCheck& result) {
    if (result.outcome == UpdateCheck::Outcome::failed)
        qCWarning(lcUpdates, "The update check failed: %s", qPrintable(result.reason));
    if (result.outcome != UpdateCheck::Outcome::newer || m_download ||
        (!m_reportedVersion.isEmpty() &&
         AppcastFeed::compareVersions(result.update.version, m_reportedVersion) <= 0))
        return;
    const AppcastItem& update = result.update;
    if (!m_settings.automaticUpdateDownloads() || update.enclosure.isEmpty()) {
        m_reportedVersion = update.version;
        Q_EMIT updateFound(update);
        return;
    }
    download(update);
}

void Updater::download(const AppcastItem& update) {
    m_download = new UpdateDownload(update, downloadFolder(), m_publicKey, this);
    const auto ended = [this, update] {
        m_reportedVersion = update.version;
        m_download->deleteLater();
        m_download.clear();
    };
    connect(m_download, &UpdateDownload::verified, this,
            [this, update, ended](const QString& path) {
                ended();
                Q_EMIT updateReady(path, update);
            });
    connect(m_download, &UpdateDownload::failed, this,
            [this, update, ended](const QString& reason) {
                ended();
                Q_EMIT downloadFailed(update, reason);
            });
    m_download->start();
}

void Updater::reschedule() {
    if (!m_settings.automaticUpdateChecks()) {
        m_timer.stop();
        return;
    }
    const QDateTime last = m_settings.lastUpdateCheck();
    const qint64 interval = m_interval.count();
    // A last check in the future (the clock was set back) waits one interval at most.
    const qint64 wait =
        last.isValid() ? std::clamp(m_now().msecsTo(last) + interval, qint64(0), interval) : 0;
    m_timer.start(int(std::min<qint64>(wait, std::numeric_limits<int>::max())));
}
