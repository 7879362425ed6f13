#include "platform/MimeApps.h"

#include "platform/AppFolders.h"
#include "platform/KeyFile.h"

#include <QDir>
#include <QDirIterator>
#include <QHash>
#include <QList>

#include <algorithm>

namespace {

const QString defaults = QStringLiteral("Default Applications");
const QString added = QStringLiteral("Added Associations");
const QString removed = QStringLiteral("Removed Associations");

QStringList applicationFolders() {
    QStringList folders{AppFolders::dataHome() + "/applications"};
    for (const QString& folder : AppFolders::dataDirs())
        folders.append(folder + "/applications");
    return folders;
}

struct ListFile {
    QString path;
    // The first applications folder whose entries its associations apply to.
    int reach = 0;
    bool desktopSpecific = false;
};

QList<ListFile> listFiles(const QStringList& applications) {
    QStringList desktops;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':')) {
        if (!name.isEmpty())
            desktops.append(name.toLower());
    }
    QList<ListFile> files;
    const auto addFolder = [&](const QString& folder, int reach) {
        for (const QString& desktop : desktops)
            files.append({folder + "/" + desktop + "-mimeapps.list", reach, true});
        files.append({folder + "/mimeapps.list", reach, false});
    };
    for (const QString& folder : QStringList{AppFolders::configHome()} + AppFolders::configDirs())
        addFolder(folder, 0);
    for (int i = 0; i < applications.size(); ++i)
        addFolder(applications.at(i), i);
    return files;
}

struct DesktopFile {
    QString id;
    QString path;
    int folder = 0;
};

// The desktop files of the applications folders: for each id the file that stands for it,
// folder by folder and in the order of ids within a folder.
class Installed {
public:
    explicit Installed(const QStringList& folders) {
        for (int i = 0; i < folders.size(); ++i) {
            const QDir folder(folders.at(i));
            QList<DesktopFile> found;
            QDirIterator it(folder.path(), {"*.desktop"}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString id = folder.relativeFilePath(path).replace(u'/', u'-');
                if (!m_byId.contains(id))
                    found.append({id, path, i});
            }
            std::sort(found.begin(), found.end(),
                      [](const DesktopFile& a, const DesktopFile& b) { return a.id < b.id; });
            for (const DesktopFile& file : found) {
                m_byId.insert(file.id, m_files.size());
                m_files.append(file);
            }
        }
    }

    const QList<DesktopFile>& files() const { return m_files; }

    std::optional<DesktopEntry> entry(const QString& id) const {
        const auto at = m_byId.constFind(id);
        return at == m_byId.cend() ? std::nullopt : load(m_files.at(*at));
    }

    static std::optional<DesktopEntry> load(const DesktopFile& file) {
        auto entry = DesktopEntry::read(file.path);
        if (entry) {
            entry->id = file.id;
            entry->folder = file.folder;
        }
        return entry;
    }

private:
    QList<DesktopFile> m_files;
    QHash<QString, qsizetype> m_byId;
};

// An added or removed association, with the first folder it applies to.
struct Association {
    QString id;
    int reach = 0;
    // For an addition: how many removals of earlier files came before it.
    qsizetype removalsBefore = 0;
};

bool isRemoved(const QList<Association>& removals, const DesktopEntry& entry) {
    return std::any_of(removals.cbegin(), removals.cend(), [&](const Association& removal) {
        return removal.id == entry.id && entry.folder >= removal.reach;
    });
}

} // namespace

namespace MimeApps {

std::optional<DesktopEntry> defaultApplication(const QString& mimeType) {
    const QStringList folders = applicationFolders();
    QStringList defaultIds;
    QList<Association> additions;
    QList<Association> removals;
    for (const ListFile& list : listFiles(folders)) {
        const KeyFile file = KeyFile::read(list.path);
        defaultIds += file.list(defaults, mimeType);
        if (list.desktopSpecific)
            continue;
        for (const QString& id : file.list(added, mimeType))
            additions.append({id, list.reach, removals.size()});
        for (const QString& id : file.list(removed, mimeType))
            removals.append({id, list.reach});
    }

    const Installed installed(folders);
    for (const QString& id : defaultIds) {
        if (auto entry = installed.entry(id); entry && entry->isInstalled())
            return entry;
    }
    for (const Association& addition : additions) {
        auto entry = installed.entry(addition.id);
        if (entry && entry->folder >= addition.reach &&
            !isRemoved(removals.first(addition.removalsBefore), *entry) && entry->isInstalled())
            return entry;
    }
    for (const DesktopFile& file : installed.files()) {
        auto entry = Installed::load(file);
        if (entry && entry->mimeTypes.contains(mimeType) && !isRemoved(removals, *entry) &&
            entry->isInstalled())
            return entry;
    }
    return std::nullopt;
}

} // namespace MimeApps
