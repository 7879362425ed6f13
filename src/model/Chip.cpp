#include "model/Chip.h"

QString Chip::templateForm() const {
    return kind == Kind::token ? u'{' + value + u'}' : value;
}

QString Chip::appendedTemplate(const QString& existing) const {
    QString piece = templateForm();
    if (isTextChip() || existing.isEmpty() || existing.endsWith(u' '))
        return piece;
    return u' ' + piece;
}
