#include "export/SvgBarChart.h"

#include "base/Utf8Text.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace veltrap {
namespace {

// Dark, light, middle, darker, lighter: a colour-blind safe set ordered so
// that each colour differs in lightness from the one before it.
constexpr std::array<const char*, 6> kPalette = {"#3f2b7f", "#e8a33c", "#3b8fc4",
                                                 "#1f6e4e", "#f0d66a", "#b0527e"};

// Labels longer than this are cut, with the full text kept in a tooltip.
constexpr std::size_t kLabelChars = 34;

std::string Cut(const std::string& label) {
    const std::string mended = MendUtf8(label);
    if (mended.size() <= kLabelChars) {
        return mended;
    }
    std::size_t end = kLabelChars;
    // Never cut inside a UTF-8 sequence.
    while (end > 0 && (static_cast<unsigned char>(mended[end]) & 0xC0) == 0x80) {
        --end;
    }
    return mended.substr(0, end) + "\xE2\x80\xA6";
}

std::string Number(std::int64_t value, std::int64_t total, bool shares) {
    std::string text = std::to_string(value);
    if (shares && total > 0) {
        text += " (" + std::to_string((value * 100 + total / 2) / total) + "%)";
    }
    return text;
}

std::string Text(int x, int y, const std::string& anchor, const std::string& body,
                 const std::string& extra = {}) {
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" text-anchor=\"" +
           anchor + "\"" + extra + ">" + body + "</text>";
}

std::string Rect(int x, int y, int width, int height, const char* colour,
                 const std::string& tooltip) {
    return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" fill=\"" + colour +
           "\" stroke=\"#222\" stroke-width=\"0.5\"><title>" + tooltip + "</title></rect>";
}

std::string Horizontal(const BarChart& chart, std::int64_t most, std::int64_t total) {
    constexpr int kLeft = 250;
    constexpr int kBarSpace = 360;
    constexpr int kRow = 22;
    constexpr int kTop = 34;
    const int height = kTop + static_cast<int>(chart.bars.size()) * kRow + 40;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 720 " +
                      std::to_string(height) + "\" width=\"720\" height=\"" +
                      std::to_string(height) + "\" role=\"img\">";
    svg += Text(360, 18, "middle", EscapeHtml(chart.title), " class=\"title\"");
    int y = kTop;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const ChartBar& bar = chart.bars[i];
        const int length = most > 0 ? static_cast<int>(bar.value * kBarSpace / most) : 0;
        const std::string number = Number(bar.value, total, chart.shares);
        svg += Text(kLeft - 6, y + 15, "end",
                    "<title>" + EscapeHtml(bar.label) + "</title>" + EscapeHtml(Cut(bar.label)));
        svg += Rect(kLeft, y + 3, std::max(length, 1), kRow - 6, kPalette[i % kPalette.size()],
                    EscapeHtml(bar.label) + ": " + number);
        svg += Text(kLeft + std::max(length, 1) + 4, y + 15, "start", number);
        y += kRow;
    }
    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + std::to_string(kTop) + "\" x2=\"" +
           std::to_string(kLeft) + "\" y2=\"" + std::to_string(y) + "\" stroke=\"#222\"/>";
    svg += Text(kLeft + kBarSpace / 2, y + 24, "middle", EscapeHtml(chart.valueAxis),
                " class=\"axis\"");
    svg += Text(12, kTop + (y - kTop) / 2, "middle", EscapeHtml(chart.categoryAxis),
                " class=\"axis\" transform=\"rotate(-90 12 " +
                    std::to_string(kTop + (y - kTop) / 2) + ")\"");
    return svg + "</svg>";
}

std::string Vertical(const BarChart& chart, std::int64_t most, std::int64_t total) {
    constexpr int kLeft = 50;
    constexpr int kBarTop = 44;
    constexpr int kBarSpace = 180;
    const int slot = chart.bars.size() > 8 ? 48 : 80;
    const int width = std::max(360, kLeft + static_cast<int>(chart.bars.size()) * slot + 20);
    const int base = kBarTop + kBarSpace;
    const int height = base + 56;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + std::to_string(height) + "\" width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height) +
                      "\" role=\"img\">";
    svg += Text(width / 2, 18, "middle", EscapeHtml(chart.title), " class=\"title\"");
    int x = kLeft;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const ChartBar& bar = chart.bars[i];
        const int length = most > 0 ? static_cast<int>(bar.value * kBarSpace / most) : 0;
        const std::string number = Number(bar.value, total, chart.shares);
        const int middle = x + slot / 2;
        svg += Rect(x + 6, base - std::max(length, 1), slot - 12, std::max(length, 1),
                    kPalette[i % kPalette.size()], EscapeHtml(bar.label) + ": " + number);
        svg += Text(middle, base - std::max(length, 1) - 4, "middle", number);
        svg += Text(middle, base + 15, "middle",
                    "<title>" + EscapeHtml(bar.label) + "</title>" + EscapeHtml(Cut(bar.label)),
                    " class=\"small\"");
        x += slot;
    }
    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + std::to_string(base) + "\" x2=\"" +
           std::to_string(x) + "\" y2=\"" + std::to_string(base) + "\" stroke=\"#222\"/>";
    svg += Text(kLeft + (x - kLeft) / 2, base + 40, "middle", EscapeHtml(chart.categoryAxis),
                " class=\"axis\"");
    svg += Text(16, kBarTop + kBarSpace / 2, "middle", EscapeHtml(chart.valueAxis),
                " class=\"axis\" transform=\"rotate(-90 16 " +
                    std::to_string(kBarTop + kBarSpace / 2) + ")\"");
    return svg + "</svg>";
}

}  // namespace

std::string EscapeHtml(const std::string& text) {
    const std::string mended = MendUtf8(text);
    std::string escaped;
    escaped.reserve(mended.size());
    for (const char c : mended) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string SvgBarChart(const BarChart& chart) {
    std::int64_t most = 0;
    std::int64_t total = 0;
    for (const ChartBar& bar : chart.bars) {
        most = std::max(most, bar.value);
        total += bar.value;
    }
    std::string figure = "<figure class=\"chart\">";
    if (chart.bars.empty()) {
        return figure + "<figcaption>" + EscapeHtml(chart.title) +
               ": nothing to show.</figcaption></figure>\n";
    }
    figure += chart.horizontal ? Horizontal(chart, most, total) : Vertical(chart, most, total);
    return figure + "</figure>\n";
}

}  // namespace veltrap
