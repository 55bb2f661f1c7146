#include "app/ClientArea.h"

#include "app/GridPainter.h"
#include "app/WindowLook.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWheelEvent>

namespace veltrap {

ClientArea::ClientArea(const ReportDisplay& display, QWidget* parent)
    : QWidget(parent), display_(display) {
    setFixedSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, WindowLook::Lavender());
    setPalette(colours);
    setAutoFillBackground(true);
}

void ClientArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), WindowLook::Lavender());
    GridPainter(display_).Paint(painter, font());
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        emit leftPressed(event->position().toPoint());
    }
}

void ClientArea::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press that began the double-click has already been handled, so
    // the base class, which would handle it as a press again, is not called.
    event->accept();
    if (event->button() == Qt::LeftButton) {
        emit leftDoubleClicked(event->position().toPoint());
    }
}

void ClientArea::wheelEvent(QWheelEvent* event) {
    event->accept();
    wheelAngle_ += event->angleDelta().y();
    const int notches = wheelAngle_ / kWheelNotch;
    if (notches == 0) {
        return;
    }
    wheelAngle_ -= notches * kWheelNotch;
    // Turning the wheel away from the user shows earlier rows.
    emit wheelRowsTurned(-notches * kRowsPerNotch);
}

}  // namespace veltrap
