#include "harness/TestText.h"

QString flagOf(const char* code) {
    QString flag;
    for (const char* c = code; *c; ++c) {
        const char32_t indicator = 0x1F1E6 + (*c - 'A');
        flag += QString::fromUcs4(&indicator, 1);
    }
    return flag;
}

std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}

void PrintTo(const Chip& chip, std::ostream* out) {
    static const char* const kinds[] = {"token", "text", "composite"};
    *out << kinds[int(chip.kind)] << ' ' << chip.value;
}

QList<MenuBarPart> partsOf(const QStringList& texts) {
    QList<MenuBarPart> parts;
    for (const QString& text : texts)
        parts.append(MenuBarPart{text});
    return parts;
}

MenuBarItem itemOf(const QString& text, const std::optional<QString>& zone,
                   const std::optional<QString>& language) {
    return MenuBarItem{QUuid::createUuid(), true, text, zone, language};
}

MenuBarItem partsItem(const QStringList& texts) {
    MenuBarItem item = itemOf("");
    item.parts = partsOf(texts);
    return item;
}

QStringList textsOf(const QList<MenuBarPart>& parts) {
    QStringList texts;
    for (const MenuBarPart& part : parts)
        texts.append(part.text);
    return texts;
}
