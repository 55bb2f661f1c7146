#pragma once

#include "app/ReportDisplay.h"

#include <QWidget>

namespace veltrap {

// The main window's client area, below its menu bar. It holds the controls,
// and the report grid is drawn straight onto it, so the grid's coordinates
// (left 22, top 81) are this widget's own.
class ClientArea : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 790;
    static constexpr int kHeight = 480;

    ClientArea(const ReportDisplay& display, QWidget* parent = nullptr);

    const ReportDisplay& Display() const { return display_; }

private:
    const ReportDisplay& display_;
};

}  // namespace veltrap
