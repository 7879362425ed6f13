#include "editor/ChipStripView.h"
#include "support/TestText.h"
#include "support/VirtualDisplay.h"

#include <QDrag>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A person drags with the real pointer of the private X server, and Qt runs its own drag loop.
class ChipDragOnDisplayTest : public ::testing::Test {
protected:
    ChipDragOnDisplayTest() {
        auto* layout = new QVBoxLayout(&window);
        for (ChipStripView* view : {palette, strip}) {
            view->render = [](const Chip& chip) { return chip.value; };
            view->setMinimumSize(300, 40);
            layout->addWidget(view);
        }
        window.move(100, 100);
    }
    QPoint onScreen(const ChipStripView* view, const QPointF& at) const {
        return view->mapToGlobal(at).toPoint();
    }
    QPoint centre(const ChipStripView* view, qsizetype index) const {
        return onScreen(view, view->chipLayout().frames().at(index).center());
    }

    // Presses at `from`, moves to `to` in steps and lets go once `ready` holds. Once the drag
    // has started the steps run inside Qt's drag loop, from a timer; after 8 s the button is
    // let go wherever the pointer is, so that the loop always ends.
    void drag(const QPoint& from, const QPoint& to, const std::function<bool()>& ready) {
        ASSERT_TRUE(display->movePointer(from) && display->pressButton());
        constexpr int steps = 12;
        int step = 0;
        bool released = false;
        QElapsedTimer clock;
        clock.start();
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (released)
                return;
            if (step <= steps)
                display->movePointer(from + (to - from) * step++ / steps);
            else if (ready() || clock.elapsed() > 8000)
                released = display->releaseButton();
            else // Qt's drag follows moves; a small one keeps it looking.
                display->movePointer(to + QPoint(step++ % 2, 0));
        });
        driver.start(30);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return released && !window.findChild<QDrag*>(); }, 12000));
    }

    const VirtualDisplay* display = VirtualDisplay::ofThisProcess();
    QWidget window;
    ChipStripView* palette = new ChipStripView(ChipStripView::Mode::palette);
    ChipStripView* strip = new ChipStripView(ChipStripView::Mode::strip);
};

TEST_F(ChipDragOnDisplayTest, PaletteChipsAreCopiedAndStripChipsMoveOrAreThrownAway) {
    ASSERT_TRUE(display);
    const Chip wd = Chip::token("wd"), hh = Chip::token("HH"), min = Chip::token("min");
    const QList<Chip> offered{hh, Chip::composite("{HH}:{min}")};
    palette->setChips(offered);
    strip->setChips({wd});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    drag(centre(palette, 1), onScreen(strip, {200, 16}), [&] { return strip->dropIndex() == 1; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{wd, hh, Chip::text(":"), min}));
    EXPECT_EQ(strip->selectedIndex(), 3);
    EXPECT_EQ(palette->chips(), offered);

    // The drop back into the strip comes before the drag's end, which then leaves the chip.
    const QPointF beforeMin = strip->chipLayout().frames().at(3).topLeft() + QPointF(-2, 10);
    drag(centre(strip, 0), onScreen(strip, beforeMin), [&] { return strip->dropIndex() == 3; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{hh, Chip::text(":"), wd, min}));

    drag(centre(strip, 2), onScreen(palette, {150, 20}), [] { return true; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{hh, Chip::text(":"), min}));
    EXPECT_EQ(palette->chips(), offered);
}

} // namespace
