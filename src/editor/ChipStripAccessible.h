#pragma once

#include <QAccessibleWidget>
#include <QHash>

class ChipStripView;

// What assistive technology sees of a chip strip: a list with one item per chip, named by the
// chip's label and described by its tool tip, selected as the strip's selection is.
class ChipStripAccessible : public QAccessibleWidget {
public:
    // Makes Qt ask for this interface for every chip strip; safe to call more than once.
    static void install();

    explicit ChipStripAccessible(ChipStripView* view);
    ~ChipStripAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    ChipStripView* view() const;

    // The chips' interfaces, made when first asked for and owned by Qt's registry.
    mutable QHash<int, QAccessible::Id> m_children;
};
