#pragma once

#include "base/Result.h"
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
    static constexpr int kSchemaVersion = 2;
    static constexpr std::chrono::milliseconds kBusyTimeout{5000};

    HistoryStore();
    ~HistoryStore();
    HistoryStore(HistoryStore&&) noexcept;
    HistoryStore& operator=(HistoryStore&&) noexcept;

    // Opens the database, creating it and its folders when missing, and brings
    // an older schema up to date. A database of a newer schema, a damaged file
    // or another program's database is refused and left as it is.
    Status Open(const std::filesystem::path& file,
                std::chrono::milliseconds busyTimeout = kBusyTimeout);
    bool IsOpen() const { return db_ != nullptr; }

    // Stores one ended run whole, in one transaction: either every record is
    // stored or nothing is. run's id and counts are ignored; the siteKey is
    // taken from run. Gives the new run's id.
    Result<std::int64_t> Store(const HistoryRun& run, const RunResult& result);
    // The stored runs of a site key, the latest stored first; limit 0 lists all.
    Result<std::vector<HistoryRun>> Runs(const std::string& siteKey, int limit = 0);
    // A stored run as it ended, ready to be shown without fetching anything.
    Result<StoredRun> Load(std::int64_t id);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    Status Migrate();
    std::string Problem(int code, const std::string& doing) const;
    Status Execute(const char* sql);

    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path file_;
    std::chrono::milliseconds busyTimeout_ = kBusyTimeout;
};

}  // namespace veltrap
