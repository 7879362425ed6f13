#include "app/ApplicationContext.h"
#include "editor/ChipStripView.h"
#include "editor/ConfiguratorWindow.h"
#include "editor/EditorTables.h"
#include "editor/PartPopover.h"
#include "editor/SegmentBarView.h"
#include "harness/TestPictures.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "harness/VirtualDisplay.h"
#include "model/ChipCodec.h"
#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"
#include "status/ownbar/OwnBarHost.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDrag>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t escapeKey = 0xff1b, returnKey = 0xff0d, deleteKey = 0xffff,
                        rightKey = 0xff53, controlKey = 0xffe3;

bool dragRunning() {
    const QWidgetList widgets = QApplication::allWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
        return widget->findChild<QDrag*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
    });
}

// Drags with the real pointer of a private X server, as a person does: presses at `from`,
// moves to `to` in steps and lets go once `ready` holds. Once a drag has started the steps run
// inside Qt's drag loop, from a timer; after 8 s the button is let go wherever the pointer is,
// so that the loop always ends. True once the button was let go and no drag of this process
// runs any more.
bool dragWithPointer(
    const VirtualDisplay& display, const QPoint& from, const QPoint& to,
    const std::function<bool()>& ready = [] { return true; }) {
    if (!display.movePointer(from) || !display.pressButton())
        return false;
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
            display.movePointer(from + (to - from) * step++ / steps);
        else if (ready() || clock.elapsed() > 8000)
            released = display.releaseButton();
        else // Qt's drag follows moves; a small one keeps it looking.
            display.movePointer(to + QPoint(step++ % 2, 0));
    });
    driver.start(30);
    return QTest::qWaitFor([&] { return released && !dragRunning(); }, 12000);
}

// The editor of the whole application, in its window on a private X server with a window
// manager, used with the real pointer and keyboard (XTest), as a person uses it.
class EditorOnDesktopTest : public ProfileTest {
protected:
    // The top bar first, so that the window manager has made room for it before the editor
    // opens; the editor once it has the focus and Qt knows where the window manager put it.
    void open(const QList<MenuBarItem>& items) {
        context.layout.setItems(items);
        context.statusItems.enable();
        ASSERT_TRUE(soon([&] { return display.windowFrame("Vesperin status bar").has_value(); }));
        context.configurator.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window(), 10000)) << "the editor never had focus";
        int steady = 0;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                QTest::qWait(50);
                const auto frame = display.windowFrame(window()->windowTitle());
                const bool agrees =
                    frame == QRect(window()->mapToGlobal(QPoint()), window()->size());
                steady = agrees ? steady + 1 : 0;
                return steady >= 3;
            },
            10000))
            << "the window never settled where Qt thinks it is";
    }

    ConfiguratorWindow* window() const { return context.configurator.window(); }
    SegmentBarView* bar() const { return window()->bar(); }
    PartPopover* popover() const { return context.configurator.popover(); }
    ChipStripView* palette() const { return window()->palette(); }
    ChipStripView* strip() const { return popover()->strip(); }

    static QPoint onScreen(const QWidget* widget, const QPointF& at) {
        return widget->mapToGlobal(at).toPoint();
    }
    QPoint segment(int index) const { return onScreen(bar(), bar()->frames().at(index).center()); }
    QPoint chipOf(const ChipStripView* view, qsizetype index) const {
        return onScreen(view, view->chipLayout().frames().at(index).center());
    }
    // Where a palette chip shows, beside the popover when that is open.
    QPoint paletteChip(const Chip& chip) const {
        const qsizetype index = palette()->chips().indexOf(chip);
        EXPECT_GE(index, 0);
        const QPoint at = chipOf(palette(), std::max<qsizetype>(index, 0));
        EXPECT_FALSE(popover()->isVisible() &&
                     popover()->geometry().contains(window()->mapFromGlobal(at)));
        return at;
    }
    // A hand takes a moment between two clicks; Qt reads a press, release and press sent back
    // to back as one press held while the pointer moved.
    void click(const QPoint& at) {
        ASSERT_TRUE(display.click(at));
        QTest::qWait(80);
    }
    void click(const QWidget* widget) { click(onScreen(widget, widget->rect().center())); }
    void key(std::uint32_t keysym, const QList<std::uint32_t>& modifiers = {}) {
        ASSERT_TRUE(display.typeKey(keysym, modifiers));
    }
    static bool soon(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 5000);
    }
    // Picks the entry with this item data from the box's list with the pointer.
    void choose(QComboBox* box, const QVariant& data) {
        click(box);
        ASSERT_TRUE(soon([&] { return box->view()->isVisible(); }));
        const QModelIndex entry = box->model()->index(box->findData(data), box->modelColumn());
        box->view()->scrollTo(entry);
        QTest::qWait(100);
        click(onScreen(box->view()->viewport(), box->view()->visualRect(entry).center()));
        ASSERT_TRUE(soon([&] { return !box->view()->isVisible(); }));
    }
    void typeZone(const QString& text) {
        click(popover()->zoneField()->lineEdit());
        key('a', {controlKey});
        ASSERT_TRUE(display.typeText(text));
        key(returnKey);
        QTest::qWait(100);
    }

    QStringList barTitles() const {
        QStringList titles;
        for (const auto& entry : context.statusItems.entries())
            titles.append(static_cast<OwnBarItem*>(entry.status)->statusItem()->button()->title());
        return titles;
    }
    // The stored first item has these parts, and the editor's bar and the top bar show that.
    void expectEverywhere(const QStringList& parts) {
        const QList<MenuBarItem> stored = context.layout.items();
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(textsOf(stored.first().effectiveParts()), parts);
        EXPECT_EQ(textsOf(bar()->parts()), parts) << "the editor's bar";
        EXPECT_TRUE(soon([&] {
            return barTitles() ==
                   QStringList{MenuBarRenderer::render(stored.first(), context.events.now())};
        })) << "the top bar shows "
            << barTitles().join(" | ").toStdString();
    }
    QStringList chipsOfPopover() const { return {ChipCodec::templateFrom(strip()->chips())}; }
    QImage picture(const QWidget* widget) const {
        return display.screenshot(QRect(widget->mapToGlobal(QPoint()), widget->size()));
    }

    const VirtualDisplay& display = *VirtualDisplay::ofThisProcess();
    ApplicationContext context;
};

TEST_F(EditorOnDesktopTest, SegmentsAreReorderedByDraggingAndThePopoverShowsTheMovedPart) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{wd}", "{day}", "{mon}"})}));
    const QPoint end = onScreen(bar(), {bar()->frames().last().right() + 6, 20});
    EXPECT_TRUE(dragWithPointer(display, segment(0), end, [&] { return bar()->dropIndex() == 3; }));
    ASSERT_TRUE(soon([&] { return textsOf(bar()->parts()).first() == "{day}"; }));
    expectEverywhere({"{day}", "{mon}", "{wd}"});
    EXPECT_EQ(bar()->selected(), 2);
    ASSERT_TRUE(popover()->isVisible());
    EXPECT_EQ(chipsOfPopover(), QStringList{"{wd}"});

    // Pressed with the popover open, a segment still drags.
    EXPECT_TRUE(dragWithPointer(display, segment(1), onScreen(bar(), {200, 20}), [&] {
        if (bar()->dropIndex() != 0)
            return false;
        keepForLooking(picture(window()), "editor-segment-dragged");
        return true;
    }));
    ASSERT_TRUE(soon([&] { return textsOf(bar()->parts()).first() == "{mon}"; }));
    expectEverywhere({"{mon}", "{day}", "{wd}"});
    EXPECT_EQ(chipsOfPopover(), QStringList{"{mon}"});
}

TEST_F(EditorOnDesktopTest, TheClickThatClosesThePopoverActsWhereItLands) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{wd}", "{day}"}), partsItem({"{mon}"})}));
    click(segment(0));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    keepForLooking(picture(window()), "editor-popover");

    // A palette chip goes to the part the popover edited, on that first click.
    click(paletteChip(Chip::token("month")));
    ASSERT_TRUE(soon([&] { return !popover()->isVisible(); }));
    ASSERT_TRUE(soon([&] { return textsOf(bar()->parts()).first() == "{wd} {month}"; }));

    // "Add a Part" opens the popover on the new part; the next click, on a chip, counts.
    click(window()->addPartButton());
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    EXPECT_EQ(context.configurator.editingPart(), 2);
    click(paletteChip(Chip::token("wd")));
    EXPECT_TRUE(soon([&] { return bar()->parts()[2].text == "{HH}:{min} {wd}"; }));

    // A row of the list, then Done, each on the first click.
    click(segment(1));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    QListView* list = window()->list();
    click(onScreen(list->viewport(), list->visualRect(list->model()->index(1, 0)).center()));
    EXPECT_TRUE(soon([&] { return context.configurator.list().selected == 1; }));
    EXPECT_FALSE(popover()->isVisible());
    click(segment(0));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    click(window()->doneButton());
    EXPECT_TRUE(soon([&] { return !window()->isVisible(); }));
}

TEST_F(EditorOnDesktopTest, AChipDraggedOutOfThePopoverMovesAloneAndOnlyWhereItIsTaken) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{HH}:{min}", "{wd} {day}"})}));
    click(segment(1));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    const QPoint rightHalf = segment(0) + QPoint(int(bar()->frames()[0].width() / 4), 0);
    EXPECT_TRUE(dragWithPointer(display, chipOf(strip(), 0), rightHalf,
                                [&] { return bar()->dropOnto() == 0; }));
    ASSERT_TRUE(soon([&] { return textsOf(bar()->parts()).first() == "{HH}:{min} {wd}"; }));
    expectEverywhere({"{HH}:{min} {wd}", " {day}"});
    EXPECT_EQ(chipsOfPopover(), QStringList{"{HH}:{min} {wd}"}) << "it shows the part it went to";

    // Between the segments, the chip becomes a part of its own.
    const QPoint between = onScreen(bar(), {bar()->frames()[1].left() - 3, 20});
    EXPECT_TRUE(dragWithPointer(display, chipOf(strip(), 0), between,
                                [&] { return bar()->dropIndex() == 1; }));
    ASSERT_TRUE(soon([&] { return bar()->parts().size() == 3; }));
    expectEverywhere({":{min} {wd}", "{HH}", " {day}"});

    // Released where nothing takes it, the chip stays.
    EXPECT_TRUE(
        dragWithPointer(display, chipOf(strip(), 0), onScreen(window()->list(), {50, 200})));
    QTest::qWait(200);
    expectEverywhere({":{min} {wd}", "{HH}", " {day}"});
}

// The drop comes before the drag's end, which then must leave the chip where it went.
TEST_F(EditorOnDesktopTest, AChipDraggedWithinThePopoverMovesThere) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{wd}{HH}:{min}"})}));
    click(segment(0));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    const QPointF beforeMinutes = strip()->chipLayout().frames().at(3).topLeft() + QPointF(-2, 10);
    EXPECT_TRUE(dragWithPointer(display, chipOf(strip(), 0), onScreen(strip(), beforeMinutes),
                                [&] { return strip()->dropIndex() == 3; }));
    ASSERT_TRUE(soon([&] { return chipsOfPopover() == QStringList{"{HH}:{wd}{min}"}; }));
    expectEverywhere({"{HH}:{wd}{min}"});
}

TEST_F(EditorOnDesktopTest, DeleteRemovesTheClickedSegmentWhileThePopoverIsOpen) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{wd}", "{day}"})}));
    click(segment(1));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    key(deleteKey);
    ASSERT_TRUE(soon([&] { return bar()->parts().size() == 1; }));
    expectEverywhere({"{wd}"});
    EXPECT_FALSE(popover()->isVisible());
}

// The popover's zone field and language list, a popup inside a popup, are used for real.
TEST_F(EditorOnDesktopTest, ANewPartShowsNoZoneAndTakesATypedZoneAndAPickedLanguage) {
    MenuBarItem tokyo = partsItem({"{HH}:{min}"});
    (*tokyo.parts)[0].timeZoneID = "Asia/Tokyo";
    (*tokyo.parts)[0].localeID = "de";
    ASSERT_NO_FATAL_FAILURE(open({tokyo}));
    click(segment(0));
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    EXPECT_EQ(popover()->zoneField()->currentText(), "Asia/Tokyo");
    click(popover()); // on its background: it stays open

    click(window()->addPartButton());
    ASSERT_TRUE(soon([&] { return context.configurator.editingPart() == 1; }));
    EXPECT_EQ(popover()->zoneField()->currentText(), L("menubar.timezone_mac_short"));
    EXPECT_EQ(popover()->languageBox()->currentData(), 0);

    typeZone("new york");
    ASSERT_TRUE(soon([&] { return context.layout.items().first().parts->size() == 2; }));
    EXPECT_EQ(context.layout.items().first().parts->at(1).timeZoneID, "America/New_York");
    EXPECT_EQ(popover()->zoneField()->currentText(), "America/New_York");
    ASSERT_NO_FATAL_FAILURE(choose(popover()->languageBox(), EditorTables::languageTag("ja")));
    EXPECT_TRUE(soon([&] { return context.layout.items().first().parts->at(1).localeID == "ja"; }));
    EXPECT_TRUE(popover()->isVisible());
}

TEST_F(EditorOnDesktopTest, ReturnOpensTheSelectedSegmentsPopoverAndEscapeClosesOnlyIt) {
    ASSERT_NO_FATAL_FAILURE(open({partsItem({"{wd}", "{day}"})}));
    bar()->setFocus(Qt::TabFocusReason);
    key(rightKey);
    ASSERT_TRUE(soon([&] { return bar()->selected() == 0; }));
    key(rightKey);
    ASSERT_TRUE(soon([&] { return bar()->selected() == 1; }));
    key(returnKey);
    ASSERT_TRUE(soon([&] { return popover()->isVisible(); }));
    EXPECT_TRUE(strip()->hasFocus()) << "the keyboard goes into the popover";
    EXPECT_EQ(chipsOfPopover(), QStringList{"{day}"});
    key(escapeKey);
    ASSERT_TRUE(soon([&] { return !popover()->isVisible(); }));
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(bar()->hasFocus());
    key(escapeKey);
    EXPECT_TRUE(soon([&] { return !window()->isVisible(); }));
}

} // namespace
