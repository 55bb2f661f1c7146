#pragma once

#include <string>

namespace veltrap {

// What a pane fill leaves for the window to do. When filled is true the window
// enables the scroll bar with the range 0..scrollMax and the position 0 (or
// disables it when scrollEnabled is false), invalidates itself, sets
// selectedRow to -1 and rowsSelectable to 1, and shows hintText. A detail view
// also names the temporary tab it goes in. When filled is false the grid was
// not touched and nothing is to be done.
struct PaneResult {
    bool filled = false;
    bool scrollEnabled = false;
    int scrollMax = 0;
    std::string hintText;
    std::string tabTitle;
};

}  // namespace veltrap
