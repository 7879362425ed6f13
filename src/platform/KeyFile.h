#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The "key file" form that desktop entries, mimeapps.list and mimeinfo.cache share: groups
// headed "[Name]", then "Key=Value" lines; blank lines and lines starting with '#' are
// comments. Lines that are neither, and lines before the first group, are passed over, so a
// damaged file yields what can still be read. A group named twice is one group, and a key
// given twice keeps its last value, as GLib's reader does. As there too, the white space
// around '=' goes but a value keeps any at its end (a program's path may end with a space),
// and a line may end with "\r\n".
class KeyFile {
public:
    KeyFile() = default;
    // The file's text as UTF-8.
    static KeyFile parse(const QByteArray& bytes);
    // The file at `path`; empty when it cannot be read.
    static KeyFile read(const QString& path);

    bool hasGroup(const QString& group) const { return m_groups.contains(group); }
    // A string value: "\s", "\n", "\t", "\r" and "\\" stand for a space, a line feed, a
    // tabulation, a carriage return and a backslash.
    QString string(const QString& group, const QString& key) const;
    // A list value: strings separated by ';' ("\;" is a semicolon within one); an empty last
    // item (the usual trailing ';') is not an item.
    QStringList list(const QString& group, const QString& key) const;
    // A boolean value: only "true" is true, white space around it aside.
    bool boolean(const QString& group, const QString& key) const;

private:
    // The value as written, with the white space after '=' taken off.
    QString raw(const QString& group, const QString& key) const;

    QHash<QString, QHash<QString, QString>> m_groups;
};
