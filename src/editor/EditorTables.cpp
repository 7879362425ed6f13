#include "editor/EditorTables.h"

#include "platform/Graphemes.h"
#include "platform/IcuString.h"
#include "settings/Localization.h"

#include <cmath>

namespace EditorTables {

namespace {

QList<Chip> tokens(const QStringList& names) {
    QList<Chip> chips;
    for (const QString& name : names)
        chips.append(Chip::token(name));
    return chips;
}

QList<Chip> composites(const QStringList& fragments) {
    QList<Chip> chips;
    for (const QString& fragment : fragments)
        chips.append(Chip::composite(fragment));
    return chips;
}

QList<Chip> texts(const QStringList& literals) {
    QList<Chip> chips;
    for (const QString& literal : literals)
        chips.append(Chip::text(literal));
    return chips;
}

} // namespace

const QList<SeparatorChoice>& separators() {
    static const QList<SeparatorChoice> table = {
        {"menubar.sep_2", QStringLiteral("  ")},    {"menubar.sep_1", QStringLiteral(" ")},
        {"menubar.sep_3", QStringLiteral("   ")},   {"menubar.sep_dot", QStringLiteral(" \u00B7 ")},
        {"menubar.sep_bar", QStringLiteral(" | ")}, {"menubar.sep_none", QString()},
    };
    return table;
}

std::optional<int> separatorTag(const QString& separator) {
    for (int tag = 0; tag < separators().size(); ++tag) {
        if (separators()[tag].value == separator)
            return tag;
    }
    return std::nullopt;
}

QList<ChipSection> paletteSections() {
    return {
        {L("menubar.sec_time"), composites({"{HH}:{min}", "{H}:{min}", "{hh}:{min} {ampm}",
                                            "{h}:{min} {ampm}", "{HH}:{min}:{sec}"}) +
                                    tokens({"HH", "H", "hh", "h", "min", "sec", "ampm"})},
        {L("menubar.sec_date"),
         composites({"{wd} {day}", "{wd} {day} {mon}", "{weekday} {day} {month}",
                     "{dd}.{mm}.{year}", "{dd}/{mm}", "S{week}"}) +
             tokens(
                 {"wd", "weekday", "day", "dd", "mon", "month", "mm", "m", "year", "yy", "week"})},
        {L("menubar.sec_place"), tokens({"flag", "city", "tz", "utc"})},
        {L("menubar.sec_sep"),
         texts({" ", "  ", ":", QStringLiteral("\u00B7"), "|", "/", "-", "."})},
    };
}

std::optional<QString> captionKey(const QString& tokenName) {
    static const QStringList captioned = {"HH", "H",  "hh", "h",    "min", "sec", "day",
                                          "dd", "mm", "m",  "year", "yy",  "week"};
    if (!captioned.contains(tokenName))
        return std::nullopt;
    return "cap." + tokenName;
}

const QStringList& languageCodes() {
    static const QStringList codes = {"fr",      "en", "de", "it", "es", "pt", "nl", "th", "ja",
                                      "zh-Hans", "ko", "ru", "ar", "tr", "pl", "sv", "da", "nb",
                                      "fi",      "cs", "el", "hu", "ro", "vi", "id"};
    return codes;
}

int languageTag(const std::optional<QString>& localeID) {
    return localeID ? int(languageCodes().indexOf(*localeID)) + 1 : 0;
}

std::optional<QString> languageCode(int tag) {
    if (tag < 1 || tag > languageCodes().size())
        return std::nullopt;
    return languageCodes()[tag - 1];
}

QString languageTitle(const QString& code, const icu::Locale& displayLocale) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale language = icu::Locale::forLanguageTag(code.toStdString(), status);
    icu::UnicodeString name;
    if (U_SUCCESS(status))
        language.getDisplayName(displayLocale, name);
    const QString title = name.isEmpty() ? code : fromIcu(name);
    return Graphemes::upperCaseFirst(title, displayLocale);
}

double roundedPadding(double points) {
    // std::round takes halves away from zero; adding 0 turns a negative zero into zero, so
    // that a slider just left of zero never reads "-0 pt".
    return std::round(points) + 0.0;
}

QString paddingText(double padding) {
    return QString::asprintf("%.0f pt", padding);
}

} // namespace EditorTables
