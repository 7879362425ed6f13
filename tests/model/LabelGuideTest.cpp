#include "model/LabelGuide.h"

#include "harness/TestText.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

qreal length(const QString& text) {
    return qreal(text.size());
}

// A font in which a digit is as wide as its value: the widest hour is then 19, not 23, and
// only a search that weighs every field on its own finds 19:59:59.
qreal digitValues(const QString& text) {
    qreal width = 0;
    for (const QChar c : text)
        width += c.isDigit() ? c.digitValue() : 0;
    return width;
}

int longest(const QStringList& names) {
    int result = 0;
    for (const QString& name : names)
        result = std::max(result, int(name.size()));
    return result;
}

TEST(LabelGuideTest, EachFieldTakesItsWidestValue) {
    EXPECT_EQ(LabelGuide::widest(itemOf("{HH}:{min}:{sec}"), 2026, digitValues), "19:59:59");
    EXPECT_EQ(LabelGuide::widest(itemOf("{HH}:{min}"), 2026, digitValues), "19:59");
    EXPECT_EQ(LabelGuide::widest(itemOf("Tokyo"), 2026, length), "Tokyo");

    // The longest weekday and the longest month fall together on some two-digit day.
    const QLocale french("fr_FR");
    QStringList weekdays;
    QStringList months;
    for (int day = 1; day <= 7; ++day)
        weekdays.append(french.dayName(day, QLocale::LongFormat));
    for (int month = 1; month <= 12; ++month)
        months.append(french.monthName(month, QLocale::LongFormat));
    const QString guide = LabelGuide::widest(
        itemOf("{weekday} {day} {month}", std::nullopt, QString("fr")), 2026, length);
    EXPECT_EQ(guide.size(), longest(weekdays) + 1 + 2 + 1 + longest(months)) << guide.toStdString();
    EXPECT_TRUE(guide.endsWith("septembre")) << guide.toStdString();
}

} // namespace
