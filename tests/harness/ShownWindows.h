#pragma once

#include <QApplication>
#include <QList>
#include <QWidget>

// The application's shown top-level windows of one kind, such as the alerts it shows
// (QMessageBox), in no particular order.
template <typename Window> QList<Window*> shownWindows() {
    QList<Window*> shown;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* wanted = qobject_cast<Window*>(window); wanted && wanted->isVisible())
            shown.append(wanted);
    }
    return shown;
}
