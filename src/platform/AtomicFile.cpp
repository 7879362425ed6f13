#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const temporarySuffix = ".tmp-";

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Puts what failed and why (by default the last system error) into `error`, when given, for
// a false result.
bool failed(QString* error, const QString& what,
            const QString& reason = QString::fromLocal8Bit(std::strerror(errno))) {
    if (error)
        *error = what + ": " + reason;
    return false;
}

bool makeFolder(const QString& folder, QString* error) {
    std::error_code code;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), code);
    return !code || failed(error, folder, QString::fromLocal8Bit(code.message()));
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace AtomicFile {

bool write(const QString& path, const QByteArray& bytes, QString* error) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!makeFolder(folder, error))
        return false;
    QByteArray temporary = QFile::encodeName(path + temporarySuffix + "XXXXXX");
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failed(error, folder);
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int reason = errno;
        ::unlink(temporary.constData());
        errno = reason;
        return failed(error, path);
    }
    syncFolder(folder);
    return true;
}

bool remove(const QString& path, QString* error) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT ||
           errno == ENOTDIR || failed(error, path);
}

void removeLeftovers(const QString& path) {
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    // Compared as text: as a wildcard pattern a "[" in the name would mean something, and
    // matching would ignore case and take another file's leftovers.
    const QString prefix = info.fileName() + temporarySuffix;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.startsWith(prefix))
            folder.remove(name);
    }
}

QString moveAside(const QString& path, const QString& tag) {
    const QString stamp = QDateTime::currentDateTimeUtc().toString("yyyyMMdd'T'HHmmss'Z'");
    QString target = path + "." + tag + "-" + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + "." + tag + "-" + stamp + "-" + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0)
        return {};
    return target;
}

} // namespace AtomicFile
