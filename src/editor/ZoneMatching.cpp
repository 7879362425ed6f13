#include "editor/ZoneMatching.h"

#include "model/Places.h"
#include "model/TemplateSyntax.h"
#include "platform/IcuString.h"
#include "platform/SystemContext.h"

#include <unicode/strenum.h>
#include <unicode/timezone.h>

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

Resolution resolve(const QString& typed, const QStringList& zones, const QStringList& systemNames) {
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
    return {};
}

} // namespace ZoneMatching
