#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share: turning libFuzzer's bytes into the inputs the parsers take,
// a fixed world to run them in, and a way to stop on a broken invariant so that libFuzzer
// keeps the input that broke it.
namespace Fuzz {

// The bytes as they are, not copied.
QByteArray bytes(const uint8_t* data, size_t size);

// The bytes read two at a time as UTF-16 code units (little-endian); an odd last byte is
// dropped. Every code unit can come out, lone surrogates included.
QString utf16(const uint8_t* data, size_t size);

// The input cut at its first `count - 1` NUL bytes: `count` fields at most, fewer when it has
// fewer NUL bytes; the last field keeps whatever NUL bytes follow.
QList<QByteArray> fields(const QByteArray& input, int count);

// Paris time and US English, installed as the process's locale and zone, as in the tests.
void fixLocaleAndZone();

// A folder of the process's own under the temporary folder, removed at exit.
QString scratchFolder();

// Writes `content` to the file at `path`, making its folder; stops the process when it cannot.
void writeFile(const QString& path, const QByteArray& content);

// Stops the process with the invariant and the offending value on stderr when `holds` is
// false; libFuzzer then saves the input as a crash.
void check(bool holds, const char* invariant, const QString& detail = QString());

} // namespace Fuzz
