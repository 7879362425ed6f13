#pragma once

#include "model/MenuBarItem.h"
#include "platform/ScreenAnchor.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <optional>

// One status item where a host shows it. The controller says what it shows; the item reports
// what the user did to it.
class StatusHostItem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The menu-bar item whose text this status item shows; absent for the calendar icon that
    // stands in when no item is enabled. Set when the item is made and whenever the layout
    // changes it in place.
    virtual void setSource(const std::optional<MenuBarItem>& source) = 0;
    // The text to show now. A blank text (only spaces and tabs) shows the calendar symbol.
    virtual void showText(const QString& text) = 0;
    // Where a panel opened for this item goes.
    virtual ScreenAnchor anchor() const = 0;

Q_SIGNALS:
    // A primary click (with or without modifier keys), and where it asks the panel to open.
    void primaryClicked(const ScreenAnchor& anchor);
    // A wheel turned over the item: positive away from the user.
    void scrolled(int delta);
};

// Where the status items appear: the application's own bar, or the desktop's panel. Items are
// added one at a time, each to the left of (before) the host's other items, so that adding
// them from the last to the first shows them in layout order. Each host is given the status
// menu when it is made and shows it itself: on a secondary click, or when the panel asks.
class StatusHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // `name` is the item's lasting name ("VSP-<id>", "VSP-fallback"), under which the host
    // remembers it.
    virtual StatusHostItem* addItem(const QString& name) = 0;
    virtual void removeItem(StatusHostItem* item) = 0;

    // The status items' text: 13 points, medium weight.
    static QFont textFont();
};
