#include "support/MessagesLayout.h"

#include <algorithm>

namespace MessagesLayout {

namespace {

constexpr int firstHeaderY = 20;
constexpr int headerToBody = 5;
constexpr int bodyToSeparator = 16;
constexpr int separatorStep = 18;
constexpr int bottomMargin = 10;
constexpr int emptyNoteY = 60;

} // namespace

QRect sendButton(QSize size) {
    const int right = 438;
    const int bottom = windowSize.height() - 14;
    return QRect(QPoint(right - size.width(), bottom - size.height()), size);
}

QRect hint(QSize size) {
    return QRect(QPoint(entryX, windowSize.height() - 20 - size.height()), size);
}

QRect closedHint(QSize size) {
    const int top = divider.bottom() + 1;
    return QRect(QPoint(entryX, top + (windowSize.height() - top - size.height()) / 2), size);
}

QRect emptyNote(QSize size) {
    return QRect(QPoint((list.width() - size.width()) / 2, emptyNoteY), size);
}

ListFrames entries(const QList<EntrySizes>& sizes) {
    ListFrames frames;
    int y = firstHeaderY;
    for (const EntrySizes& entry : sizes) {
        EntryFrames placed;
        placed.header = QRect(QPoint(entryX, y), entry.header);
        y += entry.header.height() + headerToBody;
        placed.body = QRect(entryX, y, entryWidth, entry.bodyHeight);
        y += entry.bodyHeight + bodyToSeparator;
        placed.separator = QRect(entryX, y, entryWidth, 1);
        y += separatorStep;
        frames.entries.append(placed);
    }
    frames.height = std::max(y + bottomMargin, list.height());
    return frames;
}

} // namespace MessagesLayout
