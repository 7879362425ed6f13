#include "platform/DesktopEntry.h"

#include "platform/KeyFile.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString group = QStringLiteral("Desktop Entry");

// Splits an Exec value (its string escapes already undone) into arguments: spaces separate
// them; within double quotes a backslash makes the next '"', '`', '$' or '\' literal. Absent
// when a quote is left open.
std::optional<QStringList> arguments(const QString& exec) {
    QStringList split;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size() &&
                QStringView(u"\"`$\\").contains(exec.at(i + 1)))
                current += exec.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                split.append(current);
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == u'"')
                quoted = true;
            else
                current += c;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument)
        split.append(current);
    return split;
}

bool isFileOrUrlCode(const QString& argument) {
    return argument.size() == 2 && argument.front() == u'%' &&
           QStringView(u"fFuU").contains(argument.back());
}

// The argument with its field codes expanded to nothing and "%%" to "%"; absent when only
// field codes made it up.
std::optional<QString> withoutFieldCodes(const QString& argument) {
    QString expanded;
    bool hadCode = false;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument.at(i) != u'%' || i + 1 == argument.size()) {
            expanded += argument.at(i);
        } else if (argument.at(++i) == u'%') {
            expanded += u'%';
        } else {
            hadCode = true;
        }
    }
    if (hadCode && expanded.isEmpty())
        return std::nullopt;
    return expanded;
}

bool isExecutable(const QString& program) {
    if (program.isEmpty())
        return false;
    if (!program.contains(u'/'))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable();
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::fromKeyFile(const KeyFile& file) {
    if (!file.hasGroup(group))
        return std::nullopt;
    const auto exec = arguments(file.string(group, "Exec"));
    if (!exec)
        return std::nullopt;
    DesktopEntry entry;
    entry.type = file.string(group, "Type");
    entry.exec = *exec;
    entry.tryExec = file.string(group, "TryExec");
    entry.hidden = file.boolean(group, "Hidden");
    entry.mimeTypes = file.list(group, "MimeType");
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::read(const QString& path) {
    auto entry = fromKeyFile(KeyFile::read(path));
    if (entry)
        entry->path = path;
    return entry;
}

bool DesktopEntry::isInstalled() const {
    return type == u"Application" && !hidden && isExecutable(program()) &&
           (tryExec.isEmpty() || isExecutable(tryExec));
}

QString DesktopEntry::program() const {
    return exec.isEmpty() ? QString() : withoutFieldCodes(exec.first()).value_or(QString());
}

QStringList DesktopEntry::command(const QStringList& ours) const {
    const QString program = this->program();
    if (program.isEmpty())
        return {};
    QStringList command{program};
    bool placed = false;
    for (const QString& argument : exec.mid(1)) {
        if (!placed && isFileOrUrlCode(argument)) {
            command += ours;
            placed = true;
        } else if (argument != u"@@" && argument != u"@@u") {
            if (const auto expanded = withoutFieldCodes(argument))
                command.append(*expanded);
        }
    }
    if (!placed)
        command += ours;
    return command;
}
