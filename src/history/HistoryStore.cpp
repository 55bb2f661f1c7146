#include "history/HistoryStore.h"

#include "engine/RecordFields.h"
#include "engine/SiteKey.h"
#include "history/SqliteStatement.h"

#include <sqlite3.h>

#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>

namespace veltrap {
namespace {

// How long a setup refused by another program's lock waits before it asks
// again.
constexpr int kBusyRetryMs = 10;

// The first schema: runs, their kept records without what a page's own answer
// says about its link, and their removed records.
constexpr const char* kSchemaOne = R"(
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    site_key TEXT NOT NULL,
    started_at TEXT NOT NULL,
    ended_at TEXT NOT NULL,
    cancelled INTEGER NOT NULL,
    backlink_pages INTEGER NOT NULL,
    ranking_pages INTEGER NOT NULL,
    jobs INTEGER NOT NULL,
    backlink_service TEXT NOT NULL,
    authority_service TEXT NOT NULL,
    search_service TEXT NOT NULL,
    backlink_source TEXT NOT NULL,
    backlink_count INTEGER NOT NULL,
    requests INTEGER NOT NULL,
    discovery_failed INTEGER NOT NULL,
    discovery_failed_page INTEGER NOT NULL,
    discovery_reason TEXT NOT NULL,
    service_failures TEXT NOT NULL,
    kept INTEGER NOT NULL,
    removed INTEGER NOT NULL
);
CREATE TABLE records (
    run_id INTEGER NOT NULL REFERENCES runs (id),
    position INTEGER NOT NULL,
    url TEXT NOT NULL,
    href TEXT NOT NULL,
    anchor_text TEXT NOT NULL,
    google_pagerank_pos INTEGER NOT NULL,
    msn_pagerank_pos INTEGER NOT NULL,
    yahoo_pagerank_pos INTEGER NOT NULL,
    google_site_pos INTEGER NOT NULL,
    msn_site_pos INTEGER NOT NULL,
    yahoo_site_pos INTEGER NOT NULL,
    page_rank INTEGER NOT NULL,
    home_page_rank INTEGER NOT NULL,
    reciprocal INTEGER NOT NULL,
    failures TEXT NOT NULL,
    PRIMARY KEY (run_id, position)
) WITHOUT ROWID;
CREATE TABLE removed (
    run_id INTEGER NOT NULL REFERENCES runs (id),
    position INTEGER NOT NULL,
    url TEXT NOT NULL,
    link_status TEXT NOT NULL,
    http_status INTEGER NOT NULL,
    kept_before INTEGER NOT NULL,
    PRIMARY KEY (run_id, position)
) WITHOUT ROWID;
PRAGMA user_version = 1;
)";

// The second adds the link status of every kept record, and finds a site's
// runs without reading them all. Records of older runs read as not examined.
constexpr const char* kSchemaTwo = R"(
ALTER TABLE records ADD COLUMN http_status INTEGER NOT NULL DEFAULT 0;
ALTER TABLE records ADD COLUMN final_url TEXT NOT NULL DEFAULT '';
ALTER TABLE records ADD COLUMN rel TEXT NOT NULL DEFAULT '';
ALTER TABLE records ADD COLUMN robots TEXT NOT NULL DEFAULT '';
ALTER TABLE records ADD COLUMN canonical TEXT NOT NULL DEFAULT '';
ALTER TABLE records ADD COLUMN link_status TEXT NOT NULL DEFAULT '';
CREATE INDEX runs_by_site ON runs (site_key, id);
PRAGMA user_version = 2;
)";

// The third tells where each run's list of linking pages came from. An
// older run's list came from its backlink source, whose name it kept.
constexpr const char* kSchemaThree = R"(
ALTER TABLE runs ADD COLUMN list_source TEXT NOT NULL DEFAULT '';
UPDATE runs SET list_source = backlink_source;
PRAGMA user_version = 3;
)";

// The fourth tells which records were read as a browser showed them, and
// which the user's disavow file named. Records of older runs read as
// neither.
constexpr const char* kSchemaFour = R"(
ALTER TABLE records ADD COLUMN rendered INTEGER NOT NULL DEFAULT 0;
ALTER TABLE removed ADD COLUMN rendered INTEGER NOT NULL DEFAULT 0;
ALTER TABLE records ADD COLUMN disavowed INTEGER NOT NULL DEFAULT 0;
ALTER TABLE removed ADD COLUMN disavowed INTEGER NOT NULL DEFAULT 0;
PRAGMA user_version = 4;
)";

// The name under which queries find a site key's SiteGroupKey.
constexpr const char* kSiteGroupFunction = "veltrap_site_group";

void SiteGroupFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = sqlite3_value_text(values[0]);
    const std::string key(text != nullptr ? reinterpret_cast<const char*>(text) : "",
                          static_cast<std::size_t>(sqlite3_value_bytes(values[0])));
    const std::string group = SiteGroupKey(key);
    sqlite3_result_text(context, group.data(), static_cast<int>(group.size()), SQLITE_TRANSIENT);
}

// The files this process has checked whole, so that a program storing many
// runs checks its history once.
std::mutex checkedMutex;
std::set<std::string>& CheckedFiles() {
    static std::set<std::string> checked;
    return checked;
}

// A list of byte strings as one text: each as its length, a colon and its
// bytes, so that no byte inside needs escaping.
std::string Pack(const std::vector<std::string>& parts) {
    std::string packed;
    for (const std::string& part : parts) {
        packed += std::to_string(part.size());
        packed += ':';
        packed += part;
    }
    return packed;
}

std::optional<std::vector<std::string>> Unpack(std::string_view packed) {
    std::vector<std::string> parts;
    while (!packed.empty()) {
        const std::size_t colon = packed.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon > 9) {
            return std::nullopt;
        }
        std::size_t size = 0;
        for (const char digit : packed.substr(0, colon)) {
            if (digit < '0' || digit > '9') {
                return std::nullopt;
            }
            size = size * 10 + static_cast<std::size_t>(digit - '0');
        }
        if (packed.size() - colon - 1 < size) {
            return std::nullopt;
        }
        parts.emplace_back(packed.substr(colon + 1, size));
        packed.remove_prefix(colon + 1 + size);
    }
    return parts;
}

// A record's failures keyed by the fields' names in records.json, which
// outlive any renumbering of the fields.
std::string PackFailures(const std::vector<std::pair<RecordField, std::string>>& failures) {
    std::vector<std::string> parts;
    for (const auto& [field, reason] : failures) {
        parts.emplace_back(Describe(field).jsonName);
        parts.push_back(reason);
    }
    return Pack(parts);
}

// Failures as PackFailures wrote them; none when they cannot be read or one
// of them names no field.
std::optional<std::vector<std::pair<RecordField, std::string>>> UnpackFailures(
    std::string_view packed) {
    const auto parts = Unpack(packed);
    if (!parts || parts->size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::pair<RecordField, std::string>> failures;
    for (std::size_t n = 0; n < parts->size(); n += 2) {
        const FieldInfo* info = FindField((*parts)[n]);
        if (info == nullptr) {
            return std::nullopt;
        }
        failures.emplace_back(info->field, (*parts)[n + 1]);
    }
    return failures;
}

std::string PackServiceFailures(const std::vector<ServiceFailures>& failures) {
    std::vector<std::string> parts;
    for (const ServiceFailures& failure : failures) {
        parts.push_back(failure.service);
        parts.push_back(std::to_string(failure.count));
        parts.push_back(failure.firstReason);
    }
    return Pack(parts);
}

std::string Duration(std::chrono::milliseconds timeout) {
    const auto ms = timeout.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// The columns ReadRun reads, in its order, after which a query may ask more.
constexpr int kRunColumnCount = 14;

HistoryRun ReadRun(const SqliteStatement& row) {
    HistoryRun run;
    run.id = row.Int(0);
    run.siteKey = row.Text(1);
    run.startedAt = row.Text(2);
    run.endedAt = row.Text(3);
    run.cancelled = row.Int(4) != 0;
    run.backlinkPages = static_cast<std::int32_t>(row.Int(5));
    run.rankingPages = static_cast<std::int32_t>(row.Int(6));
    run.jobs = static_cast<std::int32_t>(row.Int(7));
    run.backlinkService = row.Text(8);
    run.authorityService = row.Text(9);
    run.searchService = row.Text(10);
    run.kept = row.Int(11);
    run.removed = row.Int(12);
    run.listSource = row.Text(13);
    return run;
}

void BindField(SqliteStatement& row, int index, const BacklinkRecord& record,
               const FieldInfo& info) {
    switch (info.kind) {
        case FieldKind::kText:
            row.Bind(index, TextOf(record, info.field));
            break;
        case FieldKind::kNumber:
            row.Bind(index, std::int64_t{NumberOf(record, info.field)});
            break;
        case FieldKind::kFlag:
            row.Bind(index, std::int64_t{FlagOf(record, info.field)});
            break;
        case FieldKind::kFailures:
            row.Bind(index, PackFailures(record.failures));
            break;
    }
}

// Reads a field from its column of a records row; false for failures that
// cannot be read.
bool ReadField(const SqliteStatement& row, int column, const FieldInfo& info,
               BacklinkRecord& record) {
    switch (info.kind) {
        case FieldKind::kText:
            TextOf(record, info.field) = row.Text(column);
            return true;
        case FieldKind::kNumber:
            NumberOf(record, info.field) = static_cast<std::int32_t>(row.Int(column));
            return true;
        case FieldKind::kFlag:
            FlagOf(record, info.field) = row.Int(column) != 0;
            return true;
        case FieldKind::kFailures:
            if (auto failures = UnpackFailures(row.Text(column))) {
                record.failures = std::move(*failures);
                return true;
            }
            return false;
    }
    return false;
}

}  // namespace

void HistoryStore::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

HistoryStore::HistoryStore() = default;
HistoryStore::~HistoryStore() = default;
HistoryStore::HistoryStore(HistoryStore&&) noexcept = default;
HistoryStore& HistoryStore::operator=(HistoryStore&&) noexcept = default;

std::string HistoryStore::Problem(int code, const std::string& doing) const {
    const std::string name = "the history database " + file_.string();
    const int system = db_ ? sqlite3_system_errno(db_.get()) : 0;
    const std::string detail = db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(code);
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return name + " is locked by another program for longer than " +
                   Duration(busyTimeout_) + " (while " + doing + ")";
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return name + " cannot be written: " + detail;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return name + " is damaged or is not a database: " + detail;
        case SQLITE_FULL:
            return name + " cannot grow: the disk is full";
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
            return name + " cannot be " +
                   ((code & 0xff) == SQLITE_CANTOPEN ? "opened" : "read or written") + ": " +
                   (system != 0 ? std::strerror(system) : detail);
        default:
            return name + ": " + doing + " failed: " + detail;
    }
}

Status HistoryStore::Execute(const char* sql) {
    if (const int code = sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
        code != SQLITE_OK) {
        return Failure{Problem(code, "writing")};
    }
    return {};
}

Status HistoryStore::Connect(const std::filesystem::path& file,
                             std::chrono::milliseconds busyTimeout, int flags) {
    db_.reset();
    columns_.clear();
    file_ = file;
    busyTimeout_ = busyTimeout;
    sqlite3* opened = nullptr;
    const int code = sqlite3_open_v2(file.c_str(), &opened, flags, nullptr);
    db_.reset(opened);
    if (code != SQLITE_OK) {
        Failure failure{Problem(code, "opening")};
        db_.reset();
        return failure;
    }
    sqlite3_busy_timeout(db_.get(), static_cast<int>(busyTimeout.count()));
    if (const int made = sqlite3_create_function_v2(db_.get(), kSiteGroupFunction, 1,
                                                    SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                                    &SiteGroupFunction, nullptr, nullptr, nullptr);
        made != SQLITE_OK) {
        Failure failure{Problem(made, "opening")};
        db_.reset();
        return failure;
    }
    return {};
}

Status HistoryStore::Open(const std::filesystem::path& file,
                          std::chrono::milliseconds busyTimeout) {
    if (file.has_parent_path()) {
        std::error_code created;
        std::filesystem::create_directories(file.parent_path(), created);
        if (created) {
            db_.reset();
            return Failure{"cannot create the folder " + file.parent_path().string() +
                           " for the history: " + created.message()};
        }
    }
    if (Status connected = Connect(file, busyTimeout, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        !connected) {
        return connected;
    }
    // SQLite opens a file it may not write for reading alone.
    if (sqlite3_db_readonly(db_.get(), "main") == 1) {
        db_.reset();
        return Failure{"the history database " + file.string() +
                       " cannot be written: it is read-only"};
    }
    Status status = CheckWhole();
    if (status.ok()) {
        status = Migrate();
    }
    if (status.ok()) {
        status = ReadColumns();
    }
    if (!status.ok()) {
        db_.reset();
    }
    return status;
}

Status HistoryStore::OpenToRead(const std::filesystem::path& file,
                                std::chrono::milliseconds busyTimeout) {
    if (Status connected = Connect(file, busyTimeout, SQLITE_OPEN_READONLY); !connected) {
        return connected;
    }
    Status status = [this]() -> Status {
        SqliteStatement version(db_.get(), "PRAGMA user_version");
        if (!version.Step()) {
            return Failure{Problem(version.code(), "reading")};
        }
        if (version.Int(0) > kSchemaVersion) {
            return Failure{"the history database " + file_.string() +
                           " was written by a newer Veltrap (schema version " +
                           std::to_string(version.Int(0)) + "; this one knows up to " +
                           std::to_string(kSchemaVersion) + ")"};
        }
        if (Status read = ReadColumns(); !read) {
            return read;
        }
        if (version.Int(0) == 0 && !columns_.empty()) {
            return Failure{"the history database " + file_.string() +
                           " holds another program's tables"};
        }
        return {};
    }();
    if (!status.ok()) {
        db_.reset();
    }
    return status;
}

Status HistoryStore::CheckWhole() {
    std::error_code unplaced;
    const std::string name = std::filesystem::weakly_canonical(file_, unplaced).string();
    {
        std::lock_guard lock(checkedMutex);
        if (CheckedFiles().contains(name)) {
            return {};
        }
    }
    // A damaged page is otherwise only met when a query reads it, and a run
    // stored into a damaged file may be lost with the rest of it.
    SqliteStatement check(db_.get(), "PRAGMA quick_check");
    std::string found;
    while (check.Step()) {
        if (check.Text(0) != "ok") {
            found = check.Text(0);
            break;
        }
    }
    if (check.Failed()) {
        return Failure{Problem(check.code(), "checking the file") + ", so it is left as it is"};
    }
    if (!found.empty()) {
        return Failure{"the history database " + file_.string() +
                       " is damaged (SQLite's check found: " + found + "), so it is left as it is"};
    }
    std::lock_guard lock(checkedMutex);
    CheckedFiles().insert(name);
    return {};
}

Status HistoryStore::ReadColumns() {
    columns_.clear();
    SqliteStatement rows(db_.get(),
                         "SELECT m.name, p.name FROM sqlite_schema AS m, "
                         "pragma_table_info(m.name) AS p WHERE m.type = 'table'");
    while (rows.Step()) {
        columns_.insert(rows.Text(0) + "." + rows.Text(1));
    }
    if (rows.Failed()) {
        return Failure{Problem(rows.code(), "reading")};
    }
    return {};
}

std::string HistoryStore::Column(const std::string& table, const std::string& column,
                                 const std::string& fallback) const {
    return columns_.contains(table + "." + column) ? column : fallback;
}

Status HistoryStore::Migrate() {
    const auto version = [this]() -> std::optional<std::int64_t> {
        SqliteStatement read(db_.get(), "PRAGMA user_version");
        if (!read.Step()) {
            return std::nullopt;
        }
        return read.Int(0);
    };
    const auto failed = [this](const std::string& doing) {
        return Failure{Problem(sqlite3_errcode(db_.get()), doing)};
    };
    const auto newer = [this](std::int64_t found) {
        return Failure{"the history database " + file_.string() +
                       " was written by a newer Veltrap (schema version " + std::to_string(found) +
                       "; this one knows up to " + std::to_string(kSchemaVersion) +
                       "), so it is left as it is"};
    };
    // A file without a version that already holds tables is another
    // program's, which is left alone as well.
    const auto foreign = [this, &failed]() -> std::optional<Failure> {
        SqliteStatement tables(db_.get(), "SELECT count(*) FROM sqlite_schema");
        if (!tables.Step()) {
            return failed("reading");
        }
        if (tables.Int(0) != 0) {
            return Failure{"the history database " + file_.string() +
                           " holds another program's tables, so it is left as it is"};
        }
        return std::nullopt;
    };
    // The version is read before anything is written: turning on WAL mode
    // already changes the file, and a newer program's file must stay as it is.
    // The version and the tables are read in one transaction, so that a file
    // another Veltrap sets up meanwhile is not taken for another program's.
    if (Status begun = Execute("BEGIN"); !begun) {
        return begun;
    }
    const auto inspect = [&]() -> std::pair<std::optional<std::int64_t>, Status> {
        const std::optional<std::int64_t> read = version();
        if (!read) {
            return {read, failed("reading")};
        }
        if (*read > kSchemaVersion) {
            return {read, newer(*read)};
        }
        if (*read == 0) {
            if (auto refused = foreign()) {
                return {read, *refused};
            }
        }
        return {read, {}};
    };
    auto [found, inspected] = inspect();
    sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
    if (!inspected) {
        return inspected;
    }
    // Turning on WAL mode takes the file's exclusive lock without calling the
    // busy handler, so a program setting up a new file while another one does
    // would be refused at once; it waits out the busy timeout here instead.
    const auto waitUntil = std::chrono::steady_clock::now() + busyTimeout_;
    for (;;) {
        SqliteStatement wal(db_.get(), "PRAGMA journal_mode = WAL");
        if (wal.Step()) {
            if (wal.Text(0) != "wal") {
                return Failure{"the history database " + file_.string() +
                               " cannot be shared by two programs: its journal stays in mode " +
                               wal.Text(0)};
            }
            break;
        }
        if ((wal.code() & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() >= waitUntil) {
            return failed("turning on WAL mode");
        }
        sqlite3_sleep(kBusyRetryMs);
    }
    if (*found == kSchemaVersion) {
        return {};
    }
    // Another program may be migrating the same file, so the version is read
    // again once this one holds the write lock.
    if (Status begun = Execute("BEGIN IMMEDIATE"); !begun) {
        return begun;
    }
    const auto rollback = [this](Status status) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return status;
    };
    found = version();
    if (!found) {
        return rollback(failed("reading"));
    }
    if (*found > kSchemaVersion) {
        return rollback(newer(*found));
    }
    if (*found == 0) {
        if (auto refused = foreign()) {
            return rollback(*refused);
        }
        if (Status created = Execute(kSchemaOne); !created) {
            return rollback(created);
        }
        found = 1;
    }
    if (*found == 1) {
        if (Status migrated = Execute(kSchemaTwo); !migrated) {
            return rollback(migrated);
        }
        found = 2;
    }
    if (*found == 2) {
        if (Status migrated = Execute(kSchemaThree); !migrated) {
            return rollback(migrated);
        }
        found = 3;
    }
    if (*found == 3) {
        if (Status migrated = Execute(kSchemaFour); !migrated) {
            return rollback(migrated);
        }
    }
    if (Status committed = Execute("COMMIT"); !committed) {
        return rollback(committed);
    }
    return {};
}

Result<std::int64_t> HistoryStore::Store(const HistoryRun& run, const RunResult& result) {
    if (!db_) {
        return Failure{"the history is not open"};
    }
    if (Status begun = Execute("BEGIN IMMEDIATE"); !begun) {
        return begun.failure();
    }
    const auto fail = [this](int code) {
        Failure failure{Problem(code, "storing the run")};
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        return failure;
    };

    SqliteStatement runRow(db_.get(),
                           "INSERT INTO runs (site_key, started_at, ended_at, cancelled, "
                           "backlink_pages, ranking_pages, jobs, backlink_service, "
                           "authority_service, search_service, backlink_source, backlink_count, "
                           "requests, discovery_failed, discovery_failed_page, discovery_reason, "
                           "service_failures, kept, removed, list_source) VALUES "
                           "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    runRow.Bind(1, run.siteKey);
    runRow.Bind(2, run.startedAt);
    runRow.Bind(3, run.endedAt);
    runRow.Bind(4, std::int64_t{run.cancelled});
    runRow.Bind(5, std::int64_t{run.backlinkPages});
    runRow.Bind(6, std::int64_t{run.rankingPages});
    runRow.Bind(7, std::int64_t{run.jobs});
    runRow.Bind(8, run.backlinkService);
    runRow.Bind(9, run.authorityService);
    runRow.Bind(10, run.searchService);
    runRow.Bind(11, result.backlinkSource);
    runRow.Bind(12, std::int64_t{result.backlinkCount});
    runRow.Bind(13, result.requests);
    runRow.Bind(14, std::int64_t{result.discovery.failed});
    runRow.Bind(15, std::int64_t{result.discovery.failedPage});
    runRow.Bind(16, result.discovery.reason);
    runRow.Bind(17, PackServiceFailures(result.failures));
    runRow.Bind(18, static_cast<std::int64_t>(result.records.size()));
    runRow.Bind(19, static_cast<std::int64_t>(result.unlinked.size()));
    runRow.Bind(20, run.listSource);
    runRow.Step();
    if (runRow.Failed()) {
        return fail(runRow.code());
    }
    const std::int64_t id = sqlite3_last_insert_rowid(db_.get());

    // The run and the position come first, then a column for each field.
    std::string values = "?, ?";
    for (std::size_t n = 0; n < kRecordFields.size(); ++n) {
        values += ", ?";
    }
    // The file was brought up to date when it was opened, so it has every
    // field's column.
    SqliteStatement recordRow(db_.get(), "INSERT INTO records (run_id, position, " +
                                             RecordColumns() + ") VALUES (" + values + ")");
    std::int64_t position = 0;
    for (const BacklinkRecord& record : result.records) {
        recordRow.Reset();
        recordRow.Bind(1, id);
        recordRow.Bind(2, position++);
        int index = 3;
        for (const FieldInfo& info : kRecordFields) {
            BindField(recordRow, index++, record, info);
        }
        recordRow.Step();
        if (recordRow.Failed()) {
            return fail(recordRow.code());
        }
    }

    SqliteStatement removedRow(db_.get(),
                               "INSERT INTO removed (run_id, position, url, link_status, "
                               "http_status, kept_before, rendered, disavowed) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    position = 0;
    for (const UnlinkedRecord& record : result.unlinked) {
        removedRow.Reset();
        removedRow.Bind(1, id);
        removedRow.Bind(2, position++);
        removedRow.Bind(3, record.url);
        removedRow.Bind(4, record.linkStatus);
        removedRow.Bind(5, std::int64_t{record.httpStatus});
        removedRow.Bind(6, static_cast<std::int64_t>(record.keptBefore));
        removedRow.Bind(7, std::int64_t{record.rendered});
        removedRow.Bind(8, std::int64_t{record.disavowed});
        removedRow.Step();
        if (removedRow.Failed()) {
            return fail(removedRow.code());
        }
    }
    if (const int code = sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
        code != SQLITE_OK) {
        return fail(code);
    }
    return id;
}

std::string HistoryStore::RunColumns() const {
    return "id, site_key, started_at, ended_at, cancelled, backlink_pages, ranking_pages, jobs, "
           "backlink_service, authority_service, search_service, kept, removed, " +
           Column("runs", "list_source", "backlink_source");
}

std::string HistoryStore::RecordColumns() const {
    std::string columns;
    for (const FieldInfo& info : kRecordFields) {
        columns += columns.empty() ? "" : ", ";
        const bool number = info.kind == FieldKind::kNumber || info.kind == FieldKind::kFlag;
        columns += Column("records", std::string(info.historyColumn), number ? "0" : "''");
    }
    return columns;
}

Result<std::vector<HistoryRun>> HistoryStore::Runs(const std::string& siteKey, int limit,
                                                   std::int64_t upToId) {
    if (!db_) {
        return Failure{"the history is not open"};
    }
    // A file that is still empty, opened only to be read.
    if (!columns_.contains("runs.id")) {
        return std::vector<HistoryRun>{};
    }
    // The runs table holds a row per run, few enough to be read whole.
    SqliteStatement rows(db_.get(), "SELECT " + RunColumns() + " FROM runs WHERE " +
                                        kSiteGroupFunction + "(site_key) = ? AND id <= ? " +
                                        "ORDER BY id DESC LIMIT ?");
    rows.Bind(1, SiteGroupKey(siteKey));
    rows.Bind(2, upToId > 0 ? upToId : std::numeric_limits<std::int64_t>::max());
    rows.Bind(3, std::int64_t{limit > 0 ? limit : -1});
    std::vector<HistoryRun> runs;
    while (rows.Step()) {
        runs.push_back(ReadRun(rows));
    }
    if (rows.Failed()) {
        return Failure{Problem(rows.code(), "listing the runs")};
    }
    return runs;
}

Result<std::vector<std::string>> HistoryStore::KeptUrls(std::int64_t id) {
    if (!db_) {
        return Failure{"the history is not open"};
    }
    std::vector<std::string> urls;
    if (!columns_.contains("records.url")) {
        return urls;
    }
    SqliteStatement records(db_.get(),
                            "SELECT url FROM records WHERE run_id = ? ORDER BY position");
    records.Bind(1, id);
    while (records.Step()) {
        urls.push_back(records.Text(0));
    }
    if (records.Failed()) {
        return Failure{Problem(records.code(), "reading a run")};
    }
    return urls;
}

Result<StoredRun> HistoryStore::Load(std::int64_t id) {
    if (!db_) {
        return Failure{"the history is not open"};
    }
    const auto damaged = [this, id](const std::string& what) {
        return Failure{"the history database " + file_.string() + " is damaged: run " +
                       std::to_string(id) + " has " + what};
    };
    const auto fail = [this](int code) { return Failure{Problem(code, "reading a run")}; };
    // One read transaction, so that the run and its records come from one
    // moment of the file.
    if (Status begun = Execute("BEGIN"); !begun) {
        return begun.failure();
    }
    struct EndRead {
        sqlite3* db;
        ~EndRead() { sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
    } endRead{db_.get()};

    if (!columns_.contains("runs.id")) {
        return Failure{"the history database " + file_.string() + " holds no run " +
                       std::to_string(id)};
    }
    SqliteStatement runRow(db_.get(), "SELECT " + RunColumns() +
                                          ", backlink_source, backlink_count, requests, "
                                          "discovery_failed, discovery_failed_page, "
                                          "discovery_reason, service_failures "
                                          "FROM runs WHERE id = ?");
    runRow.Bind(1, id);
    if (!runRow.Step()) {
        if (runRow.Failed()) {
            return fail(runRow.code());
        }
        return Failure{"the history database " + file_.string() + " holds no run " +
                       std::to_string(id)};
    }
    StoredRun loaded;
    loaded.run = ReadRun(runRow);
    RunResult& result = loaded.result;
    result.siteKey = loaded.run.siteKey;
    result.cancelled = loaded.run.cancelled;
    result.backlinkSource = runRow.Text(kRunColumnCount);
    result.backlinkCount = static_cast<std::int32_t>(runRow.Int(kRunColumnCount + 1));
    result.requests = runRow.Int(kRunColumnCount + 2);
    result.discovery.failed = runRow.Int(kRunColumnCount + 3) != 0;
    result.discovery.failedPage = static_cast<int>(runRow.Int(kRunColumnCount + 4));
    result.discovery.reason = runRow.Text(kRunColumnCount + 5);
    const auto services = Unpack(runRow.Text(kRunColumnCount + 6));
    if (!services || services->size() % 3 != 0) {
        return damaged("unreadable service failures");
    }
    for (std::size_t n = 0; n < services->size(); n += 3) {
        result.failures.push_back(
            {(*services)[n], std::atoi((*services)[n + 1].c_str()), (*services)[n + 2]});
    }

    SqliteStatement records(db_.get(), "SELECT " + RecordColumns() +
                                           " FROM records WHERE run_id = ? ORDER BY position");
    records.Bind(1, id);
    while (records.Step()) {
        result.records.Append({});
        BacklinkRecord& record = *std::prev(result.records.end());
        int column = 0;
        for (const FieldInfo& info : kRecordFields) {
            if (!ReadField(records, column++, info, record)) {
                return damaged("a record with unreadable failures");
            }
        }
    }
    if (records.Failed()) {
        return fail(records.code());
    }

    SqliteStatement removed(db_.get(), "SELECT url, link_status, http_status, kept_before, " +
                                           Column("removed", "rendered", "0") + ", " +
                                           Column("removed", "disavowed", "0") +
                                           " FROM removed WHERE run_id = ? ORDER BY position");
    removed.Bind(1, id);
    while (removed.Step()) {
        result.unlinked.push_back(
            {removed.Text(0), removed.Text(1), static_cast<std::int32_t>(removed.Int(2)),
             static_cast<std::size_t>(removed.Int(3)), removed.Int(4) != 0, removed.Int(5) != 0});
    }
    if (removed.Failed()) {
        return fail(removed.code());
    }
    if (static_cast<std::int64_t>(result.records.size()) != loaded.run.kept ||
        static_cast<std::int64_t>(result.unlinked.size()) != loaded.run.removed) {
        return damaged("another number of records than it counted");
    }
    return loaded;
}

}  // namespace veltrap
