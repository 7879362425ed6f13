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
#include "systemclock/CompactClockAvailability.h"
#include "systemclock/SystemClock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
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

MenuBarConfigurator::MenuBarConfigurator(Settings& settings, MenuBarLayout& layout,
                                         SystemEvents& events, SystemClock& systemClock,
                                         const CompactClockAvailability& compactClock,
                                         QObject* parent)
    : QObject(parent), m_settings(settings), m_events(events), m_layout(layout),
      m_systemClock(systemClock), m_compactClock(compactClock),
      m_blankItem(ItemListEdits::blankItem()) {
    promptText = [this](const QString& initial) {
        return TextPrompt::ask(m_window.get(), initial);
    };
    m_ticker.setInterval(tickMs);
    connect(&m_ticker, &QTimer::timeout, this, &MenuBarConfigurator::tick);
}

MenuBarConfigurator::~MenuBarConfigurator() = default;

void MenuBarConfigurator::show() {
    m_list.items = m_layout.items();
    if (!m_window)
        build();
    showPadding();
    m_list.selected = ItemListEdits::selectionFor(m_list.selected, int(m_list.items.size()));
    m_model->setItems(m_list.items);
    selectRow(m_list.selected);
    loadEditor();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->fitInto(screen->availableGeometry());
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
    m_window = std::make_unique<ConfiguratorWindow>();
    wireList();
    wireItemEditor();
    buildPopover();
    connect(m_window.get(), &ConfiguratorWindow::hidden, this, &MenuBarConfigurator::windowHidden);
}

void MenuBarConfigurator::wireList() {
    ConfiguratorWindow& window = *m_window;
    m_model = new ItemListModel([this] { return now(); }, &window);
    m_model->setAppearance(Appearances::of(&window));
    connect(&window, &ConfiguratorWindow::appearanceChanged, m_model, [this] {
        m_model->setAppearance(Appearances::of(m_window.get()));
        relayoutChips();
    });
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
    connect(bar, &SegmentBarView::selectionChanged, this, &MenuBarConfigurator::segmentSelected);
    connect(bar, &SegmentBarView::editRequested, this, &MenuBarConfigurator::segmentClicked);
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
    // The box shows what the settings hold, also when the status menu, the settings view or
    // another process changes it while the editor is open.
    QCheckBox* clock = window.clockBox();
    clock->setVisible(m_compactClock.isAvailable());
    clock->setChecked(m_settings.compactSystemClock());
    connect(&m_compactClock, &CompactClockAvailability::availabilityChanged, clock,
            &QCheckBox::setVisible);
    connect(&m_settings, &Settings::compactSystemClockChanged, clock,
            [this, clock] { clock->setChecked(m_settings.compactSystemClock()); });
    connect(clock, &QCheckBox::clicked, this, [this](bool on) { m_systemClock.setCompact(on); });
}

void MenuBarConfigurator::buildPopover() {
    const icu::Locale displayLocale = SystemContext::currentLocale();
    QStringList languages;
    for (const QString& code : EditorTables::languageCodes())
        languages.append(EditorTables::languageTitle(code, displayLocale));
    m_popover = new PartPopover(systemZoneTitle(), ZoneMatching::knownZones(), zoneCities(),
                                L("menubar.language_mac_short"), languages, m_window.get());
    m_popover->setAnchorView(m_window->bar());
    // The keyboard reaches the popover right after the segment it edits.
    QWidget* previous = m_window->bar();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_popover->strip(), m_popover->zoneField(),
                                         m_popover->languageBox(), m_popover->removeButton()}) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
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
    m_layout.setItems(m_list.items);
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
    // Whatever changed the parts, the popover shows its part as it now is, and the chips
    // previewing that part are measured again.
    loadEditingPart();
    relayoutChips();
}

void MenuBarConfigurator::relayoutChips() {
    m_window->palette()->relayout();
    m_popover->strip()->relayout();
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

// The bar then reports the selection its gesture made, which the popover follows.
void MenuBarConfigurator::barChanged() {
    if (m_list.hasSelection()) {
        selectedItem() = PartEdits::withParts(selectedItem(), m_window->bar()->parts());
        commit(false);
    }
}

void MenuBarConfigurator::appendChip(const Chip& chip) {
    if (!m_list.hasSelection())
        return;
    const PartEdits::Appended appended =
        PartEdits::chipAppended(selectedItem(), m_editingPart, m_window->bar()->selected(), chip);
    selectedItem() = appended.item;
    commit(false);
    if (m_editingPart != appended.part)
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
    segmentClicked(part, bar->frameOf(part), false);
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
    if (padding != m_layout.padding())
        m_layout.setPadding(padding);
    updatePaddingValue();
}

void MenuBarConfigurator::updatePaddingValue() {
    m_window->paddingValue()->setText(EditorTables::paddingText(m_layout.padding()));
}

void MenuBarConfigurator::showPadding() {
    const QScopedValueRollback loading(m_loading, true);
    m_window->paddingSlider()->setValue(
        int(std::lround(m_layout.padding() * EditorTables::paddingSliderScale)));
    updatePaddingValue();
}

// ---- The popover ----

// A press selects; an open popover follows the selection, a closed one stays closed, and
// palette chips then go to the selected segment.
void MenuBarConfigurator::segmentSelected(std::optional<int> part, const QRectF& frame) {
    if (part && m_popover->isVisible()) {
        segmentClicked(*part, frame, false);
        return;
    }
    closePopover();
    m_editingPart.reset();
    m_window->palette()->relayout(); // its previews follow the selected segment
}

void MenuBarConfigurator::segmentClicked(int part, const QRectF& frame, bool byKeyboard) {
    if (!m_list.hasSelection() || part < 0 || part >= currentParts().size()) {
        segmentSelected(std::nullopt, frame);
        return;
    }
    m_editingPart = part;
    loadEditingPart();
    m_window->palette()->relayout(); // its previews now follow this part
    m_popover->showUnder(popoverAnchor(frame));
    if (byKeyboard)
        m_popover->strip()->setFocus(Qt::TabFocusReason);
}

QRect MenuBarConfigurator::popoverAnchor(const QRectF& segment) const {
    const SegmentBarView* bar = m_window->bar();
    return QRect(bar->mapTo(m_window.get(), segment.topLeft().toPoint()), segment.size().toSize());
}

// The popover shows the edited part's own chips, zone and language, under its segment; with
// no such part left it closes.
void MenuBarConfigurator::loadEditingPart() {
    const QList<MenuBarPart> parts = currentParts();
    if (!m_editingPart || *m_editingPart >= parts.size()) {
        closePopover();
        m_editingPart.reset();
        return;
    }
    const MenuBarPart& part = parts[*m_editingPart];
    {
        const QScopedValueRollback loading(m_loading, true);
        m_popover->strip()->setChips(ChipCodec::chipsFrom(part.text));
        showZone(part.timeZoneID);
        m_popover->setLanguageTag(EditorTables::languageTag(part.localeID));
    }
    if (m_popover->isVisible())
        m_popover->showUnder(popoverAnchor(m_window->bar()->frameOf(*m_editingPart)));
}

// Closing it ourselves applies nothing typed into its zone field.
void MenuBarConfigurator::closePopover() {
    const QScopedValueRollback loading(m_loading, true);
    m_popover->dismiss();
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
    const ZoneMatching::Resolution resolution =
        ZoneMatching::resolve(text, ZoneMatching::knownZones(), zoneCities(),
                              {systemZoneTitle(), L("menubar.timezone_mac")});
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

// The cities of the zone field's entries, in the same order as the zones.
const QStringList& MenuBarConfigurator::zoneCities() const {
    if (m_zoneCities.isEmpty())
        m_zoneCities = ZoneMatching::exemplarCities(ZoneMatching::knownZones(),
                                                    SystemContext::currentLocale());
    return m_zoneCities;
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

// The part's values show in its chips, in the palette's previews (commit measures them
// again) and in the presets' titles.
void MenuBarConfigurator::partSettingChanged(const MenuBarItem& edited) {
    selectedItem() = edited;
    commit(false);
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
