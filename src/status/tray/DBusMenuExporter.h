#pragma once

#include "status/tray/DBusMenuTypes.h"

#include <QAction>
#include <QDBusConnection>
#include <QHash>
#include <QMenu>
#include <QObject>
#include <QPointer>

// Shows a QMenu to another process over the com.canonical.dbusmenu interface, so that a
// desktop panel can draw it as its own. The menu is read once for the first request, and again
// whenever the panel is about to show it; each reading first emits the menu's aboutToShow(), as
// a popup would, so that its owner brings it up to the state of that moment. Rows are numbered in
// order (the menu itself is 0); a menu built again with the same rows keeps their numbers, a
// changed row is announced by its properties, and changed rows or numbers by a new layout revision.
// A click the panel reports triggers the row's action from the event loop, after the call has been
// answered.
class DBusMenuExporter : public QObject {
    Q_OBJECT
public:
    // Exports `menu` at `path` on `connection`. A null or deleted menu exports as an empty one;
    // the exporter never deletes it.
    DBusMenuExporter(const QDBusConnection& connection, const QString& path, QMenu* menu,
                     QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    bool isExported() const { return m_exported; }
    const QDBusConnection& connection() const { return m_connection; }
    QMenu* menu() const { return m_menu; }
    uint revision() const { return m_revision; }

    // Reads the menu again and announces what changed; returns whether anything did.
    bool rebuild();

    // What the interface answers.
    DBusMenuLayoutItem layout(int parentId, int depth, const QStringList& names);
    DBusMenuItemPropertiesList properties(const QList<int>& ids, const QStringList& names);
    QVariant property(int id, const QString& name);
    bool contains(int id);
    // Whether the row exists; a "clicked" row's action is triggered.
    bool handleEvent(int id, const QString& eventId);
    // Whether the panel should read the layout again.
    bool aboutToShow(int id);

    // Qt's "&File" mnemonic as the interface writes it ("_File"), literal underscores doubled.
    static QString label(const QString& text);

Q_SIGNALS:
    // A panel read the menu: its properties or its layout.
    void read();
    void layoutUpdated(uint revision, int parent);
    void itemsPropertiesUpdated(const DBusMenuItemPropertiesList& updated,
                                const DBusMenuItemKeysList& removed);

private:
    struct Row {
        int parent = -1;
        QList<int> children;
        QVariantMap properties;
        QPointer<QAction> action;
    };
    using Rows = QHash<int, Row>;

    void ensureBuilt();
    static void addRows(const QMenu* menu, int parent, Rows& rows);
    static QVariantMap propertiesOf(const QAction* action);
    static bool sameStructure(const Rows& a, const Rows& b);
    void announcePropertyChanges(const Rows& before);
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names) const;
    static QVariantMap filtered(const QVariantMap& properties, const QStringList& names);
    static QVariant defaultProperty(const QString& name);

    QDBusConnection m_connection;
    QString m_path;
    QPointer<QMenu> m_menu;
    Rows m_rows;
    uint m_revision = 0;
    bool m_built = false;
    bool m_exported = false;
};
