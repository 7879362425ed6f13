#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The clicks i3bar and swaybar send on the status command's standard input: after a "[" line,
// one JSON object per line, each after the first led by a comma. Only what the status line
// acts on is read: the block's name, the button (1 left, 2 middle, 3 right, 4 and 5 the wheel
// up and down) and where the pointer was on the screen.
struct ClickEvent {
    QString name;
    int button = 0;
    std::optional<QPoint> at;

    // Absent, with `why` said, for anything but a JSON object with a whole-number button;
    // a name or a position of the wrong type counts as absent.
    static std::optional<ClickEvent> parse(const QByteArray& line, QString* why = nullptr);

    // The arguments of the `vesperin` start that does what the click asks: the left button
    // opens the calendar panel where the click was, the right one the status menu, the wheel
    // turns the open panel's month. Empty for other buttons.
    QStringList openArguments() const;
};

// Cuts the bytes of standard input into lines and hands each click to `clicked`. A line longer
// than maxLine is dropped whole, and so is a line that is no click, each with one log line;
// nothing a bar writes can make it hold more than one line's worth.
class ClickReader {
public:
    static constexpr qsizetype maxLine = qsizetype(64) * 1024;

    explicit ClickReader(std::function<void(const ClickEvent&)> clicked);

    void feed(const QByteArray& bytes);

private:
    void lineEnded(const QByteArray& line);

    std::function<void(const ClickEvent&)> m_clicked;
    QByteArray m_line;
    bool m_skipping = false; // inside a line that grew too long
};
