#include "export/HtmlReport.h"

#include "base/AsciiCase.h"
#include "base/StringSink.h"
#include "base/UtcTimestamp.h"
#include "base/WriteWholeFile.h"
#include "export/SvgBarChart.h"
#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "report/ReportGrid.h"

#include <algorithm>
#include <map>
#include <utility>

namespace veltrap {
namespace {

constexpr int kTopKeyphrases = 20;

// The window's lavender shows in the headings and table heads only; body
// text stays black on white, which reads best on screen and on paper. The
// Content-Security-Policy lets the page load nothing at all, so that even a
// text that slipped through escaping could not reach another address.
constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'">
<meta name="viewport" content="width=device-width, initial-scale=1">
)";

constexpr const char* kStyle = R"(<style>
body { font-family: "Liberation Sans", Arial, sans-serif; font-size: 14px; color: #000;
       background: #fff; margin: 24px; max-width: 1100px; }
h1 { font-size: 22px; color: #2d1f66; border-bottom: 3px solid #b9aee6; padding-bottom: 6px; }
h2 { font-size: 18px; color: #2d1f66; margin-top: 28px; }
dl.facts { display: grid; grid-template-columns: max-content 1fr; gap: 4px 16px; }
dl.facts dt { font-weight: bold; }
dl.facts dd { margin: 0; }
.cancelled { background: #fde7c2; border: 2px solid #8a4b00; padding: 6px 10px; font-weight: bold; }
.problem { background: #f6d5d5; border: 2px solid #7a1f1f; padding: 6px 10px; }
.charts { display: flex; flex-wrap: wrap; gap: 18px; }
figure.chart { margin: 0; border: 1px solid #d6d0ee; padding: 6px; }
figure.chart svg { font-family: inherit; font-size: 12px; max-width: 100%; height: auto; }
figure.chart .title { font-size: 14px; font-weight: bold; }
figure.chart .axis { font-size: 12px; font-style: italic; }
figure.chart .small { font-size: 11px; }
table { border-collapse: collapse; width: 100%; margin-bottom: 8px; table-layout: fixed; }
th, td { border: 1px solid #999; padding: 3px 6px; text-align: left; vertical-align: top;
         overflow-wrap: anywhere; }
th { background: #e4dff7; }
tr:nth-child(even) td { background: #f6f4fc; }
a { color: #1f3f99; }
.more { font-style: italic; }
td.failed { color: #a01414; text-decoration: underline dotted; cursor: help; }
@media print {
  body { margin: 0; max-width: none; }
  thead { display: table-header-group; }
  tr, figure.chart { break-inside: avoid; }
  a { color: #000; }
  th { background: #ddd; }
}
</style>
</head>
<body>
)";

std::string Grouped(std::int64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

void Fact(std::string& html, const std::string& name, const std::string& value) {
    html += "<dt>" + EscapeHtml(name) + "</dt><dd>" + EscapeHtml(value) + "</dd>\n";
}

std::string StatusWords(const std::string& linkStatus) {
    const std::string_view words = LinkStatusWords(linkStatus);
    return words.empty() ? (linkStatus.empty() ? "Not read" : linkStatus) : std::string(words);
}

void Header(std::string& html, const RunResult& outcome, const HtmlReportFacts& facts) {
    html += "<header>\n<h1>Backlink report for " + EscapeHtml(outcome.siteKey) + "</h1>\n";
    if (outcome.cancelled) {
        html +=
            "<p class=\"cancelled\">Cancelled: this run was stopped before it ended, so the "
            "report holds only what was gathered until then.</p>\n";
    }
    if (outcome.discovery.failed) {
        html += "<p class=\"problem\">" + EscapeHtml(outcome.DiscoveryProblem()) + "</p>\n";
    }
    html += "<dl class=\"facts\">\n";
    Fact(html, "Site", outcome.siteKey);
    Fact(html, "Made", facts.madeAt);
    Fact(html, "Run", outcome.cancelled ? "Cancelled" : "Completed");
    Fact(html, "Backlink source", outcome.backlinkSource);
    for (const std::string& service : facts.services) {
        Fact(html, "Service", service);
    }
    for (const std::string& limit : facts.limits) {
        Fact(html, "Limit", limit);
    }
    Fact(html, "Backlinks found", Grouped(outcome.backlinkCount));
    Fact(html, "Kept", Grouped(static_cast<std::int64_t>(outcome.records.size())));
    Fact(html, "Removed", Grouped(static_cast<std::int64_t>(outcome.unlinked.size())));
    std::map<std::string, std::int64_t> removed;
    for (const UnlinkedRecord& record : outcome.unlinked) {
        ++removed[StatusWords(record.linkStatus)];
    }
    for (const auto& [status, count] : removed) {
        Fact(html, "Removed: " + status, Grouped(count));
    }
    if (const std::int64_t disavowed = outcome.DisavowedCount(); disavowed > 0) {
        Fact(html, "Disavowed", Grouped(disavowed));
    }
    if (outcome.failures.empty()) {
        Fact(html, "Failed lookups", "none");
    }
    for (const ServiceFailures& failed : outcome.failures) {
        Fact(html, "Failed lookups: " + failed.service,
             Grouped(failed.count) + " (first: " + failed.firstReason + ")");
    }
    Fact(html, "Requests sent", Grouped(outcome.requests));
    html += "</dl>\n</header>\n";
}

std::vector<ChartBar> CountedBars(const std::map<std::string, std::int64_t>& counts) {
    std::vector<ChartBar> bars;
    for (const auto& [label, count] : counts) {
        bars.push_back({label, count});
    }
    std::stable_sort(bars.begin(), bars.end(),
                     [](const ChartBar& a, const ChartBar& b) { return a.value > b.value; });
    return bars;
}

BarChart StatusChart(const RunResult& outcome) {
    std::map<std::string, std::int64_t> counts;
    for (const BacklinkRecord& record : outcome.records) {
        ++counts[StatusWords(record.linkStatus)];
    }
    for (const UnlinkedRecord& record : outcome.unlinked) {
        ++counts[StatusWords(record.linkStatus)];
    }
    return {"Link statuses", "Status", "Linking pages", CountedBars(counts), true, false};
}

BarChart AuthorityChart(const BacklinkList& records) {
    BarChart chart{"Authority of linking pages", "Page rank", "Linking pages", {}, false, false};
    for (int rank = 0; rank <= 10; ++rank) {
        chart.bars.push_back({std::to_string(rank), 0});
    }
    chart.bars.push_back({"NA", 0});
    for (const BacklinkRecord& record : records) {
        const int bin = record.pageRank < 0 ? 11 : std::min(record.pageRank, 10);
        ++chart.bars[static_cast<std::size_t>(bin)].value;
    }
    return chart;
}

BarChart KeyphraseChart(const ReportGrid& keyphrases) {
    BarChart chart{"The " + std::to_string(kTopKeyphrases) + " most frequent keyphrases",
                   "Keyphrase",
                   "Linking pages",
                   {},
                   true,
                   false};
    for (int row = 0; row < std::min(keyphrases.RowCount(), kTopKeyphrases); ++row) {
        chart.bars.push_back({keyphrases.Cell(row, 0), CellSortKey(keyphrases.Cell(row, 1))});
    }
    return chart;
}

// The keyphrase table holds the site's rank for each keyphrase, "NA" where
// the engine did not list the site.
BarChart RankChart(const ReportGrid& keyphrases, int column) {
    BarChart chart{
        "Site rank on " + keyphrases.Header(column).substr(0, keyphrases.Header(column).find(' ')),
        "Rank of the site for a keyphrase",
        "Keyphrases",
        {{"1\xE2\x80\x93"
          "10",
          0},
         {"11\xE2\x80\x93"
          "20",
          0},
         {"21\xE2\x80\x93"
          "50",
          0},
         {"over 50", 0},
         {"not found", 0}},
        false,
        false};
    for (int row = 0; row < keyphrases.RowCount(); ++row) {
        const std::string& cell = keyphrases.Cell(row, column);
        const std::int64_t rank = cell == "NA" ? 0 : CellSortKey(cell);
        const std::size_t bin = rank <= 0    ? 4
                                : rank <= 10 ? 0
                                : rank <= 20 ? 1
                                : rank <= 50 ? 2
                                             : 3;
        ++chart.bars[bin].value;
    }
    return chart;
}

BarChart ReciprocalChart(const BacklinkList& records) {
    std::int64_t reciprocal = 0;
    for (const BacklinkRecord& record : records) {
        reciprocal += record.reciprocal ? 1 : 0;
    }
    const std::int64_t oneWay = static_cast<std::int64_t>(records.size()) - reciprocal;
    return {"Reciprocal and One Way links",
            "Link type",
            "Linking pages",
            {{"Reciprocal", reciprocal}, {"One Way", oneWay}},
            true,
            true};
}

// Two charts of the site's runs, oldest at the top: the links each run
// gained and those it lost.
void HistoryCharts(std::string& html, const std::vector<HtmlRunChanges>& runs) {
    BarChart gained{"Links gained per run", "Run", "Linking pages", {}, true, false};
    BarChart lost{"Links lost per run", "Run", "Linking pages", {}, true, false};
    for (const HtmlRunChanges& run : runs) {
        gained.bars.push_back({ShownUtcTime(run.startedAt), run.gained});
        lost.bars.push_back({ShownUtcTime(run.startedAt), run.lost});
    }
    html += SvgBarChart(gained);
    html += SvgBarChart(lost);
}

bool IsAddress(const std::string& cell) {
    return StartsWithNoCase(cell, "http://") || StartsWithNoCase(cell, "https://");
}

std::string CellHtml(const std::string& cell) {
    const std::string text = EscapeHtml(cell);
    if (!IsAddress(cell)) {
        return text;
    }
    return "<a href=\"" + text + "\" title=\"" + text + "\">" + text + "</a>";
}

void Table(std::string& html, const std::string& title, const char* csvName,
           const ReportGrid& grid) {
    html += "<section>\n<h2>" + EscapeHtml(title) + "</h2>\n<table>\n<colgroup>";
    for (int column = 0; column < grid.Columns(); ++column) {
        const int percent = static_cast<int>(grid.Fraction(column) * 100.0f + 0.5f);
        html += "<col style=\"width:" + std::to_string(std::max(percent, 1)) + "%\">";
    }
    html += "</colgroup>\n<thead><tr>";
    for (int column = 0; column < grid.Columns(); ++column) {
        html += "<th>" + EscapeHtml(grid.Header(column)) + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    const int shown = std::min(grid.RowCount(), kHtmlTableRows);
    for (int row = 0; row < shown; ++row) {
        html += "<tr>";
        for (int column = 0; column < grid.Columns(); ++column) {
            // A cell whose lookup failed keeps its text, and tells the
            // service and the reason when the pointer rests on it.
            const std::string& note = grid.CellNote(row, column);
            html += note.empty() ? std::string("<td>")
                                 : "<td class=\"failed\" title=\"" + EscapeHtml(note) + "\">";
            html += CellHtml(grid.Cell(row, column)) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n";
    if (grid.RowCount() > shown) {
        html += "<p class=\"more\">Showing the first " + Grouped(shown) + " rows; " +
                Grouped(grid.RowCount() - shown) + " more are in " + csvName + ".</p>\n";
    }
    html += "</section>\n";
}

}  // namespace

void WriteHtmlReport(const RunResult& outcome, const HtmlReportFacts& facts,
                     const HtmlHistory& history, TextSink& sink) {
    // The charts need the keyphrase table whole; every other table is filled
    // only when its turn comes and let go of after it, so that a large run
    // holds at most two of them at once.
    ReportGrid keyphrases;
    FillKeyphrasePane(keyphrases, outcome.records, true, outcome.lookupServices);

    std::string html = kHead;
    html += "<title>Backlink report for " + EscapeHtml(outcome.siteKey) + "</title>\n";
    html += kStyle;
    Header(html, outcome, facts);
    html += "<section>\n<h2>Charts</h2>\n<div class=\"charts\">\n";
    html += SvgBarChart(StatusChart(outcome));
    html += SvgBarChart(AuthorityChart(outcome.records));
    html += SvgBarChart(KeyphraseChart(keyphrases));
    for (int column = 2; column <= 4; ++column) {
        html += SvgBarChart(RankChart(keyphrases, column));
    }
    html += SvgBarChart(ReciprocalChart(outcome.records));
    if (!history.runs.empty()) {
        HistoryCharts(html, history.runs);
    }
    html += "</div>\n</section>\n";
    if (history.changes.Configured()) {
        if (history.changes.RowCount() == 0) {
            html +=
                "<section>\n<h2>Changes since the previous run</h2>\n<p>No link was "
                "gained, lost or changed.</p>\n</section>\n";
        } else {
            Table(html, "Changes since the previous run", "changes.csv", history.changes);
        }
    }
    sink.Write(html);
    const auto writeTable = [&sink](const std::string& title, const char* csvName,
                                    const ReportGrid& grid) {
        std::string table;
        Table(table, title, csvName, grid);
        sink.Write(table);
    };
    {
        ReportGrid overview;
        FillOverviewPane(overview, outcome.records, true);
        writeTable("Overview", "overview.csv", overview);
    }
    writeTable("Detailed Link Report", "keyphrases.csv", keyphrases);
    {
        ReportGrid pages;
        FillPagePane(pages, outcome.records, true);
        writeTable("Individual Page Report", "pages.csv", pages);
    }
    {
        ReportGrid links;
        FillLinkStatusPane(links, outcome.records, outcome.unlinked, true, nullptr,
                           outcome.lookupServices);
        writeTable("Link Status", "links.csv", links);
    }
    sink.Write("</body>\n</html>\n");
}

std::string HtmlReport(const RunResult& outcome, const HtmlReportFacts& facts,
                       const HtmlHistory& history) {
    StringSink sink;
    WriteHtmlReport(outcome, facts, history, sink);
    return sink.Take();
}

Status WriteHtmlReport(const std::filesystem::path& path, const RunResult& outcome,
                       const HtmlReportFacts& facts, const HtmlHistory& history) {
    return WriteWholeFile(path,
                          [&](TextSink& sink) { WriteHtmlReport(outcome, facts, history, sink); });
}

}  // namespace veltrap
