#pragma once

#include "status/StatusHost.h"

#include <optional>

class MenuBarLayout;
class OwnBarHost;
class QMenu;
class StatusBar;
class StatusBarButton;
class StatusItem;

// One status item of the application's own bar: a button showing the text as a title (closer
// than the button's own margins when the padding is negative) or the
// calendar symbol, whose length follows the layout's padding. Showing what already shows
// changes nothing.
class OwnBarItem : public StatusHostItem {
    Q_OBJECT
public:
    OwnBarItem(StatusItem* status, OwnBarHost* host);

    StatusItem* statusItem() const { return m_status; }

    void setSource(const std::optional<MenuBarItem>&) override {}
    void showText(const QString& text) override;
    ScreenAnchor anchor() const override;

private:
    void showIcon(StatusBarButton* button);
    void showTitle(const QString& text, StatusBarButton* button, double padding);
    static qreal titleLength(const QString& text, const StatusBarButton& button, double padding);

    struct Shown {
        QString text;
        double padding = 0;
        bool operator==(const Shown&) const = default;
    };

    StatusItem* m_status;
    const OwnBarHost& m_host;
    std::optional<Shown> m_shown;
};

// The application's own bar as a host: items are StatusBar items named for the bar's memory
// of where the user dragged them.
class OwnBarHost : public StatusHost {
    Q_OBJECT
public:
    // The items' padding comes from `layout`; a right click on an item shows `menu` under it.
    OwnBarHost(StatusBar& bar, const MenuBarLayout& layout, QMenu& menu, QObject* parent = nullptr);

    StatusBar& bar() const { return m_bar; }

    StatusHostItem* addItem(const QString& name) override;
    void removeItem(StatusHostItem* item) override;

    double padding() const;
    QMenu& menu() const { return m_menu; }

private:
    StatusBar& m_bar;
    const MenuBarLayout& m_layout;
    QMenu& m_menu;
};
