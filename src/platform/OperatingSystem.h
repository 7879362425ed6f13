#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// How the running system names itself in reports to the maker's service.
namespace OperatingSystem {

// The distribution's name and version, such as "Debian 12" or "Ubuntu 22.04", from
// /etc/os-release (or /usr/lib/os-release); when neither names the system, "Linux" and the
// kernel's major.minor, such as "Linux 6.1".
QString osString();

// The name and version that an os-release file gives: NAME without a trailing "GNU/Linux",
// then VERSION_ID cut to major.minor when it has one. Absent when NAME is missing or empty.
std::optional<QString> describeOsRelease(const QByteArray& contents);

// "Linux" and the major.minor of a kernel release such as "6.1.0-18-amd64" ("Linux 6.1");
// just "Linux" when the release does not start with a version number.
QString describeKernel(const QString& release);

} // namespace OperatingSystem
