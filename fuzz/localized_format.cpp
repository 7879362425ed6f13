// Feeds printf-style patterns and arguments to the formatting of localized texts, as a
// faulty translation might.
//
// Input: UTF-16 (lone surrogates included) cut at U+0000: the pattern, then the arguments.
// An argument's first code unit picks its type: 'i' an integer, 'u' an unsigned one, 'f' a
// real, 'b' a truth value, anything else text (the whole field).
#include "FuzzSupport.h"
#include "settings/Localization.h"

namespace {

QVariant argumentFrom(const QString& field) {
    const QString rest = field.mid(1);
    switch (field.isEmpty() ? u'\0' : field.front().unicode()) {
    case u'i':
        return QVariant(rest.toLongLong());
    case u'u':
        return QVariant(rest.toULongLong());
    case u'f':
        return QVariant(rest.toDouble());
    case u'b':
        return QVariant(!rest.isEmpty());
    default:
        return QVariant(field);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList fields = Fuzz::utf16(data, size).split(QChar(0));
    const QString& pattern = fields.first();
    QVariantList arguments;
    for (qsizetype i = 1; i < fields.size(); ++i)
        arguments.append(argumentFrom(fields.at(i)));

    const QString formatted = Localization::format(pattern, arguments);
    if (!pattern.contains(u'%'))
        Fuzz::check(formatted == pattern, "a pattern without conversions is its own text", pattern);
    // Without arguments every conversion stays as written; only "%%" changes.
    if (!pattern.contains(u"%%"))
        Fuzz::check(Localization::format(pattern, {}) == pattern,
                    "conversions without arguments stay as written", pattern);
    return 0;
}
