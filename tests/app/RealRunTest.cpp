#include "ReportFixture.h"
#include "Watchdog.h"
#include "app/ClientArea.h"
#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "support/LoopbackServer.h"

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace veltrap::testing {
namespace {

// A tiny web on one loopback server, told apart by Host header: a backlink
// service that lists one linking page, that page with its link to the site,
// and empty answers from everyone else.
class RealRunTest : public ReportFixture {
protected:
    void SetUp() override {
        server_.Server().Get(".*", [this](const httplib::Request& request,
                                          httplib::Response& response) {
            const std::string host = request.get_header_value("Host");
            if (host == "backlinks.test") {
                requests_.fetch_add(1);
                while (stall_.load() && !release_.load()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                const bool listed = request.get_param_value("p") == "tiny.test";
                response.set_content(listed ? "<html><li><a class=\"yschttl\" "
                                              "href=\"http://linker.test/post\">x</a></li></html>"
                                            : "<html>no results</html>",
                                     "text/html");
            } else if (host == "linker.test") {
                response.set_content(
                    "<html><body><p>A page about something else entirely.</p>"
                    "<p>See <a href=\"http://www.tiny.test/widgets\">Tiny Widgets</a>.</p>"
                    "</body></html>",
                    "text/html");
            } else {
                response.set_content("<html></html>", "text/html");
            }
        });
        server_.Start();
        config_.services.siteExplorerHost = "backlinks.test";
        config_.services.googleHost = "google.test";
        config_.services.yahooHost = "yahoo.test";
        config_.services.msnHost = "msn.test";
        config_.http.connectTo = server_.Address();
    }

    void TearDown() override {
        release_.store(true);
        window_.reset();
        server_.Stop();
    }

    // Opens the window and starts a run of tiny.test whose linking page
    // holds its answer until stall_ is cleared.
    void StartAStalledRun() {
        stall_.store(true);
        Open(RunReport, config_);
        TypeAddress("tiny.test");
        ClickRun();
        ASSERT_TRUE(QTest::qWaitFor([&] { return requests_.load() > 0; }, 5000));
    }

    // Cancels the run going, as the user does with the button and Yes.
    void CancelTheRun() {
        answers_.push_back(true);
        ClickRun();
        ASSERT_TRUE(WaitForStatus("Report aborted by user..", 5000)) << Status().toStdString();
    }

    LoopbackServer server_;
    ServiceConfig config_;
    std::atomic<int> requests_{0};
    std::atomic<bool> stall_{false};
    std::atomic<bool> release_{false};
};

TEST_F(RealRunTest, RunOverLoopbackEndsWithItsSumAndTheReport) {
    Open(RunReport, config_);
    TypeAddress("www.tiny.test");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone(20000)) << Status().toStdString();
    ASSERT_NE(window_->ReportList(), nullptr);
    ASSERT_EQ(window_->ReportList()->size(), 1u);
    EXPECT_TRUE(QRegularExpression(R"(^Done: 1 backlink found, 1 kept, 0 failures, in \d+\.\d s$)")
                    .match(Status())
                    .hasMatch())
        << Status().toStdString();
    const BacklinkRecord& record = *window_->ReportList()->begin();
    EXPECT_EQ(record.url, "http://linker.test/post");
    EXPECT_EQ(record.anchorText, "tiny widgets");
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "Total Back Links: 1");
    EXPECT_EQ(window_->Display().grid.Cell(4, 0), "http://linker.test/post");
}

TEST_F(RealRunTest, RunWithoutBacklinksEndsWithZeroTotals) {
    Open(RunReport, config_);
    TypeAddress("nobody.test");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone(20000)) << Status().toStdString();
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "Total Back Links: 0");
    EXPECT_EQ(window_->Display().grid.Cell(1, 0), "Total Home Page Links: 0");
    EXPECT_EQ(window_->Display().grid.RowCount(), 4);
}

// The stalled answer would never end by itself, so closing returns only if
// it ends the fetch in flight.
TEST_F(RealRunTest, ClosingDuringAFetchEndsIt) {
    config_.http.stallTimeoutS = 3600;
    config_.http.fetchTimeoutS = 3600;
    ASSERT_NO_FATAL_FAILURE(StartAStalledRun());
    ASSERT_EQ(ButtonText(), "Cancel Report");
    {
        const Watchdog watchdog([this] { release_.store(true); });
        EXPECT_TRUE(window_->close());
        EXPECT_FALSE(watchdog.Fired());
    }
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(RealRunTest, CancelDuringAFetchLetsANewRunFinish) {
    ASSERT_NO_FATAL_FAILURE(StartAStalledRun());
    ASSERT_NO_FATAL_FAILURE(CancelTheRun());
    EXPECT_EQ(ButtonText(), "Advanced Link Analysis Report");

    stall_.store(false);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone(20000)) << Status().toStdString();
    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_EQ(window_->ReportList()->size(), 1u);
}

// Keeps a picture of the window in the build folder, for people to look at.
void SaveScreenshot(QWidget& window, const char* name) {
    const QString path = QStringLiteral(VELTRAP_SCREENSHOT_DIR "/") + name;
    EXPECT_TRUE(window.grab().save(path, "PNG")) << path.toStdString();
}

TEST_F(RealRunTest, DemoRunEndsAndIsPhotographed) {
    DemoWeb demo;
    ASSERT_TRUE(demo.Start().ok());
    Open(RunReport, DemoServiceConfig(ServiceConfig{}, demo.Port()));
    SaveScreenshot(*window_, "window-idle.png");

    TypeAddress(QString::fromStdString(DemoSiteName()));
    ClickRun();
    // Records are examined side by side, so the line a tick shows may be any
    // of their steps; the progress bar tells that records are under way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Progress()->value() >= 1; }, 20000))
        << Status().toStdString();
    // The run's end may be handled in the same turn of the loop as its first
    // record on a loaded machine; the bar shows for as long as the run goes.
    EXPECT_TRUE(window_->Progress()->isVisible() || !window_->RunGoing());
    SaveScreenshot(*window_, "window-running.png");
    ASSERT_TRUE(WaitForRunDone(120000)) << Status().toStdString();
    SaveScreenshot(*window_, "window-finished.png");

    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_GT(window_->ReportList()->size(), 0u);
    EXPECT_TRUE(window_->Display().grid.Configured());
    EXPECT_TRUE(window_->ScrollBar()->isEnabled());
    EXPECT_TRUE(window_->ExportAction()->isEnabled());

    // Every report and both detail views, each with a row selected.
    Click(ScreenRow(5));
    SaveScreenshot(*window_, "window-overview.png");
    ChooseTab(MainDialog::kKeyphraseTab);
    Click(ScreenRow(3));
    SaveScreenshot(*window_, "window-keyphrases.png");
    DoubleClick(ScreenRow(1));
    ASSERT_EQ(window_->Tabs()->count(), 5);
    Click(ScreenRow(2));
    SaveScreenshot(*window_, "window-overview-details.png");
    ChooseTab(MainDialog::kPageTab);
    Click(ScreenRow(2));
    SaveScreenshot(*window_, "window-pages.png");
    DoubleClick(ScreenRow(1));
    ASSERT_EQ(window_->Tabs()->count(), 5);
    Scroll(QAbstractSlider::SliderSingleStepAdd, 2);
    Click(ScreenRow(4));
    SaveScreenshot(*window_, "window-page-details.png");
    ChooseTab(MainDialog::kLinkStatusTab);
    Click(ScreenRow(0, 200));
    SaveScreenshot(*window_, "window-link-status-by-page.png");
    Click(ScreenRow(3));
    SaveScreenshot(*window_, "window-link-status.png");
}

// How many of the two save entries are enabled.
int SaveEntriesEnabled(const MainDialog& window) {
    return int{window.SaveHtmlAction()->isEnabled()} + int{window.ExportAllAction()->isEnabled()};
}

TEST_F(RealRunTest, SavedHtmlTellsTheRunsCountsAndIsOpenedAsAFile) {
    stall_.store(true);
    Open(RunReport, config_);
    EXPECT_EQ(SaveEntriesEnabled(*window_), 0);
    TypeAddress("www.tiny.test");
    ClickRun();
    ASSERT_TRUE(QTest::qWaitFor([&] { return requests_.load() > 0; }, 5000));
    EXPECT_EQ(SaveEntriesEnabled(*window_), 0);
    stall_.store(false);
    ASSERT_TRUE(WaitForRunDone(20000)) << Status().toStdString();
    ASSERT_EQ(SaveEntriesEnabled(*window_), 2);

    // The File menu with the two entries, for people to look at.
    QMenu* file = window_->menuBar()->actions().constFirst()->menu();
    file->popup(window_->mapToGlobal(window_->menuBar()->geometry().bottomLeft()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QPixmap shot = window_->grab();
    QPainter(&shot).drawPixmap(file->pos() - window_->mapToGlobal(QPoint(0, 0)), file->grab());
    EXPECT_TRUE(shot.save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/window-file-menu.png"), "PNG"));
    file->hide();

    saveAnswer_ = QString::fromStdString(dir_.File("shared.html"));
    window_->SaveHtmlAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages_.isEmpty() || !warnings_.isEmpty(); }));
    EXPECT_EQ(saveNames_, QStringList{"report.html"});
    EXPECT_TRUE(warnings_.isEmpty()) << warnings_.join('\n').toStdString();
    EXPECT_EQ(messages_, QStringList{"The report was saved to " + saveAnswer_ + "."});
    const std::string html = ReadFileBytes(dir_.File("shared.html"));
    EXPECT_NE(html.find("<dt>Backlinks found</dt><dd>1</dd>"), std::string::npos);
    EXPECT_NE(html.find("<dt>Kept</dt><dd>1</dd>"), std::string::npos);
    EXPECT_NE(html.find("<dt>Run</dt><dd>Completed</dd>"), std::string::npos);
    EXPECT_NE(html.find("<dt>Limit</dt><dd>Backlink pages: 10</dd>"), std::string::npos);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].scheme(), "file");
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(saveAnswer_));

    // A file that cannot be written says why, and nothing is opened.
    saveAnswer_ = QString::fromStdString(dir_.File("missing/shared.html"));
    window_->SaveHtmlAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warnings_.isEmpty(); }));
    ASSERT_EQ(warnings_.size(), 1);
    EXPECT_TRUE(warnings_[0].startsWith("The report was not saved: cannot write "))
        << warnings_[0].toStdString();
    EXPECT_TRUE(warnings_[0].contains("No such file or directory")) << warnings_[0].toStdString();
    EXPECT_EQ(opened_.size(), 1u);
    EXPECT_EQ(messages_.size(), 1);
}

TEST_F(RealRunTest, ACancelledRunIsKeptAndItsReportSaysSo) {
    ASSERT_NO_FATAL_FAILURE(StartAStalledRun());
    ASSERT_NO_FATAL_FAILURE(CancelTheRun());
    ASSERT_TRUE(QTest::qWaitFor([&] { return SaveEntriesEnabled(*window_) == 2; }, 5000));

    saveAnswer_ = QString::fromStdString(dir_.File("cancelled.html"));
    window_->SaveHtmlAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened_.empty(); }));
    EXPECT_NE(ReadFileBytes(saveAnswer_.toStdString()).find("<dt>Run</dt><dd>Cancelled</dd>"),
              std::string::npos);
}

TEST_F(RealRunTest, ExportAllWritesEveryFileOrNone) {
    Open(RunReport, config_);
    TypeAddress("www.tiny.test");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone(20000)) << Status().toStdString();

    // A folder inside a file cannot be made: the reason is told and nothing
    // is left behind.
    WriteFileBytes(dir_.File("plain"), "x");
    folderAnswer_ = QString::fromStdString(dir_.File("plain/out"));
    window_->ExportAllAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return warnings_.size() == 1; }));
    EXPECT_TRUE(warnings_[0].startsWith("Nothing was exported: cannot create the output folder"))
        << warnings_[0].toStdString();
    EXPECT_TRUE(warnings_[0].contains("Not a directory")) << warnings_[0].toStdString();
    EXPECT_EQ(ReadFileBytes(dir_.File("plain")), "x");

    const std::filesystem::path out = dir_.Path() / "out";
    std::filesystem::create_directory(out);
    folderAnswer_ = QString::fromStdString(out.string());
    window_->ExportAllAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages_.size() == 1; }));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"keyphrases.csv", "links.csv", "overview.csv",
                                               "pages.csv", "records.json", "report.html"}));
    EXPECT_NE(ReadFileBytes(out / "records.json").find("http://linker.test/post"),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(out / "report.html").find("<dt>Kept</dt><dd>1</dd>"),
              std::string::npos);
}

}  // namespace
}  // namespace veltrap::testing
