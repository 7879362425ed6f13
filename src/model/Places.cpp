#include "model/Places.h"

#include "platform/Graphemes.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// Regional indicator A (U+1F1E6) minus "A" (U+0041).
constexpr char32_t regionalIndicatorShift = 0x1F1A5;

std::optional<QString> readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(file.readAll());
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString firstNonEmptyPiece(const QString& commaSeparated) {
    for (const QString& piece : commaSeparated.split(u','))
        if (!piece.isEmpty())
            return piece;
    return {};
}

void addTable(const QString& text, QHash<QString, QString>& countryByZone) {
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 3)
            continue;
        const QString& zone = fields.at(2);
        if (countryByZone.contains(zone))
            continue;
        const QString country = firstNonEmptyPiece(fields.at(0));
        if (Graphemes::count(country) == 2)
            countryByZone.insert(zone, country);
    }
}

} // namespace

namespace Places {

QStringList zoneTableSources() {
    return {"/usr/share/zoneinfo/zone.tab", "/usr/share/zoneinfo/zone1970.tab"};
}

QHash<QString, QString> readCountryByZone(const QStringList& sources) {
    QHash<QString, QString> table;
    for (const QString& source : sources) {
        if (const auto text = readUtf8(source))
            addTable(*text, table);
    }
    return table;
}

const QHash<QString, QString>& countryByZone() {
    static const QHash<QString, QString> table = readCountryByZone(zoneTableSources());
    return table;
}

std::optional<QString> flagForCountry(const QString& code) {
    QString flag;
    for (const char32_t scalar : code.toUpper().toUcs4()) {
        const char32_t shifted = scalar + regionalIndicatorShift;
        if (shifted > 0x10FFFF)
            return std::nullopt;
        flag += QString::fromUcs4(&shifted, 1);
    }
    return flag;
}

std::optional<QString> flag(const QString& zoneID) {
    const auto found = countryByZone().constFind(zoneID);
    if (found == countryByZone().cend())
        return std::nullopt;
    return flagForCountry(*found);
}

QString cityName(const QString& zoneID) {
    const QStringList pieces = zoneID.split(u'/', Qt::SkipEmptyParts);
    QString city = pieces.isEmpty() ? zoneID : pieces.last();
    return city.replace(u'_', u' ');
}

} // namespace Places
