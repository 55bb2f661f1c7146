#pragma once

#include <iconv.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// Turns the bytes of an imported file into UTF-8 text as they arrive, chunk
// by chunk. The encoding is told by the first bytes alone: a UTF-16 byte
// order mark (little or big endian) or, without one, UTF-8, with or without
// its own mark. Bytes that are not text in that encoding, and NUL characters,
// which text files never hold, stop the decoding with a reason.
class TextDecoder {
public:
    TextDecoder();
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // Appends the text of the next bytes to out. False once the bytes are
    // found not to be text; Problem() then says why.
    bool Feed(std::string_view bytes, std::string& out);
    // The input has ended: false when it ended inside a character.
    bool Finish(std::string& out);

    // "is not a text file (it holds NUL bytes)" or "is not UTF-8 or UTF-16
    // text: ...", to follow the file's name.
    const std::string& Problem() const { return problem_; }

private:
    bool Start(std::string& out);
    bool Convert(std::string_view bytes, std::string& out);
    bool Fail(std::string problem);

    iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
    bool started_ = false;
    bool utf16_ = false;
    // Bytes waiting for the rest of their character, or, before the start,
    // for enough bytes to tell the byte order mark.
    std::string pending_;
    std::uint64_t offset_ = 0;  // bytes of the input converted so far
    std::string problem_;
};

}  // namespace veltrap
