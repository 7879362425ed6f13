#include "settings/Localization.h"

#include "platform/SystemContext.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>

#include <optional>

namespace {

using Table = QHash<QString, QString>;

struct Tables {
    QMutex mutex;
    QString folder = ":/strings";
    // Each language's table once read; absent when the language has no table.
    QHash<QString, std::optional<Table>> byLanguage;
};

Tables& tables() {
    static Tables instance;
    return instance;
}

std::optional<Table> readTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    Table table;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString())
            table.insert(it.key(), it.value().toString());
    }
    return table;
}

// Called with the tables' mutex held.
const std::optional<Table>& tableLocked(const QString& language) {
    Tables& all = tables();
    auto it = all.byLanguage.find(language);
    if (it == all.byLanguage.end())
        it = all.byLanguage.insert(language, readTable(all.folder + "/" + language + ".json"));
    return *it;
}

// A tag such as "fr-CA" is answered by the table "fr_CA", else by "fr".
QString tableLanguageLocked() {
    for (const QString& tag : SystemContext::preferredLanguages()) {
        const QString full = QString(tag).replace('-', '_');
        for (const QString& candidate : {full, full.section('_', 0, 0)}) {
            if (tableLocked(candidate))
                return candidate;
        }
    }
    return "en";
}

std::optional<QString> find(const std::optional<Table>& table, const QString& key) {
    if (!table)
        return std::nullopt;
    const auto it = table->constFind(key);
    if (it == table->cend())
        return std::nullopt;
    return *it;
}

QString formatted(const QString& conversion, const QVariant& argument) {
    const QChar kind = conversion.back();
    if (kind == 'd' || kind == 'i')
        return QString::number(argument.toLongLong());
    if (kind == 'u')
        return QString::number(argument.toULongLong());
    if (kind == 'f')
        return QString::number(argument.toDouble(), 'f', 6);
    return argument.toString();
}

} // namespace

QString L(const QString& key) {
    Tables& all = tables();
    QMutexLocker lock(&all.mutex);
    if (auto text = find(tableLocked(tableLanguageLocked()), key))
        return *text;
    if (auto text = find(tableLocked("en"), key))
        return *text;
    return key;
}

namespace Localization {

QString format(const QString& pattern, const QVariantList& arguments) {
    static const QRegularExpression conversion(R"(%(?:(\d+)\$)?(?:l{0,2}[diu]|f|@|s|%))");
    QString result;
    qsizetype copiedUpTo = 0;
    qsizetype nextArgument = 0;
    for (auto it = conversion.globalMatch(pattern); it.hasNext();) {
        const auto match = it.next();
        result += QStringView(pattern).sliced(copiedUpTo, match.capturedStart() - copiedUpTo);
        copiedUpTo = match.capturedEnd();
        const QString conversionText = match.captured(0);
        if (conversionText == "%%") {
            result += '%';
            continue;
        }
        const qsizetype index =
            match.hasCaptured(1) ? match.captured(1).toLongLong() - 1 : nextArgument++;
        if (index < 0 || index >= arguments.size())
            result += conversionText;
        else
            result += formatted(conversionText, arguments.at(index));
    }
    result += QStringView(pattern).sliced(copiedUpTo);
    return result;
}

QString tableLanguage() {
    QMutexLocker lock(&tables().mutex);
    return tableLanguageLocked();
}

void setTableFolder(const QString& folder) {
    Tables& all = tables();
    QMutexLocker lock(&all.mutex);
    all.folder = folder;
    all.byLanguage.clear();
}

} // namespace Localization
