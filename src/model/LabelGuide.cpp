#include "model/LabelGuide.h"

#include "model/MenuBarRenderer.h"

#include <QDateTime>
#include <QTimeZone>

namespace LabelGuide {

QString widest(const MenuBarItem& item, int year, const Width& width) {
    QTimeZone zone(item.timeZone().toUtf8());
    if (!zone.isValid())
        zone = QTimeZone::systemTimeZone();
    QDateTime widestAt;
    QString widestText;
    qreal widestWidth = -1;
    const auto consider = [&](const QDate& day, const QTime& time) {
        const QDateTime at(day, time, zone);
        if (!at.isValid())
            return; // a time skipped by a change to summer time
        const QString text = MenuBarRenderer::render(item, at);
        const qreal measured = width(text);
        if (measured > widestWidth) {
            widestAt = at;
            widestText = text;
            widestWidth = measured;
        }
    };
    for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1))
        consider(day, QTime(12, 0));

    const QList<MenuBarItem> items{item};
    if (!MenuBarRenderer::usesTime(items) || !widestAt.isValid())
        return widestText;
    const QDate day = widestAt.date();
    const auto scan = [&](int count, const auto& timeOf) {
        const QTime base = widestAt.time();
        for (int value = 0; value < count; ++value)
            consider(day, timeOf(base, value));
    };
    scan(24, [](QTime base, int hour) { return QTime(hour, base.minute(), base.second()); });
    scan(60, [](QTime base, int minute) { return QTime(base.hour(), minute, base.second()); });
    if (MenuBarRenderer::usesSeconds(items))
        scan(60, [](QTime base, int second) { return QTime(base.hour(), base.minute(), second); });
    return widestText;
}

} // namespace LabelGuide
