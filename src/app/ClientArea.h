#pragma once

#include "app/ReportDisplay.h"

#include <QPoint>
#include <QSize>
#include <QWidget>

namespace veltrap {

// The main window's client area, below its menu bar. It holds the controls,
// and the report grid is drawn straight onto it, so the grid's coordinates
// (left 22, top 81) are this widget's own. It paints what the display holds
// and passes the mouse on; deciding what a click means is the window's job.
class ClientArea : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 790;
    static constexpr int kHeight = 480;
    // One notch of a mouse wheel, in the units of QWheelEvent::angleDelta().
    static constexpr int kWheelNotch = 120;
    // The grid rows one notch scrolls by.
    static constexpr int kRowsPerNotch = 3;

    ClientArea(const ReportDisplay& display, QWidget* parent = nullptr);

    const ReportDisplay& Display() const { return display_; }
    // The first size, at which every control stands where it was designed to.
    QSize sizeHint() const override;

signals:
    // The left button went down, or was double-clicked, at a point of the area.
    void leftPressed(QPoint at);
    void leftDoubleClicked(QPoint at);
    // The wheel turned by whole notches; positive rows scroll towards the end.
    void wheelRowsTurned(int rows);
    // A key that moves through the grid (one of Qt::Key) was pressed while
    // the area had the focus.
    void gridKeyPressed(int key);
    // The context menu was asked for at a point of the area; global is the
    // same point on the screen.
    void contextMenuAsked(QPoint at, QPoint global);
    // The area has a new size; the window lays its controls out again.
    void resized();

protected:
    // Shows the whole text of a cell that is cut off, and why a cell's
    // lookup failed, as a tooltip.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The grid's frame shows whether it has the keyboard.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const ReportDisplay& display_;
    // Wheels that turn in small steps add up to whole notches here.
    int wheelAngle_ = 0;
};

}  // namespace veltrap
