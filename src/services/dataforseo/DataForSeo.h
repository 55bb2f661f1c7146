#pragma once

#include "base/Result.h"
#include "net/PageAnswer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The most backlinks one request to DataForSEO asks for.
inline constexpr std::int64_t kDataForSeoLimit = 1000;

// The body of the live backlinks request for target from offset on:
// [{"target": target, "mode": "as_is", "limit": limit, "offset": offset}].
std::string DataForSeoRequestBody(std::string_view target, std::int64_t offset,
                                  std::int64_t limit = kDataForSeoLimit);

// One answer's backlinks: the url_from of every item in order, and the
// total_count of backlinks the target has.
struct DataForSeoPage {
    std::vector<std::string> urls;
    std::int64_t totalCount = 0;
};

// Reads an answer of the live backlinks endpoint, {"status_code": 20000,
// "tasks": [{"status_code": 20000, "result": [{"total_count": N, "items":
// [{"url_from": ...}, ...]}]}]}. Members it does not know are passed over,
// and null items are none. Anything else fails, saying why: no answer, an
// HTTP status other than 200, a status_code other than 20000 at the top or in
// the task (quoting DataForSEO's status_message), a body that is not this JSON.
Result<DataForSeoPage> ReadDataForSeo(const PageAnswer& answer);

}  // namespace veltrap
