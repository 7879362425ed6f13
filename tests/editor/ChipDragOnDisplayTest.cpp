#include "editor/ChipStripView.h"
#include "support/VirtualDisplay.h"

#include <QDrag>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A person drags with the real pointer of a private X server, and Qt runs its own drag loop.
class ChipDragOnDisplayTest : public ::testing::Test {
protected:
    ChipDragOnDisplayTest() {
        auto* layout = new QVBoxLayout(&window);
        for (ChipStripView* view : {palette, strip}) {
            view->render = [](const Chip& chip) { return chip.value; };
            view->setMinimumSize(300, 40);
            layout->addWidget(view);
        }
        window.setWindowTitle("chips");
        window.move(100, 100);
    }

    // Presses at `from`, moves to `to` in small steps and lets go once `ready` holds there.
    // The steps after the drag started run inside Qt's drag loop, from a timer; past the
    // deadline the button is let go wherever the pointer is, so the loop always ends.
    void dragWithPointer(const QPoint& from, const QPoint& to, const std::function<bool()>& ready) {
        ASSERT_TRUE(display->movePointer(from));
        ASSERT_TRUE(display->pressButton());
        constexpr int steps = 12;
        int step = 0;
        bool released = false;
        QElapsedTimer clock;
        clock.start();
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (released)
                return;
            if (step <= steps) {
                display->movePointer(from + (to - from) * step / steps);
                ++step;
            } else if (ready() || clock.elapsed() > 8000) {
                released = display->releaseButton();
            } else {
                // Qt's drag follows moves; a small one keeps it looking.
                display->movePointer(to + QPoint(step++ % 2, 0));
            }
        });
        driver.start(30);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return released && !palette->findChild<QDrag*>() && !strip->findChild<QDrag*>();
            },
            12000));
    }

    const VirtualDisplay* display = VirtualDisplay::ofThisProcess();
    QWidget window;
    ChipStripView* palette = new ChipStripView(ChipStripView::Mode::palette);
    ChipStripView* strip = new ChipStripView(ChipStripView::Mode::strip);
};

TEST_F(ChipDragOnDisplayTest, APaletteChipDraggedIntoAStripIsCopiedThere) {
    ASSERT_TRUE(display);
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    const QList<Chip> offered{Chip::token("HH"), Chip::composite("{HH}:{min}")};
    palette->setChips(offered);
    strip->setChips({Chip::token("wd")});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QPoint from =
        palette->mapToGlobal(palette->chipLayout().frames().at(1).center()).toPoint();
    const QPoint to = strip->mapToGlobal(QPoint(200, 16));
    dragWithPointer(from, to, [&] { return strip->dropIndex() == 1; });

    EXPECT_EQ(strip->chips(), (QList<Chip>{Chip::token("wd"), Chip::token("HH"), Chip::text(":"),
                                           Chip::token("min")}));
    EXPECT_EQ(strip->selectedIndex(), 3);
    EXPECT_EQ(palette->chips(), offered);
}

// The drag's end removes the chip from its strip unless the strip itself took the drop.
TEST_F(ChipDragOnDisplayTest, AStripChipMovesWithinItsStripAndIsThrownAwayElsewhere) {
    ASSERT_TRUE(display);
    const Chip a = Chip::token("A"), b = Chip::token("B"), c = Chip::token("C");
    strip->setChips({a, b, c});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto centre = [&](qsizetype index) {
        return strip->mapToGlobal(strip->chipLayout().frames().at(index).center()).toPoint();
    };

    const QPoint betweenBAndC =
        strip->mapToGlobal(strip->chipLayout().frames().at(2).topLeft() + QPointF(-2, 10))
            .toPoint();
    dragWithPointer(centre(0), betweenBAndC, [&] { return strip->dropIndex() == 2; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{b, a, c}));

    dragWithPointer(centre(2), palette->mapToGlobal(QPoint(150, 20)), [] { return true; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{b, a}));
    EXPECT_TRUE(palette->chips().isEmpty());
}

} // namespace
