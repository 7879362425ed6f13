#pragma once

#include <QString>
#include <QVariant>

// Localized text by key. The text comes from the table of the user's preferred language;
// a key that table lacks falls back to the English table, and a key missing there too is
// shown as itself. An empty translation is a real one.
QString L(const QString& key);

namespace Localization {

// printf-style formatting without a locale, over the conversions our tables use:
// %d %i %ld %lld %u (integers), %f (reals), %@ and %s (text), %% and positional %1$d.
// A conversion without a matching argument is left as written.
QString format(const QString& pattern, const QVariantList& arguments);

// The language whose table answers first, e.g. "fr"; "en" when no preferred language has one.
QString tableLanguage();

// Where the tables are read from: "<folder>/<language>.json", each a JSON object of key to
// text. The application's own tables are the resources under ":/strings". Tests point this
// at tables of their own; changing it drops every table read so far.
void setTableFolder(const QString& folder);

} // namespace Localization

// The text of `key` used as a printf-style format with the given arguments.
template <typename First, typename... Rest>
QString L(const QString& key, const First& first, const Rest&... rest) {
    return Localization::format(L(key), {QVariant::fromValue(first), QVariant::fromValue(rest)...});
}
