#include "engine/ConfigLocation.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace veltrap {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

TEST(ConfigLocationTest, DefaultPathFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(ConfigLocation::DefaultPath("/x/cfg", "/home/u"), "/x/cfg/veltrap/services.ini");
    EXPECT_EQ(ConfigLocation::DefaultPath(nullptr, "/home/u"),
              "/home/u/.config/veltrap/services.ini");
    EXPECT_EQ(ConfigLocation::DefaultPath("", "/home/u"), "/home/u/.config/veltrap/services.ini");
    EXPECT_EQ(ConfigLocation::DefaultPath("relative", "/home/u"),
              "/home/u/.config/veltrap/services.ini");
    EXPECT_EQ(ConfigLocation::DefaultPath(nullptr, ""), "");
}

TEST(ConfigLocationTest, DefaultFileIsReadWhenThereAndNamedFileTakesItsPlace) {
    TempDir dir;
    const std::string defaultPath = dir.File("veltrap/services.ini");

    const Result<ServiceConfig> none = ConfigLocation::LoadInForce("", defaultPath);
    ASSERT_TRUE(none.ok()) << none.reason();
    EXPECT_EQ(none->file, "");
    EXPECT_EQ(none->services.msnHost, ServiceConfig{}.services.msnHost);
    EXPECT_EQ(ConfigLocation::Describe(none.value(), defaultPath),
              "none, the built-in settings (" + defaultPath + " does not exist)");

    std::filesystem::create_directories(dir.Path() / "veltrap");
    WriteFileBytes(defaultPath, "[services]\nmsn_host = default.test\n");
    const Result<ServiceConfig> found = ConfigLocation::LoadInForce("", defaultPath);
    ASSERT_TRUE(found.ok()) << found.reason();
    EXPECT_EQ(found->services.msnHost, "default.test");
    EXPECT_EQ(ConfigLocation::Describe(found.value(), defaultPath), defaultPath);

    // A named file replaces the default one altogether, even a broken one.
    WriteFileBytes(defaultPath, "[services]\nmsn = default.test\n");
    WriteFileBytes(dir.File("named.ini"), "[http]\njobs = 3\n");
    const Result<ServiceConfig> named =
        ConfigLocation::LoadInForce(dir.File("named.ini"), defaultPath);
    ASSERT_TRUE(named.ok()) << named.reason();
    EXPECT_EQ(named->file, dir.File("named.ini"));
    EXPECT_EQ(named->http.jobs, 3);
    EXPECT_EQ(named->services.msnHost, ServiceConfig{}.services.msnHost);
}

TEST(ConfigLocationTest, BrokenDefaultFileIsRefused) {
    TempDir dir;
    WriteFileBytes(dir.File("services.ini"), "[services]\nmsn = m.test\n");
    EXPECT_EQ(ConfigLocation::LoadInForce("", dir.File("services.ini")).reason(),
              dir.File("services.ini") + ":2: unknown key 'msn' in [services]");
    // A folder where the file should be is no missing file either.
    EXPECT_FALSE(ConfigLocation::LoadInForce("", dir.Path().string()).ok());
}

}  // namespace
}  // namespace veltrap
