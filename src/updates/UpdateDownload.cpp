#include "updates/UpdateDownload.h"

#include "network/NetworkHelper.h"
#include "network/ServiceEndpoints.h"
#include "settings/Localization.h"
#include "updates/Logging.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
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

// Deleting a running helper ends it; the temporary file removes itself.
UpdateDownload::~UpdateDownload() {
    delete m_helper.data();
}

QString UpdateDownload::keptPath(const AppcastItem& update, const QString& folder) {
    static const QRegularExpression unsafe("[^A-Za-z0-9._+-]");
    QString name = update.enclosure.fileName().replace(unsafe, "_");
    if (name.isEmpty() || name.startsWith('.') || name.endsWith(partSuffix))
        name = "Vesperin-" + update.version;
    return QDir(folder).filePath(name);
}

QString UpdateDownload::mismatch(const NetworkAnswer& described, const AppcastItem& update) {
    if (described.size != update.length)
        return L("update.error.length_mismatch", described.size, update.length);
    if (!described.signatureValid)
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
    m_timeout = timeout;
    const QString kept = keptPath(m_update, m_folder);
    if (!QFileInfo::exists(kept))
        return fetch();
    NetworkRequest request;
    request.operation = NetworkRequest::Operation::verify;
    request.path = kept;
    ask(request, &UpdateDownload::keptVerified);
}

void UpdateDownload::ask(NetworkRequest request,
                         void (UpdateDownload::*done)(const NetworkAnswer&)) {
    request.signature = m_update.edSignature;
    request.publicKey = m_publicKey;
    m_helper = NetworkHelper::start(
        request, this, [this, done](const NetworkAnswer& answer) { (this->*done)(answer); });
}

void UpdateDownload::keptVerified(const NetworkAnswer& answer) {
    const QString kept = keptPath(m_update, m_folder);
    if (answer.failure == NetworkAnswer::Failure::none && mismatch(answer, m_update).isEmpty()) {
        Q_EMIT verified(kept);
        return;
    }
    QFile::remove(kept);
    fetch();
}

void UpdateDownload::fetch() {
    if (const QString reason = refusal(); !reason.isEmpty())
        return fail(reason);
    removeFiles(m_folder, [](const QString& path) { return path.endsWith(partSuffix); });
    m_file = std::make_unique<QTemporaryFile>(QDir(m_folder).filePath("XXXXXX" + partSuffix));
    if (!QDir().mkpath(m_folder) || !m_file->open())
        return fail(L("update.error.cannot_write", m_folder));
    NetworkRequest request;
    request.operation = NetworkRequest::Operation::download;
    request.url = m_update.enclosure;
    request.timeout = m_timeout;
    request.limit = m_update.length;
    request.path = m_file->fileName();
    ask(request, &UpdateDownload::fetched);
}

void UpdateDownload::fetched(const NetworkAnswer& answer) {
    if (answer.failure == NetworkAnswer::Failure::cannotWrite)
        return fail(L("update.error.cannot_write", m_folder));
    if (answer.failure == NetworkAnswer::Failure::tooLarge)
        return fail(L("update.error.longer_than_announced", m_update.length));
    if (const QString reason = NetworkMessages::failureReason(answer); !reason.isEmpty())
        return fail(reason);
    if (const QString reason = mismatch(answer, m_update); !reason.isEmpty())
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
