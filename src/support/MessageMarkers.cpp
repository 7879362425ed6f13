#include "support/MessageMarkers.h"

#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"
#include "ui/PassThroughLabel.h"
#include "ui/SymbolImage.h"

#include <QAction>
#include <QEvent>
#include <QToolButton>

#include <cmath>

MessageMarkers::MessageMarkers(QObject* parent) : QObject(parent) {}

void MessageMarkers::attach(QToolButton* button, PassThroughLabel* badge, QAction* applicationRow) {
    if (m_button)
        m_button->removeEventFilter(this);
    m_button = button;
    m_badge = badge;
    m_applicationRow = applicationRow;
    if (m_button)
        m_button->installEventFilter(this);
    show(m_ticketOpen, m_unread);
}

void MessageMarkers::show(bool ticketOpen, bool unread) {
    m_ticketOpen = ticketOpen;
    m_unread = unread;
    if (m_badge) {
        m_badge->setImage(unread ? quotaBadgeImage(1, badgeDiameter, m_badge->devicePixelRatioF())
                                 : QImage());
        m_badge->setVisible(unread);
    }
    if (m_button) {
        m_button->setVisible(ticketOpen);
        tintButton();
    }
    if (m_applicationRow)
        m_applicationRow->setVisible(ticketOpen);
}

bool MessageMarkers::eventFilter(QObject* watched, QEvent* event) {
    // The type first: the button sends events while it is being destroyed, when comparing it
    // through its QPointer would cast an object that is no longer a tool button.
    if (event->type() == QEvent::PaletteChange && watched == m_button)
        tintButton();
    return QObject::eventFilter(watched, event);
}

// The button's symbol in the accent colour while a message waits, else in the secondary
// label colour of its appearance.
void MessageMarkers::tintButton() {
    const QColor colour = m_unread
                              ? Appearances::accentColor(m_button->palette())
                              : Appearances::secondaryLabelColor(Appearances::of(m_button.data()));
    const auto image = SymbolImage::image(symbol, symbolSize, QFont::Normal, colour,
                                          m_button->devicePixelRatioF());
    if (!image)
        return;
    m_button->setIcon(QIcon(QPixmap::fromImage(*image)));
    m_button->setIconSize(QSize(int(std::ceil(symbolSize)), int(std::ceil(symbolSize))));
}
