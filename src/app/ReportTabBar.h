#pragma once

#include <QTabBar>

namespace veltrap {

// The report tabs, drawn by the window itself: each tab is filled with the
// window's lavender inside a plain raised outline, its title written a few
// pixels in from its top-left corner, and the bar's background is lavender
// too. The selected tab stands a little taller than the others.
class ReportTabBar : public QTabBar {
    Q_OBJECT

public:
    // How far in from a tab's top-left corner its title starts.
    static constexpr int kTextOffset = 3;
    // How much lower the tabs that are not selected start.
    static constexpr int kUnselectedDrop = 2;

    explicit ReportTabBar(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    // With the keyboard on the bar, the selected tab's title is ringed by a
    // dotted line, as the style's own tabs are.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PaintTab(QPainter& painter, int index) const;
};

}  // namespace veltrap
