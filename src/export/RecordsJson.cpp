#include "export/RecordsJson.h"

#include "base/StringSink.h"
#include "base/Utf8Text.h"
#include "engine/RecordFields.h"

#include <nlohmann/json.hpp>

#include <string_view>

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
    line["rendered"] = record.rendered;
    line["disavowed"] = record.disavowed;
    return line.dump();
}

}  // namespace

void WriteRecordsJson(const RunResult& outcome, TextSink& sink) {
    sink.Write("{\"siteKey\": " + Text(outcome.siteKey) +
               ", \"backlinkCount\": " + std::to_string(outcome.backlinkCount) +
               ", \"requests\": " + std::to_string(outcome.requests) +
               ", \"cancelled\": " + (outcome.cancelled ? "true" : "false") + ",\n \"records\": [");
    std::string_view separator = "\n  ";
    for (const BacklinkRecord& record : outcome.records) {
        sink.Write(separator);
        sink.Write(RecordLine(record));
        separator = ",\n  ";
    }
    sink.Write(outcome.records.empty() ? "],\n \"unlinked\": [" : "\n],\n \"unlinked\": [");
    separator = "\n  ";
    for (const UnlinkedRecord& record : outcome.unlinked) {
        sink.Write(separator);
        sink.Write(UnlinkedLine(record));
        separator = ",\n  ";
    }
    sink.Write(outcome.unlinked.empty() ? "]}\n" : "\n]}\n");
}

std::string RecordsJson(const RunResult& outcome) {
    StringSink sink;
    WriteRecordsJson(outcome, sink);
    return sink.Take();
}

}  // namespace veltrap
