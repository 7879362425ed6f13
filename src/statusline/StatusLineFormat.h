#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// What the status line writes for a bar that reads its text from a program: the i3bar
// protocol (swaybar, i3bar), one JSON object a line for waybar's custom module, or one plain
// line a change (polybar's tail mode, and anything else). Pure functions: the status line
// decides when, these say what.
namespace StatusLineFormat {

enum class Format { i3bar, waybar, plain };

// "i3bar", "waybar", "plain"; absent for any other.
std::optional<Format> fromName(const QString& name);

// One enabled item as the bar shows it.
struct Block {
    QString name; // the item's id
    QString text; // as rendered; a blank one shows the application's name
};

// Written once, before the first line: the i3bar header (with click events) and the opening
// of its endless array; nothing for the other formats.
QByteArray header(Format format);

// One status line, ending with a newline. In the i3bar format every line after the first
// starts with the comma that separates it from the one before. The plain line and waybar's
// text join the blocks with two spaces; waybar's tooltip is `tooltip`.
QByteArray line(Format format, const QList<Block>& blocks, const QString& tooltip, bool first);

// The month of `now` as lines of text, for a tooltip: its title, the weekday names from
// `firstWeekday` (1 = Sunday, 2 = Monday) and six weeks of day numbers, today in brackets.
QString monthText(const QDateTime& now, int firstWeekday);

} // namespace StatusLineFormat
