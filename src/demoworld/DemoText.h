#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrap {

// Small text helpers shared by the demo web's pages.

// Decodes %XX escapes. A "%" that does not start a valid escape stays as it is,
// and "+" stays a plus sign, because the product never encodes blanks that way.
std::string PercentDecode(std::string_view text);

// The "key=value" pairs of a query in order, both sides percent-decoded; a
// part without "=" is left out.
std::vector<std::pair<std::string, std::string>> QueryPairs(std::string_view query);

// Escapes every byte that is not an ASCII letter or digit as %XX, so that a
// query echoed in a link can never repeat a host name the page is searched for.
std::string PercentEncodeAll(std::string_view text);

// Writes every byte that is not an ASCII letter, digit or blank as a numeric
// character reference, for the same reason as above.
std::string HtmlEncodeAll(std::string_view text);

// Escapes the five characters that have meaning in HTML text and attributes.
std::string HtmlEscape(std::string_view text);

// Lower-case hexadecimal of every byte, and back; a malformed text gives null.
std::string HexEncode(std::string_view bytes);
std::optional<std::string> HexDecode(std::string_view hex);

// The form of a site that the demo web generates everything from: the site key
// lower-cased, without trailing slashes.
std::string SiteIdentity(std::string_view siteKey);

// The identity of the site a Host header names: lower-cased, with a leading
// "www." dropped.
std::string HostIdentity(std::string_view host);

// "veltrap-demo.example" gives "Veltrap Demo": the first label, its hyphens as
// blanks and each word capitalised.
std::string BrandOf(std::string_view identity);

// Capitalises the first byte when it is an ASCII letter.
std::string Capitalized(std::string_view text);

}  // namespace veltrap
