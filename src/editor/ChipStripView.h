#pragma once

#include "editor/ChipDrop.h"
#include "editor/ChipStripLayout.h"
#include "model/Chip.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QDrag;
class QDropEvent;

// A row of chips drawn as small capsules, optionally wrapping and grouped under titles.
//
// A palette is a read-only source: a click reports the chip, a drag offers a copy, and it
// accepts no drops. It takes focus by Tab only (a click on a chip must not pull the focus
// from what the chip is added to): Left, Right, Home and End then choose a chip, and Return or
// Space report it as a click would. A strip is an editable sequence: a click selects
// (Backspace or Delete removes the selected chip), chips are reordered by dragging them, a
// chip dropped on another view that takes it moves there, and chips from the palette or
// another strip are dropped in, a palette fragment as the chips it is made of. A drag that
// no view takes changes nothing. The view knows nothing of templates: its owner says how a
// chip is labelled and explained.
class ChipStripView : public QWidget {
    Q_OBJECT
public:
    enum class Mode { palette, strip };

    explicit ChipStripView(Mode mode, QWidget* parent = nullptr);

    bool isPalette() const { return m_palette; }
    // Unique in the process and positive; names the strip in the drags it starts.
    qint64 stripId() const { return m_stripId; }

    const QList<Chip>& chips() const { return m_chips; }
    // Shows these chips, without sections. Reports no change: the owner made it.
    void setChips(const QList<Chip>& chips);
    // Shows the sections' chips, each section under its title.
    void setSections(const QList<ChipSection>& sections);
    bool wraps() const { return m_wraps; }
    void setWraps(bool wraps);

    // A strip's selected chip; the palette's chip chosen by the keyboard.
    std::optional<qsizetype> selectedIndex() const { return m_selected; }
    // Where a chip dragged over the strip would go, while one is.
    std::optional<qsizetype> dropIndex() const { return m_dropIndex; }
    const ChipStripLayout& chipLayout() const { return m_layout; }
    // The chip's label, as `render` gives it; how a chip of spaces is announced otherwise.
    QString accessibleName(qsizetype index) const;

    // Lays the chips out again for the current width (after `render` changed, for example).
    void relayout();
    // Called by a view that takes a dropped chip, before it tells its owner of the drop: a
    // chip dragged out of a strip leaves that strip now, so that the strip's owner saves the
    // strip's own part before it reacts to the drop (and perhaps shows other chips in the
    // strip). A palette's chip, or one dropped back into its own strip, stays.
    static void chipTaken(const QWidget* by);
    // Asks `render` again and repaints only the chips whose label changed (a live clock),
    // without laying them out again: a label that grew or shrank stays centred in its frame.
    void refreshLabels();

    QSize sizeHint() const override;

    // A chip's label, and its tool tip when it has one; set once by the owner.
    std::function<QString(const Chip&)> render = [](const Chip&) { return QString(); };
    std::function<std::optional<QString>(const Chip&)> tooltip = [](const Chip&) {
        return std::optional<QString>();
    };

Q_SIGNALS:
    // The strip changed its own chips: a deletion, a drag out or a drop.
    void changed();
    // A palette chip was clicked without being dragged.
    void chipClicked(const Chip& chip);
    // The strip was clicked, tabbed into, or received a drop.
    void focusTaken();
    // A text chip of the strip was double-clicked.
    void textEditRequested(qsizetype index);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Runs the platform's drag loop and returns when the chip was dropped or the drag
    // cancelled.
    virtual Qt::DropAction runDrag(QDrag& drag, Qt::DropActions actions);

private:
    void press(QMouseEvent* event);
    void startDrag(qsizetype index);
    void moveCurrent(QKeyEvent* event);
    void ensureChipVisible(qsizetype index);
    QPixmap dragPixmap(qsizetype index) const;
    void removeChip(qsizetype index);
    void setSelected(std::optional<qsizetype> index);
    std::optional<ChipDrop::Result> dropResult(const QDropEvent* event) const;
    void followDrag(QDropEvent* event);
    void followScrollArea();

    static qint64 s_nextId;

    const bool m_palette;
    const qint64 m_stripId;
    QList<Chip> m_chips;
    QList<ChipSection> m_sections;
    bool m_wraps = false;
    ChipStripLayout m_layout;
    // What `render` gave at the last layout or refresh, one per chip.
    QStringList m_labels;
    std::optional<qsizetype> m_selected;
    std::optional<qsizetype> m_dropIndex;
    // From a press until it becomes a drag or the button goes up.
    std::optional<QPointF> m_pressPoint;
    std::optional<qsizetype> m_pressChip;
    // From the start of a drag out of this strip until a view takes the chip or it ends.
    std::optional<qsizetype> m_draggedIndex;
    QPointer<QWidget> m_watchedViewport;
};
