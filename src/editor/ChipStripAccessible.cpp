#include "editor/ChipStripAccessible.h"

#include "editor/ChipStripView.h"

#include <QPointer>

namespace {

class ChipAccessible : public QAccessibleInterface {
public:
    ChipAccessible(ChipStripView* view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override { return m_view && m_index < m_view->chips().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name)
            return m_view->accessibleName(m_index);
        if (kind == QAccessible::Description)
            return m_view->tooltip(m_view->chips().at(m_index)).value_or(QString());
        return {};
    }

    QRect rect() const override {
        if (!isValid() || m_index >= m_view->chipLayout().frames().size())
            return {};
        const QRect frame = m_view->chipLayout().frames().at(m_index).toAlignedRect();
        return frame.translated(m_view->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !isValid();
        state.selectable = m_view && !m_view->isPalette();
        state.selected = m_view && m_view->selectedIndex() == m_index;
        state.focused = state.selected && m_view->hasFocus();
        return state;
    }

private:
    QPointer<ChipStripView> m_view;
    int m_index;
};

QAccessibleInterface* chipStripFactory(const QString& className, QObject* object) {
    auto* view = qobject_cast<ChipStripView*>(object);
    return view && className == QLatin1String("ChipStripView") ? new ChipStripAccessible(view)
                                                               : nullptr;
}

} // namespace

void ChipStripAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(chipStripFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

ChipStripAccessible::ChipStripAccessible(ChipStripView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

ChipStripAccessible::~ChipStripAccessible() {
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

ChipStripView* ChipStripAccessible::view() const {
    return static_cast<ChipStripView*>(widget());
}

int ChipStripAccessible::childCount() const {
    return int(view()->chips().size());
}

QAccessibleInterface* ChipStripAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_children.constFind(index); found != m_children.cend())
        return QAccessible::accessibleInterface(*found);
    auto* chip = new ChipAccessible(view(), index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(chip));
    return chip;
}

int ChipStripAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (auto made = m_children.cbegin(); made != m_children.cend(); ++made) {
        if (QAccessible::accessibleInterface(made.value()) == child)
            return made.key();
    }
    return -1;
}

QAccessibleInterface* ChipStripAccessible::childAt(int x, int y) const {
    const auto index = view()->chipLayout().chipAt(view()->mapFromGlobal(QPointF(x, y)));
    return index ? child(int(*index)) : nullptr;
}
