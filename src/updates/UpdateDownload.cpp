#include "updates/UpdateDownload.h"

#include "settings/Localization.h"
#include "support/NetworkTransport.h"
#include "support/ServiceEndpoints.h"
#include "updates/Logging.h"
#include "updates/UpdateSignature.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <functional>

namespace {

const QString partSuffix = ".part";

// Removes the plain files of `folder` that `unwanted` selects.
void removeFiles(const QString& folder, const std::function<bool(const QString&)>& unwanted) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (unwanted(dir.filePath(name)) && !QFile::remove(dir.filePath(name)))
            qCWarning(lcUpdates, "Cannot remove %s", qPrintable(dir.filePath(name)));
    }
}

} // namespace

UpdateDownload::UpdateDownload(const AppcastItem& update, const QString& folder,
                               const QByteArray& publicKey, QObject* parent)
    : QObject(parent), m_update(update), m_folder(folder), m_publicKey(publicKey) {}

// Deleting a running reply aborts it; the temporary file removes itself.
UpdateDownload::~UpdateDownload() {
    delete m_reply.data();
}

QString UpdateDownload::keptPath(const AppcastItem& update, const QString& folder) {
    static const QRegularExpression unsafe("[^A-Za-z0-9._+-]");
    QString name = update.enclosure.fileName().replace(unsafe, "_");
    if (name.isEmpty() || name.startsWith('.') || name.endsWith(partSuffix))
        name = "Vesperin-" + update.version;
    return QDir(folder).filePath(name);
}

QString UpdateDownload::mismatch(const QString& path, const AppcastItem& update,
                                 const QByteArray& publicKey) {
    const qint64 size = QFileInfo(path).size();
    if (size != update.length)
        return L("update.error.length_mismatch", size, update.length);
    if (!UpdateSignature::verifyFile(path, update.edSignature, publicKey))
        return L("update.error.bad_signature");
    return {};
}

QString UpdateDownload::refusal() const {
    if (!ServiceEndpoints::isSecureAddress(m_update.enclosure))
        return L("update.error.insecure_download", m_update.enclosure.toString());
    if (m_update.length < 0)
        return L("update.error.no_length");
    if (m_update.length > maxBytes)
        return L("update.error.too_large", QLocale().formattedDataSize(maxBytes, 0));
    if (m_update.edSignature.isEmpty())
        return L("update.error.unsigned");
    return {};
}

void UpdateDownload::start(std::chrono::milliseconds timeout) {
    if (const QString reason = refusal(); !reason.isEmpty())
        return fail(reason);
    removeFiles(m_folder, [](const QString& path) { return path.endsWith(partSuffix); });
    m_file = std::make_unique<QTemporaryFile>(QDir(m_folder).filePath("XXXXXX" + partSuffix));
    if (!QDir().mkpath(m_folder) || !m_file->open())
        return fail(L("update.error.cannot_write", m_folder));
    m_reply = NetworkTransport::get(m_update.enclosure, timeout, m_update.length);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateDownload::receive);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateDownload::finish);
}

void UpdateDownload::receive() {
    const QByteArray chunk = m_reply->readAll();
    if (!m_writeFailed && m_file->write(chunk) != chunk.size()) {
        m_writeFailed = true;
        m_reply->abort();
    }
}

void UpdateDownload::finish() {
    m_reply->deleteLater();
    if (m_writeFailed || !m_file->flush())
        return fail(L("update.error.cannot_write", m_folder));
    if (NetworkTransport::wasTooLarge(*m_reply))
        return fail(L("update.error.longer_than_announced", m_update.length));
    if (const QString reason = NetworkTransport::failureReason(*m_reply); !reason.isEmpty())
        return fail(reason);
    if (const QString reason = mismatch(m_file->fileName(), m_update, m_publicKey);
        !reason.isEmpty())
        return fail(reason);
    const QString kept = keptPath(m_update, m_folder);
    QFile::remove(kept);
    if (!m_file->rename(kept))
        return fail(L("update.error.cannot_write", m_folder));
    m_file->setAutoRemove(false);
    m_file.reset();
    removeFiles(m_folder, [&kept](const QString& path) { return path != kept; });
    Q_EMIT verified(kept);
}

void UpdateDownload::fail(const QString& reason) {
    qCWarning(lcUpdates, "The update %s was not kept: %s", qPrintable(m_update.version),
              qPrintable(reason));
    m_file.reset();
    Q_EMIT failed(reason);
}
