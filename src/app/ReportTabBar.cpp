#include "app/ReportTabBar.h"

#include "app/WindowLook.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QRect>

namespace veltrap {
namespace {

// Room left and right of a title, outline included.
constexpr int kSidePadding = 8;

}  // namespace

ReportTabBar::ReportTabBar(QWidget* parent) : QTabBar(parent) {}

QSize ReportTabBar::tabSizeHint(int index) const {
    const QSize styled = QTabBar::tabSizeHint(index);
    const int text = fontMetrics().horizontalAdvance(tabText(index));
    return {text + 2 * kSidePadding, styled.height()};
}

void ReportTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), WindowLook::Lavender());
    // The selected tab goes last, so that its outline stays on top of its
    // neighbours'.
    const int selected = currentIndex();
    for (int index = 0; index < count(); ++index) {
        if (index != selected) {
            PaintTab(painter, index);
        }
    }
    if (selected >= 0) {
        PaintTab(painter, selected);
    }
}

void ReportTabBar::PaintTab(QPainter& painter, int index) const {
    QRect tab = tabRect(index);
    if (index != currentIndex()) {
        tab.setTop(tab.top() + kUnselectedDrop);
    }
    painter.fillRect(tab, WindowLook::Lavender());

    // Light on the left and top, shadow on the right: a raised tab.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(tab.bottomLeft(), tab.topLeft());
    painter.drawLine(tab.topLeft(), tab.topRight());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(tab.topRight(), tab.bottomRight());

    painter.setPen(Qt::black);
    const QRect textBox = tab.adjusted(kTextOffset, kTextOffset, 0, 0);
    QRect written;
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, tabText(index),
                     &written);
    if (index == currentIndex() && hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(written.adjusted(-2, 0, 1, 0));
    }
}

void ReportTabBar::focusInEvent(QFocusEvent* event) {
    QTabBar::focusInEvent(event);
    update();
}

void ReportTabBar::focusOutEvent(QFocusEvent* event) {
    QTabBar::focusOutEvent(event);
    update();
}

}  // namespace veltrap
