#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Starts other programs. Code that changes the desktop through a command-line tool goes
// through this interface, so that tests can replace it, watch what would be run and answer
// in its place, and never touch the real desktop.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts `program` with `arguments` and does not wait for it. False when it cannot start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;

    // Runs `program` to its end and returns what it wrote on its standard output; absent when
    // it cannot start, does not finish in time, or exits with a status other than 0.
    virtual std::optional<QByteArray> run(const QString& program, const QStringList& arguments) = 0;

    // The launcher that really starts processes (QProcess). A program name without a slash
    // is looked up in PATH.
    static ProcessLauncher& system();
};
