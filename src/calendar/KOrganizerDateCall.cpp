#include "calendar/KOrganizerDateCall.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

KOrganizerDateCall* KOrganizerDateCall::start(const QDate& day, const QDBusConnection& bus,
                                              QObject* parent, int patienceMs) {
    auto* request = new KOrganizerDateCall(day, bus, parent, patienceMs);
    request->call();
    return request;
}

KOrganizerDateCall::KOrganizerDateCall(const QDate& day, const QDBusConnection& bus,
                                       QObject* parent, int patienceMs)
    : QObject(parent), m_day(day), m_bus(bus) {
    auto* watcher =
        new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &KOrganizerDateCall::call);
    m_retry.setSingleShot(true);
    m_retry.setInterval(retryMs);
    connect(&m_retry, &QTimer::timeout, this, &KOrganizerDateCall::call);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(false); });
    m_deadline.start(patienceMs);
}

void KOrganizerDateCall::call() {
    if (m_calling || m_done)
        return;
    m_retry.stop();
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, "showDate");
    message << QVariant::fromValue(m_day);
    // The application was started by us; the bus must not start a second one.
    message.setAutoStartService(false);
    m_calling = true;
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(message, answerMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        m_calling = false;
        if (!pending->isError())
            finish(true);
        else if (!m_done)
            m_retry.start();
    });
}

void KOrganizerDateCall::finish(bool shown) {
    if (m_done)
        return;
    m_done = true;
    m_retry.stop();
    m_deadline.stop();
    Q_EMIT finished(shown);
    deleteLater();
}
