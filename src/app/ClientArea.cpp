#include "app/ClientArea.h"

#include <QColor>
#include <QPalette>

namespace veltrap {

ClientArea::ClientArea(const ReportDisplay& display, QWidget* parent)
    : QWidget(parent), display_(display) {
    setFixedSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(197, 197, 235));
    setPalette(colours);
    setAutoFillBackground(true);
}

}  // namespace veltrap
