#include "status/ownbar/StatusItem.h"

#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"

#include <QtMath>

StatusItem::StatusItem(StatusBar* bar, qreal length)
    : QObject(bar), m_bar(bar), m_button(new StatusBarButton(this)), m_length(length) {
    connect(m_button, &StatusBarButton::fittingWidthChanged, this, [this] {
        if (m_length == variableLength)
            Q_EMIT geometryChanged();
    });
}

void StatusItem::setLength(qreal length) {
    if (length == m_length)
        return;
    m_length = length;
    Q_EMIT geometryChanged();
}

int StatusItem::width() const {
    // A variable item gives its content the same room on each side as the system bar did.
    constexpr int variableMargin = 8;
    if (m_length == variableLength)
        return m_button->fittingWidth() + 2 * variableMargin;
    return qCeil(qMax<qreal>(m_length, 0));
}

void StatusItem::setAutosaveName(const QString& name) {
    m_autosaveName = name;
    m_bar->placeNamedItem(this);
}
