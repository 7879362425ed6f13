#pragma once

#include <QString>
#include <QStringList>

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <optional>

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
// The current locale and zone as ICU objects.
icu::Locale currentLocale();
std::unique_ptr<icu::TimeZone> currentTimeZone();
// The locale made from the identifier, unchecked (ICU falls back on its own data for a
// language it lacks), or the current locale when absent.
icu::Locale localeFor(const std::optional<QString>& localeID);
// The zone named by the identifier when ICU knows it, else the current zone.
std::unique_ptr<icu::TimeZone> timeZoneFor(const std::optional<QString>& zoneID);
// The user's languages for the interface, most preferred first, as BCP 47 tags ("fr-CA").
QStringList preferredLanguages();
// Reads the environment again and replaces ICU's defaults. Thread-safe.
void reloadFromEnvironment();

// Pure helpers, exposed for tests.
QString localeIDFromPosix(const QString& posixName);
QString zoneIDFromTZ(const QString& tzValue);

} // namespace SystemContext
