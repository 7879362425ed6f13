#include "calendar/MonthGrid.h"

#include "calendar/CalEngine.h"
#include "platform/IcuString.h"
#include "platform/SystemContext.h"

#include <QTextBoundaryFinder>

#include <unicode/dtfmtsym.h>

namespace {

QStringList symbols(const icu::DateFormatSymbols& formatSymbols,
                    icu::DateFormatSymbols::DtWidthType width) {
    int32_t count = 0;
    const icu::UnicodeString* names =
        formatSymbols.getWeekdays(count, icu::DateFormatSymbols::FORMAT, width);
    QStringList list;
    // ICU's weekday arrays are indexed by UCAL_SUNDAY (1) ... UCAL_SATURDAY (7).
    for (int32_t i = 1; names && i < count && i <= 7; ++i)
        list.append(fromIcu(names[i]));
    return list.size() == 7 && !list.contains(QString()) ? list : QStringList();
}

QString firstGraphemes(const QString& text, int count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int i = 0; i < count && end >= 0 && end < text.size(); ++i)
        end = finder.toNextBoundary();
    return text.left(end < 0 ? text.size() : end);
}

QString headerText(const QString& name) {
    QString text = firstGraphemes(name, 3).toUpper();
    while (text.startsWith('.'))
        text.remove(0, 1);
    while (text.endsWith('.'))
        text.chop(1);
    return text;
}

} // namespace

namespace MonthGrid {

Metrics Metrics::of(bool compact) {
    if (compact)
        return {20, 9, 11, 9, 6};
    return {24, 10, 13, 10, 8};
}

QStringList weekdayHeaders(const QString& localeID, int firstWeekday) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols formatSymbols(icu::Locale(localeID.toUtf8().constData()), status);
    QStringList names;
    if (U_SUCCESS(status)) {
        names = symbols(formatSymbols, icu::DateFormatSymbols::ABBREVIATED);
        if (names.isEmpty())
            names = symbols(formatSymbols, icu::DateFormatSymbols::NARROW);
    }
    if (names.isEmpty())
        names = QStringList{"D", "L", "M", "M", "J", "V", "S"};
    QStringList headers;
    for (int i = 0; i < 7; ++i)
        headers.append(headerText(names.at((firstWeekday - 1 + i) % 7)));
    return headers;
}

Layout layout(const QSizeF& size, const QDateTime& month, const QDateTime& today,
              const Options& options) {
    const Metrics metrics = Metrics::of(options.compact);
    const qreal weekColumn = options.weekNumbers ? 0.1 * size.width() : 0;
    const qreal columnWidth = (size.width() - weekColumn) / 7;
    const qreal rowHeight = (size.height() - metrics.headerHeight) / 6;

    Layout result;
    const QStringList names =
        weekdayHeaders(SystemContext::currentLocaleID(), options.firstWeekday);
    for (int column = 0; column < 7; ++column)
        result.header.append(
            {QRectF(weekColumn + column * columnWidth, 0, columnWidth, metrics.headerHeight),
             names.at(column)});

    const QList<QDateTime> days = CalEngine::gridDays(month, options.firstWeekday);
    for (qsizetype index = 0; index < days.size(); ++index) {
        const int row = int(index / 7);
        const int column = int(index % 7);
        const qreal top = metrics.headerHeight + row * rowHeight;
        const QDateTime& day = days.at(index);
        if (column == 0 && options.weekNumbers)
            result.weekNumbers.append({QRectF(0, top, weekColumn, rowHeight),
                                       QString::number(CalEngine::isoWeekNumber(day))});
        result.days.append({QRectF(weekColumn + column * columnWidth, top, columnWidth, rowHeight),
                            day, QString::number(CalEngine::dayOfMonth(day)),
                            CalEngine::isSameDay(day, today),
                            CalEngine::isInShownMonth(day, month)});
    }
    return result;
}

std::optional<QDateTime> dayAt(const QList<DayCell>& days, const QPointF& point) {
    for (const DayCell& cell : days) {
        if (cell.rect.contains(point))
            return cell.date;
    }
    return std::nullopt;
}

} // namespace MonthGrid
