#pragma once

#include <QPoint>
#include <QString>

#include <optional>

// What a start of the program asks the running application to do: reopen (the desktop's plain
// start), or open the calendar panel, the status menu, the editor or the settings, or turn the
// open panel's month (`vesperin --open=...`, which bars call on a click). It travels between
// the two processes as one short line of text, "panel 812 4" or "scroll -1"; anything else
// that arrives is no request at all.
struct OpenRequest {
    enum class What { reopen, panel, menu, editor, settings, scroll };

    What what = What::reopen;
    // Where the click was, for the panel and the menu; absent: under the pointer.
    std::optional<QPoint> at;
    // For scroll: months, positive for a turn away from the user.
    int steps = 0;

    // Longer lines are refused before they are read to the end.
    static constexpr int maxLength = 64;

    // "panel", "menu", "editor", "settings" (the --open values); absent for any other.
    static std::optional<What> fromName(const QString& name);
    QString text() const;
    static std::optional<OpenRequest> parse(const QString& text);

    bool operator==(const OpenRequest&) const = default;
};
