#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class KeyFile;

// What a desktop entry (an application's ".desktop" file) says about starting it: the
// [Desktop Entry] group's Type, Exec, TryExec, Hidden and MimeType keys.
struct DesktopEntry {
    // The desktop file id ("org.gnome.Calendar.desktop") and where the file was found: its
    // path and the position of its applications folder in the search order (0 first).
    QString id;
    QString path;
    int folder = 0;

    QString type;
    // The Exec command line split into its arguments, quoting undone, field codes still in.
    QStringList exec;
    QString tryExec;
    bool hidden = false;
    QStringList mimeTypes;

    // The entry a key file holds; absent without a [Desktop Entry] group or with an Exec line
    // whose quoting is broken.
    static std::optional<DesktopEntry> fromKeyFile(const KeyFile& file);
    // The entry of the file at `path`; absent when it cannot be read or parsed.
    static std::optional<DesktopEntry> read(const QString& path);

    // Whether the entry can start something: an application that is not hidden, whose
    // TryExec (when given) and Exec programs (program()) are executable files (a name without a
    // slash is looked up in PATH).
    bool isInstalled() const;

    // The program that Exec names, with field codes left out and "%%" made "%" as in every
    // argument; empty when there is none.
    QString program() const;

    // The program and arguments to start: `arguments` where the entry's first file or URL
    // field code (%f, %F, %u, %U) stands, or after the entry's own arguments when it has none;
    // every other field code left out and "%%" made "%". Flatpak's "@@" and "@@u" markers,
    // which only delimit forwarded files, go too. Empty when Exec names no program.
    QStringList command(const QStringList& arguments = {}) const;
};
