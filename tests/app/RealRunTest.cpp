#include "ReportFixture.h"
#include "app/ClientArea.h"
#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/RunReport.h"
#include "engine/RunState.h"
#include "support/LoopbackServer.h"

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace veltrap::testing {
namespace {

ReportWorkers::RunFunction RealRun() {
    return [](const RunRequest& request, const ServiceConfig& config, RunShared& shared) {
        RunReport(request, config, shared);
    };
}

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

    LoopbackServer server_;
    ServiceConfig config_;
    std::atomic<int> requests_{0};
    std::atomic<bool> stall_{false};
    std::atomic<bool> release_{false};
};

TEST_F(RealRunTest, RunOverLoopbackEndsIdleWithTheReport) {
    Open(RealRun(), config_);
    TypeAddress("www.tiny.test");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Idle", 20000)) << Status().toStdString();
    ASSERT_NE(window_->ReportList(), nullptr);
    ASSERT_EQ(window_->ReportList()->size(), 1u);
    const BacklinkRecord& record = *window_->ReportList()->begin();
    EXPECT_EQ(record.url, "http://linker.test/post");
    EXPECT_EQ(record.anchorText, "tiny widgets");
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "Total Back Links: 1");
    EXPECT_EQ(window_->Display().grid.Cell(4, 0), "http://linker.test/post");
}

TEST_F(RealRunTest, RunWithoutBacklinksEndsIdleWithZeroTotals) {
    Open(RealRun(), config_);
    TypeAddress("nobody.test");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Idle", 20000)) << Status().toStdString();
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "Total Back Links: 0");
    EXPECT_EQ(window_->Display().grid.Cell(1, 0), "Total Home Page Links: 0");
    EXPECT_EQ(window_->Display().grid.RowCount(), 4);
}

TEST_F(RealRunTest, ClosingDuringAFetchEndsWithinASecond) {
    stall_.store(true);
    Open(RealRun(), config_);
    TypeAddress("tiny.test");
    ClickRun();
    ASSERT_TRUE(QTest::qWaitFor([&] { return requests_.load() > 0; }, 5000));
    QTest::qWait(200);
    ASSERT_EQ(ButtonText(), "Cancel Report");

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window_->close());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(RealRunTest, CancelDuringAFetchLetsANewRunFinish) {
    stall_.store(true);
    Open(RealRun(), config_);
    TypeAddress("tiny.test");
    ClickRun();
    ASSERT_TRUE(QTest::qWaitFor([&] { return requests_.load() > 0; }, 5000));
    answers_.push_back(true);
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Report aborted by user..", 5000)) << Status().toStdString();
    EXPECT_EQ(ButtonText(), "Advanced Link Analysis Report");

    stall_.store(false);
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Idle", 20000)) << Status().toStdString();
    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_EQ(window_->ReportList()->size(), 1u);
}

// Keeps a picture of the window in the build folder, for people to look at.
void SaveScreenshot(QWidget& window, const char* name) {
    const QString path = QStringLiteral(VELTRAP_SCREENSHOT_DIR "/") + name;
    EXPECT_TRUE(window.grab().save(path, "PNG")) << path.toStdString();
}

TEST_F(RealRunTest, DemoRunEndsIdleAndIsPhotographed) {
    DemoWeb demo;
    ASSERT_EQ(demo.Start(), "");
    Open(RealRun(), DemoServiceConfig(ServiceConfig{}, demo.Port()));
    SaveScreenshot(*window_, "window-idle.png");

    TypeAddress(QString::fromStdString(DemoSiteName()));
    ClickRun();
    // Records are examined side by side, so the line a tick shows may be any
    // of their steps; the progress bar tells that records are under way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Progress()->value() >= 1; }, 20000))
        << Status().toStdString();
    EXPECT_TRUE(window_->Progress()->isVisible());
    SaveScreenshot(*window_, "window-running.png");
    ASSERT_TRUE(WaitForStatus("Idle", 120000)) << Status().toStdString();
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
    Click(ScreenRow(3));
    SaveScreenshot(*window_, "window-link-status.png");
}

}  // namespace
}  // namespace veltrap::testing
