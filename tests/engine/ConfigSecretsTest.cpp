#include "engine/ConfigSecrets.h"

#include "support/FakeSecretStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrap::testing {
namespace {

// The environment comes first, then the file, then the store, which is asked
// only for the chosen services' secrets and not for a key the page typed.
TEST(ConfigSecretsTest, StoreGivesOnlyTheChosenSecretsNothingElseGives) {
    const auto parsed = [](const std::string& password) {
        setenv("VELTRAP_OPENPAGERANK_KEY", "from-environment", 1);
        Result<ServiceConfig> config = ServiceConfig::Parse(
            "[backlinks]\nsource = dataforseo\ndataforseo_password = " + password +
                "\n[authority]\nprovider = openpagerank\n",
            "test.ini");
        unsetenv("VELTRAP_OPENPAGERANK_KEY");
        EXPECT_TRUE(config.ok()) << config.reason();
        return config.value();
    };
    FakeSecretStore store;
    store.kept = {{"bing_api_key", "kept-bing"},
                  {"dataforseo_password", "kept-password"},
                  {"openpagerank_key", "kept-opr"}};

    ServiceConfig config = parsed("");
    ASSERT_TRUE(ConfigSecrets::Fill(config, store).ok());
    EXPECT_EQ(config.settings.Get("backlinks", "dataforseo_password"), "kept-password");
    EXPECT_EQ(config.settings.Get("authority", "openpagerank_key"), "from-environment");
    EXPECT_EQ(config.settings.Get("backlinks", "bing_api_key"), "");

    ServiceConfig inFile = parsed("from-file");
    ASSERT_TRUE(ConfigSecrets::Fill(inFile, store).ok());
    EXPECT_EQ(inFile.settings.Get("backlinks", "dataforseo_password"), "from-file");

    ServiceConfig typed = parsed("");
    ASSERT_TRUE(ConfigSecrets::Fill(typed, store, {"dataforseo_password"}).ok());
    EXPECT_EQ(typed.settings.Get("backlinks", "dataforseo_password"), "");
}

}  // namespace
}  // namespace veltrap::testing
