#include "editor/MenuBarConfigurator.h"

#include "editor/ChipPreview.h"
#include "editor/ChipStripView.h"
#include "editor/ConfiguratorWindow.h"
#include "editor/EditorTables.h"
#include "editor/ItemListModel.h"
#include "editor/ItemRowDelegate.h"
#include "editor/PartEdits.h"
#include "editor/PartPopover.h"
#include "editor/SegmentBarView.h"
#include "editor/TextPrompt.h"
#include "editor/ZoneMatching.h"
#include "model/ChipCodec.h"
#include "model/MenuBarLayout.h"
#include "model/MenuBarRenderer.h"
#include "platform/SystemContext.h"
#include "platform/SystemEvents.h"
#include "settings/Localization.h"
#include "settings/Settings.h"
#include "system/SystemClock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSlider>

#include <cmath>

namespace {

constexpr int tickMs = 1000;
// The separator menu's item data: the choice's tag, and the string a custom entry carries.
constexpr int tagRole = Qt::UserRole;
constexpr int customSeparatorRole = Qt::UserRole + 1;

QString systemZoneTitle() {
    return L("menubar.timezone_mac_short");
}

} // namespace

MenuBarConfigurator::MenuBarConfigurator(Settings& settings, SystemEvents& events,
                                         ProcessLauncher& launcher, QObject* parent)
    : QObject(parent), m_settings(settings), m_events(events), m_launcher(launcher),
      m_blankItem(ItemListEdits::blankItem()) {
    promptText = [this](const QString& initial) {
        return TextPrompt::ask(m_window.get(), initial);
    };
    m_ticker.setInterval(tickMs);
    connect(&m_ticker, &QTimer::timeout, this, &MenuBarConfigurator::tick);
}

MenuBarConfigurator::~MenuBarConfigurator() = default;

void MenuBarConfigurator::show() {
    m_list.items = MenuBarLayout::items();
    if (!m_window)
        build();
    if (QCheckBox* clock = m_window->clockBox())
        clock->setChecked(m_settings.compactSystemClock());
    showPadding();
    m_list.selected = ItemListEdits::selectionFor(m_list.selected, int(m_list.items.size()));
    m_model->setItems(m_list.items);
    selectRow(m_list.selected);
    loadEditor();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->move(screen->availableGeometry().center() - m_window->rect().center());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_ticker.start();
}

void MenuBarConfigurator::tick() {
    m_window->bar()->refreshLabels();
    m_window->palette()->refreshLabels();
    if (m_popover->isVisible())
        m_popover->strip()->refreshLabels();
    m_model->refreshTexts();
}

void MenuBarConfigurator::build() {
    m_window = std::make_unique<ConfiguratorWindow>(SystemClock::isAvailable(m_launcher));
    wireList();
    wireItemEditor();
    buildPopover();
    connect(m_window.get(), &ConfiguratorWindow::hidden, this, &MenuBarConfigurator::windowHidden);
}

void MenuBarConfigurator::wireList() {
    ConfiguratorWindow& window = *m_window;
    m_model = new ItemListModel([this] { return now(); }, &window);
    m_model->setAppearance(Appearances::of(&window));
    connect(&window, &ConfiguratorWindow::appearanceChanged, m_model,
            [this] { m_model->setAppearance(Appearances::of(m_window.get())); });
    window.list()->setModel(m_model);
    window.list()->setItemDelegate(new ItemRowDelegate(window.list()));
    connect(window.list()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MenuBarConfigurator::listSelectionChanged);
    const std::pair<QPushButton*, std::function<std::optional<ItemList>(ItemList)>> operations[] = {
        {window.addButton(), &ItemListEdits::added},
        {window.removeButton(), &ItemListEdits::removed},
        {window.duplicateButton(), &ItemListEdits::duplicated},
        {window.upButton(), &ItemListEdits::movedUp},
        {window.downButton(), &ItemListEdits::movedDown},
    };
    for (const auto& [button, operation] : operations) {
        // Captured by a copy of its own: clang before 16 cannot capture a structured binding.
        connect(button, &QPushButton::clicked, this,
                [this, operation = operation] { applyListEdit(operation(m_list)); });
    }
    connect(window.enabledBox(), &QCheckBox::clicked, this, &MenuBarConfigurator::toggleEnabled);
}

void MenuBarConfigurator::wireItemEditor() {
    ConfiguratorWindow& window = *m_window;
    SegmentBarView* bar = window.bar();
    bar->render = [this](const MenuBarPart& part) {
        return m_list.hasSelection() ? MenuBarRenderer::render(part, shownItem(), now())
                                     : QString();
    };
    connect(bar, &SegmentBarView::selectionChanged, this, &MenuBarConfigurator::segmentClicked);
    connect(bar, &SegmentBarView::changed, this, &MenuBarConfigurator::barChanged);

    ChipStripView* palette = window.palette();
    palette->render = [this](const Chip& chip) {
        return ChipPreview::chipLabel(chip, shownItem(), previewPart(), true, now());
    };
    palette->tooltip = &ChipPreview::chipTooltip;
    palette->setSections(EditorTables::paletteSections());
    connect(palette, &ChipStripView::chipClicked, this, &MenuBarConfigurator::appendChip);

    connect(window.addPartButton(), &QPushButton::clicked, this, &MenuBarConfigurator::addPart);
    connect(window.textButton(), &QPushButton::clicked, this, &MenuBarConfigurator::addCustomText);
    const QList<EditorTables::SeparatorChoice>& separators = EditorTables::separators();
    for (int tag = 0; tag < separators.size(); ++tag)
        window.separatorBox()->addItem(L(separators[tag].titleKey), tag);
    connect(window.separatorBox(), &QComboBox::activated, this,
            &MenuBarConfigurator::separatorChanged);
    connect(window.presetsButton()->menu(), &QMenu::triggered, this,
            [this](QAction* preset) { applyPreset(preset->data().toInt()); });
    connect(window.paddingSlider(), &QSlider::valueChanged, this,
            &MenuBarConfigurator::paddingChanged);
    if (QCheckBox* clock = window.clockBox()) {
        connect(clock, &QCheckBox::clicked, this,
                [this](bool on) { SystemClock::setCompact(on, m_launcher); });
    }
}

void MenuBarConfigurator::buildPopover() {
    const icu::Locale displayLocale = SystemContext::currentLocale();
    QStringList languages;
    for (const QString& code : EditorTables::languageCodes())
        languages.append(EditorTables::languageTitle(code, displayLocale));
    m_popover = new PartPopover(systemZoneTitle(), ZoneMatching::knownZones(),
                                L("menubar.language_mac_short"), languages, m_window.get());
    ChipStripView* strip = m_popover->strip();
    strip->render = [this](const Chip& chip) {
        return ChipPreview::chipLabel(chip, shownItem(), m_editingPart, false, now());
    };
    strip->tooltip = &ChipPreview::chipTooltip;
    connect(strip, &ChipStripView::changed, this, &MenuBarConfigurator::popStripChanged);
    connect(strip, &ChipStripView::textEditRequested, this, &MenuBarConfigurator::editTextChip);
    connect(m_popover, &PartPopover::zoneEntered, this, &MenuBarConfigurator::applyTimeZone);
    connect(m_popover, &PartPopover::languageChosen, this,
            &MenuBarConfigurator::popLanguageChanged);
    connect(m_popover, &PartPopover::removeRequested, this,
            &MenuBarConfigurator::removeEditingPart);
    connect(m_popover, &PartPopover::pressedOutside, this,
            &MenuBarConfigurator::popoverPressedOutside);
}

QDateTime MenuBarConfigurator::now() const {
    return m_events.now();
}

MenuBarItem MenuBarConfigurator::shownItem() const {
    return m_list.hasSelection() ? m_list.items[m_list.selected] : m_blankItem;
}

QList<MenuBarPart> MenuBarConfigurator::currentParts() const {
    return m_list.hasSelection() ? m_list.items[m_list.selected].effectiveParts()
                                 : QList<MenuBarPart>();
}

std::optional<int> MenuBarConfigurator::previewPart() const {
    return PartEdits::targetPart(m_editingPart, m_window->bar()->selected(),
                                 int(currentParts().size()));
}

// ---- The list ----

void MenuBarConfigurator::selectRow(int row) {
    const QScopedValueRollback loading(m_loading, true);
    QItemSelectionModel* selection = m_window->list()->selectionModel();
    if (row >= 0 && row < m_model->rowCount()) {
        selection->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
        m_window->list()->scrollTo(m_model->index(row));
    } else {
        selection->clear();
    }
}

void MenuBarConfigurator::listSelectionChanged() {
    if (m_loading)
        return;
    const QModelIndexList rows = m_window->list()->selectionModel()->selectedIndexes();
    m_list.selected = rows.isEmpty() ? -1 : rows.first().row();
    loadEditor();
}

// Brings every control of the editor side in line with the selected item.
void MenuBarConfigurator::loadEditor() {
    const QScopedValueRollback loading(m_loading, true);
    closePopover();
    m_editingPart.reset();
    enableControls();
    const MenuBarItem item = shownItem();
    m_window->enabledBox()->setChecked(item.enabled);
    SegmentBarView* bar = m_window->bar();
    bar->setSelected(std::nullopt);
    bar->setSeparator(item.effectiveSeparator());
    bar->setParts(currentParts());
    loadSeparator(item.effectiveSeparator());
    m_window->palette()->relayout();
    rebuildPresets();
}

void MenuBarConfigurator::enableControls() {
    const bool has = m_list.hasSelection();
    ConfiguratorWindow& window = *m_window;
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.enabledBox(), window.textButton(), window.separatorBox(),
             window.presetsButton(), window.removeButton(), window.duplicateButton()})
        control->setEnabled(has);
    window.upButton()->setEnabled(has && m_list.selected > 0);
    window.downButton()->setEnabled(has && m_list.selected < m_list.items.size() - 1);
    window.addPartButton()->setEnabled(has && currentParts().size() < PartEdits::maximumParts);
}

// The one way the layout is saved. A structural edit (rows added, removed, moved, enabled or
// disabled) reloads the whole list; any other reloads the selected row.
void MenuBarConfigurator::commit(bool structural) {
    MenuBarLayout::setItems(m_list.items);
    if (structural) {
        m_model->setItems(m_list.items);
        selectRow(m_list.selected);
    } else if (m_list.hasSelection()) {
        m_model->setItem(m_list.selected, selectedItem());
    }
    if (!m_list.hasSelection())
        return;
    SegmentBarView* bar = m_window->bar();
    const std::optional<int> segment = bar->selected();
    bar->setParts(currentParts());
    bar->setSelected(PartEdits::clampedSegment(segment, selectedItem()));
    m_window->addPartButton()->setEnabled(currentParts().size() < PartEdits::maximumParts);
}

void MenuBarConfigurator::applyListEdit(const std::optional<ItemList>& edited) {
    if (!edited)
        return;
    m_list = *edited;
    commit(true);
    loadEditor();
}

void MenuBarConfigurator::toggleEnabled(bool on) {
    if (const auto edited = ItemListEdits::enabledSet(m_list, on)) {
        m_list = *edited;
        commit(true);
    }
}

void MenuBarConfigurator::windowHidden() {
    m_ticker.stop();
    closePopover();
}

// ---- The selected item ----

void MenuBarConfigurator::barChanged() {
    if (m_list.hasSelection()) {
        selectedItem() = PartEdits::withParts(selectedItem(), m_window->bar()->parts());
        commit(false);
    }
    // The popover keeps its index: after a reorder it shows the part now standing there.
    reloadPopStrip();
}

void MenuBarConfigurator::appendChip(const Chip& chip) {
    if (!m_list.hasSelection())
        return;
    const PartEdits::Appended appended =
        PartEdits::chipAppended(selectedItem(), m_editingPart, m_window->bar()->selected(), chip);
    selectedItem() = appended.item;
    commit(false);
    if (m_editingPart == appended.part)
        reloadPopStrip();
    else
        m_window->bar()->setSelected(appended.part); // shows which part took the chip
}

void MenuBarConfigurator::addPart() {
    if (!m_list.hasSelection())
        return;
    const auto added = PartEdits::partAdded(selectedItem());
    if (!added)
        return;
    selectedItem() = *added;
    commit(false);
    const int part = int(currentParts().size()) - 1;
    SegmentBarView* bar = m_window->bar();
    bar->setSelected(part);
    segmentClicked(part, bar->frameOf(part));
}

void MenuBarConfigurator::addCustomText() {
    const std::optional<QString> text = promptText(QString());
    if (text && !text->isEmpty())
        appendChip(Chip::text(*text));
}

void MenuBarConfigurator::loadSeparator(const QString& separator) {
    QComboBox* box = m_window->separatorBox();
    const int custom = box->findData(-1, tagRole);
    if (custom >= 0)
        box->removeItem(custom);
    if (const auto tag = EditorTables::separatorTag(separator)) {
        box->setCurrentIndex(box->findData(*tag, tagRole));
        return;
    }
    box->addItem(L("menubar.sep_custom"), -1);
    box->setItemData(box->count() - 1, separator, customSeparatorRole);
    box->setCurrentIndex(box->count() - 1);
}

void MenuBarConfigurator::separatorChanged(int index) {
    if (!m_list.hasSelection())
        return;
    const QComboBox* box = m_window->separatorBox();
    const int tag = box->itemData(index, tagRole).toInt();
    const QVariant carried = box->itemData(index, customSeparatorRole);
    QString separator = QStringLiteral("  ");
    if (tag >= 0 && tag < EditorTables::separators().size())
        separator = EditorTables::separators()[tag].value;
    else if (carried.typeId() == QMetaType::QString)
        separator = carried.toString();
    selectedItem() = PartEdits::separatorSet(selectedItem(), separator);
    m_window->bar()->setSeparator(separator);
    commit(false);
}

// The titles preview each preset on the selected item as it is now; the refresh leaves them.
void MenuBarConfigurator::rebuildPresets() {
    QMenu* menu = m_window->presetsButton()->menu();
    menu->clear();
    if (!m_list.hasSelection())
        return;
    const QList<MenuBarLayout::Preset>& presets = MenuBarLayout::presets();
    const QDateTime at = now();
    for (int i = 0; i < presets.size(); ++i)
        menu->addAction(ChipPreview::presetTitle(selectedItem(), presets[i], at))->setData(i);
}

void MenuBarConfigurator::applyPreset(int preset) {
    const QList<MenuBarLayout::Preset>& presets = MenuBarLayout::presets();
    if (!m_list.hasSelection() || preset < 0 || preset >= presets.size())
        return;
    selectedItem() = PartEdits::presetApplied(selectedItem(), presets[preset]);
    commit(false);
    loadEditor();
}

// The slider moves in tenths; the whole point nearest to it is stored, once per point passed.
void MenuBarConfigurator::paddingChanged(int sliderValue) {
    if (m_loading)
        return;
    const double padding =
        EditorTables::roundedPadding(double(sliderValue) / EditorTables::paddingSliderScale);
    if (padding != MenuBarLayout::padding())
        MenuBarLayout::setPadding(padding);
    updatePaddingValue();
}

void MenuBarConfigurator::updatePaddingValue() {
    m_window->paddingValue()->setText(EditorTables::paddingText(MenuBarLayout::padding()));
}

void MenuBarConfigurator::showPadding() {
    const QScopedValueRollback loading(m_loading, true);
    m_window->paddingSlider()->setValue(
        int(std::lround(MenuBarLayout::padding() * EditorTables::paddingSliderScale)));
    updatePaddingValue();
}

// ---- The popover ----

void MenuBarConfigurator::segmentClicked(std::optional<int> part, const QRectF& frame) {
    const QList<MenuBarPart> parts = currentParts();
    if (!m_list.hasSelection() || !part || *part >= parts.size()) {
        closePopover();
        m_editingPart.reset();
        m_window->palette()->relayout();
        return;
    }
    m_editingPart = part;
    {
        const QScopedValueRollback loading(m_loading, true);
        m_popover->strip()->setChips(ChipCodec::chipsFrom(parts[*part].text));
        showZone(parts[*part].timeZoneID);
        m_popover->setLanguageTag(EditorTables::languageTag(parts[*part].localeID));
    }
    m_window->palette()->relayout(); // its previews now follow this part
    SegmentBarView* bar = m_window->bar();
    m_popover->showUnder(QRect(bar->mapToGlobal(frame.topLeft().toPoint()), frame.size().toSize()));
}

// Closing it ourselves applies nothing typed into its zone field.
void MenuBarConfigurator::closePopover() {
    const QScopedValueRollback loading(m_loading, true);
    m_popover->hide();
}

// The press that closed the popover goes on to the bar, so that a click on another segment
// opens the popover there at once, as it would with no popover open.
void MenuBarConfigurator::popoverPressedOutside(const QPointF& globalPosition) {
    SegmentBarView* bar = m_window->bar();
    const QPointF at = bar->mapFromGlobal(globalPosition);
    if (!m_window->isVisible() || !bar->rect().contains(at.toPoint()))
        return;
    QMouseEvent press(QEvent::MouseButtonPress, at, globalPosition, Qt::LeftButton, Qt::LeftButton,
                      {});
    QApplication::sendEvent(bar, &press);
}

void MenuBarConfigurator::reloadPopStrip() {
    const QList<MenuBarPart> parts = currentParts();
    if (!m_editingPart || *m_editingPart >= parts.size())
        return;
    const QScopedValueRollback loading(m_loading, true);
    m_popover->strip()->setChips(ChipCodec::chipsFrom(parts[*m_editingPart].text));
}

void MenuBarConfigurator::popStripChanged() {
    if (!m_list.hasSelection() || !m_editingPart)
        return;
    const QString text = ChipCodec::templateFrom(m_popover->strip()->chips());
    if (const auto edited = PartEdits::partTextSet(selectedItem(), *m_editingPart, text)) {
        selectedItem() = *edited;
        commit(false);
    }
}

// The prompt is modal: the popover steps aside while it is open and comes back after.
void MenuBarConfigurator::editTextChip(qsizetype index) {
    ChipStripView* strip = m_popover->strip();
    QList<Chip> chips = strip->chips();
    if (index < 0 || index >= chips.size() || !chips[index].isTextChip())
        return;
    closePopover();
    const std::optional<QString> text = promptText(chips[index].value);
    if (text) {
        chips[index] = Chip::text(*text);
        strip->setChips(chips);
        popStripChanged();
    }
    m_popover->showAgain();
}

void MenuBarConfigurator::applyTimeZone(const QString& text) {
    const QList<MenuBarPart> parts = currentParts();
    if (m_loading || !m_list.hasSelection() || !m_editingPart || *m_editingPart >= parts.size())
        return;
    const ZoneMatching::Resolution resolution = ZoneMatching::resolve(
        text, ZoneMatching::knownZones(), {systemZoneTitle(), L("menubar.timezone_mac")});
    if (resolution.kind == ZoneMatching::Resolution::Kind::noMatch) {
        showZone(parts[*m_editingPart].timeZoneID);
        return;
    }
    const std::optional<QString> zone = resolution.kind == ZoneMatching::Resolution::Kind::zone
                                            ? std::optional(resolution.zone)
                                            : std::nullopt;
    showZone(zone);
    if (const auto edited = PartEdits::partZoneSet(selectedItem(), *m_editingPart, zone))
        partSettingChanged(*edited);
}

void MenuBarConfigurator::showZone(const std::optional<QString>& zoneID) {
    const QScopedValueRollback loading(m_loading, true);
    m_popover->setZoneText(zoneID.value_or(systemZoneTitle()));
}

void MenuBarConfigurator::popLanguageChanged(int tag) {
    if (!m_list.hasSelection() || !m_editingPart)
        return;
    if (const auto edited = PartEdits::partLanguageSet(selectedItem(), *m_editingPart,
                                                       EditorTables::languageCode(tag)))
        partSettingChanged(*edited);
}

// The part's values show in its chips, in the palette's previews and in the presets' titles.
void MenuBarConfigurator::partSettingChanged(const MenuBarItem& edited) {
    selectedItem() = edited;
    commit(false);
    m_popover->strip()->relayout();
    m_window->palette()->relayout();
    rebuildPresets();
}

void MenuBarConfigurator::removeEditingPart() {
    if (!m_list.hasSelection() || !m_editingPart)
        return;
    const auto edited = PartEdits::partRemoved(selectedItem(), *m_editingPart);
    if (!edited)
        return;
    selectedItem() = *edited;
    closePopover();
    m_editingPart.reset();
    m_window->bar()->setSelected(std::nullopt);
    commit(false);
}
