#include "editor/ChipStripView.h"

#include "editor/ChipPayload.h"
#include "harness/PaintedRegions.h"
#include "harness/TestPictures.h"
#include "harness/TestText.h"
#include "harness/WidgetEvents.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const Chip A = Chip::token("A"), B = Chip::token("B"), C = Chip::token("C");
const Chip clock = Chip::composite("{HH}:{min}");

// A strip whose drag loop is the test's: what happens while the chip is dragged is scripted,
// then the drag ends as a release over nothing would.
class ScriptedStrip : public ChipStripView {
public:
    explicit ScriptedStrip(Mode mode, QWidget* parent = nullptr) : ChipStripView(mode, parent) {
        render = [](const Chip& chip) { return chip.value; };
        tooltip = [](const Chip& chip) {
            return chip.isToken() ? std::optional("About " + chip.value) : std::nullopt;
        };
        resize(300, 60);
    }
    QPointF centreOf(qsizetype index) const { return chipLayout().frames().at(index).center(); }

    std::function<void(QDrag&)> whileDragging = [](QDrag&) {};
    Qt::DropActions offered;

protected:
    Qt::DropAction runDrag(QDrag& drag, Qt::DropActions actions) override {
        offered = actions;
        whileDragging(drag);
        return Qt::IgnoreAction;
    }
};

QImage picture(QWidget& view, qreal ratio) {
    QImage image((QSizeF(view.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(view.palette().color(QPalette::Window));
    view.render(&image);
    return image;
}

class ChipStripViewTest : public ::testing::Test {
protected:
    ChipStripViewTest() {
        strip.setChips({A, B, C});
        palette.setSections({{"Time", {clock, Chip::token("sec")}}, {"Text", {Chip::text(":")}}});
    }
    void click(ChipStripView& view, const QPointF& at,
               QEvent::Type type = QEvent::MouseButtonPress) {
        sendMouse(view, type, at);
        sendMouse(view, QEvent::MouseButtonRelease, at);
    }

    ScriptedStrip strip{ChipStripView::Mode::strip};
    ScriptedStrip palette{ChipStripView::Mode::palette};
    QSignalSpy stripChanges{&strip, &ChipStripView::changed};
};

TEST_F(ChipStripViewTest, ClicksSelectKeysRemoveAndADoubleClickAsksToEditText) {
    QSignalSpy focusTaken(&strip, &ChipStripView::focusTaken);
    QSignalSpy edits(&strip, &ChipStripView::textEditRequested);
    click(strip, strip.centreOf(1));
    EXPECT_EQ(strip.selectedIndex(), 1);
    click(strip, {250, 16});
    EXPECT_EQ(strip.selectedIndex(), std::nullopt);
    EXPECT_EQ(focusTaken.size(), 2);
    EXPECT_FALSE(sendKey(strip, Qt::Key_Delete)) << "without a selection the key goes on";
    click(strip, strip.centreOf(1));
    EXPECT_TRUE(sendKey(strip, Qt::Key_Delete));
    EXPECT_EQ(strip.chips(), (QList<Chip>{A, C}));
    EXPECT_TRUE(sendKey(strip, Qt::Key_Right));
    EXPECT_TRUE(sendKey(strip, Qt::Key_Backspace));
    EXPECT_EQ(strip.chips(), (QList<Chip>{C}));
    EXPECT_EQ(stripChanges.size(), 2);

    strip.setChips({A, Chip::text(":"), Chip::text("  ")});
    for (const qsizetype index : {0, 1, 2})
        click(strip, strip.centreOf(index), QEvent::MouseButtonDblClick);
    EXPECT_EQ(edits, (QList<QVariantList>{{qsizetype(1)}, {qsizetype(2)}}));

    click(palette, palette.centreOf(2), QEvent::MouseButtonDblClick);
    EXPECT_EQ(palette.selectedIndex(), std::nullopt);
    EXPECT_FALSE(sendKey(palette, Qt::Key_Delete));
    EXPECT_EQ(palette.chips().size(), 3);
}

// The desktop tests drag chips for real within the popover's strip and out of it; no other
// strip can reach it, as a press outside the popover closes it. Here is what they cannot tell:
// how far a drag must go, what it carries and offers, and what a drop at its own place does.
TEST_F(ChipStripViewTest, DragsStartPastFourPointsAndMoveAChipOnlyWhereItLands) {
    QSignalSpy clicks(&palette, &ChipStripView::chipClicked);
    int drags = 0;
    palette.whileDragging = [&](QDrag&) { ++drags; };
    pressMoveRelease(palette, palette.centreOf(1), {4, 0});
    EXPECT_EQ(clicks, (QList<QVariantList>{{QVariant::fromValue(Chip::token("sec"))}}));
    EXPECT_EQ(drags, 0);
    pressMoveRelease(palette, palette.centreOf(1), {3, 3});
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(palette.offered, Qt::CopyAction);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(palette.chips().size(), 3) << "a palette only gives copies";

    // Dropped at its own place, before or after itself, the chip stays where it is.
    for (const qsizetype at : {0, 1}) {
        strip.whileDragging = [&](QDrag& drag) {
            EXPECT_EQ(QString::fromUtf8(drag.mimeData()->data(ChipPayload::mimeType)),
                      QString::number(strip.stripId()) + "|0|t:A");
            const QRectF frame = strip.chipLayout().frames().at(0);
            EXPECT_EQ(drag.pixmap().deviceIndependentSize(), frame.size());
            EXPECT_EQ(drag.pixmap().devicePixelRatio(), strip.devicePixelRatioF());
            EXPECT_EQ(drag.hotSpot(), (strip.centreOf(0) - frame.topLeft()).toPoint());
            dropDrag(strip, strip.chipLayout().frames().at(at).topLeft() + QPointF(-2, 10),
                     *drag.mimeData());
        };
        pressMoveRelease(strip, strip.centreOf(0), {0, 5});
    }
    EXPECT_EQ(strip.offered, Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(strip.chips(), (QList<Chip>{A, B, C}));
}

TEST_F(ChipStripViewTest, MalformedOrForeignPayloadsAreRefusedWithoutAnyChange) {
    const QString self = QString::number(strip.stripId());
    const QString source = QString::number(palette.stripId());
    const auto refused = [&](ChipStripView& target, const QString& payload) {
        SCOPED_TRACE(payload.toStdString());
        QMimeData data;
        data.setData(ChipPayload::mimeType, payload.toUtf8());
        EXPECT_TRUE(dropDrag(target, {200, 16}, data).refused());
        EXPECT_EQ(target.dropIndex(), std::nullopt);
    };
    // Nothing of ours is being dragged: another application's data under our type.
    refused(strip, source + "|0|t:sec");
    palette.whileDragging = [&](QDrag&) {
        for (const QString& payload :
             QStringList{"x|0|t:sec", QString::number(strip.stripId() + 1000) + "|0|t:sec",
                         source + "|0|c:", self + "|0|t:A"})
            refused(strip, payload);
        refused(palette, source + "|1|t:sec");
    };
    pressMoveRelease(palette, palette.centreOf(1), {10, 0});
    strip.whileDragging = [&](QDrag&) { refused(strip, self + "|3|t:A"); };
    pressMoveRelease(strip, strip.centreOf(2), {10, 0});
    EXPECT_EQ(strip.chips(), (QList<Chip>{A, B, C}));
    EXPECT_EQ(stripChanges.size(), 0);
    EXPECT_EQ(palette.chips().size(), 3);
}

TEST(ChipStripFocusTest, TheStripTakesFocusByClickAndTabAndThePaletteByTabOnly) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit;
    auto* palette = new ScriptedStrip(ChipStripView::Mode::palette);
    palette->setChips({A, B});
    auto* strip = new ScriptedStrip(ChipStripView::Mode::strip);
    for (QWidget* widget : QWidgetList{field, palette, strip})
        layout->addWidget(widget);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy focusTaken(strip, &ChipStripView::focusTaken);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(palette->hasFocus());
    EXPECT_EQ(palette->selectedIndex(), 0) << "the keyboard starts at the first chip";
    // Return or Space adds the chosen chip.
    QSignalSpy chosen(palette, &ChipStripView::chipClicked);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(palette, key);
    EXPECT_EQ(chosen, (QList<QVariantList>{{QVariant::fromValue(B)}, {QVariant::fromValue(B)}}));
    QTest::keyClick(palette, Qt::Key_Tab);
    EXPECT_TRUE(strip->hasFocus());
    EXPECT_EQ(focusTaken.size(), 1);
    QTest::mouseClick(palette, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(strip->hasFocus()) << "a click on the palette leaves the focus where it is";
    field->setFocus();
    sendMouse(*strip, QEvent::MouseButtonPress, {10, 10});
    EXPECT_TRUE(strip->hasFocus());
}

TEST_F(ChipStripViewTest, ToolTipsAndAccessibleNamesComeFromTheOwnersHooks) {
    strip.setChips({A, Chip::text(":"), Chip::text("   ")});
    strip.show();
    askToolTip(strip, strip.centreOf(0));
    EXPECT_EQ(QToolTip::text(), "About A");
    askToolTip(strip, strip.centreOf(1));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&strip);
    ASSERT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), "A");
    EXPECT_EQ(list->child(0)->text(QAccessible::Description), "About A");
    EXPECT_EQ(list->child(2)->text(QAccessible::Name), "Spaces: 3");
    click(strip, strip.centreOf(2));
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    const QPoint onColon = strip.mapToGlobal(strip.centreOf(1).toPoint());
    EXPECT_EQ(list->indexOfChild(list->childAt(onColon.x(), onColon.y())), 1);
    EXPECT_TRUE(list->child(1)->rect().contains(onColon));
}

TEST_F(ChipStripViewTest, AWrappingStripInAScrollAreaFollowsItsWidthAndGrowsWithItsRows) {
    QScrollArea area;
    area.resize(200, 100);
    auto* wrapping = new ScriptedStrip(ChipStripView::Mode::palette);
    wrapping->setWraps(true);
    wrapping->setChips(QList<Chip>(12, Chip::token("weekday")));
    area.setWidget(wrapping);
    area.show();
    EXPECT_EQ(wrapping->width(), area.viewport()->width());
    EXPECT_GT(wrapping->height(), area.viewport()->height());
    EXPECT_EQ(wrapping->height(), std::ceil(wrapping->chipLayout().requiredHeight()));
    area.resize(1000, 100);
    EXPECT_EQ(wrapping->size(), area.viewport()->size());
}

// A live clock: only the chip whose label changed is drawn again, in the frame it has.
TEST_F(ChipStripViewTest, RefreshedLabelsRepaintOnlyTheChipsThatChanged) {
    QString seconds = "07";
    strip.render = [&](const Chip& chip) { return chip == B ? seconds : chip.value; };
    strip.relayout();
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    const QList<QRectF> frames = strip.chipLayout().frames();
    const auto refresh = [&] { strip.refreshLabels(); };
    EXPECT_TRUE(repaintedBy(strip, refresh).isEmpty());
    seconds = "08 and longer";
    EXPECT_EQ(repaintedBy(strip, refresh), QRegion(frames[1].toAlignedRect()));
    EXPECT_EQ(strip.chipLayout().frames(), frames);
}

// Pictures for a person (when VESPERIN_SCREENSHOT_DIR is set); the checks are what a broken
// drawing gets wrong, at a device pixel ratio of 2.
TEST_F(ChipStripViewTest, DrawsDotsTheIndicatorAndThePlaceholderCrisply) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const QString look = nameOf(appearance);
        SCOPED_TRACE(look.toStdString());
        strip.setPalette(Appearances::palette(appearance));
        palette.setPalette(Appearances::palette(appearance));
        palette.setSections({{"Time", {clock}}});
        strip.setChips({Chip::token("HH"), Chip::text(":"), Chip::token("min"), Chip::text("   "),
                        Chip::token("weekday")});
        click(strip, strip.centreOf(3));
        const QImage selected = picture(strip, 2);
        keepForLooking(selected, "strip-selection-" + look);
        // Three dots, darker (or lighter) than the capsule between them, and no label.
        const int left = int(2 * strip.chipLayout().frames().at(3).left());
        const int middle = int(2 * strip.centreOf(3).y()) - 1;
        const int between = selected.pixelColor(left + 18, middle).lightness();
        for (int dot = 0; dot < 3; ++dot)
            EXPECT_GT(
                std::abs(selected.pixelColor(left + 13 + 12 * dot, middle).lightness() - between),
                20);

        // A palette chip dragged over the end of the strip.
        palette.whileDragging = [&](QDrag& drag) {
            hoverDrag(strip, {290, 16}, *drag.mimeData());
            const QImage dragging = picture(strip, 2);
            keepForLooking(dragging, "strip-drop-" + look);
            const QRectF bar = strip.chipLayout().dropIndicator(5);
            const int row = int(2 * bar.center().y());
            for (int x = int(2 * bar.left()); x < int(2 * bar.right()); ++x)
                EXPECT_EQ(dragging.pixel(x, row), calBlueFixed().rgb()) << x;
            EXPECT_EQ(dragging.pixel(int(2 * bar.left()) - 1, row),
                      dragging.pixel(int(2 * bar.right()) + 1, row));
            // The border is one point, two whole device pixels: the fill starts at the third.
            EXPECT_NE(dragging.pixel(100, 1), dragging.pixel(100, 2));
            EXPECT_EQ(dragging.pixel(100, 2), dragging.pixel(100, 3));
            QDragLeaveEvent leave;
            QApplication::sendEvent(&strip, &leave);
        };
        pressMoveRelease(palette, palette.centreOf(0), {10, 0});

        strip.setChips({});
        palette.setSections({});
        const QImage empty = picture(strip, 2);
        keepForLooking(empty, "strip-empty-" + look);
        const auto marked = [](const QImage& image) {
            int differing = 0;
            for (int y = 18; y < 44; ++y)
                for (int x = 16; x < 200; ++x)
                    differing += image.pixel(x, y) != image.pixel(220, 60);
            return differing;
        };
        EXPECT_GT(marked(empty), 50) << "the placeholder";
        EXPECT_EQ(marked(picture(palette, 2)), 0) << "an empty palette shows only its background";
    }
}

} // namespace
