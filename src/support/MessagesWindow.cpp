#include "support/MessagesWindow.h"

#include "settings/Localization.h"
#include "support/MessageBodyView.h"
#include "support/MessageText.h"
#include "support/MessagesLayout.h"
#include "support/ServiceClient.h"
#include "ui/Appearance.h"
#include "ui/DrawingHelpers.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

QFrame* separatorLine(const QRect& frame, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(frame);
    return line;
}

// The separators' faint line: the label colour at a tenth of its strength.
QColor separatorColour(Appearance appearance) {
    QColor colour = Appearances::labelColor(appearance);
    colour.setAlphaF(0.1f);
    return colour;
}

void setForeground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

MessagesWindow::MessagesWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint) {
    setWindowTitle(L("messages.window_title"));
    setFixedSize(MessagesLayout::windowSize);

    m_list = new QScrollArea(this);
    m_list->setGeometry(MessagesLayout::list);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->viewport()->setAutoFillBackground(false);
    m_divider = separatorLine(MessagesLayout::divider, this);
    buildReplyArea();
    showConversation({});
}

void MessagesWindow::buildReplyArea() {
    m_reply = new QLineEdit(this);
    m_reply->setGeometry(MessagesLayout::replyField);
    m_reply->setFont(systemFont(13, QFont::Normal));
    m_reply->setPlaceholderText(L("messages.reply_placeholder"));
    m_reply->setTextMargins(6, 0, 6, 0);
    // Return anywhere in the window presses the button; the keypad's Enter reaches the field.
    connect(m_reply, &QLineEdit::returnPressed, this, &MessagesWindow::sendRequested);

    m_send = new QPushButton(L("common.send"), this);
    m_send->setFont(systemFont(13, QFont::Medium));
    m_send->setShortcut(Qt::Key_Return);
    m_send->setStyleSheet(
        QString("QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                " padding: 4px 14px; } QPushButton:pressed { background: %2; }")
            .arg(orvennaMauveFixed().name(), orvennaMauveFixed().darker(120).name()));
    m_send->adjustSize();
    m_send->setGeometry(MessagesLayout::sendButton(m_send->size()));
    connect(m_send, &QPushButton::clicked, this, &MessagesWindow::sendRequested);

    m_hint = makeLabel(L("messages.hint"), 11, QFont::Normal, QPalette::WindowText, this);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeHint();
    setFocusProxy(m_reply);
}

void MessagesWindow::placeHint() {
    m_hint->adjustSize();
    m_hint->setGeometry(m_replyOpen ? MessagesLayout::hint(m_hint->size())
                                    : MessagesLayout::closedHint(m_hint->size()));
}

void MessagesWindow::showConversation(const QList<ArchivedMessage>& messages) {
    auto* view = new QWidget;
    view->resize(MessagesLayout::list.size());
    view->setAutoFillBackground(false);
    m_entries.clear();
    m_emptyNote = nullptr;
    QList<MessagesLayout::EntrySizes> sizes;
    for (const ArchivedMessage& message : messages) {
        QLabel* header =
            makeLabel(MessageText::header(message), 11, QFont::Medium, QPalette::WindowText, view);
        header->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->adjustSize();
        auto* body = new MessageBodyView(message.body, view);
        body->fitTo(MessagesLayout::entryWidth);
        sizes.append({header->size(), body->height()});
        m_entries.append({header, body, nullptr, message.mine});
    }
    const MessagesLayout::ListFrames frames = MessagesLayout::entries(sizes);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        entry.header->setGeometry(frames.entries.at(i).header);
        entry.body->setGeometry(frames.entries.at(i).body);
        entry.separator = separatorLine(frames.entries.at(i).separator, view);
    }
    if (messages.isEmpty()) {
        m_emptyNote = makeLabel(L("messages.empty"), 13, QFont::Normal, QPalette::WindowText, view);
        m_emptyNote->adjustSize();
        m_emptyNote->setGeometry(MessagesLayout::emptyNote(m_emptyNote->size()));
    }
    view->resize(MessagesLayout::list.width(), frames.height);
    m_list->setWidget(view); // deletes the previous list
    m_list->verticalScrollBar()->setValue(0);
    applyColours();
}

QList<MessageBodyView*> MessagesWindow::bodies() const {
    QList<MessageBodyView*> bodies;
    for (const Entry& entry : m_entries)
        bodies.append(entry.body);
    return bodies;
}

void MessagesWindow::setReplyOpen(bool open) {
    m_replyOpen = open;
    m_reply->setVisible(open);
    m_send->setVisible(open);
    m_hint->setText(L(open ? "messages.hint" : "messages.closed_hint"));
    placeHint();
    applyColours();
}

void MessagesWindow::present() {
    // Centred when it opens; while it is open it stays where the user put it.
    const QScreen* screen = this->screen();
    if (!isVisible() && screen)
        move(screen->availableGeometry().center() - rect().center());
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (m_replyOpen)
        m_reply->setFocus(Qt::ActiveWindowFocusReason);
}

void MessagesWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_hint)
        applyColours();
}

// Secondary and tertiary texts, the brand colour and the separators are no palette roles:
// they are coloured for the appearance, and again when it changes.
void MessagesWindow::applyColours() {
    const Appearance appearance = Appearances::of(this);
    const QColor separator = separatorColour(appearance);
    for (const Entry& entry : m_entries) {
        setForeground(entry.header, entry.mine ? Appearances::tertiaryLabelColor(appearance)
                                               : orvennaMauve(appearance));
        entry.body->setTextColor(entry.mine ? Appearances::secondaryLabelColor(appearance)
                                            : Appearances::labelColor(appearance));
        setForeground(entry.separator, separator);
    }
    if (m_emptyNote)
        setForeground(m_emptyNote, Appearances::secondaryLabelColor(appearance));
    setForeground(m_divider, separator);
    // Alone under the divider, the hint is what there is to read there.
    setForeground(m_hint, m_replyOpen ? Appearances::tertiaryLabelColor(appearance)
                                      : Appearances::secondaryLabelColor(appearance));
}
