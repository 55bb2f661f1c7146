#pragma once

#include <QIcon>
#include <QImage>

#include <array>

class QPainter;

namespace veltrap {

// The program's icon, drawn in code so that the window, the About box and the
// installed picture all come from one drawing: a gold site in the middle with
// the pages that link to it around it.
class AppIcon {
public:
    // The sizes in pixels the icon is drawn at, for the window and for the
    // installed icon theme alike.
    static constexpr std::array<int, 7> kSizes{16, 24, 32, 48, 64, 128, 256};

    // Draws the icon into the square from (0, 0) to (size, size) on any paint
    // device, a picture or a vector file.
    static void Paint(QPainter& painter, int size);
    // The icon at size x size pixels on a transparent background. Needs no
    // application object, so build tools can write it out too.
    static QImage Render(int size);
    // The icon at every size of kSizes.
    static QIcon Make();
};

}  // namespace veltrap
