#include "platform/SystemEvents.h"

#include "platform/IcuString.h"
#include "platform/Logging.h"
#include "platform/SystemContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

// Replacing /etc/localtime takes several steps (a new link, then a rename); changes are
// looked at once the folder has been quiet for this long.
constexpr int zoneSettleMsecs = 200;
// A zone file is a few kilobytes; anything past this is not one and need not be compared.
constexpr qint64 largestZoneFile = 1 << 20;

std::unique_ptr<icu::Calendar> calendarAt(const QDateTime& at, const QString& zoneID) {
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(
        icu::TimeZone::createTimeZone(toIcu(zoneID)), status);
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar->setTime(UDate(at.toMSecsSinceEpoch()), status);
    return calendar;
}

QDateTime instantOf(const icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    return QDateTime::fromMSecsSinceEpoch(qint64(calendar.getTime(status)), Qt::UTC);
}

} // namespace

SystemEvents::SystemEvents(QObject* parent) : SystemEvents(Sources{}, parent) {}

SystemEvents::SystemEvents(Sources sources, QObject* parent)
    : QObject(parent), m_sources(std::move(sources)), m_dayTimer(new QTimer(this)),
      m_zoneWatcher(new QFileSystemWatcher(this)), m_zoneSettle(new QTimer(this)) {
    m_dayTimer->setSingleShot(true);
    m_dayTimer->setTimerType(Qt::PreciseTimer);
    connect(m_dayTimer, &QTimer::timeout, this, &SystemEvents::timeMayHaveMoved);
    m_today = today();
    armDayTimer();

    m_zoneSettle->setSingleShot(true);
    m_zoneSettle->setInterval(zoneSettleMsecs);
    connect(m_zoneSettle, &QTimer::timeout, this, [this] {
        watchZoneFiles();
        checkZoneSources();
    });
    connect(m_zoneWatcher, &QFileSystemWatcher::fileChanged, m_zoneSettle,
            qOverload<>(&QTimer::start));
    connect(m_zoneWatcher, &QFileSystemWatcher::directoryChanged, m_zoneSettle,
            qOverload<>(&QTimer::start));
    m_zoneFingerprint = zoneFingerprint();
    watchZoneFiles();

    armClockWatch();

    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

SystemEvents::~SystemEvents() {
    if (m_clockFd >= 0) {
        delete m_clockNotifier; // before the descriptor it watches goes away
        ::close(m_clockFd);
    }
}

QDateTime SystemEvents::nextMidnight(const QDateTime& after, const QString& zoneID) {
    std::unique_ptr<icu::Calendar> calendar = calendarAt(after, zoneID);
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_DATE, 1, status);
    for (const UCalendarDateFields field :
         {UCAL_HOUR_OF_DAY, UCAL_MINUTE, UCAL_SECOND, UCAL_MILLISECOND})
        calendar->set(field, 0);
    return instantOf(*calendar);
}

QDate SystemEvents::today() const {
    return localDate(now(), SystemContext::currentTimeZoneID());
}

QDate SystemEvents::localDate(const QDateTime& at, const QString& zoneID) {
    std::unique_ptr<icu::Calendar> calendar = calendarAt(at, zoneID);
    UErrorCode status = U_ZERO_ERROR;
    return QDate(calendar->get(UCAL_EXTENDED_YEAR, status), calendar->get(UCAL_MONTH, status) + 1,
                 calendar->get(UCAL_DATE, status));
}

void SystemEvents::timeMayHaveMoved() {
    const QDate date = today();
    const bool changed = date != m_today;
    m_today = date;
    armDayTimer();
    if (changed)
        Q_EMIT dayChanged();
}

// A single shot re-armed each time rather than a repeating timer: days are not all 24 hours
// long, and the zone or the clock may have moved midnight since the last firing. If the timer
// fires a little early, timeMayHaveMoved finds the same date and arms it again for the rest.
void SystemEvents::armDayTimer() {
    const QDateTime current = now();
    m_nextDayChange = nextMidnight(current, SystemContext::currentTimeZoneID());
    const qint64 wait =
        std::clamp<qint64>(current.msecsTo(m_nextDayChange), 0, std::numeric_limits<int>::max());
    m_dayTimer->start(int(wait));
}

// The files are watched for changes in place and their folders for replacement: the usual way
// to change the zone swaps the /etc/localtime link for a new one, which a watch on the old
// file (really on the zone file the link pointed to) never sees. Watches on files are renewed
// after every change so that they follow the new links.
void SystemEvents::watchZoneFiles() {
    if (const QStringList files = m_zoneWatcher->files(); !files.isEmpty())
        m_zoneWatcher->removePaths(files);
    QStringList paths;
    for (const QString& file : m_sources.zoneFiles) {
        const QFileInfo info(file);
        if (info.exists())
            paths.append(file);
        const QString folder = info.absolutePath();
        if (!paths.contains(folder) && !m_zoneWatcher->directories().contains(folder) &&
            QFileInfo(folder).isDir())
            paths.append(folder);
    }
    if (!paths.isEmpty())
        m_zoneWatcher->addPaths(paths);
}

// What the zone files say: where each link points and what each file holds. The folders are
// busy (/etc changes for many reasons), so only a change of this counts.
QByteArray SystemEvents::zoneFingerprint() const {
    QByteArray fingerprint;
    for (const QString& path : m_sources.zoneFiles) {
        fingerprint += QFile::encodeName(path) + '\0';
        fingerprint += QFile::encodeName(QFileInfo(path).symLinkTarget()) + '\0';
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            fingerprint += file.read(largestZoneFile);
        fingerprint += '\0';
    }
    return fingerprint;
}

void SystemEvents::checkZoneSources() {
    QByteArray fingerprint = zoneFingerprint();
    if (fingerprint == m_zoneFingerprint)
        return;
    m_zoneFingerprint = std::move(fingerprint);
    SystemContext::reloadFromEnvironment();
    Q_EMIT timeZoneChanged();
    timeMayHaveMoved();
}

// A timer on the wall clock, armed for the end of time with TFD_TIMER_CANCEL_ON_SET, never
// expires; the kernel cancels it instead whenever the clock is set, including when it is
// brought forward after the machine wakes from sleep.
void SystemEvents::armClockWatch() {
    if (m_clockFd < 0) {
        m_clockFd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_clockFd < 0) {
            qCWarning(lcPlatform, "No clock watch: %s", std::strerror(errno));
            return;
        }
        m_clockNotifier = new QSocketNotifier(m_clockFd, QSocketNotifier::Read, this);
        connect(m_clockNotifier, &QSocketNotifier::activated, this,
                &SystemEvents::clockWatchReadable);
    }
    itimerspec never{};
    never.it_value.tv_sec = std::numeric_limits<time_t>::max();
    if (::timerfd_settime(m_clockFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) <
        0)
        qCWarning(lcPlatform, "Cannot arm the clock watch: %s", std::strerror(errno));
}

void SystemEvents::clockWatchReadable() {
    quint64 expirations = 0;
    if (::read(m_clockFd, &expirations, sizeof expirations) < 0 && errno == ECANCELED)
        clockWasSet();
}

void SystemEvents::clockWasSet() {
    armClockWatch();
    Q_EMIT clockChanged();
    timeMayHaveMoved();
}

// Qt sends LocaleChange to the application when the system's locale settings change (and to
// single widgets when their own locale is set, which is not our concern).
bool SystemEvents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LocaleChange && watched == QCoreApplication::instance()) {
        SystemContext::reloadFromEnvironment();
        Q_EMIT localeChanged();
    }
    return QObject::eventFilter(watched, event);
}
