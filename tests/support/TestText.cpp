#include "support/TestText.h"

QString flagOf(const char* code) {
    QString flag;
    for (const char* c = code; *c; ++c) {
        const char32_t indicator = 0x1F1E6 + (*c - 'A');
        flag += QString::fromUcs4(&indicator, 1);
    }
    return flag;
}

QString randomText(QRandomGenerator& random, const QStringList& pieces, int maxLength) {
    QString text;
    const int length = random.bounded(maxLength);
    for (int i = 0; i < length; ++i)
        text += pieces.at(random.bounded(pieces.size()));
    return text;
}
