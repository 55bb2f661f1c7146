#include "history/HistoryStore.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <tuple>

namespace veltrap {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

auto Fields(const BacklinkRecord& r) {
    return std::tie(r.url, r.href, r.anchorText, r.pagePos, r.sitePos, r.pageRank, r.homePageRank,
                    r.reciprocal, r.httpStatus, r.finalUrl, r.rel, r.robots, r.canonical,
                    r.linkStatus, r.failures);
}

RunResult SampleResult(int records) {
    RunResult result;
    result.siteKey = "mysite.test";
    result.backlinkSource = "siteexplorer";
    result.backlinkCount = records + 1;
    result.requests = 77;
    result.discovery = {true, 2, "HTTP 503"};
    result.failures = {{"pagerank-page", 3, "HTTP 404"}};
    for (int n = 0; n < records; ++n) {
        result.records.Append("http://a" + std::to_string(n) + ".example/");
        BacklinkRecord& record = *std::prev(result.records.end());
        // No two fields hold the same value, so a value read back into another
        // field shows.
        record.href = "http://mysite.test/";
        // Bytes that are not UTF-8, and the packing's own separator, come back as they went.
        record.anchorText = "caf\xe9: 12:x";
        record.pagePos[RankColumn::kGoogle] = n;
        record.pagePos[RankColumn::kMsn] = 1000 + n;
        record.pagePos[RankColumn::kYahoo] = 2000 + n;
        record.sitePos[RankColumn::kGoogle] = 3000 + n;
        record.sitePos[RankColumn::kMsn] = 4000 + n;
        record.sitePos[RankColumn::kYahoo] = 5000 + n;
        record.pageRank = -1;
        record.homePageRank = 6000 + n;
        record.reciprocal = n % 2 == 0;
        record.httpStatus = 200;
        record.finalUrl = "https://a.example/";
        record.rel = "nofollow ugc";
        record.robots = "noindex nofollow";
        record.canonical = "https://a.example/c";
        record.linkStatus = "noindex";
        record.failures = {{RecordField::kPageRank, "HTTP 404"}, {RecordField::kMsnSitePos, ""}};
    }
    result.unlinked = {{"http://gone.example/", "gone", 404, 1, true}};
    return result;
}

HistoryRun SampleRun(bool cancelled) {
    HistoryRun run;
    run.siteKey = "mysite.test";
    run.startedAt = "2026-12-09T09:40:05Z";
    run.endedAt = "2026-12-09T09:41:00Z";
    run.cancelled = cancelled;
    run.backlinkPages = 3;
    run.rankingPages = 2;
    run.jobs = 16;
    run.backlinkService = "siteexplorer";
    run.authorityService = "pagerank-page";
    run.searchService = "html-search";
    return run;
}

// A raw connection, for the files an older program or another one leaves.
void Sql(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error != nullptr ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST(HistoryStoreTest, StoresRunsWholeAndLoadsThemBack) {
    TempDir dir;
    const auto file = dir.Path() / "deep" / "folder" / "history.sqlite";
    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    const RunResult completed = SampleResult(3);
    const Result<std::int64_t> first = store.Store(SampleRun(false), completed);
    ASSERT_TRUE(first.ok()) << first.reason();
    const Result<std::int64_t> second = store.Store(SampleRun(true), SampleResult(1));
    ASSERT_TRUE(second.ok()) << second.reason();
    EXPECT_TRUE(store
                    .Store(
                        [] {
                            HistoryRun other = SampleRun(false);
                            other.siteKey = "other.test";
                            return other;
                        }(),
                        SampleResult(0))
                    .ok());

    const Result<std::vector<HistoryRun>> listed = store.Runs("mysite.test");
    ASSERT_TRUE(listed.ok()) << listed.reason();
    const std::vector<HistoryRun>& runs = listed.value();
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_EQ(runs[0].id, second.value());
    EXPECT_TRUE(runs[0].cancelled);
    EXPECT_EQ(runs[0].kept, 1);
    EXPECT_EQ(runs[1].id, first.value());
    EXPECT_FALSE(runs[1].cancelled);
    EXPECT_EQ(runs[1].kept, 3);
    EXPECT_EQ(runs[1].removed, 1);
    EXPECT_EQ(store.Runs("mysite.test", 1)->size(), 1U);

    // A second connection reads what the first stored.
    HistoryStore reader;
    ASSERT_TRUE(reader.Open(file).ok());
    const Result<StoredRun> loaded = reader.Load(first.value());
    ASSERT_TRUE(loaded.ok()) << loaded.reason();
    const HistoryRun expected = SampleRun(false);
    const HistoryRun& run = loaded->run;
    EXPECT_EQ(std::tie(run.startedAt, run.endedAt, run.backlinkPages, run.rankingPages, run.jobs,
                       run.backlinkService, run.authorityService, run.searchService),
              std::tie(expected.startedAt, expected.endedAt, expected.backlinkPages,
                       expected.rankingPages, expected.jobs, expected.backlinkService,
                       expected.authorityService, expected.searchService));
    const RunResult& back = loaded->result;
    EXPECT_EQ(std::tie(back.siteKey, back.backlinkSource, back.backlinkCount, back.requests,
                       back.cancelled, back.discovery.failed, back.discovery.failedPage,
                       back.discovery.reason),
              std::tie(completed.siteKey, completed.backlinkSource, completed.backlinkCount,
                       completed.requests, completed.cancelled, completed.discovery.failed,
                       completed.discovery.failedPage, completed.discovery.reason));
    EXPECT_EQ(back.FailureLine(), completed.FailureLine());
    ASSERT_EQ(back.records.size(), completed.records.size());
    for (auto was = completed.records.begin(), is = back.records.begin();
         was != completed.records.end(); ++was, ++is) {
        EXPECT_EQ(Fields(*is), Fields(*was));
    }
    ASSERT_EQ(back.unlinked.size(), 1U);
    EXPECT_EQ(
        std::tie(back.unlinked[0].url, back.unlinked[0].linkStatus, back.unlinked[0].httpStatus,
                 back.unlinked[0].keptBefore, back.unlinked[0].disavowed),
        std::tie(completed.unlinked[0].url, completed.unlinked[0].linkStatus,
                 completed.unlinked[0].httpStatus, completed.unlinked[0].keptBefore,
                 completed.unlinked[0].disavowed));
    EXPECT_TRUE(reader.Load(second.value())->result.cancelled);
    EXPECT_THAT(reader.Load(999).reason(), HasSubstr("holds no run 999"));
}

TEST(HistoryStoreTest, BringsAVersionOneFileUpToDate) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    Sql(file, R"(
CREATE TABLE runs (id INTEGER PRIMARY KEY, site_key TEXT NOT NULL, started_at TEXT NOT NULL,
    ended_at TEXT NOT NULL, cancelled INTEGER NOT NULL, backlink_pages INTEGER NOT NULL,
    ranking_pages INTEGER NOT NULL, jobs INTEGER NOT NULL, backlink_service TEXT NOT NULL,
    authority_service TEXT NOT NULL, search_service TEXT NOT NULL, backlink_source TEXT NOT NULL,
    backlink_count INTEGER NOT NULL, requests INTEGER NOT NULL, discovery_failed INTEGER NOT NULL,
    discovery_failed_page INTEGER NOT NULL, discovery_reason TEXT NOT NULL,
    service_failures TEXT NOT NULL, kept INTEGER NOT NULL, removed INTEGER NOT NULL);
CREATE TABLE records (run_id INTEGER NOT NULL REFERENCES runs (id), position INTEGER NOT NULL,
    url TEXT NOT NULL, href TEXT NOT NULL, anchor_text TEXT NOT NULL,
    google_pagerank_pos INTEGER NOT NULL, msn_pagerank_pos INTEGER NOT NULL,
    yahoo_pagerank_pos INTEGER NOT NULL, google_site_pos INTEGER NOT NULL,
    msn_site_pos INTEGER NOT NULL, yahoo_site_pos INTEGER NOT NULL, page_rank INTEGER NOT NULL,
    home_page_rank INTEGER NOT NULL, reciprocal INTEGER NOT NULL, failures TEXT NOT NULL,
    PRIMARY KEY (run_id, position)) WITHOUT ROWID;
CREATE TABLE removed (run_id INTEGER NOT NULL REFERENCES runs (id), position INTEGER NOT NULL,
    url TEXT NOT NULL, link_status TEXT NOT NULL, http_status INTEGER NOT NULL,
    kept_before INTEGER NOT NULL, PRIMARY KEY (run_id, position)) WITHOUT ROWID;
INSERT INTO runs VALUES (7, 'mysite.test', '2026-01-01T00:00:00Z', '2026-01-01T00:01:00Z', 0,
    3, 2, 16, 'siteexplorer', 'pagerank-page', 'html-search', 'siteexplorer', 1, 9, 0, 0, '',
    '', 1, 1);
INSERT INTO records VALUES (7, 0, 'http://a.example/', 'http://mysite.test/', 'my site',
    1, 2, 3, 4, 5, 6, 7, 8, 1, '8:pageRank8:HTTP 404');
INSERT INTO removed VALUES (7, 0, 'http://b.example/', 'error', 403, 1);
PRAGMA user_version = 1;
)");
    // Reading alone leaves the file as the older program wrote it.
    const std::string written = ReadFileBytes(file);
    {
        HistoryStore reader;
        ASSERT_TRUE(reader.OpenToRead(file).ok());
        const Result<StoredRun> read = reader.Load(7);
        ASSERT_TRUE(read.ok()) << read.reason();
        EXPECT_EQ(read->result.records.begin()->homePageRank, 8);
        EXPECT_EQ(reader.Runs("mysite.test")->front().listSource, "siteexplorer");
    }
    EXPECT_EQ(ReadFileBytes(file), written);

    HistoryStore store;
    const Status opened = store.Open(file);
    ASSERT_TRUE(opened.ok()) << opened.reason();
    const Result<StoredRun> old = store.Load(7);
    ASSERT_TRUE(old.ok()) << old.reason();
    ASSERT_EQ(old->result.records.size(), 1U);
    const BacklinkRecord& record = *old->result.records.begin();
    EXPECT_EQ(record.anchorText, "my site");
    EXPECT_EQ(record.homePageRank, 8);
    EXPECT_EQ(record.failures, (decltype(record.failures){{RecordField::kPageRank, "HTTP 404"}}));
    // The version had no link status: the record reads as not examined.
    EXPECT_EQ(record.linkStatus, "");
    EXPECT_EQ(record.httpStatus, 0);
    EXPECT_FALSE(record.disavowed);
    // A page an older program removed as "error" stays so, never disavowed.
    ASSERT_EQ(old->result.unlinked.size(), 1U);
    EXPECT_EQ(old->result.unlinked[0].linkStatus, "error");
    EXPECT_EQ(old->result.unlinked[0].httpStatus, 403);
    EXPECT_FALSE(old->result.unlinked[0].disavowed);

    const Result<std::int64_t> stored = store.Store(SampleRun(false), SampleResult(2));
    ASSERT_TRUE(stored.ok()) << stored.reason();
    EXPECT_EQ((*store.Load(stored.value())->result.records.begin()).linkStatus, "noindex");
    EXPECT_EQ(store.Runs("mysite.test")->size(), 2U);
}

TEST(HistoryStoreTest, ARecordFailingAFieldNoRecordHasIsDamaged) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    const Result<std::int64_t> stored = store.Store(SampleRun(false), SampleResult(1));
    ASSERT_TRUE(stored.ok()) << stored.reason();
    Sql(file, "UPDATE records SET failures = '6:upRank8:HTTP 404'");
    EXPECT_THAT(store.Load(stored.value()).reason(),
                HasSubstr(" is damaged: run " + std::to_string(stored.value()) +
                          " has a record with unreadable failures"));
}

TEST(HistoryStoreTest, RefusesFilesItCannotUseAndLeavesThemAsTheyAre) {
    TempDir dir;
    const auto newer = dir.Path() / "newer.sqlite";
    Sql(newer, "CREATE TABLE future (x); PRAGMA user_version = 9;");
    const auto foreign = dir.Path() / "foreign.sqlite";
    Sql(foreign, "CREATE TABLE runs (x);");
    const auto corrupt = dir.Path() / "corrupt.sqlite";
    WriteFileBytes(corrupt, std::string(4096, 'x'));

    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {newer, "was written by a newer Veltrap (schema version 9; this one knows up to 4)"},
        {foreign, "holds another program's tables"},
        {corrupt, "is damaged or is not a database"}};
    for (const auto& [file, message] : cases) {
        const std::string before = ReadFileBytes(file);
        HistoryStore store;
        const Status opened = store.Open(file);
        EXPECT_THAT(opened.reason(), HasSubstr(message));
        EXPECT_THAT(opened.reason(), HasSubstr(file.string()));
        EXPECT_FALSE(store.IsOpen());
        EXPECT_THAT(store.Store(SampleRun(false), SampleResult(1)).reason(), HasSubstr("not open"));
        EXPECT_EQ(ReadFileBytes(file), before) << file;
    }
}

TEST(HistoryStoreTest, DamageInsideTheFileIsFoundBeforeTheFirstWrite) {
    TempDir dir;
    const auto made = dir.Path() / "made.sqlite";
    {
        HistoryStore store;
        ASSERT_TRUE(store.Open(made).ok());
        ASSERT_TRUE(store.Store(SampleRun(false), SampleResult(300)).ok());
    }
    // A copy this process has not checked yet, with the b-tree page after the
    // schema's overwritten: opening and reading the schema do not meet it.
    const auto damaged = dir.Path() / "damaged.sqlite";
    std::string bytes = ReadFileBytes(made);
    ASSERT_GT(bytes.size(), 4u * 4096);
    for (std::size_t n = 0; n < 300; ++n) {
        bytes[2 * 4096 + n] = static_cast<char>(n * 73 + 11);
    }
    WriteFileBytes(damaged, bytes);
    HistoryStore store;
    const Status opened = store.Open(damaged);
    EXPECT_THAT(opened.reason(), HasSubstr(damaged.string() + " is damaged"));
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(ReadFileBytes(damaged), bytes);
    EXPECT_FALSE(std::filesystem::exists(damaged.string() + "-wal"));
}

TEST(HistoryStoreTest, ASiteIsOneWhicheverWayItsAddressWasTypedAndEachRunSaysWhereItsListCameFrom) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    for (const std::string key : {"Shop-Test.example/", "shop-test.example", "other.example"}) {
        HistoryRun run = SampleRun(false);
        run.siteKey = key;
        run.listSource = "import of 2 files";
        ASSERT_TRUE(store.Store(run, SampleResult(1)).ok());
    }
    const auto runs = store.Runs("WWW.shop-test.EXAMPLE//").value();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].siteKey, "shop-test.example");
    EXPECT_EQ(runs[1].siteKey, "Shop-Test.example/");
    EXPECT_EQ(runs[0].listSource, "import of 2 files");
    EXPECT_EQ(store.Runs("shop-test.example", 0, runs[1].id)->size(), 1u);
    // A path is a part of the site and keeps its case.
    EXPECT_TRUE(store.Runs("shop-test.example/Shop")->empty());

    // A file the user may not write is read all the same; root writes any
    // file, so only another user sees the refusal to store.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    HistoryStore reader;
    ASSERT_TRUE(reader.OpenToRead(file).ok());
    EXPECT_EQ(reader.Runs("shop-test.example")->size(), 2u);
    if (geteuid() != 0) {
        EXPECT_THAT(HistoryStore().Open(file).reason(), HasSubstr("read-only"));
    }
}

TEST(HistoryStoreTest, ALockHeldPastTheTimeoutIsToldAndStoresNothing) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    HistoryStore store;
    ASSERT_TRUE(store.Open(file, std::chrono::milliseconds(100)).ok());

    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const Result<std::int64_t> refused = store.Store(SampleRun(false), SampleResult(5));
    EXPECT_THAT(refused.reason(),
                HasSubstr("history.sqlite is locked by another program for longer than 100 ms"));
    // Reading goes on beside a writer.
    const Result<std::vector<HistoryRun>> listed = store.Runs("mysite.test");
    ASSERT_TRUE(listed.ok()) << listed.reason();
    EXPECT_TRUE(listed->empty());
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    EXPECT_TRUE(store.Store(SampleRun(false), SampleResult(5)).ok());
    EXPECT_EQ(store.Runs("mysite.test")->size(), 1U);
}

TEST(HistoryStoreTest, TwoProgramsStoreAtTheSameTime) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    constexpr int kRuns = 15;
    // Each writer opens the fresh file itself, so that both also set it up at
    // once. The errors are counted, as a child process can only tell a number.
    const auto writer = [&file](int records) {
        int errors = 0;
        HistoryStore store;
        if (const Status opened = store.Open(file); !opened.ok()) {
            std::fprintf(stderr, "%s\n", opened.reason().c_str());
            return 1;
        }
        for (int n = 0; n < kRuns; ++n) {
            if (const Result<std::int64_t> stored =
                    store.Store(SampleRun(false), SampleResult(records));
                !stored.ok()) {
                std::fprintf(stderr, "%s\n", stored.reason().c_str());
                ++errors;
            }
        }
        return errors;
    };
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        _exit(writer(200));
    }
    EXPECT_EQ(writer(300), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    const Result<std::vector<HistoryRun>> listed = store.Runs("mysite.test");
    ASSERT_TRUE(listed.ok()) << listed.reason();
    ASSERT_EQ(listed->size(), 2U * kRuns);
    for (const HistoryRun& run : listed.value()) {
        ASSERT_TRUE(run.kept == 300 || run.kept == 200) << run.kept;
        EXPECT_EQ(static_cast<std::int64_t>(store.Load(run.id)->result.records.size()), run.kept);
    }
}

}  // namespace
}  // namespace veltrap
