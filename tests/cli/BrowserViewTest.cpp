#include "ChildProcess.h"

#include "support/TempDir.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using testing::ChildProcess;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// A listener on 127.0.0.1 that the browser takes for its proxy, so that every
// request a page makes, to any address, arrives here. It keeps the first line
// of each request and hangs up, so that the page's load fails at once.
class RequestTrap {
public:
    RequestTrap() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(socket_, 16) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~RequestTrap() {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    int Port() const { return port_; }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd ready{socket_, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0) {
                continue;
            }
            const int client = ::accept(socket_, nullptr, nullptr);
            if (client < 0) {
                continue;
            }
            pollfd readable{client, POLLIN, 0};
            std::string line(512, '\0');
            const ssize_t got =
                ::poll(&readable, 1, 2000) > 0 ? ::recv(client, line.data(), line.size(), 0) : 0;
            line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            line = line.substr(0, line.find("\r\n"));
            ::close(client);
            // The browser may open a spare connection and never use it; only
            // a request line can fetch anything.
            if (!line.empty()) {
                std::lock_guard lock(mutex_);
                lines_.push_back(line);
            }
        }
    }

    int socket_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// The host a proxy request line names: "CONNECT host:443 HTTP/1.1" or
// "GET http://host/path HTTP/1.1".
std::string RequestHost(const std::string& line) {
    std::string target = line.substr(line.find(' ') + 1);
    if (const auto scheme = target.find("://"); scheme != std::string::npos) {
        target = target.substr(scheme + 3);
    }
    return target.substr(0, target.find_first_of(":/ "));
}

// The browser's own update, clock and account services, which it calls
// whatever page it shows; the test looks only at what else was asked for.
bool IsBrowserOwn(const std::string& line) {
    const std::string host = "." + RequestHost(line);
    for (const std::string domain : {".google.com", ".googleapis.com", ".gvt1.com"}) {
        if (host.size() >= domain.size() &&
            host.compare(host.size() - domain.size(), domain.size(), domain) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> PageRequests(RequestTrap& trap) {
    std::vector<std::string> asked;
    for (const std::string& line : trap.Lines()) {
        if (!IsBrowserOwn(line)) {
            asked.push_back(line);
        }
    }
    return asked;
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// How many different byte values the picture's pixel rows hold once
// inflated. A blank page, whatever its colour, gives a handful; text, lines
// and coloured bars give hundreds. Zero for a file that is not a whole PNG.
int DistinctPixelBytes(const std::string& png, std::uint32_t& width, std::uint32_t& height) {
    if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return 0;
    }
    width = BigEndian(png, 16);
    height = BigEndian(png, 20);
    const int channels = png[25] == 6 ? 4 : png[25] == 2 ? 3 : 1;
    std::string packed;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian(png, at);
        if (png.compare(at + 4, 4, "IDAT") == 0) {
            packed += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    std::vector<unsigned char> rows(static_cast<std::size_t>(height) *
                                    (1 + static_cast<std::size_t>(width) * channels));
    uLongf size = rows.size();
    if (uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                   packed.size()) != Z_OK ||
        size != rows.size()) {
        return 0;
    }
    return static_cast<int>(std::set<unsigned char>(rows.begin(), rows.end()).size());
}

class BrowserViewTest : public ::testing::Test {
protected:
    // Shows the file in a headless browser whose every request goes to the
    // trap, and photographs it.
    void Photograph(const std::filesystem::path& page, const std::filesystem::path& picture) {
        ASSERT_TRUE(std::filesystem::exists(VELTRAP_CHROMIUM))
            << "chromium is missing; scripts/install-deps installs it";
        ChildProcess browser(
            VELTRAP_CHROMIUM,
            {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--user-data-dir=" + dir.File("profile"),
             "--proxy-server=http://127.0.0.1:" + std::to_string(trap.Port()),
             // Loopback addresses go through the proxy as well.
             "--proxy-bypass-list=<-loopback>", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--disable-extensions",
             "--hide-scrollbars", "--window-size=1280,2400", "--screenshot=" + picture.string(),
             "file://" + page.string()},
            dir.File("browser.out"), dir.File("browser.err"));
        ASSERT_EQ(browser.Wait(), 0) << ReadFileBytes(dir.File("browser.err"));
    }

    TempDir dir;
    RequestTrap trap;
};

// A page that does load something from elsewhere is caught, so that the
// report's silence below means something.
TEST_F(BrowserViewTest, TrapSeesWhatAPageAsksFor) {
    WriteFileBytes(dir.File("loader.html"),
                   "<html><body><img src=\"http://elsewhere.test/a.png\"></body></html>");
    Photograph(dir.Path() / "loader.html", dir.Path() / "loader.png");
    EXPECT_THAT(PageRequests(trap), ::testing::Contains(::testing::HasSubstr("elsewhere.test")));
}

TEST_F(BrowserViewTest, DemoReportShowsOfflineWithoutAnyRequest) {
    ChildProcess report(VELTRAP_REPORT_EXE,
                        {"--demo", "--demo-latency-ms", "0", "--quiet", "--html",
                         dir.File("report.html"), "www.veltrap-demo.example"},
                        dir.File("stdout"), dir.File("stderr"));
    ASSERT_EQ(report.Wait(), 0) << ReadFileBytes(dir.File("stderr"));
    // Kept in the build tree so that the picture can be looked at.
    const std::filesystem::path picture =
        std::filesystem::path(VELTRAP_SCREENSHOT_DIR) / "html-report.png";
    std::filesystem::remove(picture);
    Photograph(dir.Path() / "report.html", picture);

    EXPECT_THAT(PageRequests(trap), ::testing::IsEmpty());
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    EXPECT_GT(DistinctPixelBytes(ReadFileBytes(picture), width, height), 64);
    EXPECT_EQ(width, 1280u);
    EXPECT_EQ(height, 2400u);
}

}  // namespace
}  // namespace veltrap
