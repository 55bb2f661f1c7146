#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The query of a demo service's result page: the leading key's value runs up
// to the last "&stopKey=", because a keyphrase may itself hold "&"; the paging
// number is the value of the last "&pageKey=".
struct ResultQuery {
    std::string lead;  // percent-decoded
    long page = 0;
    bool hasPage = false;

    static ResultQuery Parse(std::string_view query, std::string_view leadKey,
                             std::string_view stopKey, std::string_view pageKey);
};

}  // namespace veltrap
