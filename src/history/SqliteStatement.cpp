#include "history/SqliteStatement.h"

#include <sqlite3.h>

namespace veltrap {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
    Keep(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::Keep(int code) {
    code_ = code;
    code_is_good_ = code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE;
}

void SqliteStatement::Bind(int index, std::int64_t value) {
    if (ok()) {
        Keep(sqlite3_bind_int64(statement_, index, value));
    }
}

void SqliteStatement::Bind(int index, std::string_view text) {
    if (ok()) {
        // An empty view may hold no pointer, which SQLite would take for NULL.
        Keep(sqlite3_bind_text64(statement_, index, text.empty() ? "" : text.data(), text.size(),
                                 SQLITE_TRANSIENT, SQLITE_UTF8));
    }
}

bool SqliteStatement::Step() {
    if (!ok()) {
        return false;
    }
    Keep(sqlite3_step(statement_));
    return code_ == SQLITE_ROW;
}

void SqliteStatement::Reset() {
    if (statement_ != nullptr) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
        Keep(SQLITE_OK);
    }
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(size));
}

}  // namespace veltrap
