#include "editor/EmojiRuns.h"

#include "platform/Graphemes.h"

#include <unicode/uchar.h>

#include <numeric>

namespace EmojiRuns {

namespace {

constexpr char32_t presentationSelector = 0xFE0F;
constexpr char32_t keycap = 0x20E3;

bool isEmoji(const QString& grapheme) {
    for (const char32_t c : grapheme.toUcs4()) {
        if (c == presentationSelector || c == keycap ||
            u_hasBinaryProperty(UChar32(c), UCHAR_EXTENDED_PICTOGRAPHIC) ||
            u_hasBinaryProperty(UChar32(c), UCHAR_REGIONAL_INDICATOR))
            return true;
    }
    return false;
}

} // namespace

QList<Run> split(const QString& text) {
    QList<Run> runs;
    for (const QString& grapheme : Graphemes::clusters(text)) {
        const bool emoji = isEmoji(grapheme);
        if (runs.isEmpty() || runs.last().emoji != emoji)
            runs.append({grapheme, emoji});
        else
            runs.last().text += grapheme;
    }
    return runs;
}

qsizetype wholeRuns(const QList<qreal>& widths, qreal room, qreal ellipsisWidth) {
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    if (total <= room)
        return widths.size();
    qreal used = 0;
    qsizetype whole = 0;
    while (whole < widths.size() && used + widths[whole] <= room - ellipsisWidth)
        used += widths[whole++];
    return whole;
}

} // namespace EmojiRuns
