#include "status/ownbar/StatusBarAccessible.h"

#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"

#include <QAccessibleObject>
#include <QGuiApplication>

namespace {

class ButtonAccessible : public QAccessibleObject, public QAccessibleActionInterface {
public:
    explicit ButtonAccessible(StatusBarButton* button) : QAccessibleObject(button) {}

    StatusBarButton* button() const { return static_cast<StatusBarButton*>(object()); }

    QWindow* window() const override { return button()->bar(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(button()->bar());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !button()->bar()->isVisible();
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name)
            return {};
        return button()->accessibleName().isEmpty() ? button()->title()
                                                    : button()->accessibleName();
    }
    QRect rect() const override {
        return QRect(button()->mapToGlobal(QPoint(0, 0)), button()->geometry().size());
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction())
            Q_EMIT button()->clicked(Qt::LeftButton);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

class BarAccessible : public QAccessibleObject {
public:
    explicit BarAccessible(StatusBar* bar) : QAccessibleObject(bar) {}

    StatusBar* bar() const { return static_cast<StatusBar*>(object()); }

    QWindow* window() const override { return bar(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(qApp);
    }
    QAccessibleInterface* child(int index) const override {
        const QList<StatusItem*> items = bar()->items();
        return index >= 0 && index < items.size()
                   ? QAccessible::queryAccessibleInterface(items.at(index)->button())
                   : nullptr;
    }
    int childCount() const override { return int(bar()->items().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const QList<StatusItem*> items = bar()->items();
        for (int i = 0; i < items.size(); ++i) {
            if (child && child->object() == items.at(i)->button())
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (child(i)->rect().contains(x, y))
                return child(i);
        }
        return nullptr;
    }
    QAccessible::Role role() const override { return QAccessible::ToolBar; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !bar()->isVisible();
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? bar()->title() : QString();
    }
    QRect rect() const override { return bar()->geometry(); }
};

QAccessibleInterface* create(const QString& className, QObject* object) {
    if (className == QLatin1String("StatusBar"))
        return new BarAccessible(static_cast<StatusBar*>(object));
    if (className == QLatin1String("StatusBarButton"))
        return new ButtonAccessible(static_cast<StatusBarButton*>(object));
    return nullptr;
}

} // namespace

namespace StatusBarAccessible {

void install() {
    static const bool installed = (QAccessible::installFactory(&create), true);
    Q_UNUSED(installed);
}

} // namespace StatusBarAccessible
