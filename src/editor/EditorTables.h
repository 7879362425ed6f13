#pragma once

#include "editor/ChipStripLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <unicode/locid.h>

#include <optional>

// The editor's fixed choices: the separators an item can join its parts with, the palette's
// sections, the tokens whose palette chips carry a caption, the languages a part can be
// shown in, and how the padding slider's position becomes the stored padding.
namespace EditorTables {

struct SeparatorChoice {
    const char* titleKey;
    QString value;
};

// In menu order; a choice's tag is its index.
const QList<SeparatorChoice>& separators();
// The tag of the choice joining with exactly `separator`; absent for any other string.
std::optional<int> separatorTag(const QString& separator);

// Time, date, place and separator chips, each section under its localized title.
QList<ChipSection> paletteSections();
// The string-table key of the caption a palette chip of this token shows after its value.
std::optional<QString> captionKey(const QString& tokenName);

// The 25 language codes a part may name; a code's tag is its position counted from 1, and
// tag 0 stands for the system's language.
const QStringList& languageCodes();
// 0 for an absent language or one not listed.
int languageTag(const std::optional<QString>& localeID);
// Absent for tag 0 or a tag outside the table.
std::optional<QString> languageCode(int tag);
// The language's name as `displayLocale` writes it, with a capital first letter; the code
// itself when that locale has no name for it.
QString languageTitle(const QString& code, const icu::Locale& displayLocale);

// The slider moves in tenths of a point over the padding's range, so that a half point can
// be reached; the stored padding is the nearest whole point, halves away from zero.
inline constexpr int paddingSliderScale = 10;
double roundedPadding(double points);
// "8 pt": the padding as the editor reads it out.
QString paddingText(double padding);

} // namespace EditorTables
