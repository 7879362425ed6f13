#include "platform/OperatingSystem.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <sys/utsname.h>

namespace {

// os-release values are shell-like: unquoted, or in single quotes taken literally, or in
// double quotes where a backslash escapes the next character.
QString unquote(const QString& raw) {
    if (raw.size() >= 2 && raw.front() == '\'' && raw.back() == '\'')
        return raw.mid(1, raw.size() - 2);
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"')
        return raw;
    QString value;
    const QString inner = raw.mid(1, raw.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == '\\' && i + 1 < inner.size())
            ++i;
        value += inner.at(i);
    }
    return value;
}

QHash<QString, QString> parseOsRelease(const QByteArray& contents) {
    QHash<QString, QString> fields;
    for (const QString& line : QString::fromUtf8(contents).split('\n')) {
        const QString trimmed = line.trimmed();
        const qsizetype equals = trimmed.indexOf('=');
        if (trimmed.startsWith('#') || equals <= 0)
            continue;
        fields.insert(trimmed.left(equals), unquote(trimmed.mid(equals + 1)));
    }
    return fields;
}

// "Debian GNU/Linux" is "Debian": the suffix goes with the white space before it, but only
// as a word of its own.
QString withoutGnuLinux(const QString& name) {
    const QStringView suffix = u"GNU/Linux";
    if (!name.endsWith(suffix))
        return name;
    QStringView head = QStringView(name).chopped(suffix.size());
    if (head.isEmpty() || !head.back().isSpace())
        return name;
    while (!head.isEmpty() && head.back().isSpace())
        head.chop(1);
    return head.toString();
}

// The digits a kernel release starts with, and a dot and the digits after them: "6.1" of
// "6.1.0-18-amd64".
QString leadingVersion(const QString& release) {
    auto digitsFrom = [&](qsizetype from) {
        qsizetype end = from;
        while (end < release.size() && release.at(end).isDigit())
            ++end;
        return end;
    };
    const qsizetype major = digitsFrom(0);
    if (major == 0)
        return {};
    const bool minor =
        major < release.size() && release.at(major) == u'.' && digitsFrom(major + 1) > major + 1;
    return release.left(minor ? digitsFrom(major + 1) : major);
}

QString majorMinor(const QString& version) {
    return version.split('.').mid(0, 2).join('.');
}

QByteArray readFirstExisting(const QStringList& paths) {
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return {};
}

} // namespace

namespace OperatingSystem {

std::optional<QString> describeOsRelease(const QByteArray& contents) {
    const QHash<QString, QString> fields = parseOsRelease(contents);
    const QString name = withoutGnuLinux(fields.value("NAME").trimmed());
    if (name.isEmpty())
        return std::nullopt;
    // Trimmed again once cut: "3.1\r.4" or "3.1 .4" would leave white space at the end.
    const QString version = majorMinor(fields.value("VERSION_ID").trimmed()).trimmed();
    return version.isEmpty() ? name : name + " " + version;
}

QString describeKernel(const QString& release) {
    const QString version = leadingVersion(release);
    return version.isEmpty() ? QStringLiteral("Linux") : "Linux " + version;
}

QString osString() {
    const auto distribution =
        describeOsRelease(readFirstExisting({"/etc/os-release", "/usr/lib/os-release"}));
    if (distribution)
        return *distribution;
    utsname system{};
    return describeKernel(::uname(&system) == 0 ? QString::fromUtf8(system.release) : QString());
}

} // namespace OperatingSystem
