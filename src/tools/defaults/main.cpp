#include "tools/defaults/DefaultsCommand.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return DefaultsCommand::run(app.arguments().mid(1), out, err);
}
