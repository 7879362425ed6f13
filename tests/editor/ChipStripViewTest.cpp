#include "editor/ChipStripView.h"

#include "editor/ChipPayload.h"
#include "platform/Appearance.h"
#include "settings/DrawingHelpers.h"
#include "support/TestText.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMimeData>
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
    int drags = 0;
    Qt::DropActions offered;

protected:
    Qt::DropAction runDrag(QDrag& drag, Qt::DropActions actions) override {
        ++drags;
        offered = actions;
        whileDragging(drag);
        return Qt::IgnoreAction;
    }
};

void mouse(QWidget& widget, QEvent::Type type, const QPointF& at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, {});
    QApplication::sendEvent(&widget, &event);
}

// Presses at `from`, moves the pointer by `by` with the button down, and lets go there.
void pressMoveRelease(QWidget& widget, const QPointF& from, const QPointF& by) {
    mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(widget, QEvent::MouseMove, from + by, Qt::LeftButton);
    mouse(widget, QEvent::MouseButtonRelease, from + by, Qt::NoButton);
}

bool pressKey(QWidget& widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, {});
    QApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

struct Answer {
    bool entered;
    Qt::DropAction action;
    bool dropped;
};

// A drag carrying `data` enters `target`, moves to `at` and is released there.
Answer offer(ChipStripView& target, const QPointF& at, const QMimeData& data,
             Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(at.toPoint(), actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &move);
    QDropEvent drop(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    return {enter.isAccepted() && move.isAccepted(), move.dropAction(), drop.isAccepted()};
}

Answer offer(ChipStripView& target, const QPointF& at, const QString& payload) {
    QMimeData data;
    data.setData(ChipPayload::mimeType, payload.toUtf8());
    return offer(target, at, data);
}

QImage picture(QWidget& view, qreal ratio) {
    QImage image((QSizeF(view.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(view.palette().color(QPalette::Window));
    view.render(&image);
    return image;
}

void keep(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("VESPERIN_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(folder + "/" + name + ".png");
}

class ChipStripViewTest : public ::testing::Test {
protected:
    ChipStripViewTest() {
        strip.setChips({A, B, C});
        palette.setSections({{"Time", {clock, Chip::token("sec")}}, {"Text", {Chip::text(":")}}});
    }

    ScriptedStrip strip{ChipStripView::Mode::strip};
    ScriptedStrip palette{ChipStripView::Mode::palette};
    QSignalSpy stripChanges{&strip, &ChipStripView::changed};
};

TEST_F(ChipStripViewTest, AClickSelectsAndDeleteOrBackspaceRemovesTheSelectedChip) {
    QSignalSpy focusTaken(&strip, &ChipStripView::focusTaken);
    mouse(strip, QEvent::MouseButtonPress, strip.centreOf(1), Qt::LeftButton);
    EXPECT_EQ(strip.selectedIndex(), 1);
    EXPECT_EQ(focusTaken.size(), 1);
    mouse(strip, QEvent::MouseButtonPress, {250, 16}, Qt::LeftButton);
    EXPECT_EQ(strip.selectedIndex(), std::nullopt);
    EXPECT_FALSE(pressKey(strip, Qt::Key_Delete)) << "without a selection the key goes on";

    mouse(strip, QEvent::MouseButtonPress, strip.centreOf(1), Qt::LeftButton);
    EXPECT_TRUE(pressKey(strip, Qt::Key_Delete));
    EXPECT_EQ(strip.chips(), (QList<Chip>{A, C}));
    EXPECT_EQ(strip.selectedIndex(), std::nullopt);
    EXPECT_TRUE(pressKey(strip, Qt::Key_Right));
    EXPECT_EQ(strip.selectedIndex(), 0);
    EXPECT_TRUE(pressKey(strip, Qt::Key_Backspace));
    EXPECT_EQ(strip.chips(), (QList<Chip>{C}));
    EXPECT_EQ(stripChanges.size(), 2);

    mouse(palette, QEvent::MouseButtonPress, palette.centreOf(1), Qt::LeftButton);
    EXPECT_EQ(palette.selectedIndex(), std::nullopt);
    EXPECT_FALSE(pressKey(palette, Qt::Key_Delete));
    EXPECT_EQ(palette.chips().size(), 3);
}

TEST_F(ChipStripViewTest, ADoubleClickOnATextChipAsksToEditIt) {
    strip.setChips({A, Chip::text(":"), Chip::text("  ")});
    QSignalSpy edits(&strip, &ChipStripView::textEditRequested);
    QSignalSpy paletteEdits(&palette, &ChipStripView::textEditRequested);
    for (const qsizetype index : {0, 1, 2})
        mouse(strip, QEvent::MouseButtonDblClick, strip.centreOf(index), Qt::LeftButton);
    mouse(palette, QEvent::MouseButtonDblClick, palette.centreOf(2), Qt::LeftButton);
    ASSERT_EQ(edits.size(), 2);
    EXPECT_EQ(edits.at(0).at(0).value<qsizetype>(), 1);
    EXPECT_EQ(edits.at(1).at(0).value<qsizetype>(), 2);
    EXPECT_EQ(paletteEdits.size(), 0);
}

TEST_F(ChipStripViewTest, APaletteReportsAClickUnlessThePointerMovedPastFourPoints) {
    QSignalSpy clicks(&palette, &ChipStripView::chipClicked);
    pressMoveRelease(palette, palette.centreOf(1), {4, 0});
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<Chip>(), Chip::token("sec"));
    EXPECT_EQ(palette.drags, 0);

    pressMoveRelease(palette, palette.centreOf(1), {3, 3});
    EXPECT_EQ(palette.drags, 1);
    EXPECT_EQ(palette.offered, Qt::CopyAction);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(palette.chips().size(), 3) << "a palette only gives copies";
}

TEST_F(ChipStripViewTest, AChipDraggedOutOfAStripLeavesItUnlessDroppedBackIntoIt) {
    // The first chip of [A, B, C] dropped between B and C.
    const QPointF betweenBAndC = strip.chipLayout().frames().at(2).topLeft() + QPointF(-2, 10);
    strip.whileDragging = [&](QDrag& drag) {
        EXPECT_EQ(QString::fromUtf8(drag.mimeData()->data(ChipPayload::mimeType)),
                  QString::number(strip.stripId()) + "|0|t:A");
        const qreal ratio = strip.devicePixelRatioF();
        EXPECT_EQ(drag.pixmap().size(),
                  (QSizeF(strip.chipLayout().frames().at(0).size()) * ratio).toSize());
        EXPECT_EQ(drag.pixmap().devicePixelRatio(), ratio);
        EXPECT_EQ(drag.hotSpot(), (strip.centreOf(0) - QPointF(5, 5)).toPoint());
        EXPECT_TRUE(offer(strip, betweenBAndC, *drag.mimeData()).dropped);
    };
    pressMoveRelease(strip, strip.centreOf(0), {0, 5});
    EXPECT_EQ(strip.offered, Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(strip.chips(), (QList<Chip>{B, A, C}));
    EXPECT_EQ(strip.selectedIndex(), 1);
    EXPECT_EQ(stripChanges.size(), 1);

    // Dropped at its own place, before or after itself, A stays where it is.
    for (const qsizetype at : {1, 2}) {
        strip.whileDragging = [&](QDrag& drag) {
            offer(strip, strip.chipLayout().frames().at(at).topLeft() + QPointF(-2, 10),
                  *drag.mimeData());
        };
        pressMoveRelease(strip, strip.centreOf(1), {0, 5});
        EXPECT_EQ(strip.chips(), (QList<Chip>{B, A, C}));
    }

    // Released over nothing: gone.
    strip.whileDragging = [](QDrag&) {};
    pressMoveRelease(strip, strip.centreOf(2), {-5, 0});
    EXPECT_EQ(strip.chips(), (QList<Chip>{B, A}));
    EXPECT_EQ(stripChanges.size(), 4);
}

TEST_F(ChipStripViewTest, ADroppedPaletteChipIsCopiedAndAStripChipMoves) {
    strip.setChips({Chip::token("min")});
    QSignalSpy focusTaken(&strip, &ChipStripView::focusTaken);
    const QPointF end(200, 16);
    palette.whileDragging = [&](QDrag& drag) {
        const Answer answer = offer(strip, end, *drag.mimeData(), palette.offered);
        EXPECT_TRUE(answer.entered && answer.dropped);
        EXPECT_EQ(answer.action, Qt::CopyAction);
    };
    pressMoveRelease(palette, palette.centreOf(0), {10, 0});
    EXPECT_EQ(strip.chips(), (QList<Chip>{Chip::token("min"), Chip::token("HH"), Chip::text(":"),
                                          Chip::token("min")}));
    EXPECT_EQ(strip.selectedIndex(), 3);
    EXPECT_EQ(focusTaken.size(), 1);
    EXPECT_EQ(stripChanges.size(), 1);
    EXPECT_EQ(palette.chips().size(), 3);

    ScriptedStrip other(ChipStripView::Mode::strip);
    other.setChips({Chip::token("sec")});
    QSignalSpy otherChanges(&other, &ChipStripView::changed);
    other.whileDragging = [&](QDrag& drag) {
        EXPECT_EQ(offer(strip, {1, 16}, *drag.mimeData()).action, Qt::MoveAction);
    };
    pressMoveRelease(other, other.centreOf(0), {10, 0});
    EXPECT_EQ(strip.chips().first(), Chip::token("sec"));
    EXPECT_EQ(strip.selectedIndex(), 0);
    EXPECT_TRUE(other.chips().isEmpty());
    EXPECT_EQ(otherChanges.size(), 1);
}

TEST_F(ChipStripViewTest, MalformedOrForeignPayloadsAreRefusedWithoutAnyChange) {
    const QString self = QString::number(strip.stripId());
    const QString source = QString::number(palette.stripId());
    const auto refused = [&](const QString& payload) {
        SCOPED_TRACE(payload.toStdString());
        const Answer answer = offer(strip, {200, 16}, payload);
        EXPECT_FALSE(answer.entered);
        EXPECT_FALSE(answer.dropped);
        EXPECT_EQ(strip.dropIndex(), std::nullopt);
    };
    // Nothing of ours is being dragged: another application's data under our type.
    refused(source + "|0|t:sec");
    palette.whileDragging = [&](QDrag&) {
        for (const QString& payload :
             QStringList{"0|t:sec", "x|0|t:sec", source + "|0|q:sec", source + "|0|sec",
                         QString::number(strip.stripId() + 1000) + "|0|t:sec",
                         source + "|0|c:", self + "|0|t:A"})
            refused(payload);
        offer(palette, {10, 10}, source + "|1|t:sec");
    };
    pressMoveRelease(palette, palette.centreOf(1), {10, 0});
    strip.whileDragging = [&](QDrag&) { refused(self + "|3|t:A"); };
    pressMoveRelease(strip, strip.centreOf(2), {10, 0});
    EXPECT_EQ(strip.chips(), (QList<Chip>{A, B})) << "only the drag out took a chip";
    EXPECT_EQ(stripChanges.size(), 1);
    EXPECT_EQ(palette.chips().size(), 3);
}

TEST(ChipStripFocusTest, TheStripTakesFocusByClickAndTabAndThePaletteNever) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit;
    auto* palette = new ScriptedStrip(ChipStripView::Mode::palette);
    auto* strip = new ScriptedStrip(ChipStripView::Mode::strip);
    palette->setChips({A});
    strip->setChips({A});
    for (QWidget* widget : {static_cast<QWidget*>(field), static_cast<QWidget*>(palette),
                            static_cast<QWidget*>(strip)})
        layout->addWidget(widget);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy focusTaken(strip, &ChipStripView::focusTaken);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(strip->hasFocus());
    EXPECT_EQ(focusTaken.size(), 1);
    mouse(*palette, QEvent::MouseButtonPress, palette->centreOf(0), Qt::LeftButton);
    EXPECT_TRUE(strip->hasFocus());
    field->setFocus();
    mouse(*strip, QEvent::MouseButtonPress, strip->centreOf(0), Qt::LeftButton);
    EXPECT_TRUE(strip->hasFocus());
    EXPECT_EQ(focusTaken.size(), 2);
}

TEST_F(ChipStripViewTest, ToolTipsAndAccessibleNamesComeFromTheOwnersHooks) {
    strip.setChips({A, Chip::text(":"), Chip::text("   ")});
    strip.show();
    const auto help = [&](const QPointF& at) {
        QHelpEvent event(QEvent::ToolTip, at.toPoint(), strip.mapToGlobal(at.toPoint()));
        QApplication::sendEvent(&strip, &event);
    };
    help(strip.centreOf(0));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "About A");
    help(strip.centreOf(1));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&strip);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), "A");
    EXPECT_EQ(list->child(0)->text(QAccessible::Description), "About A");
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), ":");
    EXPECT_EQ(list->child(2)->text(QAccessible::Name), "Spaces: 3");
    mouse(strip, QEvent::MouseButtonPress, strip.centreOf(2), Qt::LeftButton);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    const QPoint onColon = strip.mapToGlobal(strip.centreOf(1).toPoint());
    EXPECT_EQ(list->indexOfChild(list->childAt(onColon.x(), onColon.y())), 1);
    EXPECT_TRUE(list->child(1)->rect().contains(onColon));
    EXPECT_FALSE(list->child(0)->rect().contains(onColon));
}

TEST_F(ChipStripViewTest, AWrappingStripInAScrollAreaFollowsItsWidthAndGrowsWithItsRows) {
    QScrollArea area;
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area.resize(200, 100);
    auto* wrapping = new ScriptedStrip(ChipStripView::Mode::palette);
    wrapping->setWraps(true);
    wrapping->setChips(QList<Chip>(12, Chip::token("weekday")));
    area.setWidget(wrapping);
    area.show();
    const auto viewport = [&] { return area.viewport()->size(); };
    EXPECT_EQ(wrapping->width(), viewport().width());
    EXPECT_GT(wrapping->height(), viewport().height());
    EXPECT_EQ(wrapping->height(), std::ceil(wrapping->chipLayout().requiredHeight()));

    area.resize(1000, 100);
    EXPECT_EQ(wrapping->width(), viewport().width());
    EXPECT_EQ(wrapping->height(), viewport().height());
}

// Pictures for a person (when VESPERIN_SCREENSHOT_DIR is set); the checks are what a broken
// drawing gets wrong, at a device pixel ratio of 2.
TEST_F(ChipStripViewTest, DrawsDotsTheIndicatorAndThePlaceholderCrisply) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const QString look = appearance == Appearance::dark ? "dark" : "light";
        SCOPED_TRACE(look.toStdString());
        for (QWidget* view : {static_cast<QWidget*>(&strip), static_cast<QWidget*>(&palette)})
            view->setPalette(Appearances::palette(appearance));

        palette.setWraps(true);
        palette.resize(260, 60);
        palette.setSections({{"Time",
                              {clock, Chip::token("HH"), Chip::token("min"), Chip::token("sec"),
                               Chip::token("weekday")}},
                             {"Text", {Chip::text(":"), Chip::text("  "), Chip::text("·")}}});
        palette.resize(260, int(palette.chipLayout().requiredHeight()));
        keep(picture(palette, 2), "palette-" + look);

        strip.setChips({Chip::token("HH"), Chip::text(":"), Chip::token("min"), Chip::text("   "),
                        Chip::token("weekday")});
        mouse(strip, QEvent::MouseButtonPress, strip.centreOf(3), Qt::LeftButton);
        const QImage selected = picture(strip, 2);
        keep(selected, "strip-selection-" + look);
        // Three dots, darker (or lighter) than the capsule between them, and no label.
        const QRectF spaces = strip.chipLayout().frames().at(3);
        ASSERT_EQ(spaces.width(), 26);
        const int middle = int(2 * spaces.center().y()) - 1;
        const QColor between = selected.pixelColor(int(2 * spaces.left()) + 18, middle);
        for (int dot = 0; dot < 3; ++dot) {
            const QColor ink = selected.pixelColor(int(2 * spaces.left()) + 13 + 12 * dot, middle);
            EXPECT_GT(std::abs(ink.lightness() - between.lightness()), 20) << "dot " << dot;
        }

        // While a palette chip is dragged over the end of the strip.
        palette.whileDragging = [&](QDrag& drag) {
            QDragEnterEvent enter(QPoint(290, 16), Qt::CopyAction, drag.mimeData(), Qt::LeftButton,
                                  {});
            QApplication::sendEvent(&strip, &enter);
            const QImage dragging = picture(strip, 2);
            keep(dragging, "strip-drop-" + look);
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
        keep(empty, "strip-empty-" + look);
        const auto marked = [](const QImage& image) {
            int differing = 0;
            const QRgb fill = image.pixel(image.width() - 20, image.height() - 12);
            for (int y = 18; y < 44; ++y)
                for (int x = 16; x < 200; ++x)
                    differing += image.pixel(x, y) != fill;
            return differing;
        };
        EXPECT_GT(marked(empty), 50) << "the placeholder";
        EXPECT_EQ(marked(picture(palette, 2)), 0) << "an empty palette shows only its background";
    }
}

} // namespace
