#pragma once

#include "model/Chip.h"
#include "model/MenuBarItem.h"

#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <variant>

class QDragMoveEvent;
class QDropEvent;
class QHelpEvent;

// The editor's preview of one menu-bar item: one rounded segment per part, right-aligned on a
// dark bar as the item will sit in the menu bar. A press selects a part, and released without
// moving asks to edit it; dragging a segment reorders the parts; Backspace or Delete removes
// the selected part (never the last one); a chip dropped from the editor's strips extends a
// part (on a segment's left or right half) or becomes a new part (between segments). From the
// keyboard, Left and Right select, Return asks to edit, and Ctrl with Left or Right moves the
// selected part. The view edits its own copy of the parts and reports every change; it never
// reads or writes the stored layout. Takes focus by click and Tab.
class SegmentBarView : public QWidget {
    Q_OBJECT
public:
    explicit SegmentBarView(QWidget* parent = nullptr);

    const QList<MenuBarPart>& parts() const { return m_parts; }
    void setParts(const QList<MenuBarPart>& parts);
    // Only sizes the gaps: no separator is drawn between segments.
    const QString& separator() const { return m_separator; }
    void setSeparator(const QString& separator);
    std::optional<int> selected() const { return m_selected; }
    void setSelected(std::optional<int> index);
    // Measures the labels again, for when what `render` gives has changed.
    void relayout();
    // Asks `render` again and repaints only the segments whose label changed (a live clock),
    // without measuring them again.
    void refreshLabels();

    const QList<QRectF>& frames() const { return m_frames; }
    // The segment's frame, or the bounds for an index without one: where the editor anchors
    // the popover of a part.
    QRectF frameOf(int index) const;
    // While a drag hovers: where a segment or chip would be inserted, or the segment a chip
    // would be dropped onto.
    std::optional<int> dropIndex() const { return m_dropIndex; }
    std::optional<int> dropOnto() const { return m_dropOnto; }

    // The segment as a drag shows it, drawn for a screen of that device pixel ratio.
    QPixmap dragPixmap(int index, qreal devicePixelRatio) const;
    // What segment `index` shows: its rendered label, or an ellipsis when that is blank.
    QString displayedLabel(int index) const;

    // The owner's: a part's label (the item's rendering of it now) and its tool tip.
    std::function<QString(const MenuBarPart&)> render = [](const MenuBarPart&) {
        return QString();
    };
    std::function<std::optional<QString>(const MenuBarPart&)> tooltip =
        [](const MenuBarPart&) -> std::optional<QString> { return std::nullopt; };

Q_SIGNALS:
    // The user changed the parts: a reorder, a drop or a deletion. Sent before the selection
    // that follows, so that whoever follows the selection finds the parts as they now are.
    void changed();
    // The user set the selection (a press, a key, a drop, a deletion); `frame` is the selected
    // segment's, or the bounds when none is selected.
    void selectionChanged(std::optional<int> index, const QRectF& frame);
    // The user asked to edit a part: a click that did not become a drag, Return on the
    // selected segment (`byKeyboard`), or a drop that landed on it or made it.
    void editRequested(int index, const QRectF& frame, bool byKeyboard);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What a drag over the bar brings: one of its own segments (by index), a chip, or nothing
    // the bar takes.
    using Dragged = std::variant<std::monostate, int, Chip>;

    Dragged draggedBy(const QDropEvent* event) const;
    void hover(QDragMoveEvent* event);
    void clearDropState();
    void startDrag(int index, const QPointF& hotSpot);
    void reportSelection();
    bool handleKey(const QKeyEvent* event);
    void selectNeighbour(int step);
    // Takes parts changed by a gesture of the user, and tells the owner; a drop also asks to
    // edit the part it selects.
    void applyEdit(const QList<MenuBarPart>& parts, std::optional<int> selected,
                   bool requestsEdit = false);
    void showToolTip(QHelpEvent* event);
    void drawSegment(QPainter& painter, int index) const;

    QList<MenuBarPart> m_parts;
    QString m_separator = QStringLiteral("  ");
    std::optional<int> m_selected;
    QList<QRectF> m_frames;
    // What `render` gave at the last layout or refresh, one per part.
    QStringList m_labels;
    std::optional<int> m_dropIndex;
    std::optional<int> m_dropOnto;
    std::optional<QPointF> m_pressPoint; // until the press becomes a drag or ends
    std::optional<int> m_pressIndex;
};
