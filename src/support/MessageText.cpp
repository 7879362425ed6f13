#include "support/MessageText.h"

#include "platform/IcuString.h"
#include "platform/SystemContext.h"
#include "settings/Localization.h"
#include "support/ServiceClient.h"

#include <unicode/datefmt.h>

#include <memory>

namespace MessageText {

namespace {

constexpr char16_t controlPictures = 0x2400;
constexpr char16_t deletePicture = 0x2421;
constexpr char16_t replacement = 0xfffd;

QChar visible(QChar c) {
    const char16_t code = c.unicode();
    if (code < 0x20)
        return QChar(char16_t(controlPictures + code));
    if (code == 0x7f)
        return QChar(deletePicture);
    if (code >= 0x80 && code < 0xa0)
        return QChar(replacement);
    return c;
}

} // namespace

QString header(const ArchivedMessage& message) {
    return L(message.mine ? "messages.you_prefix" : "messages.orvenna_labs_prefix") +
           dateText(message.date);
}

QString dateText(const QDateTime& date) {
    std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kLong, icu::DateFormat::kShort, SystemContext::currentLocale()));
    if (!format)
        return date.toLocalTime().toString(Qt::ISODate);
    format->adoptTimeZone(SystemContext::currentTimeZone().release());
    icu::UnicodeString text;
    format->format(UDate(date.toMSecsSinceEpoch()), text);
    return fromIcu(text);
}

QString shown(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            result.append(u'\n');
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n' || c == u'\t') {
            result.append(c);
        } else {
            result.append(visible(c));
        }
    }
    return result;
}

} // namespace MessageText
