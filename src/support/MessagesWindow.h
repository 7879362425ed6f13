#pragma once

#include <QList>
#include <QWidget>

struct ArchivedMessage;
class MessageBodyView;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// The conversation with the maker's support, newest first, with a field to reply. A window of
// fixed size that is built once and hidden when closed; the owner fills it afresh each time it
// is shown. Everything the service wrote is shown as plain text.
class MessagesWindow : public QWidget {
    Q_OBJECT
public:
    explicit MessagesWindow(QWidget* parent = nullptr);

    // Replaces the list with `messages` (newest first), scrolled to the top. What was typed in
    // the reply field stays.
    void showConversation(const QList<ArchivedMessage>& messages);
    // While the ticket is not open the conversation can be read, not answered: the reply field
    // and the send button give way to a line that says how to write again.
    void setReplyOpen(bool open);
    bool isReplyOpen() const { return m_replyOpen; }
    // In front and active with the reply field focused; centred on its screen when it was not
    // open.
    void present();

    QLineEdit* replyField() const { return m_reply; }
    QPushButton* sendButton() const { return m_send; }
    QLabel* hint() const { return m_hint; }
    QScrollArea* list() const { return m_list; }
    // The bodies of the entries shown, in order.
    QList<MessageBodyView*> bodies() const;

Q_SIGNALS:
    // The send button, or Return in the window.
    void sendRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Entry {
        QLabel* header;
        MessageBodyView* body;
        QFrame* separator;
        bool mine;
    };

    void buildReplyArea();
    void placeHint();
    void applyColours();

    QScrollArea* m_list;
    QList<Entry> m_entries;
    QLabel* m_emptyNote = nullptr;
    QFrame* m_divider;
    QLineEdit* m_reply = nullptr;
    QPushButton* m_send = nullptr;
    QLabel* m_hint = nullptr;
    bool m_replyOpen = true;
};
