// How much the renderer costs over the date formatting it cannot avoid: an item of three
// parts (weekday and date; flag, city and time with seconds in another zone; a block in a
// third zone) rendered once per second of clock time, against the same fields formatted by
// ICU formatters built beforehand. The last line printed is the ratio of the two medians.

#include "MedianReporter.h"
#include "model/MenuBarRenderer.h"
#include "platform/IcuString.h"

#include <QTimeZone>

#include <unicode/smpdtfmt.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const QDateTime start(QDate(2026, 1, 5), QTime(14, 7, 9), QTimeZone("Europe/Paris"));
const QString separator = "  ";

MenuBarItem benchItem() {
    MenuBarItem item{QUuid::createUuid(), true, "", QString("Europe/Paris"), QString("en_US")};
    item.parts = QList<MenuBarPart>{
        {"{wd} {day} {mon}"},
        {"{flag} {city} {HH}:{min}:{sec}", QString("America/Argentina/Buenos_Aires")},
        {"[Asia/Tokyo|{HH}:{min}]"}};
    return item;
}

// The baseline: what the item shows, formatted by one pattern per part on formatters made
// before the loop, with the flag and city written in as constants.
class Baseline {
public:
    Baseline()
        : m_local(formatter(u"EEE d MMM", u"Europe/Paris")),
          m_buenosAires(formatter(u"HH:mm:ss", u"America/Argentina/Buenos_Aires")),
          m_tokyo(formatter(u"HH:mm", u"Asia/Tokyo")),
          m_place(*MenuBarRenderer::flag("America/Argentina/Buenos_Aires") + " Buenos Aires ") {}

    QString text(const QDateTime& at) const {
        const UDate date = UDate(at.toMSecsSinceEpoch());
        return format(*m_local, date) + separator + m_place + format(*m_buenosAires, date) +
               separator + format(*m_tokyo, date);
    }

private:
    static std::unique_ptr<icu::SimpleDateFormat> formatter(const char16_t* pattern,
                                                            const char16_t* zone) {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern),
                                                            icu::Locale("en_US"), status);
        made->adoptTimeZone(icu::TimeZone::createTimeZone(zone));
        return made;
    }
    static QString format(const icu::SimpleDateFormat& formatter, UDate date) {
        icu::UnicodeString text;
        formatter.format(date, text);
        return fromIcu(text);
    }

    std::unique_ptr<icu::SimpleDateFormat> m_local;
    std::unique_ptr<icu::SimpleDateFormat> m_buenosAires;
    std::unique_ptr<icu::SimpleDateFormat> m_tokyo;
    QString m_place;
};

void BM_Render(benchmark::State& state) {
    const MenuBarItem item = benchItem();
    QDateTime at = start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MenuBarRenderer::render(item, at));
        at = at.addSecs(1);
    }
}
BENCHMARK(BM_Render);

void BM_Icu(benchmark::State& state) {
    const Baseline baseline;
    QDateTime at = start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(baseline.text(at));
        at = at.addSecs(1);
    }
}
BENCHMARK(BM_Icu);

// Both sides must show the same text, or the comparison means nothing.
bool sameOutput() {
    const Baseline baseline;
    for (int second = 0; second < 120; ++second) {
        const QDateTime at = start.addSecs(second);
        const QString rendered = MenuBarRenderer::render(benchItem(), at);
        if (rendered != baseline.text(at)) {
            std::fprintf(stderr, "render gives \"%s\", the baseline \"%s\"\n", qPrintable(rendered),
                         qPrintable(baseline.text(at)));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!sameOutput())
        return 1;
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!reporter.medians.count("BM_Render") || !reporter.medians.count("BM_Icu")) {
        std::fprintf(stderr, "run with --benchmark_repetitions to get medians\n");
        return 1;
    }
    std::printf("ratio render/icu: %.2f\n",
                reporter.medians["BM_Render"] / reporter.medians["BM_Icu"]);
    return 0;
}
