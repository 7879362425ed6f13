#include "harness/TestPictures.h"

#include <QDir>

void keepForLooking(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("VESPERIN_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(folder + "/" + name + ".png");
}
