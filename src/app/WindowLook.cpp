#include "app/WindowLook.h"

#include <QFontMetrics>
#include <QStringList>

namespace veltrap {

QFont WindowLook::Arial(int cellHeight, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(weight);
    // The largest size whose ascent and descent fit the height; the font
    // found may not be the one asked for, so it is measured, not assumed.
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        if (metrics.ascent() + metrics.descent() <= cellHeight) {
            break;
        }
    }
    return font;
}

}  // namespace veltrap
