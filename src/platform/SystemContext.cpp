#include "platform/SystemContext.h"

#include "platform/IcuString.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {

QMutex contextMutex;
bool loaded = false;

QString firstSetVariable(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QString zoneFromPath(const QString& path) {
    const int at = path.indexOf("zoneinfo/");
    return at < 0 ? QString() : path.mid(at + int(qstrlen("zoneinfo/")));
}

QString hostZoneID() {
    const QString link = QFileInfo("/etc/localtime").symLinkTarget();
    if (const QString zone = zoneFromPath(link); SystemContext::isKnownTimeZone(zone))
        return zone;
    QFile file("/etc/timezone");
    if (file.open(QIODevice::ReadOnly)) {
        const QString zone = QString::fromUtf8(file.readAll()).trimmed();
        if (SystemContext::isKnownTimeZone(zone))
            return zone;
    }
    std::unique_ptr<icu::TimeZone> detected(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    return fromIcu(detected->getID(id));
}

void loadLocked() {
    const QString localeID =
        SystemContext::localeIDFromPosix(firstSetVariable({"LC_ALL", "LC_TIME", "LANG"}));
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(localeID.toUtf8().constData()), status);

    QString zoneID = SystemContext::zoneIDFromTZ(qEnvironmentVariable("TZ"));
    if (!SystemContext::isKnownTimeZone(zoneID))
        zoneID = hostZoneID();
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(toIcu(zoneID)));
    loaded = true;
}

void ensureLoaded() {
    QMutexLocker lock(&contextMutex);
    if (!loaded)
        loadLocked();
}

} // namespace

namespace SystemContext {

QString localeIDFromPosix(const QString& posixName) {
    QString name = posixName.section('.', 0, 0).section('@', 0, 0);
    if (name.isEmpty() || name == "C" || name == "POSIX")
        return "en_US_POSIX";
    return name;
}

QString zoneIDFromTZ(const QString& tzValue) {
    QString value = tzValue.startsWith(':') ? tzValue.mid(1) : tzValue;
    if (value.startsWith('/'))
        return zoneFromPath(value);
    return value;
}

QString currentLocaleID() {
    ensureLoaded();
    return QString::fromUtf8(icu::Locale::getDefault().getName());
}

QString currentTimeZoneID() {
    icu::UnicodeString id;
    return fromIcu(currentTimeZone()->getID(id));
}

bool isKnownTimeZone(const QString& id) {
    if (id.isEmpty())
        return false;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(toIcu(id)));
    return *zone != icu::TimeZone::getUnknown();
}

icu::Locale currentLocale() {
    ensureLoaded();
    return icu::Locale::getDefault();
}

std::unique_ptr<icu::TimeZone> currentTimeZone() {
    ensureLoaded();
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createDefault());
}

icu::Locale localeFor(const std::optional<QString>& localeID) {
    if (!localeID)
        return currentLocale();
    return icu::Locale(localeID->toUtf8().constData());
}

std::unique_ptr<icu::TimeZone> timeZoneFor(const std::optional<QString>& zoneID) {
    if (zoneID && !zoneID->isEmpty()) {
        std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(toIcu(*zoneID)));
        if (*zone != icu::TimeZone::getUnknown())
            return zone;
    }
    return currentTimeZone();
}

QStringList preferredLanguages() {
    QStringList languages;
    const QString locale = firstSetVariable({"LC_ALL", "LC_MESSAGES", "LANG"});
    // LANGUAGE is a priority list, honoured unless the locale is plain C, as gettext does.
    if (!locale.isEmpty() && localeIDFromPosix(locale) != "en_US_POSIX") {
        for (const QString& entry : qEnvironmentVariable("LANGUAGE").split(':', Qt::SkipEmptyParts))
            languages.append(localeIDFromPosix(entry).replace('_', '-'));
    }
    if (const QString id = localeIDFromPosix(locale); id != "en_US_POSIX")
        languages.append(QString(id).replace('_', '-'));
    languages.removeDuplicates();
    return languages;
}

void reloadFromEnvironment() {
    QMutexLocker lock(&contextMutex);
    loadLocked();
}

} // namespace SystemContext
