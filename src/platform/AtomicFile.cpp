#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace AtomicFile {

bool write(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QByteArray temporary = QFile::encodeName(path + temporarySuffix + "XXXXXX");
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    syncFolder(folder);
    return true;
}

void removeLeftovers(const QString& path) {
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    const QStringList leftovers =
        folder.entryList({info.fileName() + temporarySuffix + "*"}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers)
        folder.remove(name);
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
