#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The messages window's geometry in logical pixels, counted from the top left as Qt does: the
// window's fixed frames and the stacking of the conversation's entries in the scrolled list.
namespace MessagesLayout {

inline constexpr QSize windowSize{460, 520};
inline constexpr QRect list{0, 0, 460, 416};
inline constexpr QRect divider{0, 416, 460, 1};
inline constexpr QRect replyField{22, 428, 416, 40};
inline constexpr int entryX = 22;
inline constexpr int entryWidth = 416;

// The send button, sized to fit: its right edge at 438, its bottom 14 above the window's.
QRect sendButton(QSize size);
// The hint, sized to fit: at x 22, its bottom 20 above the window's.
QRect hint(QSize size);
// The hint, sized to fit, when it stands alone under the divider (no reply can be written):
// at x 22, centred in the height left under the divider.
QRect closedHint(QSize size);
// The line of an empty list, centred in the list's width at y 60.
QRect emptyNote(QSize size);

struct EntrySizes {
    QSize header;       // sized to fit
    int bodyHeight = 0; // the height the body needs at entryWidth
};

struct EntryFrames {
    QRect header;
    QRect body;
    QRect separator;

    bool operator==(const EntryFrames&) const = default;
};

struct ListFrames {
    QList<EntryFrames> entries;
    int height = 0;
};

// The entries one under the other from y 20: each header, 5 below it the body, 16 below that
// a separator, and 18 below the separator the next header. The list is 10 taller than its
// last separator's step, and never lower than the window's list.
ListFrames entries(const QList<EntrySizes>& sizes);

} // namespace MessagesLayout
