#include "app/KeyringSecretStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrap::testing {
namespace {

// Needs a keyring service of its own; tests/app/with-keyring starts one and
// sets VELTRAP_TEST_KEYRING, so the user's own keyring is never touched.
TEST(KeyringSecretStoreTest, KeepsASecretByteForByteAndForgetsIt) {
    if (std::getenv("VELTRAP_TEST_KEYRING") == nullptr) {
        GTEST_SKIP() << "runs only under tests/app/with-keyring";
    }
    KeyringSecretStore store(QStringLiteral("veltrap-test"));
    const std::string secret("k\0\xff=;#", 6);
    ASSERT_TRUE(store.Write("bing_api_key", secret).ok());
    EXPECT_EQ(store.Read("bing_api_key").value(), secret);
    EXPECT_EQ(store.Read("openpagerank_key").value(), "");
    ASSERT_TRUE(store.Write("bing_api_key", "").ok());
    EXPECT_EQ(store.Read("bing_api_key").value(), "");
    EXPECT_TRUE(store.Write("bing_api_key", "").ok());
}

// Without any keyring service every call fails with a reason, at once.
TEST(KeyringSecretStoreTest, NoKeyringServiceFailsWithAReason) {
    if (std::getenv("VELTRAP_TEST_KEYRING") != nullptr) {
        GTEST_SKIP() << "a keyring service is running";
    }
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string saved = bus == nullptr ? "" : bus;
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/veltrap-test-bus", 1);
    KeyringSecretStore store(QStringLiteral("veltrap-test"));
    const Result<std::string> read = store.Read("bing_api_key");
    const Status written = store.Write("bing_api_key", "x");
    if (bus == nullptr) {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
        setenv("DBUS_SESSION_BUS_ADDRESS", saved.c_str(), 1);
    }
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.reason().starts_with("the desktop keyring cannot be used (")) << read.reason();
    EXPECT_FALSE(written.ok());
}

}  // namespace
}  // namespace veltrap::testing
