#pragma once

#include <QList>
#include <QString>

// A line of text cut into runs of emoji and runs of everything else, between graphemes, so
// that a flag, a pictograph with its modifiers and joiners or a keycap stays whole. Colour
// emoji are costly to lay out (their images are decoded each time), while the text around them
// changes every second in a live clock: the runs let the emoji be laid out once.
namespace EmojiRuns {

struct Run {
    QString text;
    bool emoji = false;

    bool operator==(const Run&) const = default;
};

QList<Run> split(const QString& text);
// How many runs of these widths are drawn whole in `room`: all of them when they fit,
// otherwise those that fit with an ellipsis after them (the next one is then cut).
qsizetype wholeRuns(const QList<qreal>& widths, qreal room, qreal ellipsisWidth);

} // namespace EmojiRuns
