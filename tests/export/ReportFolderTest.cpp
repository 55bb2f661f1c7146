#include "export/ReportFolder.h"

#include "export/RecordsJson.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

RunResult SampleRun() {
    RunResult run;
    run.siteKey = "site.com";
    run.records.Append("http://a.com/");
    run.records.begin()->href = "http://site.com/";
    run.records.begin()->anchorText = "widgets";
    return run;
}

std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Far beyond the 260 bytes some other systems allow.
TEST(ReportFolderTest, LongFolderGetsEveryFile) {
    const TempDir dir;
    const std::filesystem::path folder =
        dir.Path() / std::string(200, 'a') / std::string(200, 'b') / "report";
    ASSERT_GE(folder.string().size(), 400u);
    ASSERT_TRUE(PrepareReportFolder(folder).ok());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    const Status written = WriteReportFolder(folder, SampleRun());
    ASSERT_TRUE(written.ok()) << written.reason();
    EXPECT_EQ(Listing(folder),
              (std::vector<std::string>{"keyphrases.csv", "links.csv", "overview.csv", "pages.csv",
                                        "records.json"}));
    EXPECT_EQ(nlohmann::json::parse(ReadFileBytes(folder / "records.json"))["siteKey"], "site.com");
    EXPECT_THAT(ReadFileBytes(folder / "keyphrases.csv"), HasSubstr("\nwidgets,1,"));
}

// A file that cannot be written is found before any file is replaced, even
// when it is the last one, and the message gives the system's reason.
TEST(ReportFolderTest, OneUnwritableFileLeavesTheFolderAsItWas) {
    const TempDir dir;
    for (const char* name : {"records.json", "overview.csv", "keyphrases.csv", "pages.csv"}) {
        WriteFileBytes(dir.Path() / name, "old");
    }
    std::filesystem::create_directory(dir.Path() / "links.csv");
    const std::string expected =
        "cannot write " + (dir.Path() / "links.csv").string() + ": Is a directory";
    EXPECT_EQ(PrepareReportFolder(dir.Path()).reason(), expected);
    EXPECT_EQ(WriteReportFolder(dir.Path(), SampleRun()).reason(), expected);
    EXPECT_EQ(Listing(dir.Path()).size(), 5u);
    EXPECT_EQ(ReadFileBytes(dir.Path() / "records.json"), "old");
    EXPECT_EQ(ReadFileBytes(dir.Path() / "pages.csv"), "old");

    WriteFileBytes(dir.Path() / "file", "x");
    EXPECT_EQ(WriteReportFolder(dir.Path() / "file" / "report", SampleRun()).reason(),
              "cannot create the output folder " + (dir.Path() / "file" / "report").string() +
                  ": Not a directory");
}

// A disk that fills up while records.json is written, after a part of it
// already reached the file: the failure names the file and the system's
// reason, no partial file stays, and the earlier set is kept whole.
TEST(ReportFolderTest, AWriteFailingMidWayLeavesTheEarlierSet) {
    const TempDir dir;
    RunResult large = SampleRun();
    for (int n = 0; n < 40000; ++n) {
        large.unlinked.push_back(
            {"http://www.example.com/" + std::string(60, 'p') + std::to_string(n), "gone", 404, 1});
    }
    ASSERT_TRUE(WriteReportFolder(dir.Path(), large).ok());
    const std::string whole = RecordsJson(large);
    ASSERT_GT(whole.size(), 3u << 20);
    EXPECT_TRUE(ReadFileBytes(dir.Path() / "records.json") == whole);

    // The limit makes a write past it fail as a full disk would, rather
    // than end the process.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 3u << 19;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    large.unlinked.push_back({"http://last.example/", "gone", 410, 1});
    const Status written = WriteReportFolder(dir.Path(), large);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(written.reason(),
              "cannot write " + (dir.Path() / "records.json").string() + ": File too large");
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"keyphrases.csv", "links.csv", "overview.csv", "pages.csv",
                                        "records.json"}));
    EXPECT_TRUE(ReadFileBytes(dir.Path() / "records.json") == whole);
}

// An earlier run's file that this run does not write goes once the run's own
// files are in place; one that is not there is no error, and one that cannot
// go is told rather than left to pass for this run's.
TEST(ReportFolderTest, StaleFilesAreRemovedAfterTheSetIsInPlace) {
    const TempDir dir;
    WriteFileBytes(dir.Path() / "changes.csv", "an earlier run's");
    const Status written = WriteReportFolder(dir.Path(), SampleRun(), {}, {"changes.csv", "gone"});
    ASSERT_TRUE(written.ok()) << written.reason();
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"keyphrases.csv", "links.csv", "overview.csv", "pages.csv",
                                        "records.json"}));

    std::filesystem::create_directories(dir.Path() / "changes.csv" / "inside");
    EXPECT_EQ(WriteReportFolder(dir.Path(), SampleRun(), {}, {"changes.csv"}).reason(),
              "cannot remove " + (dir.Path() / "changes.csv").string() + ": Directory not empty");
}

// Another writer holding the folder keeps this one's set out of it until it
// is done; the partial files of a writer that was killed go with the next.
TEST(ReportFolderTest, OneWriterAtATimeAndTheDeadsPartialFilesGo) {
    const TempDir dir;
    WriteFileBytes(dir.Path() / "records.json", "the other run's");
    const int other = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    EXPECT_THAT(
        WriteReportFolder(dir.Path(), SampleRun(), {}, {}, std::chrono::milliseconds(0)).reason(),
        HasSubstr("cannot write into " + dir.Path().string() +
                  ": another program kept writing its files there"));
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"records.json"});
    EXPECT_EQ(ReadFileBytes(dir.Path() / "records.json"), "the other run's");
    close(other);

    // A process that has ended, and one that still runs.
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::string dead = "records.json.partial-" + std::to_string(ended) + "-3";
    const std::string alive = "pages.csv.partial-" + std::to_string(getppid()) + "-1";
    WriteFileBytes(dir.Path() / dead, "cut");
    WriteFileBytes(dir.Path() / alive, "being written");
    WriteFileBytes(dir.Path() / "notes.partial-1-1", "not ours");
    ASSERT_TRUE(WriteReportFolder(dir.Path(), SampleRun()).ok());
    EXPECT_EQ(Listing(dir.Path()),
              (std::vector<std::string>{"keyphrases.csv", "links.csv", "notes.partial-1-1",
                                        "overview.csv", "pages.csv", alive, "records.json"}));
}

}  // namespace
}  // namespace veltrap
