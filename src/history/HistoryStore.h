#pragma once

#include "engine/RunResult.h"
#include "history/HistoryRun.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace veltrap {

// What a call to the history came to: ok, or a message naming the database
// and saying why it could not be used.
struct HistoryStatus {
    std::string error;
    bool ok() const { return error.empty(); }
};

struct HistoryStored : HistoryStatus {
    std::int64_t id = 0;
};

struct HistoryRuns : HistoryStatus {
    std::vector<HistoryRun> runs;  // newest first
};

struct HistoryLoaded : HistoryStatus {
    HistoryRun run;
    RunResult result;
};

// The history of ended runs in one SQLite database, shared by every program
// of the user: it is kept in WAL mode and waits for a busy database up to a
// timeout, so that the window and veltrap-report can store runs at the same
// time. A store is one connection, used by one thread at a time; a worker
// thread opens its own. Nothing here throws: every failure is a message.
class HistoryStore {
public:
    // The schema this program writes; a database of a newer one is refused.
    static constexpr int kSchemaVersion = 2;
    static constexpr std::chrono::milliseconds kBusyTimeout{5000};

    HistoryStore();
    ~HistoryStore();
    HistoryStore(HistoryStore&&) noexcept;
    HistoryStore& operator=(HistoryStore&&) noexcept;

    // Opens the database, creating it and its folders when missing, and brings
    // an older schema up to date. A database of a newer schema, a damaged file
    // or another program's database is refused and left as it is.
    HistoryStatus Open(const std::filesystem::path& file,
                       std::chrono::milliseconds busyTimeout = kBusyTimeout);
    bool IsOpen() const { return db_ != nullptr; }

    // Stores one ended run whole, in one transaction: either every record is
    // stored or nothing is. run's id and counts are ignored; the siteKey is
    // taken from run.
    HistoryStored Store(const HistoryRun& run, const RunResult& result);
    // The stored runs of a site key, the latest stored first; limit 0 lists all.
    HistoryRuns Runs(const std::string& siteKey, int limit = 0);
    // A stored run as it ended, ready to be shown without fetching anything.
    HistoryLoaded Load(std::int64_t id);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    HistoryStatus Migrate();
    std::string Problem(int code, const std::string& doing) const;
    std::string Execute(const char* sql);

    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path file_;
    std::chrono::milliseconds busyTimeout_ = kBusyTimeout;
};

}  // namespace veltrap
