#include "settings/BadgeImageView.h"

#include <QPixmap>

BadgeImageView::BadgeImageView(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
}

void BadgeImageView::setImage(const QImage& image) {
    if (image.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(image));
}
