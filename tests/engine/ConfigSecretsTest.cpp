#include "engine/ConfigSecrets.h"

#include "support/FakeSecretStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrap::testing {
namespace {

// The environment comes first, then the file, then the store; a key the
// store is not asked for keeps what the page typed, even when empty.
TEST(ConfigSecretsTest, StoreFillsOnlyWhatNeitherTheEnvironmentNorTheFileGives) {
    setenv("VELTRAP_OPENPAGERANK_KEY", "from-environment", 1);
    Result<ServiceConfig> config = ServiceConfig::Parse(
        "[backlinks]\nbing_api_key = from-file\ndataforseo_password =\n", "test.ini");
    unsetenv("VELTRAP_OPENPAGERANK_KEY");
    ASSERT_TRUE(config.ok()) << config.reason();
    FakeSecretStore store;
    store.kept = {{"bing_api_key", "kept-bing"},
                  {"dataforseo_password", "kept-password"},
                  {"openpagerank_key", "kept-opr"}};

    ServiceConfig skipped = *config;
    ASSERT_TRUE(ConfigSecrets::Fill(skipped, store, {"dataforseo_password"}).ok());
    EXPECT_EQ(skipped.settings.Get("backlinks", "dataforseo_password"), "");

    ASSERT_TRUE(ConfigSecrets::Fill(*config, store).ok());
    EXPECT_EQ(config->settings.Get("backlinks", "bing_api_key"), "from-file");
    EXPECT_EQ(config->settings.Get("backlinks", "dataforseo_password"), "kept-password");
    EXPECT_EQ(config->settings.Get("authority", "openpagerank_key"), "from-environment");
}

}  // namespace
}  // namespace veltrap::testing
