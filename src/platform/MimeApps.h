#pragma once

#include "platform/DesktopEntry.h"

#include <QString>
#include <QStringList>

#include <optional>

// Which application the desktop opens a MIME type with, read the way the freedesktop rules
// for mimeapps.list lay down, from the files alone (no gio or xdg-mime needed).
//
// The mimeapps.list files are read in this order, each folder's desktop-specific files
// ("<desktop>-mimeapps.list" for each name in $XDG_CURRENT_DESKTOP, lower-cased) before its
// plain one: $XDG_CONFIG_HOME, each of $XDG_CONFIG_DIRS, then the applications folders. The
// first file whose [Default Applications] names an installed application for the type
// decides; a default is taken even where no association lists it, as someone who wrote the
// line by hand expects. Without one, the most preferred association wins: [Added
// Associations] in file order, then the entries whose MimeType lists the type (folder by
// folder, ids in order), leaving out what [Removed Associations] of an earlier file took
// away. Only plain mimeapps.list files add or remove associations, and those in an
// applications folder only for entries of that folder or a later one. The applications
// folders are $XDG_DATA_HOME/applications, then that of each of $XDG_DATA_DIRS; a desktop
// file id is the file's path below one with '/' made '-', and the first folder holding an id
// stands for it.
//
// Only the exact type is looked up, never its parent types: text/calendar is a kind of
// text/plain, and a text editor is no answer to "which calendar".
namespace MimeApps {

// The installed application that opens `mimeType`; absent when there is none.
std::optional<DesktopEntry> defaultApplication(const QString& mimeType);

} // namespace MimeApps
