#include "model/MenuBarRenderer.h"
#include "platform/IcuString.h"
#include "support/TestText.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The rendering rules applied the plain way (the joined text scanned again after the
// blocks, a new formatter for every token), as a reference for the renderer's compiled and
// cached path. Only what the generated templates below need is covered.
class PlainRenderer {
public:
    explicit PlainRenderer(const QDateTime& at) : m_at(UDate(at.toMSecsSinceEpoch())) {}

    QString part(const QString& text, const QString& language, const QString& zone) const {
        return tokens(blocks(text, language, zone), language, zone);
    }

private:
    static bool knownZone(const QString& zone) {
        std::unique_ptr<icu::TimeZone> made(icu::TimeZone::createTimeZone(toIcu(zone)));
        return !zone.isEmpty() && *made != icu::TimeZone::getUnknown();
    }

    QString blocks(const QString& text, const QString& language, const QString& zone) const {
        static const QRegularExpression block("\\[([^\\]|]*)\\|([^\\]]*)\\]");
        QString out;
        qsizetype from = 0;
        for (const QRegularExpressionMatch& match : block.globalMatch(text)) {
            out += text.mid(from, match.capturedStart() - from);
            const QString selector = match.captured(1);
            const QString blockZone = selector.section('#', 0, 0).trimmed();
            const QString blockLanguage =
                selector.contains('#') ? selector.section('#', 1).trimmed() : QString();
            out += tokens(match.captured(2), blockLanguage.isEmpty() ? language : blockLanguage,
                          knownZone(blockZone) ? blockZone : zone);
            from = match.capturedEnd();
        }
        return out + text.mid(from);
    }

    QString tokens(const QString& text, const QString& language, const QString& zone) const {
        static const QRegularExpression token("\\{([A-Za-z_]+)\\}");
        QString out;
        qsizetype from = 0;
        for (const QRegularExpressionMatch& match : token.globalMatch(text)) {
            out += text.mid(from, match.capturedStart() - from);
            const QString name = match.captured(1);
            if (const auto exact = value(name, language, zone))
                out += *exact;
            else if (const auto lower = value(name.toLower(), language, zone))
                out += lower->left(1).toUpper() + lower->mid(1);
            else
                out += match.captured(0);
            from = match.capturedEnd();
        }
        return out + text.mid(from);
    }

    std::optional<QString> value(const QString& name, const QString& language,
                                 const QString& zone) const {
        static const QHash<QString, QString> patterns{
            {"HH", "HH"}, {"H", "H"}, {"min", "mm"}, {"wd", "EEE"}, {"weekday", "EEEE"}};
        if (name == "city")
            return zone.section('/', -1).replace('_', ' ');
        if (name == "week") {
            UErrorCode status = U_ZERO_ERROR;
            icu::GregorianCalendar calendar(icu::TimeZone::createTimeZone(toIcu(zone)), status);
            calendar.setFirstDayOfWeek(UCAL_MONDAY);
            calendar.setMinimalDaysInFirstWeek(4);
            calendar.setTime(m_at, status);
            return QString::number(calendar.get(UCAL_WEEK_OF_YEAR, status));
        }
        if (!patterns.contains(name))
            return std::nullopt;
        UErrorCode status = U_ZERO_ERROR;
        icu::SimpleDateFormat formatter(toIcu(patterns.value(name)),
                                        icu::Locale(language.toUtf8().constData()), status);
        formatter.adoptTimeZone(icu::TimeZone::createTimeZone(toIcu(zone)));
        icu::UnicodeString text;
        formatter.format(m_at, text);
        return fromIcu(text);
    }

    UDate m_at;
};

QString randomTemplate(QRandomGenerator& random) {
    // Few pieces, so that the ones that spell tokens across block boundaries meet often.
    static const QStringList pieces =
        QStringList{"{", "}", "[", "]", "|", " ", "H", "ci", "ty", "Wd"} +
        QStringList{"{HH}", "{min}", "{city}", "{Weekday}", "{week}"} +
        QStringList{"[Asia/Tokyo|", "[#de|", "[|", "[Mars/Olympus#ja|"} +
        QStringList{"{H", "H}]", "ci]", "{ci", "ty}"};
    return randomText(random, pieces, 12);
}

TEST(MenuBarRendererReferenceTest, AgreesWithThePlainReadingOfTheRulesOnGeneratedTemplates) {
    // Sunday 3 January 2021, 20:00 UTC: Monday morning in Tokyo, Sunday evening in Paris.
    const QDateTime at(QDate(2021, 1, 3), QTime(20, 0), Qt::UTC);
    const PlainRenderer plain(at);
    QRandomGenerator random(77);
    for (int round = 0; round < 5000; ++round) {
        const QString text = randomTemplate(random);
        const MenuBarItem item{QUuid::createUuid(), true, text, QString("Europe/Paris"),
                               QString("en_US")};
        ASSERT_EQ(MenuBarRenderer::render(item, at), plain.part(text, "en_US", "Europe/Paris"))
            << text.toStdString();
    }
}

} // namespace
