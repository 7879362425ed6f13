#include "editor/SegmentBarView.h"

#include "editor/ChipPayload.h"
#include "editor/SegmentPayload.h"
#include "harness/PaintedRegions.h"
#include "harness/TestPictures.h"
#include "harness/TestText.h"
#include "harness/WidgetEvents.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QAccessible>
#include <QDrag>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<QMimeData> carrying(const char* type, const QByteArray& payload) {
    auto data = std::make_unique<QMimeData>();
    data->setData(type, payload);
    return data;
}

// A bar of 748 × 40 whose labels are its parts' texts, and what it told its owner, in order.
// Only while a drag of the application runs has a drop event a source, so only then can a drop
// come from inside the application: on the X server a drag runs an event loop of its own, from
// which the tests send their drag events before they cancel it. The bar stays hidden while
// dragging, so the desktop's own drag events never reach it.
class SegmentBarViewTest : public ::testing::Test {
protected:
    SegmentBarViewTest() {
        bar.render = [](const MenuBarPart& part) { return part.text; };
        bar.resize(748, 40);
        bar.setParts(partsOf({"A", "B", "C"}));
        QObject::connect(&bar, &SegmentBarView::selectionChanged,
                         [this](std::optional<int> index, const QRectF& frame) {
                             reports.append(index ? QString("selected %1").arg(*index)
                                                  : QString("selected none"));
                             reportedFrame = frame;
                         });
        QObject::connect(&bar, &SegmentBarView::changed, [this] { reports.append("changed"); });
        QObject::connect(&bar, &SegmentBarView::editRequested,
                         [this](int index) { reports.append(QString("edit %1").arg(index)); });
    }

    QPointF centreOf(int index) const { return bar.frames()[index].center(); }
    QPointF leftHalfOf(int index) const { return centreOf(index) - QPointF(5, 0); }
    QPointF rightHalfOf(int index) const { return centreOf(index) + QPointF(5, 0); }
    QPointF gapAfter(int index) const { return {bar.frames()[index].right() + 3, 20}; }

    // Runs `during` inside the next drag, which `start` starts, then cancels that drag.
    static void insideDrag(const std::function<void()>& during,
                           const std::function<void()>& start) {
        QObject scope;
        bool ran = false;
        QTimer::singleShot(0, &scope, [&] {
            ran = true;
            during();
            QDrag::cancel();
        });
        start();
        ASSERT_TRUE(ran) << "no drag ran";
    }
    static void whileDragging(QObject* source, const std::function<void()>& during) {
        insideDrag(during, [source] {
            auto* drag = new QDrag(source);
            drag->setMimeData(new QMimeData);
            drag->exec(Qt::CopyAction | Qt::MoveAction);
        });
    }
    SegmentBarView bar;
    QStringList reports;
    QRectF reportedFrame; // of the last selection reported
};

// The desktop tests drag segments and drop chips on them for real; here is what they cannot
// tell: which presses count, how far a drag must go and the picture it carries.
TEST_F(SegmentBarViewTest, APressSelectsAClickEditsAndOnlyPastFourPointsADragStarts) {
    sendMouse(bar, QEvent::MouseButtonPress, QPointF(20, 20), Qt::RightButton);
    sendMouse(bar, QEvent::MouseButtonPress, QPointF(20, 20)); // the background
    sendMouse(bar, QEvent::MouseButtonRelease, QPointF(20, 20));
    EXPECT_EQ(reports, QStringList{"selected none"});
    EXPECT_EQ(reportedFrame, QRectF(0, 0, 748, 40));

    const QPointF start = centreOf(0);
    sendMouse(bar, QEvent::MouseButtonPress, start);
    EXPECT_EQ(reportedFrame, bar.frames()[0]);
    sendMouse(bar, QEvent::MouseButtonRelease, start);
    EXPECT_EQ(reports, (QStringList{"selected none", "selected 0", "edit 0"}));
    sendMouse(bar, QEvent::MouseButtonPress, start);
    sendMouse(bar, QEvent::MouseMove, start + QPointF(4, 0));
    sendMouse(bar, QEvent::MouseMove, start + QPointF(0, -4));
    EXPECT_TRUE(bar.findChildren<QDrag*>().isEmpty());
    insideDrag(
        [&] {
            const QDrag* drag = bar.findChild<QDrag*>();
            ASSERT_NE(drag, nullptr);
            EXPECT_EQ(drag->mimeData()->formats(), QStringList{SegmentPayload::mimeType});
            EXPECT_EQ(drag->pixmap().deviceIndependentSize(), bar.frames()[0].size());
            EXPECT_EQ(drag->hotSpot(), (start - bar.frames()[0].topLeft()).toPoint()); // as pressed
        },
        [&] { sendMouse(bar, QEvent::MouseMove, start + QPointF(3, 3)); });
    sendMouse(bar, QEvent::MouseMove, start + QPointF(30, 0)); // one drag per press
    sendMouse(bar, QEvent::MouseButtonRelease, start + QPointF(30, 0));
    EXPECT_EQ(bar.findChildren<QDrag*>().size(), 1);
    EXPECT_EQ(reports.count("edit 0"), 1) << "a press that dragged is no click";

    // Opaque, for desktops without a compositing manager, and lighter inside the segment.
    const QImage pixmap = bar.dragPixmap(2, 2).toImage(); // on a screen of twice the density
    EXPECT_EQ(pixmap.size(), (bar.frames()[2].size() * 2).toSize());
    EXPECT_EQ(pixmap.pixelColor(0, 0).rgba(), qRgb(33, 33, 33));
    EXPECT_GT(pixmap.pixelColor(8, 26).lightness(), pixmap.pixelColor(0, 0).lightness() + 40);
    EXPECT_EQ(pixmap.pixelColor(8, 26).alpha(), 255);
}

TEST_F(SegmentBarViewTest, LabelsAndTheSeparatorAreMeasuredInTheLabelFont) {
    const QFontMetricsF metrics(systemFont(13, QFont::Medium));
    bar.setParts(partsOf({"Mon 9", "   "}));
    bar.setSeparator(" · ");
    EXPECT_EQ(bar.frames()[0].width(), std::ceil(metrics.horizontalAdvance("Mon 9")) + 20);
    EXPECT_EQ(bar.frames()[1].left() - bar.frames()[0].right(),
              std::ceil(metrics.horizontalAdvance(" · ")));
    EXPECT_EQ(bar.frames()[1].width(), 30);
    EXPECT_EQ(bar.displayedLabel(1), "…");
    bar.show(); // a hidden widget learns of a new size when shown
    bar.resize(600, 40);
    EXPECT_EQ(bar.frames()[1].right(), 600 - 12);
}

TEST_F(SegmentBarViewTest, MalformedPayloadsForeignDragsAndOtherViewsSegmentsChangeNothing) {
    const auto valid = carrying(ChipPayload::mimeType, "1|0|t:min");
    EXPECT_EQ(hoverDrag(bar, centreOf(0), *valid),
              Qt::IgnoreAction); // no drag of ours: another program's
    QObject otherView;
    whileDragging(&otherView, [&] {
        const auto malformed = carrying(ChipPayload::mimeType, "x|2|t:min");
        EXPECT_EQ(hoverDrag(bar, leftHalfOf(0), *malformed), Qt::IgnoreAction);
        // Checked again on the drop, whatever the drag carried while hovering.
        EXPECT_EQ(dropDrag(bar, gapAfter(0), *malformed, valid.get()).dropped, Qt::IgnoreAction);
        // Another view's segment index names nothing in this bar.
        EXPECT_EQ(dropDrag(bar, {745, 20}, *carrying(SegmentPayload::mimeType, "0")).dropped,
                  Qt::IgnoreAction);
    });
    whileDragging(&bar, [&] {
        const auto first = carrying(SegmentPayload::mimeType, "0");
        for (const char* index : {"3", "-1", "1 "}) {
            const auto wrong = carrying(SegmentPayload::mimeType, index);
            EXPECT_EQ(hoverDrag(bar, {745, 20}, *wrong), Qt::IgnoreAction) << index;
            EXPECT_EQ(dropDrag(bar, {745, 20}, *wrong, first.get()).dropped, Qt::IgnoreAction)
                << index;
        }
    });
    EXPECT_EQ(textsOf(bar.parts()), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(bar.dropIndex(), std::nullopt);
    EXPECT_TRUE(reports.isEmpty());
}

// Ctrl with an arrow moves the selected part, and past either end does nothing.
TEST_F(SegmentBarViewTest, ControlArrowsMoveAndDeleteRemovesTheSelectedPartButNeverTheLast) {
    const auto taken = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        return sendKey(bar, key, modifiers);
    };
    EXPECT_FALSE(taken(Qt::Key_Delete)); // nothing selected
    bar.setSelected(0);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left})
        EXPECT_TRUE(taken(key, Qt::ControlModifier));
    EXPECT_EQ(textsOf(bar.parts()), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(bar.selected(), 1);
    EXPECT_EQ(reports.count("changed"), 3);
    reports.clear();
    bar.setSelected(1);
    EXPECT_FALSE(taken(Qt::Key_A));
    EXPECT_TRUE(taken(Qt::Key_Return));
    EXPECT_TRUE(taken(Qt::Key_Delete));
    EXPECT_EQ(reports, (QStringList{"edit 1", "changed", "selected none"}));
    bar.setSelected(0);
    EXPECT_TRUE(taken(Qt::Key_Backspace));
    bar.setSelected(0);
    EXPECT_FALSE(taken(Qt::Key_Delete));
    EXPECT_EQ(textsOf(bar.parts()), QStringList{"C"});
}

TEST_F(SegmentBarViewTest, SegmentsHaveToolTipsAndAccessibleNamesFromTheOwner) {
    bar.setParts(partsOf({"A", "   "}));
    bar.tooltip = [](const MenuBarPart& part) {
        return part.text == "A" ? std::optional<QString>("Part A") : std::nullopt;
    };
    bar.setSelected(0);
    bar.show();
    askToolTip(bar, centreOf(0));
    EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), "Part A");
    askToolTip(bar, centreOf(1)); // hidden after a short delay
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* first = list->child(0);
    EXPECT_EQ(first->text(QAccessible::Name), "A");
    EXPECT_EQ(first->text(QAccessible::Description), "Part A");
    EXPECT_TRUE(first->state().selected);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), "Empty part");
    EXPECT_EQ(list->childAt(first->rect().center().x(), first->rect().center().y()), first);
    bar.setParts({});
    EXPECT_FALSE(first->isValid());
}

// A live clock: only the segment whose label changed is drawn again, in the frame it has.
TEST_F(SegmentBarViewTest, RefreshedLabelsRepaintOnlyTheSegmentsThatChanged) {
    QString seconds = "07";
    bar.render = [&](const MenuBarPart& part) { return part.text == "B" ? seconds : part.text; };
    bar.setParts(partsOf({"A", "B", "C"}));
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const QList<QRectF> frames = bar.frames();
    const auto refresh = [&] { bar.refreshLabels(); };
    EXPECT_TRUE(repaintedBy(bar, refresh).isEmpty());
    seconds = "08 and longer";
    EXPECT_EQ(repaintedBy(bar, refresh), QRegion(frames[1].toAlignedRect().adjusted(-1, -1, 1, 1)));
    EXPECT_EQ(bar.frames(), frames);
}

TEST(SegmentBarFocusTest, TabAndClicksGiveFocusAndTheFocusedBarIsRinged) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* bar = new SegmentBarView(&window);
    layout->addWidget(before);
    layout->addWidget(bar);
    bar->setFixedSize(748, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto topEdge = [bar] { return bar->grab().toImage().pixelColor(374, 1).rgb(); };
    before->setFocus();
    const QRgb unfocused = topEdge();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(bar->hasFocus());
    EXPECT_EQ(topEdge(), calBlue(bar).rgb());
    QTest::keyClick(bar, Qt::Key_Backtab);
    EXPECT_EQ(topEdge(), unfocused);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(bar->hasFocus());
}

// The pictures are kept for a person to look at when VESPERIN_SCREENSHOT_DIR is set; the test
// checks what blurred or misplaced drawing gets wrong, at a device pixel ratio of 2.
TEST_F(SegmentBarViewTest, MarkerSegmentsAndEmptyTextAreDrawnCrispAtTwiceTheDensity) {
    bar.render = [](const MenuBarPart& part) { return part.text == "B" ? "12:41" : part.text; };
    bar.setParts(partsOf({"Mon 9", "B", " "}));
    bar.setSelected(1);
    // Drawn 16 points inside a window of the appearance; `at` is a point of the bar in the image.
    const auto at = [](const QPointF& point) { return ((point + QPointF(16, 16)) * 2).toPoint(); };
    const auto picture = [&](const QString& name, Appearance appearance) {
        QImage image(QSize(780, 72) * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Appearances::palette(appearance).color(QPalette::Window));
        QPainter painter(&image);
        // As a child of the window, without a background of its own; `render` alone is the
        // label hook.
        bar.QWidget::render(&painter, QPoint(16, 16), {}, QWidget::DrawChildren);
        keepForLooking(image, QString("segment-bar-%1-%2").arg(name, nameOf(appearance)));
        return image;
    };
    const QRgb grey = QColor::fromRgbF(0.13f, 0.13f, 0.13f).rgb();
    QObject palette;
    whileDragging(&palette, [&] {
        ASSERT_EQ(hoverDrag(bar, gapAfter(1), *carrying(ChipPayload::mimeType, "1|0|t:min")),
                  Qt::CopyAction);
        for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
            const QImage image = picture("marker", appearance);
            const QPoint marker = at({bar.frames()[2].left() - 5, 20});
            const int x = marker.x(), y = marker.y();
            for (int column : {x, x + 3})
                EXPECT_EQ(image.pixelColor(column, y).rgb(), calBlueFixed().rgb()) << column;
            EXPECT_EQ(std::pair(image.pixel(x - 1, y), image.pixel(x + 4, y)),
                      std::pair(grey, grey));
            const QPoint inside = at(bar.frames()[1].topLeft() + QPointF(4, 13));
            EXPECT_EQ(image.pixel(inside), image.pixel(inside + QPoint(1, 0)));
            EXPECT_GT(image.pixelColor(inside).blue(), image.pixelColor(inside).red() + 40);
        }
        ASSERT_EQ(hoverDrag(bar, rightHalfOf(2), *carrying(ChipPayload::mimeType, "1|0|t:min")),
                  Qt::CopyAction);
        const QImage onto = picture("onto", Appearance::dark);
        const auto fill = [&](int i) {
            return onto.pixelColor(at(bar.frames()[i].topLeft() + QPointF(4, 13)));
        };
        EXPECT_GT(fill(2).lightness(), fill(0).lightness() + 10);
    });

    bar.setParts({});
    const QImage empty = picture("empty", Appearance::light);
    int right = -1; // the text's right end, on the bar clear of its rounded corners
    for (int y = at({0, 8}).y(); y < at({0, 32}).y(); ++y)
        for (int x = at({0, 0}).x(); x < at({740, 0}).x(); ++x)
            if (empty.pixelColor(x, y).lightness() > 80)
                right = std::max(right, x);
    EXPECT_GE(right, at({748 - 19, 0}).x());
    EXPECT_LT(right, at({748 - 16, 0}).x());
}

} // namespace
