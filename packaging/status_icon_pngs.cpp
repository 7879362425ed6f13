// Writes the status items' day pages into a hicolor icon tree, from the drawing the running
// application sends to the panels, for the panels that look an item's icon up by name:
//
//   status_icon_pngs OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/hicolor/<SIZE>x<SIZE>/status/<NAME>.png for the page of every day of
// the month and the page without a day, at every size of the status icon theme.
#include "status/tray/TrayIcon.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: status_icon_pngs OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    std::optional<int> day;
    for (int next = 0; next <= 31; day = ++next) {
        if (!TrayIcon::writeTheme(arguments.at(1), day)) {
            std::fprintf(stderr, "status_icon_pngs: cannot write %s under %s\n",
                         qPrintable(TrayIcon::name(day)), qPrintable(arguments.at(1)));
            return 1;
        }
    }
    return 0;
}
