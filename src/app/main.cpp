#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vesperin");
    QApplication::setApplicationVersion(VESPERIN_VERSION);
    QApplication::setOrganizationDomain("orvennalabs.com");
    // The status items and windows arrive with the next steps of the build; until then the
    // program only proves that it links and starts.
    QTextStream(stdout) << "Vesperin " << VESPERIN_VERSION
                        << ": no status items yet, nothing to show; quitting.\n";
    return 0;
}
