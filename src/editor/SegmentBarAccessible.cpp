#include "editor/SegmentBarAccessible.h"

#include "editor/SegmentBarLayout.h"
#include "editor/SegmentBarView.h"
#include "settings/Localization.h"

#include <QPointer>

namespace {

// One segment; valid while the bar has a part at its index.
class SegmentAccessible : public QAccessibleInterface {
public:
    SegmentAccessible(SegmentBarView* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->parts().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_bar);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        const MenuBarPart& part = m_bar->parts().at(m_index);
        if (kind == QAccessible::Name) {
            const QString label = m_bar->render(part);
            return SegmentBarLayout::isBlank(label) ? L("menubar.segment_blank") : label;
        }
        if (kind == QAccessible::Description)
            return m_bar->tooltip(part).value_or(QString());
        return {};
    }

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect frame = m_bar->frameOf(m_index).toAlignedRect();
        return QRect(m_bar->mapToGlobal(frame.topLeft()), frame.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        const bool selected = isValid() && m_bar->selected() == m_index;
        state.selected = selected;
        state.focused = selected && m_bar->hasFocus();
        state.invisible = !m_bar || !m_bar->isVisible();
        return state;
    }

    const SegmentBarView* bar() const { return m_bar; }
    int index() const { return m_index; }

private:
    QPointer<SegmentBarView> m_bar;
    int m_index;
};

} // namespace

SegmentBarAccessible::SegmentBarAccessible(SegmentBarView* bar)
    : QAccessibleWidget(bar, QAccessible::List) {}

SegmentBarAccessible::~SegmentBarAccessible() {
    for (QAccessible::Id id : std::as_const(m_segments))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* SegmentBarAccessible::create(const QString&, QObject* object) {
    auto* bar = qobject_cast<SegmentBarView*>(object);
    return bar ? new SegmentBarAccessible(bar) : nullptr;
}

SegmentBarView* SegmentBarAccessible::bar() const {
    return static_cast<SegmentBarView*>(widget());
}

int SegmentBarAccessible::childCount() const {
    return int(bar()->parts().size());
}

QAccessibleInterface* SegmentBarAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto known = m_segments.constFind(index); known != m_segments.cend())
        return QAccessible::accessibleInterface(*known);
    auto* segment = new SegmentAccessible(bar(), index);
    m_segments.insert(index, QAccessible::registerAccessibleInterface(segment));
    return segment;
}

int SegmentBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* segment = dynamic_cast<const SegmentAccessible*>(child);
    return segment && segment->bar() == bar() && segment->isValid() ? segment->index() : -1;
}

QAccessibleInterface* SegmentBarAccessible::childAt(int x, int y) const {
    const auto hit = SegmentBarLayout::hitAt(bar()->frames(), bar()->mapFromGlobal(QPoint(x, y)));
    return hit ? child(hit->index) : nullptr;
}

QAccessibleInterface* SegmentBarAccessible::focusChild() const {
    const auto selected = bar()->selected();
    return bar()->hasFocus() && selected ? child(*selected) : nullptr;
}
