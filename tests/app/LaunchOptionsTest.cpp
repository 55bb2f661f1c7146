#include "app/LaunchOptions.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace veltrap {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

Result<LaunchOptions> Parse(QStringList arguments) {
    arguments.prepend("veltrap");
    return LaunchOptions::Parse(arguments);
}

TEST(LaunchOptionsTest, ReadsEveryOption) {
    const Result<LaunchOptions> none = Parse({});
    ASSERT_TRUE(none.ok()) << none.reason();
    EXPECT_EQ(none->configPath, "");
    EXPECT_EQ(none->connectTo, "");
    EXPECT_FALSE(none->demo);
    EXPECT_FALSE(none->showVersion);
    EXPECT_TRUE(Parse({"--version"}).value().showVersion);
    EXPECT_TRUE(Parse({"-v"}).value().showVersion);

    const Result<LaunchOptions> all =
        Parse({"--config", "a.ini", "--connect-to=127.0.0.1:8080", "--demo"});
    ASSERT_TRUE(all.ok()) << all.reason();
    EXPECT_EQ(all->configPath, "a.ini");
    EXPECT_EQ(all->connectTo, "127.0.0.1:8080");
    EXPECT_TRUE(all->demo);
}

TEST(LaunchOptionsTest, RefusesBadUsage) {
    EXPECT_FALSE(Parse({"--colour"}).ok());
    EXPECT_FALSE(Parse({"--config"}).ok());
    EXPECT_FALSE(Parse({"--config="}).ok());
    EXPECT_FALSE(Parse({"example.com"}).ok());
    for (const char* bad :
         {"localhost", ":80", "host:", "host:0", "host:65536", "host:+80", "host:8o"}) {
        const Result<LaunchOptions> result = Parse({"--connect-to", bad});
        ASSERT_FALSE(result.ok()) << bad;
        EXPECT_TRUE(result.failure().inputAtFault) << bad;
        EXPECT_NE(result.reason().find(bad), std::string::npos) << result.reason();
    }
    EXPECT_TRUE(Parse({"--connect-to", "host:65535"}).ok());
    EXPECT_TRUE(Parse({"--connect-to", "::1:1"}).ok());
}

TEST(LaunchOptionsTest, ConnectToReplacesTheFilesSetting) {
    TempDir dir;
    WriteFileBytes(dir.File("good.ini"),
                   "[services]\ngoogle_host = g.example\n[http]\nconnect_to = 127.0.0.1:1\n");
    LaunchOptions options;
    options.configPath = dir.File("good.ini");
    Result<ServiceConfig> config = options.LoadConfig();
    ASSERT_TRUE(config.ok()) << config.reason();
    EXPECT_EQ(config->services.googleHost, "g.example");
    EXPECT_EQ(config->http.connectTo, "127.0.0.1:1");

    options.connectTo = "127.0.0.1:2";
    config = options.LoadConfig();
    ASSERT_TRUE(config.ok());
    EXPECT_EQ(config->http.connectTo, "127.0.0.1:2");
}

TEST(LaunchOptionsTest, BrokenOrMissingConfigurationIsAnError) {
    TempDir dir;
    WriteFileBytes(dir.File("broken.ini"), "[services]\nno_such_key = 1\n");
    LaunchOptions options;
    options.configPath = dir.File("broken.ini");
    options.connectTo = "127.0.0.1:2";
    Result<ServiceConfig> config = options.LoadConfig();
    EXPECT_FALSE(config.ok());
    EXPECT_NE(config.reason().find("broken.ini"), std::string::npos) << config.reason();

    options.configPath = dir.File("absent.ini");
    EXPECT_FALSE(options.LoadConfig().ok());
}

}  // namespace
}  // namespace veltrap
