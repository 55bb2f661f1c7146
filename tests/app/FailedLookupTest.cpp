#include "ReportFixture.h"
#include "app/ClientArea.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTabBar>
#include <QTest>
#include <QToolTip>

#include <iterator>

namespace veltrap::testing {
namespace {

// Columns: Google Rank on the keyphrases (470 to 565), Page Rank on the
// Overview Details (427 to 537) and Link Type on the Link Status tab.
constexpr int kGoogleX = 500;
constexpr int kPageRankX = 480;
constexpr int kLinkTypeX = 700;

class FailedLookupTest : public ReportFixture {
protected:
    // A run of two pages: the first one's Google rank, PageRank and
    // reciprocal check failed; the second one's values were not found.
    void ShowFailures() {
        Open([](RunPlan&, const RunContext&) {
            RunResult result;
            for (const char* url : {"http://failed.example/", "http://plain.example/"}) {
                result.records.Append(url);
                BacklinkRecord& record = *std::prev(result.records.end());
                record.href = "http://target.example/";
                record.anchorText = url[7] == 'f' ? "broken phrase" : "plain phrase";
            }
            BacklinkRecord& failed = *result.records.begin();
            failed.failures = {{RecordField::kPageRank, "no answer (timeout)"},
                               {RecordField::kGoogleSitePos, "HTTP 503"},
                               {RecordField::kReciprocal, "HTTP 500"}};
            result.lookupServices.Set(RecordField::kPageRank, "pagerank-page");
            result.lookupServices.Set(RecordField::kGoogleSitePos, "searxng");
            result.lookupServices.Set(RecordField::kReciprocal, "site");
            return result;
        });
        TypeAddress("target.example");
        ClickRun();
        ASSERT_TRUE(WaitForRunDone());
    }
    // The tooltip the grid shows where the mouse rests.
    QString TipAt(QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, window_->Client()->mapToGlobal(at));
        QApplication::sendEvent(window_->Client(), &help);
        return QToolTip::text();
    }
    // Whether the grid shows no tooltip where the mouse rests.
    bool NoTipAt(QPoint at) {
        TipAt(at);
        return QTest::qWaitFor([] { return !QToolTip::isVisible(); });
    }
    // The screen row (1 for the first) whose first cell holds text.
    int RowOf(const std::string& text) const {
        for (int row = 0; row < window_->Display().grid.RowCount(); ++row) {
            if (Cell(row, 0) == text) {
                return row + 1;
            }
        }
        return -1;
    }
};

TEST_F(FailedLookupTest, AFailedValueKeepsItsTextAndTellsTheServiceAndReasonEverywhere) {
    ASSERT_NO_FATAL_FAILURE(ShowFailures());
    ChooseTab(MainDialog::kKeyphraseTab);
    const int broken = RowOf("broken phrase");
    const int plain = RowOf("plain phrase");
    ASSERT_GT(broken, 0);
    EXPECT_EQ(Cell(broken - 1, 2), "NA");
    EXPECT_EQ(TipAt(ScreenRow(broken, kGoogleX)), "Lookup failed at searxng: HTTP 503");
    // A rank that was not found says nothing more.
    EXPECT_EQ(Cell(plain - 1, 2), "NA");
    EXPECT_TRUE(NoTipAt(ScreenRow(plain, kGoogleX)));
    EXPECT_TRUE(window_->grab().save(QStringLiteral("/tmp/veltrap-failed-lookup.png")));

    DoubleClick(ScreenRow(broken));
    ASSERT_EQ(window_->Tabs()->currentIndex(), MainDialog::kDetailTab);
    EXPECT_EQ(Cell(0, 1), "NA");
    EXPECT_EQ(TipAt(ScreenRow(1, kPageRankX)),
              "Lookup failed at pagerank-page: no answer (timeout)");
    EXPECT_EQ(TipAt(ScreenRow(1, 700)), "Lookup failed at site: HTTP 500");

    ChooseTab(MainDialog::kLinkStatusTab);
    const int failedPage = RowOf("http://failed.example/");
    EXPECT_EQ(Cell(failedPage - 1, 4), "One Way");
    EXPECT_EQ(TipAt(ScreenRow(failedPage, kLinkTypeX)), "Lookup failed at site: HTTP 500");
    EXPECT_TRUE(NoTipAt(ScreenRow(RowOf("http://plain.example/"), kLinkTypeX)));
}

}  // namespace
}  // namespace veltrap::testing
