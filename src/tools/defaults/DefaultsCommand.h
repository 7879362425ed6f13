#pragma once

#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <optional>

// The vesperin-defaults tool: reads and writes a preferences domain from the shell, the way
// the macOS `defaults` command does, through the same store as the application.
//
//   read DOMAIN [KEY]
//   write DOMAIN KEY [-bool|-int|-float|-string|-data|-date] VALUE
//   write DOMAIN KEY -array [[-TYPE] VALUE ...]
//   write DOMAIN KEY -dict [KEY [-TYPE] VALUE ...]
//   delete DOMAIN [KEY]
namespace DefaultsCommand {

enum ExitStatus { success = 0, failure = 1, usageError = 2 };

// Runs one command line (without the program name). Bad arguments print the usage to `err`
// and return usageError without writing anything.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Parses a typed VALUE as given after a type flag ("-int" ...); absent when malformed.
std::optional<QVariant> parseValue(const QString& typeFlag, const QString& text);

// The value as `read` prints it: numbers and text plainly, data as <hex>, dates in ISO 8601,
// arrays as ( ... ) and dictionaries as { key = value; }.
QString describe(const QVariant& value, int indent = 0);

} // namespace DefaultsCommand
