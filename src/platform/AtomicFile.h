#pragma once

#include <QByteArray>
#include <QString>

// Whole-file replacement that a crash can never leave half-written: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary file is then
// renamed over the target. Readers see the old content or the new, nothing in between.
namespace AtomicFile {

// Replaces `path` with `bytes`, creating missing parent folders. Returns false (and leaves
// the old file untouched) when any step fails, with the failing file or folder and the
// system's reason in `error` when given ("/home/me/.config: Permission denied").
bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Removes `path`. A file that is not there (nor its folder) is no failure; other failures
// return false with the reason in `error`, as for write().
bool remove(const QString& path, QString* error = nullptr);

// Removes temporary files that an interrupted write() of `path` left behind. Only call it
// while no other writer of `path` can be running.
void removeLeftovers(const QString& path);

// Moves `path` aside to `path` + "." + `tag` + "-" + a UTC time stamp (made unique when
// needed), keeping its bytes. Returns the new path, or an empty string when nothing moved.
QString moveAside(const QString& path, const QString& tag);

} // namespace AtomicFile
