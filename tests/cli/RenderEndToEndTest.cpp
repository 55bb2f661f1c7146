#include "ChildProcess.h"
#include "HandMadeWeb.h"

#include "render/BrowserCommand.h"
#include "support/ProcessesMentioning.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace veltrap {
namespace {

using testing::ChildProcess;
using testing::HandMadeWeb;
using ::testing::HasSubstr;
using testing::ProcessesMentioning;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr auto kPatience = std::chrono::seconds(60);

class RenderEndToEndTest : public ::testing::Test {
protected:
    std::unique_ptr<ChildProcess> Start(const std::string& render) {
        WriteFileBytes(dir.File("services.ini"), HandMadeWeb::ConfigText() + render);
        return std::make_unique<ChildProcess>(
            VELTRAP_REPORT_EXE,
            std::vector<std::string>{"--config", dir.File("services.ini"), "--connect-to",
                                     web.Address(), "--backlink-pages", "3", "--ranking-pages", "1",
                                     "--jobs", "1", "--no-history", "mysite.test"},
            dir.File("stdout"), dir.File("stderr"));
    }
    std::string Err() const { return ReadFileBytes(dir.File("stderr")); }

    HandMadeWeb web;
    TempDir dir;
};

TEST_F(RenderEndToEndTest, AMissingBrowserRefusesTheRunBeforeAnythingIsSent) {
    auto child = Start("[render]\nmode = fallback\nchromium = no-such-browser-here\n");
    EXPECT_EQ(child->Wait(), 2);
    EXPECT_THAT(Err(), HasSubstr("key 'chromium' in [render]"));
    EXPECT_TRUE(web.Asked().empty());
}

// SIGTERM ends the run and every browser it started, with all their
// processes.
TEST_F(RenderEndToEndTest, SigtermLeavesNoBrowserBehind) {
    if (!BrowserCommand::Locate("chromium")) {
        GTEST_SKIP() << "chromium is not installed, so pages cannot be rendered here";
    }
    web.SetPage("a.example/links.html",
                "<html><head><script>while (true) {}</script></head><body></body></html>");
    // The program's browser profiles land in this test's folder, which then
    // names the browsers' processes.
    TempDir profiles;
    const char* tmp = std::getenv("TMPDIR");
    const std::string saved = tmp != nullptr ? tmp : "";
    ::setenv("TMPDIR", profiles.Path().c_str(), 1);
    auto child = Start("[render]\nmode = always\nrender_timeout_s = 300\n");
    if (tmp != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    const std::string mark = profiles.Path().string();
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (ProcessesMentioning(mark) == 0 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GT(ProcessesMentioning(mark), 0) << "no browser was started: " << Err();
    child->Signal(SIGTERM);
    EXPECT_EQ(child->Wait(), 143) << Err();
    EXPECT_EQ(ProcessesMentioning(mark), 0);
}

}  // namespace
}  // namespace veltrap
