#include "editor/ZoneMatching.h"

#include "model/Places.h"
#include "model/TemplateSyntax.h"
#include "platform/IcuString.h"
#include "platform/SystemContext.h"

#include <unicode/normalizer2.h>
#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/tznames.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <memory>

namespace ZoneMatching {

namespace {

// ICU's own canonical names are CLDR's, which never change: "Asia/Calcutta" rather than
// "Asia/Kolkata". Used only when the system has no time-zone tables.
QStringList icuLocationZones() {
    QStringList zones;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::StringEnumeration> ids(icu::TimeZone::createTimeZoneIDEnumeration(
        UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status));
    while (U_SUCCESS(status) && ids) {
        const icu::UnicodeString* id = ids->snext(status);
        if (!id)
            break;
        zones.append(fromIcu(*id));
    }
    return zones;
}

} // namespace

const QStringList& knownZones() {
    static const QStringList zones = [] {
        QStringList list = Places::countryByZone().keys();
        list.removeIf([](const QString& zone) { return !SystemContext::isKnownTimeZone(zone); });
        if (list.isEmpty())
            list = icuLocationZones();
        list.append(QStringLiteral("UTC"));
        std::sort(list.begin(), list.end());
        return list;
    }();
    return zones;
}

QStringList exemplarCities(const QStringList& zones, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::TimeZoneNames> names(
        icu::TimeZoneNames::createInstance(locale, status));
    QStringList cities;
    for (const QString& zone : zones) {
        icu::UnicodeString canonical;
        icu::UnicodeString city;
        UErrorCode zoneStatus = U_ZERO_ERROR;
        icu::TimeZone::getCanonicalID(toIcu(zone), canonical, zoneStatus);
        if (U_SUCCESS(status) && U_SUCCESS(zoneStatus))
            names->getExemplarLocationName(canonical, city);
        cities.append(fromIcu(city));
    }
    return cities;
}

QString searchKey(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* decomposition = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status))
        return text.toCaseFolded().simplified();
    icu::UnicodeString folded = decomposition->normalize(toIcu(text), status).foldCase();
    QString key;
    bool space = false;
    for (int32_t i = 0; i < folded.length(); i = folded.moveIndex32(i, 1)) {
        const UChar32 c = folded.char32At(i);
        if (u_isalnum(c)) {
            if (space && !key.isEmpty())
                key.append(u' ');
            space = false;
            key.append(QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1));
        } else if (u_isUWhiteSpace(c) || c == u'_' || c == u'-' || c == u'/') {
            space = true;
        } // accents (marks left by the decomposition) and other punctuation go
    }
    return key;
}

Resolution resolve(const QString& typed, const QStringList& zones, const QStringList& cities,
                   const QStringList& systemNames) {
    const QString text = TemplateSyntax::trimmed(typed);
    if (text.isEmpty() || systemNames.contains(text))
        return {Resolution::Kind::systemZone, {}};
    if (zones.contains(text))
        return {Resolution::Kind::zone, text};
    const auto found = std::find_if(zones.begin(), zones.end(), [&](const QString& zone) {
        return zone.contains(text, Qt::CaseInsensitive);
    });
    if (found != zones.end())
        return {Resolution::Kind::zone, *found};
    const QString key = searchKey(text);
    if (key.isEmpty())
        return {};
    for (qsizetype i = 0; i < zones.size(); ++i) {
        if (searchKey(zones[i]).contains(key) ||
            (i < cities.size() && searchKey(cities[i]).contains(key)))
            return {Resolution::Kind::zone, zones[i]};
    }
    return {};
}

} // namespace ZoneMatching
