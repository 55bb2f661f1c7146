#include "export/RecordsJson.h"

#include "base/Utf8Text.h"

#include <nlohmann/json.hpp>

namespace veltrap {
namespace {

using Json = nlohmann::ordered_json;

std::string Text(const std::string& bytes) {
    return Json(MendUtf8(bytes)).dump();
}

std::string RecordLine(const BacklinkRecord& record) {
    Json line;
    line["url"] = MendUtf8(record.url);
    line["href"] = MendUtf8(record.href);
    line["anchorText"] = MendUtf8(record.anchorText);
    line["googlePageRankPos"] = record.googlePageRankPos;
    line["msnPageRankPos"] = record.msnPageRankPos;
    line["yahooPageRankPos"] = record.yahooPageRankPos;
    line["googleSitePos"] = record.googleSitePos;
    line["msnSitePos"] = record.msnSitePos;
    line["yahooSitePos"] = record.yahooSitePos;
    line["pageRank"] = record.pageRank;
    line["homePageRank"] = record.homePageRank;
    line["reciprocal"] = record.reciprocal;
    Json failures = Json::object();
    for (const auto& [field, reason] : record.failures) {
        failures[field] = MendUtf8(reason);
    }
    line["failures"] = failures;
    line["httpStatus"] = record.httpStatus;
    line["finalUrl"] = MendUtf8(record.finalUrl);
    line["rel"] = MendUtf8(record.rel);
    line["robots"] = record.robots;
    line["canonical"] = MendUtf8(record.canonical);
    line["linkStatus"] = record.linkStatus;
    return line.dump();
}

std::string UnlinkedLine(const UnlinkedRecord& record) {
    Json line;
    line["url"] = MendUtf8(record.url);
    line["linkStatus"] = record.linkStatus;
    line["httpStatus"] = record.httpStatus;
    return line.dump();
}

}  // namespace

std::string RecordsJson(const RunResult& outcome) {
    std::string json = "{\"siteKey\": " + Text(outcome.siteKey) +
                       ", \"backlinkCount\": " + std::to_string(outcome.backlinkCount) +
                       ", \"requests\": " + std::to_string(outcome.requests) +
                       ", \"cancelled\": " + (outcome.cancelled ? "true" : "false") +
                       ",\n \"records\": [";
    const char* separator = "\n  ";
    for (const BacklinkRecord& record : outcome.records) {
        json += separator + RecordLine(record);
        separator = ",\n  ";
    }
    json += outcome.records.empty() ? "],\n \"unlinked\": [" : "\n],\n \"unlinked\": [";
    separator = "\n  ";
    for (const UnlinkedRecord& record : outcome.unlinked) {
        json += separator + UnlinkedLine(record);
        separator = ",\n  ";
    }
    json += outcome.unlinked.empty() ? "]}\n" : "\n]}\n";
    return json;
}

}  // namespace veltrap
