#pragma once

#include "network/NetworkMessages.h"
#include "updates/AppcastFeed.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <memory>

class NetworkHelper;
class QTemporaryFile;

// Fetches the file of one release into a folder and keeps it only when it is what the feed
// announced: exactly the announced number of bytes, signed by the given key. The file is
// written under a temporary name ending in ".part" and renamed once it verifies; on any
// failure nothing of it is left. Nothing is ever opened or run here.
//
// The folder holds at most one release: a verified file replaces the others, and a download
// starts by removing parts that an interrupted one left behind. A file kept by an earlier run
// is offered again when it still verifies, and fetched afresh otherwise.
//
// The fetching and the signature check run in the network helper; only the file's name and
// place are decided here.
class UpdateDownload : public QObject {
    Q_OBJECT
public:
    // Larger releases are refused before anything is fetched.
    static constexpr qint64 maxBytes = qint64(512) << 20;
    static constexpr std::chrono::milliseconds defaultTimeout{30000};

    UpdateDownload(const AppcastItem& update, const QString& folder, const QByteArray& publicKey,
                   QObject* parent = nullptr);
    ~UpdateDownload() override;

    const AppcastItem& update() const { return m_update; }

    // Emits exactly one of verified() or failed(), possibly before returning. The transfer
    // gives up when nothing has moved for `timeout`.
    void start(std::chrono::milliseconds timeout = defaultTimeout);

    // Where the release's file is kept: the last piece of its address, characters other than
    // letters, digits, '.', '-', '_' and '+' replaced, or "Vesperin-<version>" when that gives
    // no safe name.
    static QString keptPath(const AppcastItem& update, const QString& folder);
    // Why the file the helper described is not the release, in one line; empty when it is.
    static QString mismatch(const NetworkAnswer& described, const AppcastItem& update);

Q_SIGNALS:
    void verified(const QString& path);
    void failed(const QString& reason);

private:
    // Why the release cannot be fetched at all; empty when it can.
    QString refusal() const;
    // Runs `request` about the release's file in the helper, with the release's signature and
    // key; `done` receives the answer.
    void ask(NetworkRequest request, void (UpdateDownload::*done)(const NetworkAnswer&));
    void keptVerified(const NetworkAnswer& answer);
    void fetch();
    void fetched(const NetworkAnswer& answer);
    void fail(const QString& reason);

    const AppcastItem m_update;
    const QString m_folder;
    const QByteArray m_publicKey;
    std::unique_ptr<QTemporaryFile> m_file;
    QPointer<NetworkHelper> m_helper;
    std::chrono::milliseconds m_timeout = defaultTimeout;
};
