#include "editor/ChipStripView.h"
#include "support/PointerGestures.h"
#include "support/TestText.h"
#include "support/VirtualDisplay.h"

#include <QTest>
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

    void drag(const QPoint& from, const QPoint& to, const std::function<bool()>& ready) {
        EXPECT_TRUE(dragWithPointer(*display, from, to, ready));
    }

    const VirtualDisplay* display = VirtualDisplay::ofThisProcess();
    QWidget window;
    ChipStripView* palette = new ChipStripView(ChipStripView::Mode::palette);
    ChipStripView* strip = new ChipStripView(ChipStripView::Mode::strip);
};

TEST_F(ChipDragOnDisplayTest, PaletteChipsAreCopiedAndStripChipsMoveOnlyWhereTaken) {
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

    // Released where nothing takes it, a chip stays where it was.
    drag(centre(strip, 2), onScreen(palette, {150, 20}), [] { return true; });
    EXPECT_EQ(strip->chips(), (QList<Chip>{hh, Chip::text(":"), wd, min}));
    EXPECT_EQ(palette->chips(), offered);
}

} // namespace
