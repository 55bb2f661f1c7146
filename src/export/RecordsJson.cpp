#include "export/RecordsJson.h"

#include "base/Utf8Text.h"
#include "engine/RecordFields.h"

#include <nlohmann/json.hpp>

namespace veltrap {
namespace {

using Json = nlohmann::ordered_json;

std::string Text(const std::string& bytes) {
    return Json(MendUtf8(bytes)).dump();
}

Json Failures(const BacklinkRecord& record) {
    Json failures = Json::object();
    for (const auto& [field, reason] : record.failures) {
        failures[std::string(Describe(field).jsonName)] = MendUtf8(reason);
    }
    return failures;
}

std::string RecordLine(const BacklinkRecord& record) {
    Json line;
    for (const FieldInfo& info : kRecordFields) {
        Json& value = line[std::string(info.jsonName)];
        switch (info.kind) {
            case FieldKind::kText:
                value = MendUtf8(TextOf(record, info.field));
                break;
            case FieldKind::kNumber:
                value = NumberOf(record, info.field);
                break;
            case FieldKind::kFlag:
                value = FlagOf(record, info.field);
                break;
            case FieldKind::kFailures:
                value = Failures(record);
                break;
        }
    }
    return line.dump();
}

std::string UnlinkedLine(const UnlinkedRecord& record) {
    Json line;
    line["url"] = MendUtf8(record.url);
    line["linkStatus"] = record.linkStatus;
    line["httpStatus"] = record.httpStatus;
    line["disavowed"] = record.disavowed;
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
