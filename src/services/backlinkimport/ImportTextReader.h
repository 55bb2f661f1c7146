#pragma once

#include "services/backlinkimport/AddressCollector.h"

#include <csv.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// Reads the text of one imported file, piece by piece, and hands the value
// of every row's linking page to the collector. What the file is comes from
// its first line that is neither blank nor a "#" comment: an address there
// makes it a plain list, one address a line, each ended by a CR, an LF or
// both, where a page named without its scheme ("timberstone.example/a.html")
// is read as its http:// address; anything else is the header
// line of a table, whose delimiter (comma, semicolon or tab) is the one that
// line uses most. Tables follow RFC 4180 quoting. The column of linking pages
// is the first whose header names one, or else the first in which most of
// the first 100 values are web addresses; a target column is never taken.
class ImportTextReader {
public:
    static constexpr std::size_t kRowsToJudge = 100;
    // How a table shows its column of linking pages, for the people whose
    // table has none.
    static std::string UnderstoodColumns();

    explicit ImportTextReader(AddressCollector& collector);
    ~ImportTextReader();
    ImportTextReader(const ImportTextReader&) = delete;
    ImportTextReader& operator=(const ImportTextReader&) = delete;

    void Feed(std::string_view text);
    // The text has ended. False for a table without a column of linking
    // pages, whose rows were then not taken.
    bool Finish();

    // The header line of the table, as it stood in the file.
    const std::string& HeaderLine() const { return headerLine_; }
    // Whether the table is Search Console's list of linking sites, which
    // names hosts rather than pages.
    bool IsLinkingSitesTable() const;

private:
    enum class Kind { kUndecided, kList, kTable };

    bool Decide(bool ended);
    void ReadLines(bool ended);
    // One line of a plain list.
    void TakeLine(std::string_view line);
    void ParseTable(std::string_view text);
    void AddField(std::string_view field);
    void EndRow();
    std::optional<std::size_t> ColumnByContent() const;
    void TakeRow(const std::vector<std::string>& row);

    static void OnField(void* field, std::size_t length, void* self);
    static void OnRowEnd(int ending, void* self);

    AddressCollector& collector_;
    Kind kind_ = Kind::kUndecided;
    std::string text_;  // text not yet read: before the decision, or a partial line
    csv_parser parser_{};
    std::vector<std::string> row_;
    // Once the column is known, a row keeps only its value there, how many
    // fields it had and whether any held more than blanks.
    std::string columnValue_;
    std::size_t fieldsInRow_ = 0;
    bool rowHasText_ = false;
    std::string headerLine_;
    std::optional<std::vector<std::string>> header_;
    std::optional<std::size_t> column_;
    std::vector<std::vector<std::string>> judged_;  // rows kept until the column is known
    bool withoutColumn_ = false;                    // judged, and none was found
};

}  // namespace veltrap
