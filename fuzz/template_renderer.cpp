// Feeds the renderer a menu-bar item whose templates, zones, languages and separator come
// from the input, at an instant from the input, and compares what it shows with the rules
// read the plain way.
//
// Input: 8 bytes of instant, then UTF-16 (lone surrogates included) cut at U+0000 into
// fields: template, zone, language, separator, then (text, zone, language) per part. An
// empty zone or language is absent; without a fourth field the separator is absent.
#include "FuzzSupport.h"
#include "model/MenuBarRenderer.h"
#include "model/TemplateSyntax.h"
#include "platform/SystemContext.h"

#include <QDateTime>

#include <cstring>

namespace {

constexpr qint64 firstInstant = -62135596800000; // 0001-01-01T00:00:00Z
constexpr qint64 lastInstant = 253402300799999;  // 9999-12-31T23:59:59.999Z
constexpr int maxParts = 6;

QDateTime instantFrom(const uint8_t* data) {
    quint64 raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    const quint64 span = quint64(lastInstant - firstInstant) + 1;
    return QDateTime::fromMSecsSinceEpoch(firstInstant + qint64(raw % span), Qt::UTC);
}

std::optional<QString> optionalField(const QStringList& fields, qsizetype at) {
    const QString field = fields.value(at);
    return field.isEmpty() ? std::nullopt : std::optional<QString>(field);
}

MenuBarItem itemFrom(const QStringList& fields) {
    MenuBarItem item;
    item.id = QUuid(0x12345678, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    item.templateText = fields.value(0);
    item.timeZoneID = optionalField(fields, 1);
    item.localeID = optionalField(fields, 2);
    if (fields.size() > 3)
        item.separator = fields.at(3);
    QList<MenuBarPart> parts;
    for (qsizetype at = 4; at < fields.size() && parts.size() < maxParts; at += 3)
        parts.append({fields.at(at), optionalField(fields, at + 1), optionalField(fields, at + 2)});
    if (!parts.isEmpty())
        item.parts = parts;
    return item;
}

// Tokens of the text replaced in the settings' zone and language; unknown names stay.
QString plainTokens(const QString& text, const MenuBarItem& settings, const QDateTime& at) {
    QString out;
    qsizetype from = 0;
    for (const TemplateSyntax::TokenMatch& token : TemplateSyntax::tokenMatches(text)) {
        out += text.mid(from, token.start - from);
        out += MenuBarRenderer::value(token.name, settings, at)
                   .value_or(text.mid(token.start, token.end - token.start));
        from = token.end;
    }
    return out + text.mid(from);
}

// Each block's content in the block's zone (when known) and language, then the whole text,
// blocks replaced by their output, scanned for tokens once more in the part's own settings.
QString plainPart(const MenuBarPart& part, const MenuBarItem& item, const QDateTime& at) {
    MenuBarItem own = item;
    own.timeZoneID = part.timeZoneID ? part.timeZoneID : item.timeZoneID;
    own.localeID = part.localeID ? part.localeID : item.localeID;
    QString joined;
    qsizetype from = 0;
    for (const TemplateSyntax::BlockMatch& block : TemplateSyntax::blockMatches(part.text)) {
        joined += part.text.mid(from, block.start - from);
        const TemplateSyntax::BlockSelector selector =
            TemplateSyntax::splitSelector(block.selector);
        MenuBarItem blockSettings = own;
        if (SystemContext::isKnownTimeZone(selector.zone))
            blockSettings.timeZoneID = selector.zone;
        if (!selector.language.isEmpty())
            blockSettings.localeID = selector.language;
        joined += plainTokens(block.content, blockSettings, at);
        from = block.end;
    }
    return plainTokens(joined + part.text.mid(from), own, at);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::fixLocaleAndZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8)
        return 0;
    const QDateTime at = instantFrom(data);
    const MenuBarItem item = itemFrom(Fuzz::utf16(data + 8, size - 8).split(QChar(0)));

    QStringList plain;
    for (const MenuBarPart& part : item.effectiveParts())
        plain.append(plainPart(part, item, at));
    const QString expected = plain.join(item.effectiveSeparator());
    const QString shown = MenuBarRenderer::render(item, at);
    Fuzz::check(shown == expected, "the renderer agrees with the plain reading of the rules",
                "shown: " + shown + "\nplain: " + expected);
    Fuzz::check(MenuBarRenderer::render(item, at) == shown,
                "rendering from the cached templates gives the same text", shown);

    // Every new language and zone adds a formatter to the cache; keep the process small.
    static int renders = 0;
    if (++renders % 256 == 0)
        MenuBarRenderer::resetCache();
    return 0;
}
