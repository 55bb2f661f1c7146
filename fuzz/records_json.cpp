// records.json and the UTF-8 mending under it: the first part is the site key
// and the rest are records. The file is parsed again with nlohmann-json and
// every value compared with the record it came from, text mended.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzRecords.h"
#include "base/Utf8Text.h"
#include "engine/RecordFields.h"
#include "export/RecordsJson.h"

#include <nlohmann/json.hpp>

using namespace veltrap;

namespace {

using Json = nlohmann::json;

// Whether nlohmann-json, which refuses broken UTF-8, takes the bytes as text.
bool IsUtf8(const std::string& bytes) {
    try {
        (void)Json(bytes).dump();
        return true;
    } catch (const Json::exception&) {
        return false;
    }
}

void CheckMended(const std::string& bytes) {
    const std::string mended = MendUtf8(bytes);
    FUZZ_CHECK(IsUtf8(mended));
    FUZZ_CHECK(!IsUtf8(bytes) || mended == bytes);
    FUZZ_CHECK(mended.size() >= bytes.size());
}

void CheckText(const Json& value, const std::string& bytes) {
    FUZZ_CHECK(value.is_string() && value.get<std::string>() == MendUtf8(bytes));
}

void CheckRecord(const Json& line, const BacklinkRecord& record) {
    CheckText(line.at("url"), record.url);
    CheckText(line.at("href"), record.href);
    CheckText(line.at("anchorText"), record.anchorText);
    CheckText(line.at("finalUrl"), record.finalUrl);
    CheckText(line.at("rel"), record.rel);
    CheckText(line.at("canonical"), record.canonical);
    CheckText(line.at("robots"), record.robots);
    CheckText(line.at("linkStatus"), record.linkStatus);
    FUZZ_CHECK(line.at("googlePageRankPos") == record.pagePos[RankColumn::kGoogle]);
    FUZZ_CHECK(line.at("msnPageRankPos") == record.pagePos[RankColumn::kMsn]);
    FUZZ_CHECK(line.at("yahooPageRankPos") == record.pagePos[RankColumn::kYahoo]);
    FUZZ_CHECK(line.at("googleSitePos") == record.sitePos[RankColumn::kGoogle]);
    FUZZ_CHECK(line.at("msnSitePos") == record.sitePos[RankColumn::kMsn]);
    FUZZ_CHECK(line.at("yahooSitePos") == record.sitePos[RankColumn::kYahoo]);
    FUZZ_CHECK(line.at("pageRank") == record.pageRank);
    FUZZ_CHECK(line.at("homePageRank") == record.homePageRank);
    FUZZ_CHECK(line.at("httpStatus") == record.httpStatus);
    FUZZ_CHECK(line.at("reciprocal") == record.reciprocal);
    const Json& failures = line.at("failures");
    FUZZ_CHECK(failures.size() == record.failures.size());
    for (const auto& [field, reason] : record.failures) {
        CheckText(failures.at(std::string(Describe(field).jsonName)), reason);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    for (std::size_t part = 0; part < input.PartCount(); ++part) {
        CheckMended(input.Part(part));
    }
    const fuzzing::FuzzRecords records(input);
    RunResult result;
    result.siteKey = input.Part(0);
    result.backlinkCount = static_cast<std::int32_t>(size);
    result.requests = static_cast<std::int64_t>(size) * 3;
    result.cancelled = size % 2 == 1;
    for (const BacklinkRecord& record : records.Kept()) {
        result.records.Append(record.url);
        *std::prev(result.records.end()) = record;
    }
    result.unlinked = records.Unlinked();

    Json parsed;
    try {
        parsed = Json::parse(RecordsJson(result));
    } catch (const Json::exception& error) {
        std::fprintf(stderr, "records.json does not parse: %s\n", error.what());
        std::abort();
    }
    CheckText(parsed.at("siteKey"), result.siteKey);
    FUZZ_CHECK(parsed.at("backlinkCount") == result.backlinkCount);
    FUZZ_CHECK(parsed.at("requests") == result.requests);
    FUZZ_CHECK(parsed.at("cancelled") == result.cancelled);
    const Json& lines = parsed.at("records");
    FUZZ_CHECK(lines.size() == result.records.size());
    std::size_t index = 0;
    for (const BacklinkRecord& record : result.records) {
        CheckRecord(lines.at(index++), record);
    }
    const Json& unlinked = parsed.at("unlinked");
    FUZZ_CHECK(unlinked.size() == result.unlinked.size());
    for (std::size_t i = 0; i < result.unlinked.size(); ++i) {
        CheckText(unlinked.at(i).at("url"), result.unlinked[i].url);
        CheckText(unlinked.at(i).at("linkStatus"), result.unlinked[i].linkStatus);
        FUZZ_CHECK(unlinked.at(i).at("httpStatus") == result.unlinked[i].httpStatus);
    }
    return 0;
}
