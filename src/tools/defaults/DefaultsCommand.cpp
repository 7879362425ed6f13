#include "tools/defaults/DefaultsCommand.h"

#include "settings/PreferenceCoding.h"
#include "settings/Preferences.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

const char* const usage =
    "usage: vesperin-defaults read DOMAIN [KEY]\n"
    "       vesperin-defaults write DOMAIN KEY [-bool|-int|-float|-string|-data|-date] VALUE\n"
    "       vesperin-defaults write DOMAIN KEY -array [[-TYPE] VALUE ...]\n"
    "       vesperin-defaults write DOMAIN KEY -dict [KEY [-TYPE] VALUE ...]\n"
    "       vesperin-defaults delete DOMAIN [KEY]\n";

const QStringList scalarFlags = {"-bool",  "-boolean", "-int",  "-integer",
                                 "-float", "-string",  "-data", "-date"};

std::optional<QVariant> parseBool(const QString& text) {
    const QString lower = text.toLower();
    if (lower == "true" || lower == "yes" || lower == "1")
        return QVariant(true);
    if (lower == "false" || lower == "no" || lower == "0")
        return QVariant(false);
    return std::nullopt;
}

std::optional<QVariant> parseInteger(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<QVariant>(value) : std::nullopt;
}

std::optional<QVariant> parseReal(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<QVariant>(value) : std::nullopt;
}

std::optional<QVariant> parseData(const QString& text) {
    static const QRegularExpression hex("^(?:[0-9A-Fa-f]{2})*$");
    QString digits = text;
    digits.remove(QRegularExpression(R"([\s<>])"));
    if (!hex.match(digits).hasMatch())
        return std::nullopt;
    return QVariant(QByteArray::fromHex(digits.toLatin1()));
}

// A date the preferences file cannot carry is a bad argument, not a failed write.
std::optional<QVariant> parseDate(const QString& text) {
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!date.isValid())
        date = QDateTime::fromString(text, Qt::ISODate);
    return PreferenceCoding::canonical(date);
}

// Reads one "[-TYPE] VALUE" at `at`, advancing past it; absent when malformed or missing.
std::optional<QVariant> takeTypedValue(const QStringList& args, qsizetype& at) {
    if (at >= args.size())
        return std::nullopt;
    QString flag = "-string";
    if (scalarFlags.contains(args.at(at))) {
        flag = args.at(at++);
        if (at >= args.size())
            return std::nullopt;
    }
    return DefaultsCommand::parseValue(flag, args.at(at++));
}

std::optional<QVariant> parseArray(const QStringList& args, qsizetype at) {
    QVariantList list;
    while (at < args.size()) {
        auto value = takeTypedValue(args, at);
        if (!value)
            return std::nullopt;
        list.append(*value);
    }
    return list;
}

std::optional<QVariant> parseDictionary(const QStringList& args, qsizetype at) {
    QVariantMap map;
    while (at < args.size()) {
        const QString& key = args.at(at++);
        auto value = takeTypedValue(args, at);
        if (!value)
            return std::nullopt;
        map.insert(key, *value);
    }
    return map;
}

// The value of `write DOMAIN KEY ...`, from the arguments after KEY.
std::optional<QVariant> parseWrittenValue(const QStringList& args) {
    if (args.isEmpty())
        return std::nullopt;
    if (args.first() == "-array")
        return parseArray(args, 1);
    if (args.first() == "-dict")
        return parseDictionary(args, 1);
    qsizetype at = 0;
    auto value = takeTypedValue(args, at);
    return at == args.size() ? value : std::nullopt;
}

QString quoted(const QString& text) {
    // \z, not $, so that a final line feed is quoted like any other.
    static const QRegularExpression plain(R"(^[A-Za-z0-9_./:-]+\z)");
    if (plain.match(text).hasMatch())
        return text;
    QString escaped = text;
    escaped.replace('\\', "\\\\").replace('"', "\\\"").replace('\n', "\\n");
    return '"' + escaped + '"';
}

int usageFailure(QTextStream& err) {
    err << usage;
    err.flush();
    return DefaultsCommand::usageError;
}

int fail(QTextStream& err, const QString& message) {
    err << message << "\n";
    err.flush();
    return DefaultsCommand::failure;
}

int read(Preferences& store, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() == 2) {
        if (!QFileInfo::exists(store.filePath()))
            return fail(err, QString("Domain %1 does not exist").arg(args.at(1)));
        out << DefaultsCommand::describe(store.dictionaryRepresentation()) << "\n";
        return DefaultsCommand::success;
    }
    const auto value = store.objectForKey(args.at(2));
    if (!value)
        return fail(err, QString("The domain/default pair of (%1, %2) does not exist")
                             .arg(args.at(1), args.at(2)));
    out << DefaultsCommand::describe(*value) << "\n";
    return DefaultsCommand::success;
}

int write(Preferences& store, const QStringList& args, QTextStream& err) {
    const auto value = args.size() >= 4 ? parseWrittenValue(args.mid(3)) : std::nullopt;
    if (!value)
        return usageFailure(err);
    if (!store.setObject(args.at(2), *value))
        return fail(err, "Could not write " + store.filePath());
    return DefaultsCommand::success;
}

int remove(Preferences& store, const QStringList& args, QTextStream& err) {
    if (args.size() == 2)
        return store.removeAll() ? DefaultsCommand::success
                                 : fail(err, "Could not write " + store.filePath());
    if (!store.objectForKey(args.at(2)))
        return fail(
            err,
            QString("Domain (%1) not found.\nDefaults have not been changed.").arg(args.at(1)));
    return store.removeObject(args.at(2)) ? DefaultsCommand::success
                                          : fail(err, "Could not write " + store.filePath());
}

} // namespace

namespace DefaultsCommand {

std::optional<QVariant> parseValue(const QString& typeFlag, const QString& text) {
    if (typeFlag == "-bool" || typeFlag == "-boolean")
        return parseBool(text);
    if (typeFlag == "-int" || typeFlag == "-integer")
        return parseInteger(text);
    if (typeFlag == "-float")
        return parseReal(text);
    if (typeFlag == "-string")
        return QVariant(text);
    if (typeFlag == "-data")
        return parseData(text);
    if (typeFlag == "-date")
        return parseDate(text);
    return std::nullopt;
}

QString describe(const QVariant& value, int indent) {
    const QString inner(indent + 4, ' ');
    const QString outer(indent, ' ');
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QByteArray:
        return '<' + QString::fromLatin1(value.toByteArray().toHex()) + '>';
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    case QMetaType::QVariantList: {
        QStringList lines;
        for (const QVariant& element : value.toList())
            lines.append(inner + describe(element, indent + 4));
        return lines.isEmpty() ? "(\n" + outer + ")"
                               : "(\n" + lines.join(",\n") + "\n" + outer + ")";
    }
    case QMetaType::QVariantMap: {
        QString text = "{\n";
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            text += inner + quoted(it.key()) + " = " + describe(it.value(), indent + 4) + ";\n";
        return text + outer + "}";
    }
    default:
        return quoted(value.toString());
    }
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() < 2 || !Preferences::isValidDomainName(args.at(1)))
        return usageFailure(err);
    const QString& verb = args.first();
    Preferences& store = Preferences::domain(args.at(1));
    if (verb == "read" && args.size() <= 3) {
        const int status = read(store, args, out, err);
        out.flush();
        return status;
    }
    if (verb == "write")
        return write(store, args, err);
    if (verb == "delete" && args.size() <= 3)
        return remove(store, args, err);
    return usageFailure(err);
}

} // namespace DefaultsCommand
