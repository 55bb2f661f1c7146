#pragma once

#include <QIcon>
#include <QImage>

namespace veltrap {

// The program's icon, drawn in code so that the window, the About box and the
// installed picture all come from one drawing: a gold site in the middle with
// the pages that link to it around it.
class AppIcon {
public:
    // The icon at size x size pixels on a transparent background. Needs no
    // application object, so build tools can write it out too.
    static QImage Render(int size);
    // The icon at the sizes window systems ask for.
    static QIcon Make();
};

}  // namespace veltrap
