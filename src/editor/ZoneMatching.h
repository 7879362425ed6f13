#pragma once

#include <QString>
#include <QStringList>

#include <unicode/locid.h>

// The time zones a part can name, and what the text typed into the editor's zone field
// stands for.
namespace ZoneMatching {

// Every place of the system's time-zone tables that ICU knows ("Europe/Paris",
// "America/Argentina/Buenos_Aires"), plus "UTC", in ascending order of their UTF-16 text:
// each place once, under its current name. Old names ("Asia/Calcutta", "US/Pacific") and the
// fixed-offset "Etc/GMT+5" zones, whose signs read backwards, are left out. Without tables,
// ICU's own location zones stand in.
const QStringList& knownZones();

// The city each zone is named after, as `locale`'s language writes it ("New York", "Wien" in
// German), one per zone and in the same order; empty where ICU names none (UTC).
QStringList exemplarCities(const QStringList& zones, const icu::Locale& locale);

// The text as a search compares it: accents and case gone, spaces, underscores, hyphens and
// slashes each one space, other punctuation dropped ("São_Paulo" and "sao paulo" are both
// "sao paulo"; "N'Djamena" is "ndjamena").
QString searchKey(const QString& text);

struct Resolution {
    enum class Kind { systemZone, zone, noMatch };
    Kind kind = Kind::noMatch;
    QString zone; // for Kind::zone, in the list's own spelling

    bool operator==(const Resolution&) const = default;
};

// The typed text, trimmed of spaces and tabs: empty or one of `systemNames` is the system's
// zone; a zone of `zones` exactly is that zone; otherwise the first of `zones` that contains
// it, ignoring case ("tokyo" is Asia/Tokyo). Where that finds nothing, the first zone whose
// identifier or city (`cities`, one per zone) contains it as `searchKey` compares them ("new
// york", "zurich", "Wien"); otherwise no match.
Resolution resolve(const QString& typed, const QStringList& zones, const QStringList& cities,
                   const QStringList& systemNames);

} // namespace ZoneMatching
