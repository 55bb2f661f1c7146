#include "services/backlinkimport/TextDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace veltrap {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TextDecoder::TextDecoder() = default;

TextDecoder::~TextDecoder() {
    if (converter_ != kNoConverter) {
        iconv_close(converter_);
    }
}

bool TextDecoder::Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
}

bool TextDecoder::Start(std::string& out) {
    started_ = true;
    std::string_view bytes = pending_;
    const char* encoding = "UTF-8";
    std::size_t mark = 0;
    if (bytes.starts_with(kUtf8Mark)) {
        mark = kUtf8Mark.size();
    } else if (bytes.starts_with(kUtf16LeMark)) {
        mark = kUtf16LeMark.size();
        encoding = "UTF-16LE";
        utf16_ = true;
    } else if (bytes.starts_with(kUtf16BeMark)) {
        mark = kUtf16BeMark.size();
        encoding = "UTF-16BE";
        utf16_ = true;
    }
    converter_ = iconv_open("UTF-8", encoding);
    if (converter_ == kNoConverter) {
        return Fail(std::string("cannot be decoded: the system has no ") + encoding + " converter");
    }
    const std::string rest(bytes.substr(mark));
    pending_.clear();
    offset_ = mark;
    return Convert(rest, out);
}

bool TextDecoder::Feed(std::string_view bytes, std::string& out) {
    if (!problem_.empty()) {
        return false;
    }
    if (!started_) {
        pending_.append(bytes);
        // Three bytes tell every mark apart from text.
        return pending_.size() < kUtf8Mark.size() || Start(out);
    }
    return Convert(bytes, out);
}

bool TextDecoder::Finish(std::string& out) {
    if (!problem_.empty()) {
        return false;
    }
    if (!started_ && !Start(out)) {
        return false;
    }
    if (!pending_.empty()) {
        return Fail("is not " + std::string(utf16_ ? "UTF-16" : "UTF-8") +
                    " text: it ends inside a character");
    }
    return true;
}

bool TextDecoder::Convert(std::string_view bytes, std::string& out) {
    constexpr const char* kBinary = "is not a text file (it holds NUL bytes)";
    // In UTF-8 a NUL byte is a NUL character; binary files hold them early.
    if (!utf16_ && !bytes.empty() && std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
        return Fail(kBinary);
    }
    const std::size_t from = out.size();
    // Plain ASCII is the same in UTF-8, and most of an address list is.
    if (!utf16_ && pending_.empty() && IsAscii(bytes)) {
        out.append(bytes);
        offset_ += bytes.size();
    } else {
        std::string input = pending_;
        input.append(bytes);
        pending_.clear();
        char* in = input.data();
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            const std::size_t room = inLeft * 2 + 16;
            const std::size_t before = out.size();
            out.resize(before + room);
            char* target = out.data() + before;
            std::size_t outLeft = room;
            const std::size_t done = iconv(converter_, &in, &inLeft, &target, &outLeft);
            const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
            out.resize(before + room - outLeft);
            if (error == EINVAL) {
                // The chunk ends inside a character; the next one completes it.
                pending_.assign(in, inLeft);
                break;
            }
            if (error == EILSEQ) {
                const auto at = offset_ + static_cast<std::uint64_t>(in - input.data());
                const std::string where = "the bytes at offset " + std::to_string(at);
                return Fail(utf16_ ? "is not UTF-16 text: " + where + " are no character"
                                   : "is neither UTF-8 text nor UTF-16 with a byte order "
                                     "mark: " +
                                         where + " are no UTF-8 character");
            }
            if (error != 0 && error != E2BIG) {
                return Fail(std::string("cannot be decoded: ") + std::strerror(error));
            }
        }
        offset_ += input.size() - pending_.size();
    }
    if (utf16_ && std::memchr(out.data() + from, '\0', out.size() - from) != nullptr) {
        return Fail(kBinary);
    }
    return true;
}

}  // namespace veltrap
