// What the editor's 1-second refresh costs the GUI thread: the window open on a layout of ten
// items of three parts (each showing a flag and seconds), the popover showing one part, and
// each tick followed by the painting it causes. A tick a second later changes the seconds; a
// tick a minute and a second later, as at every whole minute, changes the minutes too. The
// baseline is rendering the ten items' texts once, what the status items do every second. The
// last line printed is the ratio of the tick's median to the baseline's.

#include "MedianReporter.h"
#include "editor/ChipStripView.h"
#include "editor/ConfiguratorWindow.h"
#include "editor/MenuBarConfigurator.h"
#include "editor/PartPopover.h"
#include "editor/SegmentBarView.h"
#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemEvents.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "systemclock/CompactClockAvailability.h"
#include "systemclock/SystemClock.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const QDateTime start(QDate(2026, 1, 5), QTime(14, 7, 9), QTimeZone("Europe/Paris"));
qint64 secondsPassed = 0;

QDateTime benchNow() {
    return start.addSecs(secondsPassed);
}

QList<MenuBarItem> tenItems() {
    QList<MenuBarItem> items;
    for (int i = 0; i < 10; ++i) {
        MenuBarItem item{QUuid::createUuid(), i % 3 != 2, ""};
        item.parts = QList<MenuBarPart>{
            {"{wd} {day} {mon}"},
            {"{flag} {city} {HH}:{min}:{sec}", QString("America/Argentina/Buenos_Aires")},
            {"[Asia/Tokyo|{HH}:{min}]"}};
        items.append(item);
    }
    return items;
}

// Counts the paintings of a view, to make sure that each tick measured did paint.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct OpenEditor {
    SystemEvents events{SystemEvents::Sources{{}, &benchNow}};
    Settings settings{Preferences::standard()};
    MenuBarLayout layout{settings};
    SystemClock systemClock{settings, ProcessLauncher::system()};
    CompactClockAvailability compactClock{ProcessLauncher::system()};
    MenuBarConfigurator editor{settings, layout, events, systemClock, compactClock};
    PaintCounter paletteCounter;

    OpenEditor() {
        layout.setItems(tenItems());
        editor.show();
        while (!editor.window()->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        clickSegment(1);
        QCoreApplication::processEvents();
        editor.window()->palette()->installEventFilter(&paletteCounter);
    }

    void clickSegment(int index) {
        SegmentBarView* bar = editor.window()->bar();
        const QPointF at = bar->frames().at(index).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, bar->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(bar, &event);
        }
    }

    void tickAndPaint(int seconds = 1) {
        secondsPassed += seconds;
        editor.tick();
        QCoreApplication::processEvents();
    }
};

OpenEditor* openEditor = nullptr;

void BM_Tick(benchmark::State& state) {
    for (auto _ : state)
        openEditor->tickAndPaint();
}
BENCHMARK(BM_Tick);

void BM_TickAtAWholeMinute(benchmark::State& state) {
    for (auto _ : state)
        openEditor->tickAndPaint(61);
}
BENCHMARK(BM_TickAtAWholeMinute);

void BM_RenderItems(benchmark::State& state) {
    const QList<MenuBarItem> items = tenItems();
    for (auto _ : state) {
        ++secondsPassed;
        for (const MenuBarItem& item : items)
            benchmark::DoNotOptimize(MenuBarRenderer::render(item, benchNow()));
    }
}
BENCHMARK(BM_RenderItems);

// The editor writes the layout: a profile of the benchmark's own, never the user's.
void useTemporaryProfile(const QTemporaryDir& home) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + "/cache"));
    qputenv("TZ", "Europe/Paris");
    qputenv("LANG", "en_US.UTF-8");
    qunsetenv("XDG_CURRENT_DESKTOP");
}

} // namespace

int main(int argc, char** argv) {
    const QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useTemporaryProfile(home);
    QApplication application(argc, argv);
    OpenEditor editor;
    openEditor = &editor;
    if (!editor.editor.popover()->isVisible()) {
        std::fprintf(stderr, "the popover did not open\n");
        return 1;
    }
    editor.tickAndPaint();
    if (editor.paletteCounter.paints == 0) {
        std::fprintf(stderr, "a tick did not paint the palette: the measure would mean nothing\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!reporter.medians.count("BM_Tick") || !reporter.medians.count("BM_RenderItems")) {
        std::fprintf(stderr, "run with --benchmark_repetitions to get medians\n");
        return 1;
    }
    std::printf("tick: %.3f ms of the GUI thread (at a whole minute: %.3f ms)\n",
                reporter.medians["BM_Tick"] / 1e6, reporter.medians["BM_TickAtAWholeMinute"] / 1e6);
    std::printf("ratio tick/render-items: %.2f\n",
                reporter.medians["BM_Tick"] / reporter.medians["BM_RenderItems"]);
    return 0;
}
