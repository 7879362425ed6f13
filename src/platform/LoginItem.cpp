#include "platform/LoginItem.h"

#include "platform/AppFolders.h"
#include "platform/AtomicFile.h"
#include "platform/KeyFile.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString group = QStringLiteral("Desktop Entry");

// An Exec argument in double quotes, with '"', '`', '$' and '\' escaped inside them and '%'
// doubled (a lone one would start a field code).
QString quotedArgument(const QString& argument) {
    QString quoted = "\"";
    for (const QChar c : argument) {
        if (QStringView(u"\"`$\\").contains(c))
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    return quoted + u'"';
}

// A key file's string value: backslashes, line feeds, tabs and carriage returns escaped. After
// the quoting, so a literal backslash in a path is written as four.
QString escapedValue(const QString& value) {
    const QStringView special = u"\\\n\t\r";
    const QStringView written = u"\\ntr";
    QString escaped;
    for (const QChar c : value) {
        const qsizetype at = special.indexOf(c);
        if (at >= 0)
            escaped += u'\\';
        escaped += at >= 0 ? written.at(at) : c;
    }
    return escaped;
}

} // namespace

namespace LoginItem {

QString entryPath() {
    return AppFolders::configHome() + "/autostart/" + entryName;
}

bool isEnabled() {
    const QString path = entryPath();
    if (!QFileInfo(path).isFile())
        return false;
    const KeyFile entry = KeyFile::read(path);
    return !entry.boolean(group, "Hidden") &&
           entry.string(group, "X-GNOME-Autostart-enabled").trimmed() != u"false";
}

bool setEnabled(bool enabled, QString* error) {
    QString description;
    const bool done =
        enabled ? AtomicFile::write(entryPath(), entryFor(QCoreApplication::applicationFilePath()),
                                    &description)
                : AtomicFile::remove(entryPath(), &description);
    if (done)
        return true;
    qCWarning(lcPlatform).noquote() << "Vesperin: ouverture à la connexion:" << description;
    if (error)
        *error = description;
    return false;
}

QByteArray entryFor(const QString& program) {
    return QString("[%1]\nType=Application\nName=Vesperin\nIcon=%2\nExec=%3\nTryExec=%4\n"
                   "X-GNOME-Autostart-enabled=true\n")
        .arg(group, iconName, escapedValue(quotedArgument(program)), escapedValue(program))
        .toUtf8();
}

} // namespace LoginItem
