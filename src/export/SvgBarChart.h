#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrap {

// One bar: its label, as plain text, and its value.
struct ChartBar {
    std::string label;
    std::int64_t value = 0;
};

// A bar chart to draw as inline SVG. Every text is plain text and is escaped
// when written, so labels taken from pages or services cannot become markup.
struct BarChart {
    std::string title;
    std::string categoryAxis;  // what the bars stand for
    std::string valueAxis;     // what their length counts
    std::vector<ChartBar> bars;
    // Horizontal bars suit long labels; vertical ones suit short bins.
    bool horizontal = false;
    // Writes each value's share of the total beside its number.
    bool shares = false;
};

// The chart as one <figure> holding an <svg> element, with its title, both
// axis labels and every bar's number written on it. Bars take their colours
// in turn from a palette whose lightness steps apart, so neighbours stay
// distinct when printed in grey.
std::string SvgBarChart(const BarChart& chart);

// The text with &, <, >, " and ' written as character references, after bytes
// that are not UTF-8 are mended as records.json mends them.
std::string EscapeHtml(const std::string& text);

}  // namespace veltrap
