#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>

class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;

// The system changes that make displayed dates stale. The application makes one and hands
// it to whoever shows dates; it watches from its creation (a QCoreApplication must exist).
// Signals are delivered on the GUI thread.
class SystemEvents : public QObject {
    Q_OBJECT
public:
    // Where the changes are read from. The defaults are the machine's own; tests point the
    // zone files at a folder of their own and the clock at a fake one.
    struct Sources {
        QStringList zoneFiles{"/etc/localtime", "/etc/timezone"};
        std::function<QDateTime()> now = &QDateTime::currentDateTimeUtc;
    };
    // Watches the machine's own sources.
    explicit SystemEvents(QObject* parent = nullptr);
    explicit SystemEvents(Sources sources, QObject* parent = nullptr);
    ~SystemEvents() override;

    // The first instant after `after` at which a new calendar day starts in the zone. That is
    // local midnight, or the first instant of the day when a clock change skips midnight.
    static QDateTime nextMidnight(const QDateTime& after, const QString& zoneID);
    // The calendar date in the zone at the instant.
    static QDate localDate(const QDateTime& at, const QString& zoneID);

    // The current instant of the clock these events follow.
    QDateTime now() const { return m_sources.now(); }
    // The calendar date of now in ICU's default zone: the day the user lives in.
    QDate today() const;

    // The instant the day timer is armed for: the next local midnight in ICU's default zone.
    QDateTime nextDayChange() const { return m_nextDayChange; }

Q_SIGNALS:
    // Local midnight passed (also after a sleep or a zone change moved it).
    void dayChanged();
    // /etc/localtime or /etc/timezone changed. ICU's default zone is already updated.
    void timeZoneChanged();
    // The wall clock was set (a jump, not the normal passing of time).
    void clockChanged();
    // The application's locale changed. ICU's default locale is already updated.
    void localeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SystemEventsProbe;

    // Emits dayChanged when the local date is no longer the one last seen, then re-arms the
    // day timer; called whenever the time, the clock or the zone may have moved.
    void timeMayHaveMoved();
    void armDayTimer();

    void watchZoneFiles();
    QByteArray zoneFingerprint() const;
    void checkZoneSources();

    void armClockWatch();
    void clockWatchReadable();
    void clockWasSet();

    Sources m_sources;
    QTimer* m_dayTimer;
    QDateTime m_nextDayChange;
    QDate m_today;
    QFileSystemWatcher* m_zoneWatcher;
    QTimer* m_zoneSettle;
    QByteArray m_zoneFingerprint;
    int m_clockFd = -1;
    QSocketNotifier* m_clockNotifier = nullptr;
};
