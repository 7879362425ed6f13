#pragma once

#include "editor/ItemListEdits.h"
#include "model/Chip.h"

#include <QObject>
#include <QRectF>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CompactClockAvailability;
class ConfiguratorWindow;
class ItemListModel;
class MenuBarLayout;
class PartPopover;
class Settings;
class SystemClock;
class SystemEvents;

// The menu-bar editor. It reads the stored layout into a working copy each time its window is
// shown, and writes the whole copy back after every single edit, so the status items follow
// at once; there is no Apply or Cancel. The window lists the items on the left, live, and
// edits the selected one on the right: its parts as segments, a palette of chips to add,
// free text, the separator, presets, the item padding and the compact system clock. A click
// on a segment (or Return on the selected one) opens a popover on that part: its chips, zone
// and language. The popover always shows the part it edits as the parts now are, whatever
// changed them.
//
// While the window is open a 1-second timer refreshes what shows the time: the list's texts,
// the segments and the chips. The editor does not follow changes of the stored layout made
// elsewhere while it is open; its next save writes its own copy over them.
class MenuBarConfigurator : public QObject {
    Q_OBJECT
public:
    // Edits `layout`; "now" comes from `events`; the compact clock is offered as
    // `compactClock` says and switched through `systemClock`.
    MenuBarConfigurator(Settings& settings, MenuBarLayout& layout, SystemEvents& events,
                        SystemClock& systemClock, const CompactClockAvailability& compactClock,
                        QObject* parent = nullptr);
    ~MenuBarConfigurator() override;

    // Shows the window on the stored layout, building it the first time; keeps the selected
    // row while it still exists. May be called any number of times.
    void show();

    // Null until the first show().
    ConfiguratorWindow* window() const { return m_window.get(); }
    PartPopover* popover() const { return m_popover; }
    const ItemList& list() const { return m_list; }
    // The part open in the popover; stays when the popover closes by itself, so palette
    // chips still go to that part.
    std::optional<int> editingPart() const { return m_editingPart; }
    bool isTicking() const { return m_ticker.isActive(); }
    // The live refresh: the list's texts, the segments and the chips whose text changed are
    // drawn again; nothing is laid out again.
    void tick();

    // Asks for free text (the initial text given), nothing when cancelled. A modal dialog by
    // default; tests answer in its place.
    std::function<std::optional<QString>(const QString& initial)> promptText;

private:
    void build();
    void wireList();
    void wireItemEditor();
    void buildPopover();
    QDateTime now() const;
    MenuBarItem shownItem() const;
    QList<MenuBarPart> currentParts() const;
    MenuBarItem& selectedItem() { return m_list.items[m_list.selected]; }
    std::optional<int> previewPart() const;

    void selectRow(int row);
    void listSelectionChanged();
    void loadEditor();
    void enableControls();
    void commit(bool structural);
    void applyListEdit(const std::optional<ItemList>& edited);
    void toggleEnabled(bool on);
    void windowHidden();

    void barChanged();
    void appendChip(const Chip& chip);
    void addPart();
    void addCustomText();
    void loadSeparator(const QString& separator);
    void separatorChanged(int index);
    void rebuildPresets();
    void applyPreset(int preset);
    void paddingChanged(int sliderValue);
    void updatePaddingValue();
    void showPadding();

    void segmentSelected(std::optional<int> part, const QRectF& frame);
    void segmentClicked(int part, const QRectF& frame, bool byKeyboard);
    QRect popoverAnchor(const QRectF& segment) const;
    void loadEditingPart();
    void relayoutChips();
    void closePopover();
    void popStripChanged();
    void editTextChip(qsizetype index);
    void applyTimeZone(const QString& text);
    const QStringList& zoneCities() const;
    void showZone(const std::optional<QString>& zoneID);
    void popLanguageChanged(int tag);
    void partSettingChanged(const MenuBarItem& edited);
    void removeEditingPart();

    Settings& m_settings;
    SystemEvents& m_events;
    MenuBarLayout& m_layout;
    SystemClock& m_systemClock;
    const CompactClockAvailability& m_compactClock;
    ItemList m_list;
    // Shown while no row is selected.
    const MenuBarItem m_blankItem;
    // True while the editor itself sets its controls, so their reactions do nothing.
    bool m_loading = false;
    std::optional<int> m_editingPart;
    QTimer m_ticker;
    std::unique_ptr<ConfiguratorWindow> m_window;
    ItemListModel* m_model = nullptr;
    PartPopover* m_popover = nullptr;
    mutable QStringList m_zoneCities;
};
