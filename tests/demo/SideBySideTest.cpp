#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/RecordFields.h"
#include "engine/RunReport.h"
#include "export/ExportGridToCsv.h"
#include "net/CurlGlobal.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>

namespace veltrap {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

const CurlGlobal curlGlobal;

// Every field of every record, one line each, so two runs compare as text and
// a difference shows where it is.
std::string Dump(const BacklinkList& list) {
    std::ostringstream out;
    for (const BacklinkRecord& r : list) {
        out << r.url << '|' << r.href << '|' << r.anchorText << '|'
            << r.pagePos[RankColumn::kGoogle] << ',' << r.pagePos[RankColumn::kMsn] << ','
            << r.pagePos[RankColumn::kYahoo] << ',' << r.sitePos[RankColumn::kGoogle] << ','
            << r.sitePos[RankColumn::kMsn] << ',' << r.sitePos[RankColumn::kYahoo] << ','
            << r.pageRank << ',' << r.homePageRank << ',' << r.reciprocal;
        for (const auto& [field, reason] : r.failures) {
            out << '|' << Describe(field).jsonName << '=' << reason;
        }
        out << '\n';
    }
    return out.str();
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The three tables as the window exports them.
std::string Tables(const BacklinkList& list, const testing::TempDir& dir) {
    std::string all;
    ReportGrid overview;
    FillOverviewPane(overview, list, true);
    ReportGrid keyphrases;
    FillKeyphrasePane(keyphrases, list, true);
    ReportGrid pages;
    FillPagePane(pages, list, true);
    for (const ReportGrid* grid : {&overview, &keyphrases, &pages}) {
        const std::string path = dir.File("table.csv");
        EXPECT_TRUE(ExportGridToCsv(*grid, path).ok());
        all += ReadAll(path) + "\n---\n";
    }
    return all;
}

class SideBySideTest : public ::testing::Test {
protected:
    void StartWeb(int latencyMs) {
        DemoOptions options;
        options.latencyMs = latencyMs;
        web_ = std::make_unique<DemoWeb>(options);
        ASSERT_TRUE(web_->Start().ok());
    }
    ServiceConfig Config(int jobs) const {
        ServiceConfig config = DemoServiceConfig(ServiceConfig{}, web_->Port());
        config.http.jobs = jobs;
        return config;
    }

    std::unique_ptr<DemoWeb> web_;
    testing::TempDir dir_;
};

TEST_F(SideBySideTest, ManyJobsGiveTheListFieldsAndTablesOfOne) {
    // A little latency lets the jobs' answers come back in a mixed order.
    StartWeb(2);
    std::string dumps[2];
    std::string tables[2];
    std::int64_t requests[2] = {};
    const int jobs[2] = {1, 16};
    for (int run = 0; run < 2; ++run) {
        RunShared shared(Config(jobs[run]).http);
        shared.runState = kRunStarted;
        const RunResult result =
            RunReport(RunRequest{DemoSiteName(), 10, 10}, Config(jobs[run]), shared);
        EXPECT_EQ(shared.runState.load(), kRunIdle);
        dumps[run] = Dump(shared.List());
        tables[run] = Tables(shared.List(), dir_);
        requests[run] = result.requests;
    }
    EXPECT_GT(dumps[0].size(), 1000u);
    EXPECT_EQ(dumps[1], dumps[0]);
    EXPECT_EQ(tables[1], tables[0]);
    EXPECT_LE(requests[1], requests[0]);
}

TEST_F(SideBySideTest, ACancelEndsSixteenJobsWithinASecond) {
    StartWeb(100);
    const ServiceConfig config = Config(16);
    RunShared shared(config.http);
    shared.runState = kRunStarted;
    auto run = std::async(std::launch::async, [&] {
        return RunReport(RunRequest{DemoSiteName(), 10, 10}, config, shared);
    });
    const auto patience = steady_clock::now() + std::chrono::seconds(60);
    while (shared.recordsDone.load() < 3 && steady_clock::now() < patience) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    ASSERT_GE(shared.recordsDone.load(), 3u);
    const auto cancelled = steady_clock::now();
    ASSERT_TRUE(shared.Cancel(std::string(kCancelledStatus)));
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(std::chrono::duration<double>(steady_clock::now() - cancelled).count(), 1.0);
    const RunResult result = run.get();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(shared.StatusText(), kCancelledStatus);
    // Records not started keep nothing.
    const auto untouched = std::count_if(result.records.begin(), result.records.end(),
                                         [](const BacklinkRecord& r) { return r.href.empty(); });
    EXPECT_GT(untouched, 0);
}

}  // namespace
}  // namespace veltrap
