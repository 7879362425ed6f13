// Writes the application's icon into a hicolor icon tree, from the drawing the running
// application shows, so that the installed icons match it at every size:
//
//   app_icon_pngs OUTPUT_FOLDER NAME SIZE...
//
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/NAME.png for every size.
#include "ui/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: app_icon_pngs OUTPUT_FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    const QString folder = arguments.at(1);
    const QString name = arguments.at(2);
    for (const QString& argument : arguments.mid(3)) {
        bool ok = false;
        const int size = argument.toInt(&ok);
        const QString sizeFolder = QString("%1/%2x%2/apps").arg(folder).arg(size);
        const QString path = sizeFolder + "/" + name + ".png";
        if (!ok || size < 1 || !QDir().mkpath(sizeFolder) ||
            !AppIcon::image(size).save(path, "PNG")) {
            std::fprintf(stderr, "app_icon_pngs: cannot write the %s-pixel icon as %s\n",
                         qPrintable(argument), qPrintable(path));
            return 1;
        }
    }
    return 0;
}
