#include "app/ClientArea.h"

#include "app/GridPainter.h"
#include "app/WindowLook.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace veltrap {

ClientArea::ClientArea(const ReportDisplay& display, QWidget* parent)
    : QWidget(parent), display_(display) {
    setMinimumSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, WindowLook::Lavender());
    setPalette(colours);
    setAutoFillBackground(true);
    // A click on the grid, or Tab, gives it the keyboard, so the keys that
    // move through it reach it.
    setFocusPolicy(Qt::StrongFocus);
}

bool ClientArea::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = GridPainter(display_).TipAt(help->pos().x(), help->pos().y());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
}

QSize ClientArea::sizeHint() const {
    return {kWidth, kHeight};
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void ClientArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), WindowLook::Lavender());
    GridPainter(display_).Paint(painter, font(), hasFocus());
}

void ClientArea::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ClientArea::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
    setFocus(Qt::MouseFocusReason);
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

void ClientArea::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                event->accept();
                emit gridKeyPressed(event->key());
                return;
            }
            break;
        // Enter is the grid's only while it has the keyboard: a control that
        // leaves the key unused passes it on to this area, its parent.
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (hasFocus()) {
                event->accept();
                emit gridKeyPressed(event->key());
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void ClientArea::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    emit contextMenuAsked(event->pos(), event->globalPos());
}

}  // namespace veltrap
