#include "base/FileSink.h"

#include "base/StringSink.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace veltrap {
namespace {

std::filesystem::path ScratchFile() {
    return std::filesystem::temp_directory_path() /
           ("veltrap-filesink-" + std::to_string(::getpid()));
}

// Pieces smaller than the buffer, filling it exactly, and larger than it,
// each of its own bytes, so that a piece written out of order or twice
// shows.
TEST(FileSinkTest, PiecesOfEverySizeMakeTheWholeFile) {
    constexpr std::size_t kBuffer = FileSink::kBufferBytes;
    const std::size_t sizes[] = {1, 100, kBuffer - 101, kBuffer, 0, 3 * kBuffer + 7, 5, kBuffer};
    const std::filesystem::path path = ScratchFile();
    FileSink file(path.string());
    StringSink whole;
    char letter = 'a';
    for (const std::size_t size : sizes) {
        const std::string piece(size, letter++);
        file.Write(piece);
        whole.Write(piece);
    }
    const Status closed = file.Close();
    ASSERT_TRUE(closed.ok()) << closed.reason();
    std::ifstream in(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(path);
    EXPECT_TRUE(written == whole.Take());
}

TEST(FileSinkTest, AFailureIsKeptAndToldAtTheEnd) {
    // The disk fills up past the first buffer: the pieces after it are
    // dropped and the close tells why.
    FileSink full("/dev/full");
    const std::string piece(FileSink::kBufferBytes / 2 + 1, 'x');
    for (int n = 0; n < 5; ++n) {
        full.Write(piece);
    }
    EXPECT_EQ(full.Close().reason(), "No space left on device");

    FileSink nowhere("/nonexistent-folder/file");
    nowhere.Write("text");
    EXPECT_EQ(nowhere.Close().reason(), "No such file or directory");

    FileSink nul(std::string("file\0name", 9));
    EXPECT_EQ(nul.Close().reason(), "Invalid argument");
}

}  // namespace
}  // namespace veltrap
