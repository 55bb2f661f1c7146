#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace veltrap {

// One prepared SQLite statement, finalized with the object. Text is bound and
// read as bytes with their length, so any byte string goes in and comes back
// unchanged.
class SqliteStatement {
public:
    // After a failed prepare the statement is empty and code() tells why.
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The SQLite result code of the last prepare, bind or step.
    int code() const { return code_; }
    bool ok() const { return statement_ != nullptr && code_is_good_; }

    // Bind by 1-based index; a failure is kept in code().
    void Bind(int index, std::int64_t value);
    void Bind(int index, std::string_view text);
    // Steps once: true while a row is ready, false when done or failed (see
    // Failed()).
    bool Step();
    // Whether the last step or bind failed, as opposed to running out of rows.
    bool Failed() const { return !code_is_good_; }
    // Makes the statement ready to be bound and run again.
    void Reset();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;

private:
    void Keep(int code);

    sqlite3_stmt* statement_ = nullptr;
    int code_ = 0;
    bool code_is_good_ = false;
};

}  // namespace veltrap
