#include "support/ServiceClient.h"

#include "network/NetworkHelper.h"
#include "network/ServiceEndpoints.h"
#include "platform/Integers.h"
#include "platform/OperatingSystem.h"
#include "settings/Settings.h"
#include "support/Logging.h"
#include "support/ServiceAnswers.h"

#include <QJsonObject>
#include <QUuid>

namespace {

using Integers::exact;

template <typename T> QList<T> lastEntries(QList<T> list) {
    if (list.size() > ServiceClient::historyLimit)
        list = list.mid(list.size() - ServiceClient::historyLimit);
    return list;
}

// The stored history, oldest first. An entry that cannot be read (not a dictionary, or
// without a whole-number id or a text) is passed over on its own: one bad entry must not cost
// the rest of the conversation when the next message is archived.
QList<QVariantMap> storedHistory(const Settings& settings) {
    QList<QVariantMap> entries;
    for (const QVariant& value : settings.messageHistory()) {
        if (value.typeId() != QMetaType::QVariantMap)
            continue;
        QVariantMap entry = value.toMap();
        if (exact(entry.value("id")) && entry.value("body").typeId() == QMetaType::QString)
            entries.append(std::move(entry));
    }
    return entries;
}

void storeHistory(Settings& settings, const QList<QVariantMap>& entries) {
    QVariantList list;
    for (const QVariantMap& entry : lastEntries(entries))
        list.append(entry);
    settings.setMessageHistory(list);
}

QVariantMap historyEntry(qint64 id, const QString& body, const QDateTime& date, bool mine) {
    return {{"id", id}, {"body", body}, {"date", date}, {"mine", mine}};
}

// The ids of service messages already shown; values that are not whole numbers are passed
// over.
QList<qint64> shownIds(const Settings& settings) {
    QList<qint64> ids;
    for (const QVariant& value : settings.shownMessages()) {
        if (const auto id = exact(value))
            ids.append(*id);
    }
    return ids;
}

} // namespace

ServiceClient::ServiceClient(Settings& settings, Clock now, QObject* parent)
    : QObject(parent), m_settings(settings), m_now(std::move(now)) {}

QString ServiceClient::deviceId() const {
    QString stored = m_settings.deviceId();
    if (!stored.isEmpty())
        return stored;
    QString created = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    m_settings.setDeviceId(created);
    return created;
}

QList<ArchivedMessage> ServiceClient::messageHistory() const {
    QList<ArchivedMessage> messages;
    for (const QVariantMap& entry : storedHistory(m_settings)) {
        const QVariant date = entry.value("date");
        const QVariant mine = entry.value("mine");
        messages.prepend({*exact(entry.value("id")), entry.value("body").toString(),
                          date.typeId() == QMetaType::QDateTime ? date.toDateTime() : m_now(),
                          mine.typeId() == QMetaType::Bool && mine.toBool()});
    }
    return messages;
}

void ServiceClient::archive(qint64 id, const QString& body) {
    QList<QVariantMap> entries = storedHistory(m_settings);
    for (const QVariantMap& entry : entries) {
        if (exact(entry.value("id")) == id)
            return;
    }
    entries.append(historyEntry(id, body, m_now(), false));
    storeHistory(m_settings, entries);
}

void ServiceClient::archiveOwn(const QString& text) {
    const QDateTime now = m_now();
    QList<QVariantMap> entries = storedHistory(m_settings);
    entries.append(historyEntry(-now.toSecsSinceEpoch(), text, now, true));
    storeHistory(m_settings, entries);
}

void ServiceClient::markMessageShown() {
    if (m_pendingMessage)
        markMessageShown(PendingMessage(*m_pendingMessage));
}

void ServiceClient::markMessageShown(const PendingMessage& message) {
    QList<qint64> ids = shownIds(m_settings);
    ids.append(message.id);
    QVariantList shown;
    for (qint64 id : lastEntries(ids))
        shown.append(id);
    m_settings.setShownMessages(shown);
    m_settings.setAckMessage(message.id);
    archive(message.id, message.body);
    if (m_pendingMessage == message)
        m_pendingMessage.reset();
}

void ServiceClient::checkWithServer(std::function<void()> done) {
    QJsonObject record{{"d", deviceId()},
                       {"v", ServiceEndpoints::appVersion()},
                       {"os", OperatingSystem::osString()},
                       {"c", "direct"}};
    if (const qint64 ack = m_settings.ackMessage(); ack >= 1)
        record.insert("m", ack);

    NetworkHelper::start(NetworkRequest::posting(ServiceEndpoints::check(), record, m_checkTimeout),
                         this, [this, done = std::move(done)](const NetworkAnswer& answer) {
                             // There is no body when the exchange failed (no connection, time-out,
                             // an answer cut off or too large), so a failure changes nothing.
                             // Whatever the status, a body is read.
                             applyCheckAnswer(answer.body);
                             if (done)
                                 done();
                         });
}

void ServiceClient::applyCheckAnswer(const QByteArray& body) {
    const auto answer = ServiceAnswers::parseCheckAnswer(body);
    if (!answer) {
        qCDebug(lcService) << "The check ended without a usable answer";
        return;
    }
    m_ticketState = answer->ticketState;
    // An answer without a message leaves an earlier pending message in place.
    if (answer->messageId >= 1 && !answer->message.isEmpty() &&
        !shownIds(m_settings).contains(answer->messageId))
        m_pendingMessage = PendingMessage{answer->messageId, answer->message};
}

void ServiceClient::reportProblem(const QString& text, const std::optional<QString>& email,
                                  std::function<void(bool)> done) {
    QJsonObject record{{"d", deviceId()},
                       {"v", ServiceEndpoints::appVersion()},
                       {"os", OperatingSystem::osString()},
                       {"text", text}};
    if (email && !email->isEmpty())
        record.insert("email", *email);

    NetworkHelper::start(
        NetworkRequest::posting(ServiceEndpoints::report(), record, m_reportTimeout), this,
        [done = std::move(done)](const NetworkAnswer& answer) {
            if (done)
                done(ServiceAnswers::isReportConfirmed(answer.status, answer.body));
        });
}

void ServiceClient::setTimeouts(std::chrono::milliseconds check, std::chrono::milliseconds report) {
    m_checkTimeout = check;
    m_reportTimeout = report;
}
