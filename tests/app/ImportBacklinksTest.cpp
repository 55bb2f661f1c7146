#include "ReportFixture.h"

#include <QAction>
#include <QTest>

#include <atomic>
#include <memory>
#include <mutex>

namespace veltrap::testing {
namespace {

// File > Import Backlinks... hands the run the addresses of the chosen files.
class ImportBacklinksTest : public ReportFixture {
protected:
    void OpenWithImportingRun() {
        Open([this](RunPlan& plan, const RunContext&) {
            ++runs_;
            RunResult result;
            if (const auto& imported = plan.request.imported) {
                std::lock_guard lock(mutex_);
                imported_ = imported->addresses;
                for (const std::string& address : imported_) {
                    result.records.Append(address);
                }
                result.unlinked.push_back({"http://mysite.test/own", "own-site", 0, 0});
            }
            return result;
        });
        TypeAddress("mysite.test");
    }

    std::atomic<int> runs_{0};
    std::mutex mutex_;
    std::vector<std::string> imported_;
};

TEST_F(ImportBacklinksTest, RunsTheReportOnTheImportedAddresses) {
    OpenWithImportingRun();
    WriteFileBytes(dir_.File("links.txt"),
                   "http://b.example/\nhttp://a.example/\nhttp://b.example/\n");
    openAnswer_ = {QString::fromStdString(dir_.File("links.txt"))};
    window_->ImportAction()->trigger();
    // The run's own sum comes first, then what was imported.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Status().startsWith("Done: ") && Status().endsWith(
                                                    "; Imported 2 addresses from 1 file: 3 rows "
                                                    "read, 1 skipped (1 already imported)");
    })) << Status().toStdString();
    {
        std::lock_guard lock(mutex_);
        EXPECT_EQ(imported_, (std::vector<std::string>{"http://b.example/", "http://a.example/"}));
    }
    EXPECT_TRUE(window_->ImportAction()->isEnabled());

    ChooseTab(MainDialog::kLinkStatusTab);
    EXPECT_EQ(Cell(0, 0), "http://mysite.test/own");
    EXPECT_EQ(Cell(0, 1), "Own site");
    EXPECT_EQ(Cell(1, 0), "http://b.example/");
    EXPECT_EQ(Cell(1, 4), "One Way");
    DoubleClick(ScreenRow(2));
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl("http://b.example/")});
}

TEST_F(ImportBacklinksTest, AFileThatCannotBeReadStartsNoRun) {
    OpenWithImportingRun();
    WriteFileBytes(dir_.File("sites.csv"), "Site,Linking pages\nexample.com,3\n");
    openAnswer_ = {QString::fromStdString(dir_.File("sites.csv"))};
    window_->ImportAction()->trigger();
    ASSERT_EQ(warnings_.size(), 1);
    EXPECT_TRUE(warnings_[0].contains("has no column of linking pages"));
    EXPECT_EQ(Status(), warnings_[0]);

    // Nor does a cancelled dialog.
    openAnswer_.clear();
    window_->ImportAction()->trigger();
    QTest::qWait(50);
    EXPECT_EQ(runs_.load(), 0);
    EXPECT_FALSE(window_->RunGoing());
}

}  // namespace
}  // namespace veltrap::testing
