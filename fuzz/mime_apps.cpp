// Feeds mimeapps.list files, as the user, the desktop or a distribution could write them, to
// the lookup of the default calendar application, over a fixed set of installed applications
// in two applications folders.
//
// Input: three list files cut at NUL bytes, in the order they are read: the user's
// desktop-specific list ($XDG_CONFIG_HOME/test-mimeapps.list), the user's mimeapps.list, and
// the mimeapps.list of the user's applications folder.
#include "FuzzSupport.h"
#include "platform/KeyFile.h"
#include "platform/MimeApps.h"

#include <QFile>
#include <QHash>

namespace {

const QString calendarType = QStringLiteral("text/calendar");

struct EntryFile {
    const char* folder; // under the scratch folder
    const char* name;   // under that folder's applications folder
    const char* keys;
};

// Installed unless hidden or with a missing TryExec; the user's Calendar hides the system's
// and a KOrganizer in a subfolder has the id "kde-org.kde.korganizer.desktop".
const EntryFile entryFiles[] = {
    {"data", "org.gnome.Calendar.desktop", "MimeType=text/calendar;\n"},
    {"data", "kde/org.kde.korganizer.desktop", "MimeType=text/calendar;\n"},
    {"data", "hidden.desktop", "Hidden=true\nMimeType=text/calendar;\n"},
    {"data-dirs", "org.gnome.Calendar.desktop", "MimeType=text/calendar;\n"},
    {"data-dirs", "org.gnome.Evolution.desktop", "MimeType=text/calendar;text/plain;\n"},
    {"data-dirs", "editor.desktop", "MimeType=text/plain;\n"},
    {"data-dirs", "gone.desktop", "TryExec=/nonexistent/gone\nMimeType=text/calendar;\n"},
};

// Where each installed application's id stands, and which ones list the calendar type.
const QHash<QString, QString> installedFiles = {
    {"org.gnome.Calendar.desktop", "data/applications/org.gnome.Calendar.desktop"},
    {"kde-org.kde.korganizer.desktop", "data/applications/kde/org.kde.korganizer.desktop"},
    {"org.gnome.Evolution.desktop", "data-dirs/applications/org.gnome.Evolution.desktop"},
    {"editor.desktop", "data-dirs/applications/editor.desktop"},
};
const QStringList listingCalendar = {"org.gnome.Calendar.desktop", "kde-org.kde.korganizer.desktop",
                                     "org.gnome.Evolution.desktop"};

QString scratch(const QString& relative) {
    return Fuzz::scratchFolder() + "/" + relative;
}

const QStringList listFiles = {scratch("config/test-mimeapps.list"),
                               scratch("config/mimeapps.list"),
                               scratch("data/applications/mimeapps.list")};

QStringList listed(const KeyFile& file, const char* group) {
    return file.list(QString::fromLatin1(group), calendarType);
}

// What no application may be chosen against: the first default naming an installed
// application wins, whichever file names it.
std::optional<QString> expectedDefault(const QList<KeyFile>& lists) {
    for (const KeyFile& list : lists) {
        for (const QString& id : listed(list, "Default Applications")) {
            if (installedFiles.contains(id))
                return id;
        }
    }
    return std::nullopt;
}

void checkChoice(const std::optional<DesktopEntry>& chosen, const QList<KeyFile>& lists) {
    if (chosen) {
        Fuzz::check(installedFiles.contains(chosen->id) &&
                        chosen->path == scratch(installedFiles.value(chosen->id)),
                    "the choice is the installed file that stands for its id", chosen->path);
        Fuzz::check(chosen->isInstalled(), "the choice can start", chosen->id);
    }
    const std::optional<QString> byDefault = expectedDefault(lists);
    if (byDefault) {
        Fuzz::check(chosen && chosen->id == *byDefault,
                    "the first default naming an installed application wins", *byDefault);
        return;
    }
    if (!chosen)
        return;
    // Without a default, only an association can choose: an addition of a plain list, or the
    // entry's own types; and the user's own removal of it stands unless the user adds it.
    const KeyFile& user = lists.at(1);
    const KeyFile& folder = lists.at(2);
    const bool added = listed(user, "Added Associations").contains(chosen->id) ||
                       listed(folder, "Added Associations").contains(chosen->id);
    Fuzz::check(added || listingCalendar.contains(chosen->id),
                "only an association chooses without a default", chosen->id);
    Fuzz::check(!listed(user, "Removed Associations").contains(chosen->id) ||
                    listed(user, "Added Associations").contains(chosen->id),
                "the user's removal stands", chosen->id);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch("config")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(scratch("config-dirs")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(scratch("data-dirs")));
    qputenv("XDG_CURRENT_DESKTOP", "Test");
    for (const EntryFile& file : entryFiles)
        Fuzz::writeFile(scratch(QString("%1/applications/%2").arg(file.folder, file.name)),
                        QByteArray("[Desktop Entry]\nType=Application\nExec=/bin/sh\n") +
                            file.keys);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> contents = Fuzz::fields(Fuzz::bytes(data, size), 3);
    QList<KeyFile> lists;
    for (qsizetype i = 0; i < listFiles.size(); ++i) {
        Fuzz::writeFile(listFiles.at(i), contents.value(i));
        lists.append(KeyFile::parse(contents.value(i)));
    }
    checkChoice(MimeApps::defaultApplication(calendarType), lists);
    return 0;
}
