// Writes the program's icon as an icon theme for installation:
// veltrap-icon FOLDER writes FOLDER/hicolor/SIZExSIZE/apps/veltrap.png for
// every size the icon is drawn at and FOLDER/hicolor/scalable/apps/veltrap.svg.
#include "app/AppIcon.h"

#include <QDir>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include <cstdio>

namespace {

bool Fail(const QString& path) {
    std::fprintf(stderr, "veltrap-icon: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

// The folder for one size of the theme, made if needed.
bool MakeFolder(const QString& folder) {
    return QDir().mkpath(folder) || Fail(folder);
}

bool WritePng(const QString& theme, int size) {
    const QString folder =
        theme + "/" + QString::number(size) + "x" + QString::number(size) + "/apps";
    const QString path = folder + "/veltrap.png";
    return MakeFolder(folder) && (veltrap::AppIcon::Render(size).save(path, "PNG") || Fail(path));
}

// The same drawing on a 64-unit canvas, which is the size it is designed at.
bool WriteSvg(const QString& theme) {
    constexpr int kDesignSize = 64;
    const QString folder = theme + "/scalable/apps";
    const QString path = folder + "/veltrap.svg";
    if (!MakeFolder(folder)) {
        return false;
    }
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kDesignSize, kDesignSize));
    svg.setViewBox(QRect(0, 0, kDesignSize, kDesignSize));
    svg.setTitle(QStringLiteral("Veltrap"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return Fail(path);
    }
    veltrap::AppIcon::Paint(painter, kDesignSize);
    return painter.end() || Fail(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: veltrap-icon FOLDER\n");
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]) + "/hicolor";
    for (const int size : veltrap::AppIcon::kSizes) {
        if (!WritePng(theme, size)) {
            return 1;
        }
    }
    return WriteSvg(theme) ? 0 : 1;
}
