#pragma once

#include <QDBusConnection>
#include <QDate>
#include <QObject>
#include <QTimer>

// Asks KOrganizer, just started, to show a day: `showDate` of org.kde.Korganizer.Calendar on
// its /Calendar object. KOrganizer needs a moment to take its name on the session bus and to
// publish that object, so the call is made once the name appears and made again every quarter
// of a second while it fails, until it succeeds or the time allowed runs out. Nothing here
// blocks: every call is asynchronous and the object deletes itself when done.
class KOrganizerDateCall : public QObject {
    Q_OBJECT
public:
    static constexpr const char* service = "org.kde.korganizer";
    static constexpr const char* path = "/Calendar";
    static constexpr const char* interface = "org.kde.Korganizer.Calendar";
    static constexpr int defaultPatienceMs = 30000;
    static constexpr int retryMs = 250;
    // How long one call may wait for its answer: a KOrganizer still starting up answers late.
    static constexpr int answerMs = 5000;

    // Starts asking; the object belongs to `parent` until it is done.
    static KOrganizerDateCall* start(const QDate& day, const QDBusConnection& bus, QObject* parent,
                                     int patienceMs = defaultPatienceMs);

Q_SIGNALS:
    // Emitted once, just before the object deletes itself: whether KOrganizer took the day.
    void finished(bool shown);

private:
    KOrganizerDateCall(const QDate& day, const QDBusConnection& bus, QObject* parent,
                       int patienceMs);
    void call();
    void finish(bool shown);

    QDate m_day;
    QDBusConnection m_bus;
    QTimer m_retry;
    QTimer m_deadline;
    bool m_calling = false;
    bool m_done = false;
};
