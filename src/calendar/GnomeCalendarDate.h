#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The text GNOME Calendar's "--date" option understands. GNOME Calendar reads it with
// evolution-data-server's e_time_parse_date_and_time(), which tries strptime() formats that
// are messages of that library's own catalogue: a bare date is "%m/%d/%Y" as translated in
// the catalogue "evolution-data-server" for the program's LC_MESSAGES language ("%d/%m/%Y"
// in French, "%d.%m.%Y" in German, "%Y. %m. %d." in Hungarian ...). The day must be written
// in that very form, so the form is looked up at run time in the same catalogue.
namespace GnomeCalendarDate {

inline constexpr const char* catalogue = "evolution-data-server";
inline constexpr const char* untranslated = "%m/%d/%Y";

// The catalogue's translation of "%m/%d/%Y" for the LC_MESSAGES language of the environment
// (and LANGUAGE, as gettext reads it); "%m/%d/%Y" without a catalogue or a translation.
QString format();

// The day (years 1 to 9999) in a strftime-style date form, with the conversions a
// translation of "%m/%d/%Y" uses: %d, %e, %m, %y, %Y and %%, each with the flags "-" (no
// padding), "_" (spaces) or "0" (zeros), which strptime() skips. Absent for anything else,
// the E and O modifiers included: the Thai translation's "%Ey" is a year of the Buddhist era
// and the Persian "%Oy/%Om/%Od" wants the locale's own digits, which strptime() reads only
// with that locale's time data; without a date GNOME Calendar still opens, on its own day.
std::optional<QString> render(const QString& format, const QDate& day);

// The day as GNOME Calendar reads it now: render(format(), day).
std::optional<QString> argument(const QDate& day);

} // namespace GnomeCalendarDate
