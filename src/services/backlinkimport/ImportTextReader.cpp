#include "services/backlinkimport/ImportTextReader.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"

#include <algorithm>
#include <array>

namespace veltrap {
namespace {

// The headers that name a column of linking pages, compared without regard
// to case, as people are told them.
constexpr std::array<std::string_view, 4> kLinkingPageHeaders = {
    "Linking page", "Referring page URL", "Source url", "SourceURL"};
constexpr std::size_t kLongestHeaderLineShown = 300;

constexpr std::string_view kBlanks = " \t\r";

bool IsWebAddress(std::string_view value) {
    value = Trimmed(value, kBlanks);
    return StartsWithNoCase(value, "http://") || StartsWithNoCase(value, "https://");
}

bool IsHostLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

// A page named by its host and path without a scheme, as people copy it from
// the address bar: "timberstone.example/page.html". The host needs two labels
// at least, the last one beginning with a letter, so that a header such as
// "Domain" or a number is never taken for one.
bool IsBareAddress(std::string_view value) {
    value = Trimmed(value, kBlanks);
    if (value.find_first_of(" \t,;\"") != std::string_view::npos ||
        value.find("://") != std::string_view::npos) {
        return false;
    }
    std::string_view host = value.substr(0, value.find_first_of("/?#"));
    if (const auto colon = host.find(':'); colon != std::string_view::npos) {
        const std::string_view port = host.substr(colon + 1);
        if (port.empty() || port.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
        host = host.substr(0, colon);
    }
    std::size_t labels = 0;
    std::string_view last;
    while (true) {
        const auto dot = host.find('.');
        const std::string_view label = host.substr(0, dot);
        if (label.empty() || !std::all_of(label.begin(), label.end(), IsHostLabelCharacter)) {
            return false;
        }
        ++labels;
        last = label;
        if (dot == std::string_view::npos) {
            break;
        }
        host.remove_prefix(dot + 1);
    }
    const char first = last.front();
    return labels >= 2 && ((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'));
}

// Where the line that begins at start ends: its first CR or LF, npos when
// none came yet.
std::size_t LineEnd(std::string_view text, std::size_t start) {
    return text.find_first_of("\r\n", start);
}

// Where the line after a line end begins: a CR and an LF after it end one
// line together.
std::size_t NextLine(std::string_view text, std::size_t end) {
    return text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
}

bool IsSkippedLine(std::string_view line) {
    line = Trimmed(line, kBlanks);
    return line.empty() || line.front() == '#';
}

// A header name without blanks or quotes around it, lower-cased.
std::string HeaderName(std::string_view header) {
    const auto edge = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
    while (!header.empty() && edge(header.front())) {
        header.remove_prefix(1);
    }
    while (!header.empty() && edge(header.back())) {
        header.remove_suffix(1);
    }
    return LowerAscii(header);
}

// The delimiter the header line uses most outside quotes; a tab wins a tie
// over a semicolon, and a semicolon over a comma, the most common one.
unsigned char Delimiter(std::string_view line) {
    std::size_t tabs = 0;
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            tabs += c == '\t' ? 1 : 0;
            semicolons += c == ';' ? 1 : 0;
            commas += c == ',' ? 1 : 0;
        }
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) {
        return '\t';
    }
    if (semicolons > 0 && semicolons >= commas) {
        return ';';
    }
    return ',';
}

int OnlySpaceIsBlank(unsigned char c) {
    return c == ' ' ? 1 : 0;
}

}  // namespace

ImportTextReader::ImportTextReader(AddressCollector& collector) : collector_(collector) {
    csv_init(&parser_, 0);
    // A tab may be the delimiter, so only spaces are trimmed around fields.
    csv_set_space_func(&parser_, &OnlySpaceIsBlank);
}

ImportTextReader::~ImportTextReader() {
    csv_free(&parser_);
}

void ImportTextReader::Feed(std::string_view text) {
    switch (kind_) {
        case Kind::kUndecided:
            text_.append(text);
            Decide(false);
            break;
        case Kind::kList:
            text_.append(text);
            ReadLines(false);
            break;
        case Kind::kTable:
            ParseTable(text);
            break;
    }
}

bool ImportTextReader::Finish() {
    if (kind_ == Kind::kUndecided && !Decide(true)) {
        // Nothing but blank lines and comments: an empty list.
        kind_ = Kind::kList;
    }
    if (kind_ == Kind::kList) {
        ReadLines(true);
        return true;
    }
    csv_fini(&parser_, &OnField, &OnRowEnd, this);
    if (withoutColumn_) {
        return false;
    }
    if (!column_) {
        column_ = ColumnByContent();
        if (!column_) {
            return false;
        }
        if (header_ && IsWebAddress(header_->at(*column_))) {
            TakeRow(*header_);
        }
        for (const auto& row : judged_) {
            TakeRow(row);
        }
        judged_.clear();
    }
    return true;
}

bool ImportTextReader::Decide(bool ended) {
    std::size_t start = 0;
    while (start < text_.size() || ended) {
        const auto end = LineEnd(text_, start);
        if (end == std::string::npos && !ended) {
            return false;
        }
        const std::string_view line = std::string_view(text_).substr(
            start, end == std::string::npos ? std::string::npos : end - start);
        if (IsSkippedLine(line)) {
            if (end == std::string::npos) {
                return false;
            }
            start = NextLine(text_, end);
            continue;
        }
        const std::string_view first = Trimmed(line, kBlanks);
        if ((IsWebAddress(first) && first.find('\t') == std::string_view::npos) ||
            IsBareAddress(first)) {
            kind_ = Kind::kList;
            ReadLines(ended);
            return true;
        }
        kind_ = Kind::kTable;
        headerLine_ = std::string(first.substr(0, kLongestHeaderLineShown));
        csv_set_delim(&parser_, Delimiter(line));
        std::string table = text_.substr(start);
        text_.clear();
        ParseTable(table);
        return true;
    }
    return false;
}

void ImportTextReader::ReadLines(bool ended) {
    // A CR that ends the text read so far may be followed by the LF of the
    // same line end; the blank line it would leave is skipped either way.
    std::size_t start = 0;
    while (true) {
        const auto end = LineEnd(text_, start);
        if (end == std::string::npos) {
            break;
        }
        TakeLine(std::string_view(text_).substr(start, end - start));
        start = NextLine(text_, end);
    }
    text_.erase(0, std::min(start, text_.size()));
    if (ended) {
        TakeLine(text_);
        text_.clear();
    }
}

void ImportTextReader::TakeLine(std::string_view line) {
    if (IsSkippedLine(line)) {
        return;
    }
    if (IsBareAddress(line)) {
        collector_.TakeWithoutScheme(line);
    } else {
        collector_.Take(line);
    }
}

void ImportTextReader::ParseTable(std::string_view text) {
    csv_parse(&parser_, text.data(), text.size(), &OnField, &OnRowEnd, this);
}

void ImportTextReader::OnField(void* field, std::size_t length, void* self) {
    static_cast<ImportTextReader*>(self)->AddField(
        std::string_view(static_cast<const char*>(field), length));
}

void ImportTextReader::AddField(std::string_view field) {
    // A row of a million fields then costs no more than a row of two, and
    // the rows of a table without a column of linking pages are not kept.
    if (withoutColumn_) {
        return;
    }
    if (column_) {
        rowHasText_ = rowHasText_ || !Trimmed(field, kBlanks).empty();
        if (fieldsInRow_ == *column_) {
            columnValue_ = std::string(field);
        }
        ++fieldsInRow_;
        return;
    }
    row_.emplace_back(field);
}

void ImportTextReader::OnRowEnd(int, void* self) {
    static_cast<ImportTextReader*>(self)->EndRow();
}

void ImportTextReader::EndRow() {
    if (withoutColumn_) {
        return;
    }
    if (column_) {
        const bool taken = rowHasText_;
        const bool hasColumn = fieldsInRow_ > *column_;
        rowHasText_ = false;
        fieldsInRow_ = 0;
        // A row of empty fields is a blank line of the sheet.
        if (taken) {
            collector_.Take(hasColumn ? std::string_view(columnValue_) : std::string_view());
        }
        return;
    }
    std::vector<std::string> row = std::move(row_);
    row_.clear();
    // A row of empty fields is a blank line of the sheet.
    if (std::all_of(row.begin(), row.end(),
                    [](const std::string& field) { return Trimmed(field, kBlanks).empty(); })) {
        return;
    }
    if (!header_) {
        header_ = std::move(row);
        for (std::size_t column = 0; column < header_->size() && !column_; ++column) {
            const std::string name = HeaderName((*header_)[column]);
            if (std::any_of(
                    kLinkingPageHeaders.begin(), kLinkingPageHeaders.end(),
                    [&name](std::string_view known) { return EqualsNoCase(name, known); })) {
                column_ = column;
            }
        }
        return;
    }
    judged_.push_back(std::move(row));
    if (judged_.size() < kRowsToJudge) {
        return;
    }
    column_ = ColumnByContent();
    if (!column_) {
        // The table has no column of linking pages; the rest is not kept.
        withoutColumn_ = true;
        judged_.clear();
        judged_.shrink_to_fit();
        return;
    }
    if (IsWebAddress(header_->at(*column_))) {
        TakeRow(*header_);
    }
    for (const auto& judged : judged_) {
        TakeRow(judged);
    }
    judged_.clear();
}

std::optional<std::size_t> ImportTextReader::ColumnByContent() const {
    if (!header_) {
        return std::nullopt;
    }
    for (std::size_t column = 0; column < header_->size(); ++column) {
        const std::string& header = (*header_)[column];
        if (HeaderName(header).find("target") != std::string::npos) {
            continue;
        }
        // A header that is itself an address is the first row of a table
        // without headers, and counts with the rest.
        const bool headerIsValue = IsWebAddress(header);
        std::size_t values = headerIsValue ? 1 : 0;
        std::size_t addresses = values;
        for (const auto& row : judged_) {
            ++values;
            addresses += column < row.size() && IsWebAddress(row[column]) ? 1 : 0;
        }
        if (addresses * 2 > values) {
            return column;
        }
    }
    return std::nullopt;
}

void ImportTextReader::TakeRow(const std::vector<std::string>& row) {
    collector_.Take(*column_ < row.size() ? std::string_view(row[*column_]) : std::string_view());
}

bool ImportTextReader::IsLinkingSitesTable() const {
    return header_ && std::any_of(header_->begin(), header_->end(), [](const std::string& name) {
               return HeaderName(name) == "site";
           });
}

std::string ImportTextReader::UnderstoodColumns() {
    std::string text = "A column of linking pages is one headed ";
    for (std::size_t n = 0; n < kLinkingPageHeaders.size(); ++n) {
        text += n == 0 ? "" : n + 1 == kLinkingPageHeaders.size() ? " or " : ", ";
        text += "\"" + std::string(kLinkingPageHeaders[n]) + "\"";
    }
    return text + ", or one whose values mostly begin with http:// or https://.";
}

}  // namespace veltrap
