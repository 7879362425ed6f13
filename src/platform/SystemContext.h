#pragma once

#include <QString>
#include <QStringList>

// The one place where the user's current locale, time zone and languages are read. They come
// from the environment (LC_ALL / LC_TIME / LANG, TZ, LANGUAGE) or, for the zone, from
// /etc/localtime, and are installed as ICU's defaults so that every formatter agrees. Tests
// change the environment and call reloadFromEnvironment().
namespace SystemContext {

// ICU's default locale, e.g. "fr_FR"; "en_US_POSIX" for the C locale.
QString currentLocaleID();
// ICU's default zone, e.g. "Europe/Paris".
QString currentTimeZoneID();
// Whether ICU knows this zone identifier (canonical or alias).
bool isKnownTimeZone(const QString& id);
// The user's languages for the interface, most preferred first, as BCP 47 tags ("fr-CA").
QStringList preferredLanguages();
// Reads the environment again and replaces ICU's defaults. Thread-safe.
void reloadFromEnvironment();

// Pure helpers, exposed for tests.
QString localeIDFromPosix(const QString& posixName);
QString zoneIDFromTZ(const QString& tzValue);

} // namespace SystemContext
