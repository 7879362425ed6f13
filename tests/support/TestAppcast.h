#pragma once

#include <QByteArray>

// Update feeds for tests, in the appcast form the updater reads.
namespace TestAppcast {

// One release of `version` with notes and a page, and `enclosure` (an <enclosure> element) when
// one is given.
QByteArray feed(const QByteArray& version, const QByteArray& enclosure = {});
// One release of `version` whose file is at `url`, announced with `length` and `signature`.
QByteArray feedWithFile(const QByteArray& version, const QByteArray& url, qint64 length,
                        const QByteArray& signature);

} // namespace TestAppcast
