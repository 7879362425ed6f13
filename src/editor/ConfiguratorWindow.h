#pragma once

#include <QDialog>

class ChipStripView;
class QCheckBox;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QScrollArea;
class QSlider;
class SegmentBarView;

// The menu-bar editor's window, 780 × 730 and not resizable: the list of items on the left,
// the selected item's segment bar across the top and its editor on the right. It only builds
// and places the controls and keeps their colours with the appearance; the configurator
// fills them and reacts to them. Return presses the Done button unless the focused control
// takes the key; Escape closes the window as Done does.
class ConfiguratorWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize contentSize{780, 730};

    explicit ConfiguratorWindow(QWidget* parent = nullptr);

    // As tall as designed where the work area has room; on a shorter screen the item list and
    // the palette give up to `maximumSqueeze` of their height and what lies below them moves
    // up, so that Done stays on the screen. Then centred in the work area, below its top.
    void fitInto(const QRect& workArea);
    static constexpr int maximumSqueeze = 200;

    SegmentBarView* bar() const { return m_bar; }
    QListView* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* duplicateButton() const { return m_duplicate; }
    QPushButton* upButton() const { return m_up; }
    QPushButton* downButton() const { return m_down; }
    QCheckBox* enabledBox() const { return m_enabled; }
    ChipStripView* palette() const { return m_palette; }
    QPushButton* addPartButton() const { return m_addPart; }
    QPushButton* textButton() const { return m_text; }
    QComboBox* separatorBox() const { return m_separator; }
    // A pull-down: its menu holds the presets.
    QPushButton* presetsButton() const { return m_presets; }
    // In tenths of a point.
    QSlider* paddingSlider() const { return m_padding; }
    QLabel* paddingValue() const { return m_paddingValue; }
    // Hidden until the owner knows the compact clock can be switched here.
    QCheckBox* clockBox() const { return m_clock; }
    QPushButton* doneButton() const { return m_done; }

Q_SIGNALS:
    // The window was closed: its close button, Done, Return or Escape.
    void hidden();
    // Its palette changed, light to dark or back.
    void appearanceChanged();

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildList();
    void buildEditor();
    void buildFooter();
    QLabel* smallLabel(const QString& text, QPoint origin);
    QPushButton* symbolButton(const char* symbol, const char* key, int x);
    QPushButton* smallButton(const QString& title, QPoint origin);
    void applyColours();

    SegmentBarView* m_bar = nullptr;
    QListView* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_duplicate = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QCheckBox* m_enabled = nullptr;
    QScrollArea* m_paletteArea = nullptr;
    ChipStripView* m_palette = nullptr;
    QPushButton* m_addPart = nullptr;
    QPushButton* m_text = nullptr;
    QComboBox* m_separator = nullptr;
    QPushButton* m_presets = nullptr;
    QSlider* m_padding = nullptr;
    QLabel* m_paddingValue = nullptr;
    QCheckBox* m_clock = nullptr;
    QPushButton* m_done = nullptr;
    // Drawn in the secondary label colour of the appearance.
    QList<QLabel*> m_secondaryLabels;
    // Every control's designed frame, which fitInto() works from.
    QList<std::pair<QWidget*, QRect>> m_designed;
    // Each symbol button with its symbol's name.
    QList<std::pair<QPushButton*, const char*>> m_symbolButtons;
};
