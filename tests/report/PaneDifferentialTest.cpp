#include "report/KeyphrasePane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// The fast fills against a word-for-word rendering of the report rules, which
// walk the whole list once per record (or per record pair) and sort by
// repeated selection. Small random lists whose keyphrases, urls and pages
// collide only by case show any difference in rows, counts or order.

namespace veltrap {
namespace {

using Cells = std::vector<std::string>;

struct SlowGrid {
    Cells headers;
    std::vector<bool> sortable;
    std::vector<float> fractions;
    std::vector<Cells> rows;
};

bool SlowEquals(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

long SlowKey(const std::string& text) {
    return text == "NA" ? 0 : std::strtol(text.c_str(), nullptr, 10);
}

void SlowSort(SlowGrid& grid, std::size_t column) {
    std::vector<Cells> old = grid.rows;
    std::vector<Cells> sorted;
    while (!old.empty()) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < old.size(); ++i) {
            if (SlowKey(old[i][column]) > SlowKey(old[best][column])) {
                best = i;
            }
        }
        sorted.push_back(old[best]);
        old.erase(old.begin() + static_cast<std::ptrdiff_t>(best));
    }
    grid.rows = sorted;
}

std::string SlowNumber(std::int32_t value) {
    return value == -1 ? "NA" : std::to_string(value);
}

bool UrlOccursBefore(const std::vector<BacklinkRecord>& records, std::size_t p) {
    for (std::size_t q = 0; q < p; ++q) {
        if (SlowEquals(records[q].url, records[p].url)) {
            return true;
        }
    }
    return false;
}

bool AlreadyInColumn0(const SlowGrid& grid, const std::string& text) {
    for (const Cells& row : grid.rows) {
        if (SlowEquals(row[0], text)) {
            return true;
        }
    }
    return false;
}

SlowGrid SlowOverview(const std::vector<BacklinkRecord>& records) {
    SlowGrid grid{{"Overview"}, {false}, {1.0f}, {}};
    int total = 0;
    int home = 0;
    std::vector<Cells> urls;
    for (const BacklinkRecord& record : records) {
        const char* u = record.url.c_str();
        const long length = static_cast<long>(std::strlen(u));
        if (length == 0) {
            continue;
        }
        ++total;
        const char* slashes = std::strstr(u, "//");
        const long s = (slashes != nullptr ? slashes - u : -1) + 2;
        if (s > length || std::strchr(u + s, '/') == nullptr || length - s < 2) {
            ++home;
        }
        urls.push_back({record.url});
    }
    grid.rows = {{"Total Back Links: " + std::to_string(total)},
                 {"Total Home Page Links: " + std::to_string(home)},
                 {""},
                 {"URLs of Linking Sites:"}};
    grid.rows.insert(grid.rows.end(), urls.begin(), urls.end());
    return grid;
}

SlowGrid SlowKeyphrases(const std::vector<BacklinkRecord>& records) {
    SlowGrid grid{{"Link Text", "Occurances", "Google Rank", "Yahoo Rank", "MSN Rank"},
                  {false, true, true, true, true},
                  {0.48f, 0.13f, 0.13f, 0.13f, 0.13f},
                  {}};
    for (const BacklinkRecord& r : records) {
        if (r.anchorText.empty() || AlreadyInColumn0(grid, r.anchorText)) {
            continue;
        }
        int count = 1;
        for (std::size_t p = 0; p < records.size(); ++p) {
            if (SlowEquals(records[p].anchorText, r.anchorText) &&
                !SlowEquals(records[p].url, r.url) && !UrlOccursBefore(records, p)) {
                ++count;
            }
        }
        grid.rows.push_back(
            {r.anchorText, std::to_string(count), SlowNumber(r.sitePos[RankColumn::kGoogle]),
             SlowNumber(r.sitePos[RankColumn::kYahoo]), SlowNumber(r.sitePos[RankColumn::kMsn])});
    }
    SlowSort(grid, 1);
    return grid;
}

SlowGrid SlowPages(const std::vector<BacklinkRecord>& records) {
    SlowGrid grid{
        {"Link in Profiled Site", "# of Pages Linking To It"}, {false, true}, {0.65f, 0.35f}, {}};
    for (const BacklinkRecord& r : records) {
        if (r.anchorText.empty() || AlreadyInColumn0(grid, r.href)) {
            continue;
        }
        int count = 0;
        for (std::size_t p = 0; p < records.size(); ++p) {
            if (SlowEquals(records[p].href, r.href) && !UrlOccursBefore(records, p)) {
                ++count;
            }
        }
        grid.rows.push_back({r.href, std::to_string(count)});
    }
    SlowSort(grid, 1);
    return grid;
}

SlowGrid SlowOverviewDetails(const std::vector<BacklinkRecord>& records,
                             const std::string& keyphrase) {
    SlowGrid grid{{"URL's linked with: " + keyphrase, "Page Rank", "Home Page PR", "Link Type"},
                  {false, true, true, false},
                  {0.55f, 0.15f, 0.15f, 0.15f},
                  {}};
    for (const BacklinkRecord& r : records) {
        if (SlowEquals(r.anchorText, keyphrase) && !r.url.empty() &&
            !AlreadyInColumn0(grid, r.url)) {
            grid.rows.push_back({r.url, SlowNumber(r.pageRank), SlowNumber(r.homePageRank),
                                 r.reciprocal ? "Reciprocal" : "One Way"});
        }
    }
    SlowSort(grid, 1);
    return grid;
}

SlowGrid SlowPageDetails(const std::vector<BacklinkRecord>& records, const std::string& page) {
    SlowGrid grid{{"URL's linking to: " + page, "Linked Keyphrase", "Page Rank"},
                  {false, false, true},
                  {0.45f, 0.40f, 0.15f},
                  {}};
    for (const BacklinkRecord& r : records) {
        if (SlowEquals(r.href, page) && !r.url.empty() && !AlreadyInColumn0(grid, r.url)) {
            grid.rows.push_back({r.url, r.anchorText, SlowNumber(r.pageRank)});
        }
    }
    SlowSort(grid, 2);
    return grid;
}

void ExpectSame(const ReportGrid& fast, const SlowGrid& slow, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(fast.Columns(), static_cast<int>(slow.headers.size()));
    for (int column = 0; column < fast.Columns(); ++column) {
        const auto at = static_cast<std::size_t>(column);
        EXPECT_EQ(fast.Header(column), slow.headers[at]);
        EXPECT_EQ(fast.Sortable(column), slow.sortable[at]);
        EXPECT_EQ(fast.Fraction(column), slow.fractions[at]);
    }
    std::vector<Cells> rows;
    for (int row = 0; row < fast.RowCount(); ++row) {
        Cells& cells = rows.emplace_back();
        for (int column = 0; column < fast.Columns(); ++column) {
            cells.push_back(fast.Cell(row, column));
        }
    }
    EXPECT_EQ(rows, slow.rows);
}

const Cells kUrls = {"http://a.com",
                     "HTTP://A.COM",
                     "http://a.com/",
                     "http://b.org/x",
                     "http://B.org/X",
                     "b.org",
                     "",
                     "http://c.net/p?q=1"};
const Cells kHrefs = {"http://site.com/", "http://site.com/a", "HTTP://SITE.COM/A", "",
                      "http://site.com/b"};
const Cells kAnchors = {"Blue Widgets",   "blue widgets", "BLUE WIDGETS", "red", "",
                        "No Anchor Text", "Red"};
const std::vector<std::int32_t> kNumbers = {-1, -1, 0, 3, 12, 7, -5};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

TEST(PaneDifferentialTest, FastFillsGiveTheRowsOfTheRules) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 1500; ++round) {
        const std::size_t size = std::uniform_int_distribution<std::size_t>(0, 14)(random);
        std::vector<BacklinkRecord> records(size);
        BacklinkList list;
        for (BacklinkRecord& record : records) {
            record.url = Pick(random, kUrls);
            record.href = Pick(random, kHrefs);
            record.anchorText = Pick(random, kAnchors);
            record.sitePos[RankColumn::kGoogle] = Pick(random, kNumbers);
            record.sitePos[RankColumn::kYahoo] = Pick(random, kNumbers);
            record.sitePos[RankColumn::kMsn] = Pick(random, kNumbers);
            record.pageRank = Pick(random, kNumbers);
            record.homePageRank = Pick(random, kNumbers);
            record.reciprocal = (random() & 1) != 0;
            list.Append(record.url);
            *std::prev(list.end()) = record;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ReportGrid grid;
        FillOverviewPane(grid, list, true);
        ExpectSame(grid, SlowOverview(records), "overview");
        FillKeyphrasePane(grid, list, true);
        ExpectSame(grid, SlowKeyphrases(records), "keyphrases");
        FillPagePane(grid, list, true);
        ExpectSame(grid, SlowPages(records), "pages");
        for (const std::string& keyphrase : kAnchors) {
            FillOverviewDetails(grid, list, true, keyphrase);
            ExpectSame(grid, SlowOverviewDetails(records, keyphrase), "details of " + keyphrase);
        }
        for (const std::string& page : kHrefs) {
            FillPageDetails(grid, list, true, page);
            ExpectSame(grid, SlowPageDetails(records, page), "details of " + page);
        }
        if (HasFailure()) {
            return;
        }
    }
}

TEST(PaneDifferentialTest, HeaderSortMatchesSelectionSort) {
    const Cells cells = {"NA",
                         "12",
                         "3",
                         "",
                         "-2",
                         " 7",
                         "+7",
                         "7x",
                         "abc",
                         "0",
                         "\t-0",
                         "99999999999999999999",
                         "-99999999999999999999",
                         "12"};
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        const std::size_t size = std::uniform_int_distribution<std::size_t>(0, 20)(random);
        ReportGrid fast;
        fast.Setup(0, 0, 2, 100, 15);
        SlowGrid slow;
        for (std::size_t i = 0; i < size; ++i) {
            const std::string name = "row" + std::to_string(i);
            const std::string& key = Pick(random, cells);
            const int row = fast.AddRow();
            fast.SetCell(row, 0, name);
            fast.SetCell(row, 1, key);
            slow.rows.push_back({name, key});
        }
        fast.SortDescending(1);
        SlowSort(slow, 1);
        std::vector<Cells> rows;
        for (int row = 0; row < fast.RowCount(); ++row) {
            rows.push_back({fast.Cell(row, 0), fast.Cell(row, 1)});
        }
        ASSERT_EQ(rows, slow.rows) << "round " << round;
    }
}

}  // namespace
}  // namespace veltrap
