#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Where a time zone is: its country (from the system's time-zone tables), that country's
// flag, and the city its identifier names. Nothing here depends on the locale.
namespace Places {

// The system's tables, read in this order.
QStringList zoneTableSources();
// Zone identifier -> two-character country code, read from the given tab-separated tables of
// the time-zone database. The first line naming a zone wins, across files in the given
// order and within a file. Unreadable files, comment lines, short lines and codes that are
// not two characters long are skipped.
QHash<QString, QString> readCountryByZone(const QStringList& sources);
// readCountryByZone(zoneTableSources()), read once on first use and kept for the process.
const QHash<QString, QString>& countryByZone();

// The pair of regional-indicator symbols that shows a country code as a flag ("CH" gives
// U+1F1E8 U+1F1ED); absent when a shifted scalar would leave Unicode.
std::optional<QString> flagForCountry(const QString& code);
// The flag of the zone's country; absent when the zone is in no table.
std::optional<QString> flag(const QString& zoneID);
// The last piece of the identifier with underscores as spaces: "America/Argentina/Buenos_Aires"
// gives "Buenos Aires"; an identifier without a slash is its own city.
QString cityName(const QString& zoneID);

} // namespace Places
