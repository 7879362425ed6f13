#include "editor/ChipPayload.h"

#include <QRegularExpression>

namespace {

constexpr std::pair<Chip::Kind, QLatin1StringView> prefixes[] = {
    {Chip::Kind::token, QLatin1StringView("t:")},
    {Chip::Kind::text, QLatin1StringView("x:")},
    {Chip::Kind::composite, QLatin1StringView("c:")},
};

std::optional<qint64> decimal(const QString& text) {
    static const QRegularExpression digits(QRegularExpression::anchoredPattern("[0-9]+"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    bool fits = false;
    const qint64 value = text.toLongLong(&fits);
    return fits ? std::optional(value) : std::nullopt;
}

} // namespace

namespace ChipPayload {

QString encode(const Payload& payload) {
    QString prefix;
    for (const auto& [kind, text] : prefixes) {
        if (kind == payload.chip.kind)
            prefix = text;
    }
    return QString::number(payload.sourceId) + '|' + QString::number(payload.index) + '|' + prefix +
           payload.chip.value;
}

std::optional<Payload> decode(const QString& text) {
    const qsizetype first = text.indexOf('|');
    const qsizetype second = first < 0 ? -1 : text.indexOf('|', first + 1);
    if (second < 0)
        return std::nullopt;
    const auto sourceId = decimal(text.first(first));
    const auto index = decimal(text.sliced(first + 1, second - first - 1));
    const QString chip = text.sliced(second + 1);
    if (!sourceId || !index)
        return std::nullopt;
    for (const auto& [kind, prefix] : prefixes) {
        if (chip.startsWith(prefix))
            return Payload{*sourceId, *index, Chip{kind, chip.sliced(prefix.size())}};
    }
    return std::nullopt;
}

} // namespace ChipPayload
