#include "editor/MenuBarConfigurator.h"

#include "editor/ChipStripLayout.h"
#include "editor/ChipStripView.h"
#include "editor/ConfiguratorWindow.h"
#include "editor/EditorTables.h"
#include "editor/PartPopover.h"
#include "editor/SegmentBarView.h"
#include "editor/TextPrompt.h"
#include "harness/FakeClock.h"
#include "harness/FakeDesktop.h"
#include "harness/TestProfile.h"
#include "harness/TestText.h"
#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "settings/Localization.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"
#include "systemclock/CompactClockAvailability.h"
#include "systemclock/SystemClock.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Parts = QList<MenuBarPart>;

// The real editor over a profile of its own, counting what it saves.
class MenuBarConfiguratorTest : public ProfileTest {
protected:
    MenuBarConfiguratorTest() {
        for (auto signal : {&MenuBarLayout::itemsChanged, &MenuBarLayout::paddingChanged})
            QObject::connect(&layout, signal, &editor, [this] { ++saves; });
    }

    void open(const QList<MenuBarItem>& items) {
        layout.setItems(items);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
        saves = 0;
    }
    ConfiguratorWindow* window() const { return editor.window(); }
    SegmentBarView* bar() const { return window()->bar(); }
    PartPopover* popover() const { return editor.popover(); }
    QList<MenuBarItem> stored() const { return layout.items(); }
    MenuBarItem storedSelected() const { return stored().at(editor.list().selected); }

    static void click(QWidget* widget, const QPoint& at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
    static void click(QWidget* widget) { click(widget, widget->rect().center()); }
    void clickRow(int row) {
        QListView* list = window()->list();
        click(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    }
    void clickSegment(int index) { click(bar(), bar()->frames().at(index).center().toPoint()); }
    void clickPaletteChip(const Chip& chip) {
        ChipStripView* palette = window()->palette();
        const qsizetype index = palette->chips().indexOf(chip);
        ASSERT_GE(index, 0);
        click(palette, palette->chipLayout().frames().at(index).center().toPoint());
    }
    void typeZone(const QString& text) {
        QLineEdit* field = popover()->zoneField()->lineEdit();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // Picks an entry from the box's list with the pointer.
    static void choose(QComboBox* box, int index) {
        box->showPopup();
        QAbstractItemView* view = box->view();
        const QModelIndex entry = box->model()->index(index, box->modelColumn());
        view->scrollTo(entry);
        click(view->viewport(), view->visualRect(entry).center());
        ASSERT_EQ(box->currentIndex(), index);
    }
    QString rowText(int row) const {
        return window()->list()->model()->index(row, 0).data().toString();
    }

    FakeClock clock;
    FakeDesktop desktop;
    Settings settings{Preferences::standard()};
    MenuBarLayout layout{settings};
    SystemClock systemClock{settings, desktop};
    CompactClockAvailability compactClock{desktop};
    MenuBarConfigurator editor{settings, layout, clock.events(), systemClock, compactClock};
    int saves = 0;
};

// Each operation saves once, and the list, the bar and the store agree after it.
TEST_F(MenuBarConfiguratorTest, ListOperationsSaveOnceAtOnce) {
    open({itemOf("One"), itemOf("Two")});
    EXPECT_EQ(rowText(1), "Two");
    const auto operate = [&](QWidget* control, int selectedAfter) {
        saves = 0;
        click(control);
        EXPECT_EQ(saves, 1);
        EXPECT_EQ(stored(), editor.list().items);
        EXPECT_EQ(window()->list()->currentIndex().row(), selectedAfter);
        EXPECT_EQ(bar()->parts(), stored().at(selectedAfter).effectiveParts());
    };
    operate(window()->addButton(), 2);
    clickRow(0);
    operate(window()->duplicateButton(), 1);
    operate(window()->downButton(), 2);
    operate(window()->upButton(), 1);
    operate(window()->enabledBox(), 1);
    EXPECT_EQ(window()->list()->model()->index(1, 0).data(Qt::ForegroundRole).value<QColor>(),
              Appearances::tertiaryLabelColor(Appearances::of(window())));
    operate(window()->removeButton(), 1);

    saves = 0;
    ASSERT_NO_FATAL_FAILURE(clickPaletteChip(Chip::token("HH")));
    EXPECT_EQ(saves, 1);
}

TEST_F(MenuBarConfiguratorTest, AnEmptyLayoutOffersOnlyAddingAndTheLastRemovalSavesNothingLeft) {
    open({});
    for (QWidget* control : QList<QWidget*>{
             window()->removeButton(), window()->duplicateButton(), window()->upButton(),
             window()->downButton(), window()->enabledBox(), window()->addPartButton(),
             window()->textButton(), window()->separatorBox(), window()->presetsButton()})
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
    EXPECT_TRUE(bar()->parts().isEmpty());
    EXPECT_TRUE(window()->presetsButton()->menu()->actions().isEmpty());

    click(window()->addButton());
    EXPECT_EQ(window()->presetsButton()->menu()->actions().size(), 12);
    EXPECT_FALSE(window()->downButton()->isEnabled());
    EXPECT_TRUE(window()->addPartButton()->isEnabled());
    click(window()->removeButton());
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(editor.list().selected, -1);
}

// The desktop tests type zones and choose a language; here: where the popover hangs, that the
// zone a part has already saves nothing, and that the system's entries take the part's own away.
TEST_F(MenuBarConfiguratorTest, ThePopoversZoneAndLanguageAreStoredAndTheSystemsRemoveThem) {
    open({partsItem({"{HH}:{min}", "{wd}"})});
    clickSegment(1);
    ASSERT_TRUE(popover()->isVisible());
    EXPECT_EQ(popover()->strip()->chips(), QList<Chip>{Chip::token("wd")});
    const QRectF frame = bar()->frames()[1];
    const QRect segment(bar()->mapTo(window(), frame.topLeft().toPoint()), frame.size().toSize());
    // Hanging under its segment, over the window's content.
    const QRect shown = popover()->geometry();
    EXPECT_GT(shown.top(), segment.bottom());
    EXPECT_LE(shown.top(), segment.bottom() + 10);
    EXPECT_TRUE(shown.contains(segment.center().x(), shown.center().y()));

    typeZone("tokyo");
    EXPECT_EQ(storedSelected().parts->at(1).timeZoneID, "Asia/Tokyo");
    // What completion offered for the typed text is gone with it.
    EXPECT_FALSE(popover()->zoneField()->completer()->popup()->isVisible());
    saves = 0;
    typeZone("Asia/Tokyo");
    EXPECT_EQ(saves, 0);
    ASSERT_NO_FATAL_FAILURE(choose(popover()->languageBox(), EditorTables::languageTag("de")));
    const MenuBarPart german{"{wd}", QString("Asia/Tokyo"), QString("de")};
    EXPECT_EQ(storedSelected().parts->at(1), german);
    EXPECT_EQ(bar()->displayedLabel(1),
              MenuBarRenderer::render(german, storedSelected(), clock.now()));

    ASSERT_NO_FATAL_FAILURE(choose(popover()->zoneField(), 0));
    ASSERT_NO_FATAL_FAILURE(choose(popover()->languageBox(), 0));
    EXPECT_EQ(storedSelected().parts->at(1), MenuBarPart{"{wd}"});
    EXPECT_EQ(popover()->zoneField()->currentText(), L("menubar.timezone_mac_short"));
}

TEST_F(MenuBarConfiguratorTest, PartsAreAddedUpToSixAndRemovedFromThePopover) {
    MenuBarItem five = partsItem({"1", "2", "3", "4", "5"});
    (*five.parts)[0].localeID = "ja";
    open({five});
    click(window()->addPartButton());
    EXPECT_EQ(storedSelected().parts->size(), 6);
    EXPECT_EQ(editor.editingPart(), 5);
    EXPECT_FALSE(window()->addPartButton()->isEnabled());

    clickSegment(0);
    click(popover()->removeButton());
    EXPECT_EQ(storedSelected().parts->first().text, "2");
    EXPECT_FALSE(popover()->isVisible());
    EXPECT_EQ(editor.editingPart(), std::nullopt);
    EXPECT_EQ(bar()->selected(), std::nullopt);
    EXPECT_TRUE(window()->addPartButton()->isEnabled());

    // The palette previewed the Japanese part; without it, its chips are measured again.
    ChipStripView* palette = window()->palette();
    const QFontMetricsF metrics(systemFont(12, QFont::Medium), palette);
    for (qsizetype i = 0; i < palette->chips().size(); ++i) {
        const QString label = palette->render(palette->chips()[i]);
        EXPECT_EQ(palette->chipLayout().frames().at(i).width(),
                  ChipStripLayout::chipWidth(palette->chips()[i],
                                             [&] { return metrics.horizontalAdvance(label); }))
            << label;
    }
}

TEST_F(MenuBarConfiguratorTest, PresetsSeparatorsAndPaddingAreStoredAsChosen) {
    MenuBarItem dashed = partsItem({"{HH}", "{min}"});
    dashed.separator = " - ";
    open({dashed, itemOf("{wd}")});
    QComboBox* separators = window()->separatorBox();
    EXPECT_EQ(separators->currentText(), L("menubar.sep_custom"));
    ASSERT_NO_FATAL_FAILURE(choose(separators, 1));
    EXPECT_EQ(storedSelected().separator, " ");
    ASSERT_NO_FATAL_FAILURE(choose(separators, separators->count() - 1));
    EXPECT_EQ(storedSelected().separator, " - ");
    clickRow(1);
    EXPECT_EQ(separators->findText(L("menubar.sep_custom")), -1);

    clickSegment(0);
    window()->presetsButton()->menu()->actions()[6]->trigger();
    EXPECT_EQ(storedSelected().parts, (Parts{{"{wd} {day}"}, {"{HH}:{min}"}}));
    EXPECT_EQ(bar()->parts().size(), 2);
    EXPECT_EQ(separators->currentIndex(), 3);
    EXPECT_FALSE(popover()->isVisible());
    window()->presetsButton()->menu()->actions().last()->trigger();
    EXPECT_EQ(rowText(1), L("menubar.icon_only"));

    window()->paddingSlider()->setSliderPosition(-75);
    EXPECT_EQ(layout.padding(), -8);
    EXPECT_EQ(window()->paddingValue()->text(), "-8 pt");
}

TEST_F(MenuBarConfiguratorTest, FreeTextIsKeptExactlyAndShownLiterallyWhereItIsNoToken) {
    open({partsItem({"{HH}"})});
    const QString text = QString("{not a token} {12} [a] |b| \u23F0 \u05E9\u05DC\u05D5\u05DD ") +
                         QString(40000, u'x');
    QStringList asked;
    editor.promptText = [&](const QString& initial) -> std::optional<QString> {
        asked.append(initial);
        return initial.isEmpty() ? text : QString("y");
    };
    click(window()->textButton());
    EXPECT_EQ(storedSelected().parts->first().text, "{HH}" + text);
    EXPECT_TRUE(rowText(0).endsWith(text));

    clickSegment(0);
    ChipStripView* strip = popover()->strip();
    const auto doubleClick = [&](qsizetype chip) {
        QTest::mouseDClick(strip, Qt::LeftButton, {},
                           strip->chipLayout().frames().at(chip).center().toPoint());
    };
    doubleClick(0); // a token: nothing to type
    EXPECT_EQ(asked, QStringList{""});
    const QString lastChip = strip->chips().last().value;
    doubleClick(strip->chips().size() - 1);
    EXPECT_EQ(asked.last(), lastChip);
    EXPECT_TRUE(storedSelected().parts->first().text.endsWith(u'y'));
    EXPECT_TRUE(popover()->isVisible());
}

TEST_F(MenuBarConfiguratorTest, TheRefreshRedrawsTheTextsWhileTheWindowIsOpenAndNothingElse) {
    // From midday, so that a minute later it is still the same day and only the time changes.
    const QDateTime now = clock.now().toLocalTime();
    clock.jumpBy(now.msecsTo(QDateTime(now.date(), QTime(12, 0))));
    open({itemOf("{HH}:{min}:{sec}"), itemOf("{wd}")});
    EXPECT_TRUE(editor.isTicking());
    QAbstractItemModel* model = window()->list()->model();
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    const QList<QRectF> frames = bar()->frames();
    const QString shown = rowText(0);
    clock.jumpBy(61000);
    editor.tick();
    ASSERT_EQ(changes.size(), 1); // the date did not change
    EXPECT_EQ(changes[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(changes[0][1].toModelIndex().row(), 0);
    EXPECT_EQ(changes[0][2].value<QList<int>>(), QList<int>{Qt::DisplayRole});
    EXPECT_EQ(resets.size(), 0);
    EXPECT_NE(rowText(0), shown);
    EXPECT_EQ(bar()->frames(), frames);
    EXPECT_EQ(saves, 0);

    clickRow(1);
    clickSegment(0);
    window()->list()->setFocus();
    QTest::keyClick(window()->list(), Qt::Key_Return); // the Done button's key
    EXPECT_FALSE(window()->isVisible());
    EXPECT_FALSE(popover()->isVisible());
    EXPECT_FALSE(editor.isTicking());

    // Reopened: the stored layout as it is now, the same row selected.
    QList<MenuBarItem> elsewhere = stored();
    elsewhere[1].templateText = "{day}";
    layout.setItems(elsewhere);
    editor.show();
    EXPECT_EQ(editor.list().selected, 1);
    EXPECT_EQ(bar()->parts(), Parts{{"{day}"}});
    EXPECT_TRUE(editor.isTicking());
}

// What a screen reader says of every control the keyboard reaches, the popover's included.
TEST_F(MenuBarConfiguratorTest, EveryControlTheKeyboardReachesSaysWhatItIs) {
    open({partsItem({"{HH}", "{min}"})});
    clickSegment(0);
    ASSERT_TRUE(popover()->isVisible());
    QStringList unnamed;
    QWidget* widget = window();
    do {
        widget = widget->nextInFocusChain();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) && accessible &&
            accessible->text(QAccessible::Name).isEmpty())
            unnamed.append(widget->metaObject()->className());
    } while (widget != window());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    for (QWidget* view : QWidgetList{bar(), window()->palette(), popover()->strip()})
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(view)->text(QAccessible::Description).isEmpty())
            << view->metaObject()->className() << " says how the keyboard uses it";
}

TEST_F(MenuBarConfiguratorTest, TheCompactClockIsOfferedOnlyWhereItCanBeSwitched) {
    open({itemOf("{HH}")});
    EXPECT_TRUE(window()->clockBox()->isHidden());
    // The box appears once GNOME's answer comes, and shows what another path switched.
    ScopedEnvironment session{"XDG_CURRENT_DESKTOP", "GNOME"};
    compactClock.check();
    QCheckBox* box = window()->clockBox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box->isHidden(); }, 5000));
    EXPECT_FALSE(box->isChecked());
    click(box);
    EXPECT_TRUE(settings.compactSystemClock());
    systemClock.setCompact(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box->isChecked(); }, 2000));
}

TEST(TextPromptTest, TheDialogGivesTheTextAsTypedOrNothingWhenCancelled) {
    const QString initial =
        QString("  [x|y] {a b} \u05E9\u05DC\u05D5\u05DD \U0001F600 ") + QString(33000, u'z');
    const auto answer = [](bool confirm) {
        QTimer::singleShot(0, [confirm] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            QLineEdit* field = dialog->findChild<QLineEdit*>();
            QTest::keyClick(field, Qt::Key_End);
            QTest::keyClicks(field, "!");
            if (confirm)
                QTest::keyClick(field, Qt::Key_Return);
            else
                dialog->reject();
        });
    };
    answer(true);
    EXPECT_EQ(TextPrompt::ask(nullptr, initial), initial + "!");
    answer(false);
    EXPECT_EQ(TextPrompt::ask(nullptr, initial), std::nullopt);
}

} // namespace
