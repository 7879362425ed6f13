#pragma once

#include "status/tray/DBusMenuTypes.h"

#include <QAction>
#include <QDBusConnection>
#include <QHash>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>

// Shows a QMenu to another process over the com.canonical.dbusmenu interface, so that a
// desktop panel can draw it as its own. The menu comes from a provider that brings it up to
// date and keeps it: it is read once for the first request, and again whenever the panel is
// about to show it, so that it shows the state of that moment. Rows are numbered in order (the menu
// itself is 0); a menu built again with the same rows keeps their numbers, a changed row is
// announced by its properties, and changed rows or numbers by a new layout revision. A click the
// panel reports triggers the row's action from the event loop, after the call has been answered.
class DBusMenuExporter : public QObject {
    Q_OBJECT
public:
    using MenuProvider = std::function<QMenu*()>;

    // Exports at `path` on `connection`. The provider may return null: the menu is then empty.
    // The exporter never deletes the menu.
    DBusMenuExporter(const QDBusConnection& connection, const QString& path, MenuProvider provider,
                     QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    bool isExported() const { return m_exported; }
    const QDBusConnection& connection() const { return m_connection; }
    // The menu last read; null before the first request.
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
    MenuProvider m_provider;
    QPointer<QMenu> m_menu;
    Rows m_rows;
    uint m_revision = 0;
    bool m_built = false;
    bool m_exported = false;
};
