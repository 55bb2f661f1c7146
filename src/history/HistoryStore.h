#pragma once

#include "base/Result.h"
#include "engine/RunResult.h"
#include "history/HistoryRun.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct sqlite3;

namespace veltrap {

// A stored run as it ended.
struct StoredRun {
    HistoryRun run;
    RunResult result;
};

// The history of ended runs in one SQLite database, shared by every program
// of the user: it is kept in WAL mode and waits for a busy database up to a
// timeout, so that the window and veltrap-report can store runs at the same
// time. A store is one connection, used by one thread at a time; a worker
// thread opens its own. Nothing here throws: every failure is a message that
// names the database and says why it could not be used.
class HistoryStore {
public:
    // The schema this program writes; a database of a newer one is refused.
    static constexpr int kSchemaVersion = 4;
    static constexpr std::chrono::milliseconds kBusyTimeout{5000};

    HistoryStore();
    ~HistoryStore();
    HistoryStore(HistoryStore&&) noexcept;
    HistoryStore& operator=(HistoryStore&&) noexcept;

    // Opens the database to store runs, creating it and its folders when
    // missing, and brings an older schema up to date. A database of a newer
    // schema, a damaged file or another program's database is refused and
    // left as it is. The first open of a file in a process checks the whole
    // file (SQLite's quick_check) before anything is written to it.
    Status Open(const std::filesystem::path& file,
                std::chrono::milliseconds busyTimeout = kBusyTimeout);
    // Opens the database to read it alone: nothing is created, migrated or
    // written, so a file the user may not write, or one of an older schema,
    // is read as it stands. A file without Veltrap's tables lists no runs.
    Status OpenToRead(const std::filesystem::path& file,
                      std::chrono::milliseconds busyTimeout = kBusyTimeout);
    bool IsOpen() const { return db_ != nullptr; }

    // Stores one ended run whole, in one transaction: either every record is
    // stored or nothing is. run's id and counts are ignored; the siteKey is
    // taken from run. Gives the new run's id.
    Result<std::int64_t> Store(const HistoryRun& run, const RunResult& result);
    // The stored runs of a site, the latest stored first; limit 0 lists all.
    // A site's runs are found by SiteGroupKey, however its address was typed
    // for each. upToId > 0 lists only the runs stored up to that one.
    Result<std::vector<HistoryRun>> Runs(const std::string& siteKey, int limit = 0,
                                         std::int64_t upToId = 0);
    // A stored run as it ended, ready to be shown without fetching anything.
    Result<StoredRun> Load(std::int64_t id);
    // The addresses of the pages a stored run kept, in its list's order,
    // without the rest of the run.
    Result<std::vector<std::string>> KeptUrls(std::int64_t id);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    Status Connect(const std::filesystem::path& file, std::chrono::milliseconds busyTimeout,
                   int flags);
    Status Migrate();
    // Checks the whole file once in the process, before its first write.
    Status CheckWhole();
    // Learns which columns the file's tables have.
    Status ReadColumns();
    // The column of a table as a query reads it: a column an older schema
    // lacks reads as fallback.
    std::string Column(const std::string& table, const std::string& column,
                       const std::string& fallback) const;
    // What ReadRun reads, and the records table's fields in kRecordFields'
    // order, as this file holds them.
    std::string RunColumns() const;
    std::string RecordColumns() const;
    std::string Problem(int code, const std::string& doing) const;
    Status Execute(const char* sql);

    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path file_;
    std::chrono::milliseconds busyTimeout_ = kBusyTimeout;
    // "table.column" for every column of the file's tables.
    std::set<std::string> columns_;
};

}  // namespace veltrap
