#include "ui/PassThroughLabel.h"

#include <QPixmap>

PassThroughLabel::PassThroughLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
}

PassThroughLabel::PassThroughLabel(const QString& text, QWidget* parent)
    : PassThroughLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setText(text);
}

void PassThroughLabel::setImage(const QImage& image) {
    if (image.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(image));
}
