#pragma once

#include <QAccessibleWidget>
#include <QHash>

class SegmentBarView;

// The segment bar as assistive technology sees it: a list with one item per segment, named
// by the segment's label and described by its tool tip, selected as the bar's selection.
class SegmentBarAccessible : public QAccessibleWidget {
public:
    explicit SegmentBarAccessible(SegmentBarView* bar);
    ~SegmentBarAccessible() override;

    // The factory the view installs: an interface for segment bars, none for anything else.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    SegmentBarView* bar() const;

    // The segments' interfaces, made on first request and owned by Qt's registry.
    mutable QHash<int, QAccessible::Id> m_segments;
};
