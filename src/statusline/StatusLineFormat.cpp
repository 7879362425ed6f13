#include "statusline/StatusLineFormat.h"

#include "calendar/CalEngine.h"
#include "calendar/MonthGrid.h"
#include "model/TemplateSyntax.h"
#include "platform/SystemContext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace StatusLineFormat {

namespace {

// A blank item stands for the calendar icon the status items would show.
QString shown(const Block& block) {
    return TemplateSyntax::trimmed(block.text).isEmpty() ? QStringLiteral("Vesperin") : block.text;
}

QString joined(const QList<Block>& blocks) {
    QStringList texts;
    for (const Block& block : blocks)
        texts.append(shown(block));
    return texts.join(QStringLiteral("  "));
}

// A plain line is one line, whatever the free text of a template holds.
QString oneLine(QString text) {
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control || character == QChar::LineSeparator ||
            character == QChar::ParagraphSeparator)
            character = ' ';
    }
    return text;
}

QByteArray compact(const QJsonDocument& document) {
    return document.toJson(QJsonDocument::Compact);
}

} // namespace

std::optional<Format> fromName(const QString& name) {
    if (name == QLatin1String("i3bar"))
        return Format::i3bar;
    if (name == QLatin1String("waybar"))
        return Format::waybar;
    if (name == QLatin1String("plain"))
        return Format::plain;
    return std::nullopt;
}

QByteArray header(Format format) {
    if (format != Format::i3bar)
        return {};
    return compact(QJsonDocument(QJsonObject{{"version", 1}, {"click_events", true}})) + "\n[\n";
}

QByteArray line(Format format, const QList<Block>& blocks, const QString& tooltip, bool first) {
    switch (format) {
    case Format::i3bar: {
        QJsonArray array;
        for (const Block& block : blocks)
            array.append(QJsonObject{{"full_text", shown(block)}, {"name", block.name}});
        return (first ? "" : ",") + compact(QJsonDocument(array)) + '\n';
    }
    case Format::waybar:
        return compact(QJsonDocument(QJsonObject{
                   {"text", joined(blocks)}, {"tooltip", tooltip}, {"class", "vesperin"}})) +
               '\n';
    case Format::plain:
        return oneLine(joined(blocks)).toUtf8() + '\n';
    }
    return {};
}

QString monthText(const QDateTime& now, int firstWeekday) {
    QStringList lines{CalEngine::monthTitle(now)};
    QStringList header;
    for (const QString& name :
         MonthGrid::weekdayHeaders(SystemContext::currentLocaleID(), firstWeekday))
        header.append(name.left(2).rightJustified(4));
    lines.append(header.join(QString()));
    const QList<QDateTime> days = CalEngine::gridDays(now, firstWeekday);
    for (qsizetype week = 0; week * 7 < days.size(); ++week) {
        QString row;
        for (qsizetype i = week * 7; i < week * 7 + 7 && i < days.size(); ++i) {
            const QDateTime& day = days.at(i);
            QString number = CalEngine::isInShownMonth(day, now)
                                 ? QString::number(CalEngine::dayOfMonth(day))
                                 : QString();
            if (CalEngine::isSameDay(day, now))
                number = '[' + number + ']';
            row += number.rightJustified(4);
        }
        lines.append(row.trimmed().isEmpty() ? QString() : row);
    }
    while (lines.last().isEmpty())
        lines.removeLast();
    return lines.join('\n');
}

} // namespace StatusLineFormat
