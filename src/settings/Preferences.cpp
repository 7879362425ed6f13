#include "settings/Preferences.h"

#include "platform/AppFolders.h"
#include "platform/AtomicFile.h"
#include "platform/Integers.h"
#include "settings/Logging.h"
#include "settings/PreferenceCoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Serialises writers across processes: the app and the vesperin-defaults tool may write
// the same domain at once, and each must see the other's keys before replacing the file.
// Locks the configuration folder itself, so no lock file is left behind.
class FolderLock {
public:
    explicit FolderLock(const QString& folder) {
        QDir().mkpath(folder);
        m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~FolderLock() {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

bool isNumber(const QVariant& value) {
    return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double ||
           value.typeId() == QMetaType::Bool;
}

// Numeric reading of a stored string, as the macOS store does it: leading number or 0.
double leadingNumber(const QString& text) {
    static const QRegularExpression number(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)");
    const auto match = number.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

double numericValue(const std::optional<QVariant>& value) {
    if (!value)
        return 0.0;
    if (isNumber(*value))
        return value->toDouble();
    if (value->typeId() == QMetaType::QString)
        return leadingNumber(value->toString());
    return 0.0;
}

} // namespace

Preferences& Preferences::standard() {
    return domain(applicationDomain);
}

namespace {

struct Registry {
    QMutex mutex;
    std::map<QString, std::unique_ptr<Preferences>> stores; // by file path
};

Registry& registry() {
    static Registry instance;
    return instance;
}

// The keys whose values differ between two contents of a domain.
QStringList differences(const QVariantMap& before, const QVariantMap& after) {
    QStringList keys;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto other = after.constFind(it.key());
        if (other == after.cend() || *other != *it)
            keys.append(it.key());
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            keys.append(it.key());
    }
    return keys;
}

} // namespace

Preferences& Preferences::domain(const QString& name) {
    Q_ASSERT(isValidDomainName(name));
    const QString path = folder() + "/" + name + ".json";
    Registry& stores = registry();
    QMutexLocker lock(&stores.mutex);
    auto& store = stores.stores[path];
    if (!store)
        store = std::make_unique<Preferences>(name, path);
    return *store;
}

QList<Preferences*> Preferences::storesIn(const QString& folder) {
    Registry& stores = registry();
    QMutexLocker lock(&stores.mutex);
    QList<Preferences*> found;
    for (const auto& [path, store] : stores.stores) {
        if (QFileInfo(path).absolutePath() == QFileInfo(folder).absoluteFilePath())
            found.append(store.get());
    }
    return found;
}

// Letters, digits, "_", "-" and dots, not first, up to 201 characters: nothing that could
// leave the folder or hide the file. Checked by hand so that no start loads PCRE2.
bool Preferences::isValidDomainName(const QString& name) {
    auto allowed = [](QChar c, bool first) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u'-' || (c == u'.' && !first);
    };
    if (name.isEmpty() || name.size() > 201)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!allowed(name.at(i), i == 0))
            return false;
    }
    return true;
}

QString Preferences::folder() {
    return AppFolders::configHome() + "/vesperin";
}

Preferences::Preferences(const QString& domain, const QString& path)
    : m_domain(domain), m_path(path) {
    // Stores may be asked for on any thread; announcements made later belong to the GUI's.
    if (QCoreApplication* application = QCoreApplication::instance())
        moveToThread(application->thread());
}

std::optional<Preferences::FileStamp> Preferences::currentStamp() const {
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return std::nullopt;
    return FileStamp{info.st_ino, qint64(info.st_size),
                     qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool Preferences::isStaleLocked() const {
    return !m_loaded || currentStamp() != m_stamp;
}

void Preferences::refreshLocked() const {
    if (!isStaleLocked())
        return;
    FolderLock lock(QFileInfo(m_path).absolutePath());
    announceLater(loadLocked());
}

// Called with the folder lock held, so that no writer replaces the file while a broken one
// is being moved aside. The first load announces nothing: there was nothing before it.
//
// A file that cannot be read is moved aside with its bytes. At the first load the store then
// starts empty; a store that already holds what the file said before keeps it and writes it
// back, so that a broken write from outside (a sync tool, an editor) costs the user nothing.
QStringList Preferences::loadLocked() const {
    const bool first = !m_loaded;
    const QVariantMap before = std::exchange(m_values, {});
    m_loaded = true;
    m_stamp = currentStamp();
    if (!m_stamp)
        return first ? QStringList() : differences(before, m_values);
    QFile file(m_path);
    std::optional<QVariantMap> values;
    if (file.open(QIODevice::ReadOnly))
        values = PreferenceCoding::decodeDomain(file.readAll());
    if (values) {
        m_values = std::move(*values);
        return first ? QStringList() : differences(before, m_values);
    }
    const QString aside = AtomicFile::moveAside(m_path, "unreadable");
    qCWarning(lcPreferences, "The preferences file %s could not be read and was moved to %s%s",
              qPrintable(m_path), qPrintable(aside),
              first ? "" : "; the values it held before are written back");
    m_stamp = currentStamp();
    if (!first) {
        m_values = before;
        saveLocked();
    }
    return {};
}

bool Preferences::saveLocked() const {
    AtomicFile::removeLeftovers(m_path);
    const bool saved = AtomicFile::write(m_path, PreferenceCoding::encodeDomain(m_values));
    if (saved)
        m_stamp = currentStamp();
    else
        qCWarning(lcPreferences, "The preferences file %s could not be saved: %s",
                  qPrintable(m_path), std::strerror(errno));
    return saved;
}

template <typename Change> bool Preferences::modify(Change&& change) {
    QStringList changedKeys;
    bool saved = false;
    {
        QMutexLocker lock(&m_mutex);
        FolderLock folderLock(QFileInfo(m_path).absolutePath());
        if (isStaleLocked())
            changedKeys = loadLocked();
        changedKeys += std::exchange(m_unannounced, {});
        const QVariantMap before = m_values;
        change(m_values);
        changedKeys += differences(before, m_values);
        saved = saveLocked();
    }
    changedKeys.removeDuplicates();
    if (!changedKeys.isEmpty())
        Q_EMIT changed(changedKeys);
    return saved;
}

void Preferences::announceLater(const QStringList& keys) const {
    if (keys.isEmpty())
        return;
    const bool scheduled = !m_unannounced.isEmpty();
    m_unannounced += keys;
    if (!scheduled)
        QMetaObject::invokeMethod(const_cast<Preferences*>(this), &Preferences::announcePending,
                                  Qt::QueuedConnection);
}

void Preferences::announcePending() {
    QStringList keys;
    {
        QMutexLocker lock(&m_mutex);
        keys = std::exchange(m_unannounced, {});
    }
    keys.removeDuplicates();
    if (!keys.isEmpty())
        Q_EMIT changed(keys);
}

void Preferences::reloadIfChanged() {
    {
        QMutexLocker lock(&m_mutex);
        refreshLocked();
    }
    announcePending();
}

std::optional<QVariant> Preferences::objectForKey(const QString& key) const {
    QMutexLocker lock(&m_mutex);
    refreshLocked();
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

QVariantMap Preferences::dictionaryRepresentation() const {
    QMutexLocker lock(&m_mutex);
    refreshLocked();
    return m_values;
}

bool Preferences::boolForKey(const QString& key) const {
    const auto value = objectForKey(key);
    if (value && value->typeId() == QMetaType::QString) {
        const QString text = value->toString().trimmed().toLower();
        return text == "yes" || text == "true" || leadingNumber(text) != 0.0;
    }
    return numericValue(value) != 0.0;
}

qint64 Preferences::integerForKey(const QString& key) const {
    const auto value = objectForKey(key);
    if (value && value->typeId() == QMetaType::LongLong)
        return value->toLongLong();
    return Integers::truncated(numericValue(value));
}

double Preferences::doubleForKey(const QString& key) const {
    return numericValue(objectForKey(key));
}

std::optional<QString> Preferences::stringForKey(const QString& key) const {
    const auto value = objectForKey(key);
    if (!value)
        return std::nullopt;
    switch (value->typeId()) {
    case QMetaType::QString:
        return value->toString();
    case QMetaType::LongLong:
        return QString::number(value->toLongLong());
    case QMetaType::Double:
        return QString::number(value->toDouble(), 'g', 17);
    case QMetaType::Bool:
        return QString::number(int(value->toBool()));
    default:
        return std::nullopt;
    }
}

namespace {
template <typename T>
std::optional<T> valueOfType(const std::optional<QVariant>& value, QMetaType::Type type) {
    if (!value || value->typeId() != type)
        return std::nullopt;
    return value->value<T>();
}
} // namespace

std::optional<QByteArray> Preferences::dataForKey(const QString& key) const {
    return valueOfType<QByteArray>(objectForKey(key), QMetaType::QByteArray);
}

std::optional<QDateTime> Preferences::dateForKey(const QString& key) const {
    return valueOfType<QDateTime>(objectForKey(key), QMetaType::QDateTime);
}

std::optional<QVariantList> Preferences::arrayForKey(const QString& key) const {
    return valueOfType<QVariantList>(objectForKey(key), QMetaType::QVariantList);
}

std::optional<QVariantMap> Preferences::dictionaryForKey(const QString& key) const {
    return valueOfType<QVariantMap>(objectForKey(key), QMetaType::QVariantMap);
}

bool Preferences::setBool(const QString& key, bool value) {
    return setObject(key, value);
}

bool Preferences::setInteger(const QString& key, qint64 value) {
    return setObject(key, value);
}

bool Preferences::setDouble(const QString& key, double value) {
    return setObject(key, value);
}

bool Preferences::setObject(const QString& key, const QVariant& value) {
    const auto stored = PreferenceCoding::canonical(value);
    if (!stored)
        return false;
    return modify([&](QVariantMap& values) { values.insert(key, *stored); });
}

bool Preferences::removeObject(const QString& key) {
    return modify([&](QVariantMap& values) { values.remove(key); });
}

bool Preferences::removeAll() {
    return modify([](QVariantMap& values) { values.clear(); });
}
