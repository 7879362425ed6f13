#include "platform/KeyFile.h"

#include <QFile>

namespace {

// The string escapes: "\s" stands for the first character of `meanings`, and so on.
constexpr QStringView escapes = u"sntr\\";
constexpr QStringView meanings = u" \n\t\r\\";

// Undoes the escapes of a value; with `separated`, also cuts it at every ';' that is not
// escaped. An unknown escape keeps its backslash, as other readers leave it.
QStringList unescaped(const QString& value, bool separated) {
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u';' && separated) {
            items.append(item);
            item.clear();
        } else if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            const qsizetype escape = escapes.indexOf(next);
            if (escape >= 0)
                item += meanings.at(escape);
            else if (next == u';' && separated)
                item += next;
            else
                item += QStringView(value).sliced(i - 1, 2);
        } else {
            item += c;
        }
    }
    if (!separated || !item.isEmpty())
        items.append(item);
    return items;
}

// The white space of the format: ASCII only, so that a value may end with any other space.
bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

QStringView withoutLeadingSpace(QStringView text) {
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.sliced(1);
    return text;
}

QStringView withoutTrailingSpace(QStringView text) {
    while (!text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

} // namespace

KeyFile KeyFile::parse(const QByteArray& bytes) {
    KeyFile file;
    QHash<QString, QString>* group = nullptr;
    for (QByteArray rawLine : bytes.split('\n')) {
        if (rawLine.endsWith('\r'))
            rawLine.chop(1);
        const QString text = QString::fromUtf8(rawLine);
        const QStringView line = withoutLeadingSpace(text);
        const QStringView trimmed = withoutTrailingSpace(line);
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            group = &file.m_groups[trimmed.sliced(1, trimmed.size() - 2).toString()];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!group || equals <= 0)
            continue;
        group->insert(withoutTrailingSpace(line.first(equals)).toString(),
                      withoutLeadingSpace(line.sliced(equals + 1)).toString());
    }
    return file;
}

KeyFile KeyFile::read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : KeyFile();
}

QString KeyFile::raw(const QString& group, const QString& key) const {
    return m_groups.value(group).value(key);
}

QString KeyFile::string(const QString& group, const QString& key) const {
    return unescaped(raw(group, key), false).value(0);
}

QStringList KeyFile::list(const QString& group, const QString& key) const {
    return unescaped(raw(group, key), true);
}

bool KeyFile::boolean(const QString& group, const QString& key) const {
    return withoutTrailingSpace(raw(group, key)) == u"true";
}
