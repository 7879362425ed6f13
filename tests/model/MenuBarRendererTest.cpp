#include "model/MenuBarRenderer.h"

#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "model/LabelGuide.h"
#include "platform/IcuString.h"
#include "platform/SystemContext.h"

#include <QLocale>
#include <QTimeZone>

#include <unicode/smpdtfmt.h>

#include <gtest/gtest.h>

namespace {

using Parts = QList<MenuBarPart>;
using std::nullopt;

QDateTime local(const char* zone, int year, int month, int day, int hour, int minute,
                int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone(zone));
}

// Monday 5 January 2026, 14:07:09 in Paris (the tests' own zone): 22:07 in Tokyo, 10:07 in
// Buenos Aires, 8:07 in New York, 20:07 in Bangkok.
const QDateTime monday = local("Europe/Paris", 2026, 1, 5, 14, 7, 9);

QString render(const QString& text, std::optional<QString> zone = nullopt,
               std::optional<QString> language = nullopt, const QDateTime& at = monday) {
    return MenuBarRenderer::render(itemOf(text, zone, language), at);
}

QString icuFormat(const QString& pattern, const char* language, const char* zone,
                  const QDateTime& at) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(toIcu(pattern), icu::Locale(language), status);
    formatter.adoptTimeZone(icu::TimeZone::createTimeZone(zone));
    icu::UnicodeString text;
    formatter.format(UDate(at.toMSecsSinceEpoch()), text);
    return fromIcu(text);
}

// What each date token must be, written down independently of the renderer's own table.
const QList<std::pair<QString, QString>> expectedPatterns{
    {"wd", "EEE"},     {"weekday", "EEEE"}, {"day", "d"},  {"dd", "dd"},     {"mon", "MMM"},
    {"month", "MMMM"}, {"mm", "MM"},        {"m", "M"},    {"year", "yyyy"}, {"yy", "yy"},
    {"HH", "HH"},      {"H", "H"},          {"hh", "hh"},  {"h", "h"},       {"min", "mm"},
    {"sec", "ss"},     {"ampm", "a"},       {"tz", "zzz"}, {"utc", "x"}};

// How text, tokens, blocks and parts compose is also checked against a plain reading of the
// rules by the renderer's fuzz target, whose corpus every test run replays.
TEST(MenuBarRendererTest, RendersTheEditorsExamples) {
    EXPECT_EQ(render("{wd} {day}"), "Mon 5");
    EXPECT_EQ(render("S{week}", nullopt, nullopt, local("Europe/Paris", 2021, 1, 1, 12, 0)), "S53");
    EXPECT_EQ(render(""), ""); // the icon-only item
    EXPECT_EQ(render("{dd}.{mm}.{yy} {H}:{min}:{sec}", nullopt, nullopt,
                     local("Europe/Paris", 2026, 3, 7, 9, 5, 3)),
              "07.03.26 9:05:03");
}

TEST(MenuBarRendererTest, JoinsPartsEachInItsOwnZoneAndLanguage) {
    // A part without a zone or language takes the item's; a part's own wins.
    MenuBarItem item = itemOf("", "Asia/Bangkok", "fr");
    item.parts = Parts{{"{HH} {weekday}"}, {"{HH} {weekday}", "Asia/Tokyo", "de"}};
    EXPECT_EQ(MenuBarRenderer::render(item, monday), "20 lundi  22 Montag");
    EXPECT_EQ(MenuBarRenderer::render(item.parts->at(1), item, monday), "22 Montag");

    item.separator = "";
    item.parts = Parts{{"{HH}"}, {"{min}"}};
    EXPECT_EQ(MenuBarRenderer::render(item, monday), "2007");
}

TEST(MenuBarRendererTest, BlocksRenderTheirContentInAnotherZoneOrLanguage) {
    // At 20:00 in Paris it is already Tuesday in Tokyo.
    const QDateTime evening = local("Europe/Paris", 2026, 1, 5, 20, 0);
    EXPECT_EQ(render("[Asia/Tokyo|{weekday}]", nullopt, "fr", evening), "mardi");
    EXPECT_EQ(render("[#de|{weekday}] {weekday}", nullopt, "fr", evening), "Montag lundi");
    // The zone and language are trimmed of spaces of any kind and tabs, not of line breaks.
    EXPECT_EQ(render(QString::fromUtf8("[\u3000Asia/Tokyo\t# ja\u00A0|{ampm}]")),
              QString::fromUtf8("\u5348\u5F8C"));
    EXPECT_EQ(render("[Asia/Tokyo\n|{HH}]"), "14");
    EXPECT_EQ(render("[Asia/Tokyo#fr#x|{HH}]"), "22"); // only the first "#" splits
    // An unknown or empty zone leaves the part's zone.
    EXPECT_EQ(render("[Mars/Olympus|{HH}]", "Asia/Bangkok"), "20");
    EXPECT_EQ(render("[|{HH}]"), "14");
    // Brackets without a bar are text.
    EXPECT_EQ(render("[{HH}] [a|b"), "[14] [a|b");
}

TEST(MenuBarRendererTest, ACapitalisedTokenIsTheLowerCaseOneWithACapitalFirstLetter) {
    EXPECT_EQ(render("{month}", nullopt, "fr"), "janvier");
    EXPECT_EQ(render("{Month}", nullopt, "fr"), "Janvier");
    EXPECT_EQ(render("{MONTH} {Weekday} {WD}", nullopt, "fr"), "Janvier Lundi Lun.");
    EXPECT_EQ(render("[#fr|{Weekday}]"), "Lundi");
    EXPECT_EQ(render("{City} {Week} {MIN}", "America/Argentina/Buenos_Aires"), "Buenos Aires 2 07");
    EXPECT_EQ(render("{Flag}", "UTC"), "");
}

TEST(MenuBarRendererTest, DateTokensAreTheLanguagesOwnNamesAndDigits) {
    const QDateTime morning = local("Europe/Paris", 2026, 3, 7, 9, 5, 3);
    for (const char* language : {"en_US", "fr", "de", "ja", "th", "ar_EG"}) {
        for (const char* zone : {"Europe/Paris", "Asia/Kolkata", "America/New_York"}) {
            for (const auto& [name, pattern] : expectedPatterns) {
                EXPECT_EQ(render("{" + name + "}", QString(zone), QString(language), morning),
                          icuFormat(pattern, language, zone, morning))
                    << name.toStdString() << " " << language << " " << zone;
            }
        }
    }
}

TEST(MenuBarRendererTest, UnknownLanguagesUseTheFallbackDataAndNeverFail) {
    EXPECT_EQ(render("{weekday} {ampm}", nullopt, "xx_YY"),
              icuFormat("EEEE a", "xx_YY", "Europe/Paris", monday));
    EXPECT_FALSE(render("{weekday}", nullopt, QString(300, u'q') + "-@;=").isEmpty());
}

TEST(MenuBarRendererTest, FlagAndCityComeFromTheZone) {
    EXPECT_EQ(render("{flag} {city}", "Europe/Zurich"), flagOf("CH") + " Zurich");
    EXPECT_EQ(render("{flag} {city}"), flagOf("FR") + " Paris");
    EXPECT_EQ(render("{flag} {city}", "Mars/Olympus"), flagOf("FR") + " Paris");
    EXPECT_EQ(render("({flag}|{city})", "UTC"), "(|UTC)");
}

TEST(MenuBarRendererTest, WeekNumbersAreIsoWeeksInTheItemsZone) {
    // Weeks start on Monday even in a language whose weeks start on Sunday.
    EXPECT_EQ(render("{week}", nullopt, "en_US", local("Europe/Paris", 2026, 3, 8, 12, 0)), "10");
    // Sunday 3 January 2021 at 20:00 UTC is Monday morning in Tokyo.
    const QDateTime sundayEvening = local("UTC", 2021, 1, 3, 20, 0);
    EXPECT_EQ(render("{week}", "Asia/Tokyo", nullopt, sundayEvening), "1");
    EXPECT_EQ(render("{week}", "America/Los_Angeles", nullopt, sundayEvening), "53");
}

TEST(MenuBarRendererTest, ValueOfOneTokenUsesTheItemsOwnSettings) {
    MenuBarItem item = itemOf("", "Asia/Tokyo", "fr");
    item.parts = Parts{{"{HH}", "America/Argentina/Buenos_Aires", "de"}};
    EXPECT_EQ(MenuBarRenderer::value("HH", item, monday), "22");
    EXPECT_EQ(MenuBarRenderer::value("Weekday", item, monday), "Lundi");
    EXPECT_EQ(MenuBarRenderer::value("{HH}", item, monday), nullopt);
    EXPECT_EQ(MenuBarRenderer::value("foo", item, monday), nullopt);
}

// What a token shows decides, not how it is spelt: "{Sec}" renders seconds, so it ticks.
TEST(MenuBarRendererTest, OnlyTimeTokensInTheEffectivePartsMakeAnItemTick) {
    struct Case {
        const char* text;
        bool seconds;
        bool time;
    };
    for (const Case& c :
         {Case{"[Asia/Bangkok|{HH}:{min}:{sec}]", true, true}, Case{"{Sec}", true, true},
          Case{"{SEC}", true, true}, Case{"{Min}", false, true}, Case{"{AMPM}", false, true},
          Case{"{sec_}", false, false}, Case{"{ampm}", false, true}, Case{"{min}", false, true},
          Case{"{tz} {utc} {week} {wd} {day} {year}", false, false}, Case{"", false, false}}) {
        const QList<MenuBarItem> items{itemOf("{day}"), itemOf(c.text)};
        EXPECT_EQ(MenuBarRenderer::usesSeconds(items), c.seconds) << c.text;
        EXPECT_EQ(MenuBarRenderer::usesTime(items), c.time) << c.text;
    }
    // Stored parts replace the template.
    MenuBarItem item = itemOf("{sec}");
    item.parts = Parts{{"{wd}"}, {"{HH}"}};
    EXPECT_FALSE(MenuBarRenderer::usesSeconds({item}));
    EXPECT_TRUE(MenuBarRenderer::usesTime({item}));
    EXPECT_FALSE(MenuBarRenderer::usesTime({}));
}

class MenuBarRendererContextTest : public ::testing::Test {
protected:
    void TearDown() override {
        SystemContext::reloadFromEnvironment();
        MenuBarRenderer::resetCache();
    }
};

TEST_F(MenuBarRendererContextTest, ResetCachePicksUpANewLocaleAndZone) {
    const MenuBarItem item = itemOf("{weekday} {HH} {city}");
    MenuBarRenderer::resetCache();
    EXPECT_EQ(MenuBarRenderer::render(item, monday), "Monday 14 Paris");
    ScopedEnvironment language("LANG", "fr_FR.UTF-8");
    ScopedEnvironment zone("TZ", "Asia/Tokyo");
    SystemContext::reloadFromEnvironment();
    MenuBarRenderer::resetCache();
    EXPECT_EQ(MenuBarRenderer::render(item, monday), "lundi 22 Tokyo");
}

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
