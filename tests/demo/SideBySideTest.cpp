#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/RecordFields.h"
#include "export/ExportGridToCsv.h"
#include "net/CurlGlobal.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "session/ReportSession.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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
    void StartWeb(int latencyMs, int refuseFirstOneIn = 0) {
        DemoOptions options;
        options.latencyMs = latencyMs;
        options.refuseFirstOneIn = refuseFirstOneIn;
        web_ = std::make_unique<DemoWeb>(options);
        ASSERT_TRUE(web_->Start().ok());
    }
    SessionRequest Request(int jobs) const {
        SessionRequest request;
        request.run.siteText = DemoSiteName();
        request.config = DemoServiceConfig(ServiceConfig{}, web_->Port());
        request.config.http.jobs = jobs;
        return request;
    }

    std::unique_ptr<DemoWeb> web_;
    testing::TempDir dir_;
};

TEST_F(SideBySideTest, ManyJobsGiveTheListFieldsAndTablesOfOne) {
    // A little latency lets the jobs' answers come back in a mixed order, and
    // a server that sends some first asks away with a Retry-After delays some
    // of a record's lookups behind the others. Each run has a web of its own,
    // which refuses the same first asks.
    std::string dumps[2];
    std::string tables[2];
    std::int64_t requests[2] = {};
    const int jobs[2] = {1, 16};
    for (int run = 0; run < 2; ++run) {
        StartWeb(2, 7);
        SessionRequest request = Request(jobs[run]);
        request.config.http.perHostConnections = 2;
        request.config.http.perHostDelayMs = 1;
        ReportSession session(ReportSession::Prepare(std::move(request)).value(), {});
        const SessionEnd& end = session.Wait();
        ASSERT_TRUE(end.report.ok()) << end.report.reason();
        const RunResult& result = *end.report->result;
        EXPECT_FALSE(result.cancelled);
        dumps[run] = Dump(result.records);
        tables[run] = Tables(result.records, dir_);
        requests[run] = result.requests;
    }
    EXPECT_GT(dumps[0].size(), 1000u);
    EXPECT_EQ(dumps[1], dumps[0]);
    EXPECT_EQ(tables[1], tables[0]);
    // Every address is asked once, and refused once where the web does so,
    // however many lookups are in flight.
    EXPECT_EQ(requests[1], requests[0]);
    // The web of the side by side run.
    EXPECT_EQ(web_->PeakLoad().oneHost, 2);
}

// Once cancelled, sixteen jobs start no new request: only the ones in flight,
// at most one for each of a job's lookups, are still answered.
TEST_F(SideBySideTest, ACancelOfSixteenJobsStartsNoNewRequest) {
    StartWeb(100);
    std::atomic<std::size_t> done{0};
    std::mutex mutex;
    std::vector<std::string> lines;
    SessionEvents events;
    events.recordsDone = [&done](std::size_t records, std::size_t) { done.store(records); };
    events.status = [&](const std::string& line) {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    };
    ReportSession session(ReportSession::Prepare(Request(16)).value(), std::move(events));
    const auto patience = steady_clock::now() + std::chrono::seconds(60);
    while (done.load() < 3 && steady_clock::now() < patience) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    ASSERT_GE(done.load(), 3u);
    ASSERT_TRUE(session.Cancel());
    const std::int64_t answeredAtCancel = web_->RequestsAnswered();
    const SessionEnd& end = session.Wait();
    ASSERT_TRUE(end.report.ok());
    const RunResult& result = *end.report->result;
    EXPECT_TRUE(result.cancelled);
    EXPECT_LE(web_->RequestsAnswered(), answeredAtCancel + 16 * HttpOptions::kTransfersPerJob);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(lines.back(), ReportSession::kCancelledStatus);
    }
    // Records not started keep nothing.
    const auto untouched = std::count_if(result.records.begin(), result.records.end(),
                                         [](const BacklinkRecord& r) { return r.href.empty(); });
    EXPECT_GT(untouched, 0);
}

}  // namespace
}  // namespace veltrap
