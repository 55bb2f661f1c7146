#include "engine/ConfigFileEdit.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace veltrap {
namespace {

using Change = ConfigFileEdit::Change;

TEST(ConfigFileEditTest, ChangesKeysAndKeepsEverythingElse) {
    const std::string text =
        "; my notes\r\n[http]\r\n; slow line\r\njobs = 16\r\nuser_agent: Old/1\r\n\r\n"
        "[backlinks]\r\nsource = siteexplorer\r\n";
    const Result<std::string> edited =
        ConfigFileEdit::Apply(text,
                              {{"http", "jobs", "4"},
                               {"backlinks", "source", "bing-webmaster"},
                               {"backlinks", "bing_site_url", "https://mysite.test/"},
                               {"http", "proxy", "system"},
                               {"services", "google_host", ";g"}},
                              "services.ini");
    ASSERT_TRUE(edited.ok()) << edited.reason();
    EXPECT_EQ(*edited,
              "; my notes\r\n[http]\r\n; slow line\r\njobs = 4\r\nuser_agent: Old/1\r\n"
              "proxy = system\r\n\r\n[backlinks]\r\nsource = bing-webmaster\r\n"
              "bing_site_url = https://mysite.test/\r\n\r\n[services]\r\ngoogle_host =;g\r\n");
}

TEST(ConfigFileEditTest, RefusesWhatTheConfigurationRefuses) {
    const std::string text = "[http]\njobs = 16\n";
    const Result<std::string> refused =
        ConfigFileEdit::Apply(text, {{"http", "jobs", "0"}}, "services.ini");
    EXPECT_EQ(refused.reason(),
              "services.ini:2: key 'jobs' needs a whole number of jobs from 1 to 256, not '0'");
    // A value the reader would cut short is refused, not written half.
    const Result<std::string> cut =
        ConfigFileEdit::Apply(text, {{"http", "user_agent", "Agent ;x"}}, "services.ini");
    EXPECT_EQ(cut.reason(),
              "services.ini: the value of 'user_agent' would not read back as it "
              "was given");
}

TEST(ConfigFileEditTest, WritesAFreshFileOwnerOnlyOnceItHoldsASecret) {
    testing::TempDir dir;
    const std::string path = dir.File("veltrap/services.ini");
    ASSERT_TRUE(ConfigFileEdit::Write(path, {{"http", "jobs", "2"}}).ok());
    EXPECT_EQ(testing::ReadFileBytes(path), "[http]\njobs = 2\n");
    EXPECT_FALSE(ConfigFileEdit::Write(path, {{"http", "jobs", "x"}}).ok());
    EXPECT_EQ(testing::ReadFileBytes(path), "[http]\njobs = 2\n");

    ASSERT_TRUE(ConfigFileEdit::Write(path, {{"authority", "openpagerank_key", "k1"}}).ok());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
}

}  // namespace
}  // namespace veltrap
