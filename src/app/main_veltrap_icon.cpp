// Writes the program's icon as PNG files for installation, one per size:
// veltrap-icon FOLDER writes FOLDER/veltrap-SIZE.png.
#include "app/AppIcon.h"

#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: veltrap-icon FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = folder + "/veltrap-" + QString::number(size) + ".png";
        if (!veltrap::AppIcon::Render(size).save(path, "PNG")) {
            std::fprintf(stderr, "veltrap-icon: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
