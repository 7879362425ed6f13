#include "support/MessageBodyView.h"

#include "support/MessageText.h"
#include "ui/DrawingHelpers.h"

#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QWheelEvent>

#include <cmath>

MessageBodyView::MessageBodyView(const QString& text, QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setFont(systemFont(13, QFont::Normal));
    document()->setDocumentMargin(0);
    setPlainText(MessageText::shown(text));
}

void MessageBodyView::fitTo(int width, int maxHeight) {
    // Lines as long as the width, whatever the size of the view at the moment.
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(width);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int height = int(std::ceil(document()->size().height()));
    if (height > maxHeight) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setLineWrapColumnOrWidth(
            width - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar()));
        height = maxHeight;
    }
    setFixedSize(width, height);
}

void MessageBodyView::setTextColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Text, color);
    setPalette(colours);
}

void MessageBodyView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        event->ignore();
        return;
    }
    QTextEdit::wheelEvent(event);
}
