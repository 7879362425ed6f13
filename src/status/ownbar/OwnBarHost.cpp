#include "status/ownbar/OwnBarHost.h"

#include "model/MenuBarLayout.h"
#include "model/TemplateSyntax.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusBarButton.h"
#include "status/ownbar/StatusItem.h"
#include "ui/SymbolImage.h"

#include <QFontMetricsF>

#include <cmath>

OwnBarItem::OwnBarItem(StatusItem* status, OwnBarHost* host)
    : StatusHostItem(host), m_status(status), m_host(*host) {
    StatusBarButton* button = status->button();
    connect(button, &StatusBarButton::clicked, this, [this, button](Qt::MouseButton mouseButton) {
        if (mouseButton == Qt::RightButton)
            button->popUpMenu(m_host.menu());
        else
            Q_EMIT primaryClicked(anchor());
    });
    connect(button, &StatusBarButton::wheelTurned, this, &StatusHostItem::scrolled);
}

ScreenAnchor OwnBarItem::anchor() const {
    StatusBarButton* button = m_status->button();
    return ScreenAnchor(button, button->bar(), button->geometry());
}

void OwnBarItem::showText(const QString& text) {
    const Shown shown{text, m_host.padding()};
    if (shown == m_shown)
        return;
    m_shown = shown;
    StatusBarButton* button = m_status->button();
    const bool empty = TemplateSyntax::trimmed(text).isEmpty();
    if (empty)
        showIcon(button);
    else
        showTitle(text, button, shown.padding);
}

void OwnBarItem::showIcon(StatusBarButton* button) {
    button->setTitle(QString());
    const auto icon =
        SymbolImage::image("calendar", 14, QFont::Medium, Qt::black, button->devicePixelRatio());
    button->setImage(icon.value_or(QImage()), true);
    button->setAccessibleName(icon ? "Vesperin" : QString());
    m_status->setLength(StatusItem::variableLength);
}

void OwnBarItem::showTitle(const QString& text, StatusBarButton* button, double padding) {
    button->setAccessibleName(QString());
    button->setImage(QImage(), false);
    button->setTitle(text);
    button->setTitleFont(StatusHost::textFont());
    m_status->setLength(titleLength(text, *button, padding));
}

// A positive padding widens the item around the button's content; a negative one goes below
// the system's own margins, the centred title keeping s points on each side.
qreal OwnBarItem::titleLength(const QString& text, const StatusBarButton& button, double padding) {
    if (padding > 0)
        return 2 * padding + button.fittingWidth() + 16;
    if (padding == 0)
        return StatusItem::variableLength;
    const int textWidth =
        int(std::ceil(QFontMetricsF(StatusHost::textFont()).horizontalAdvance(text)));
    return 2 * std::max(padding + 8, 0.0) + textWidth;
}

OwnBarHost::OwnBarHost(StatusBar& bar, const MenuBarLayout& layout, QMenu& menu, QObject* parent)
    : StatusHost(parent), m_bar(bar), m_layout(layout), m_menu(menu) {}

double OwnBarHost::padding() const {
    return m_layout.padding();
}

StatusHostItem* OwnBarHost::addItem(const QString& name) {
    StatusItem* status = m_bar.addItem(StatusItem::variableLength);
    status->setAutosaveName(name);
    return new OwnBarItem(status, this);
}

void OwnBarHost::removeItem(StatusHostItem* item) {
    auto* own = qobject_cast<OwnBarItem*>(item);
    if (!own)
        return;
    m_bar.removeItem(own->statusItem());
    delete own;
}
