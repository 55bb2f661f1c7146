#include "engine/ServiceProbe.h"

#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/ServiceCatalog.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace veltrap {
namespace {

using Role = ServiceDescriptor::Role;

class ServiceProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DemoOptions options;
        options.latencyMs = 0;
        options.threads = 4;
        demo_ = std::make_unique<DemoWeb>(options);
        ASSERT_TRUE(demo_->Start().ok());
    }

    // The demo configuration with name chosen for role.
    ServiceConfig Choosing(Role role, const std::string& name) const {
        ServiceConfig config = DemoServiceConfig(ServiceConfig{}, demo_->Port());
        const ServiceCatalog::Choice choice = ServiceCatalog::ChoiceOf(role);
        config.settings.Set(choice.section, choice.key, name);
        return config;
    }

    std::unique_ptr<DemoWeb> demo_;
    const std::string site_ = DemoSiteName();
};

TEST_F(ServiceProbeTest, EveryServiceOfTheDemoAnswersInWords) {
    const std::pair<Role, std::string> services[] = {
        {Role::kBacklinks, "siteexplorer"}, {Role::kBacklinks, "bing-webmaster"},
        {Role::kBacklinks, "dataforseo"},   {Role::kAuthority, "pagerank-page"},
        {Role::kAuthority, "openpagerank"}, {Role::kSearch, "html"},
        {Role::kSearch, "searxng"},
    };
    for (const auto& [role, name] : services) {
        const Result<std::string> told = ServiceProbe::Test(Choosing(role, name), role, site_);
        ASSERT_TRUE(told.ok()) << name << ": " << told.reason();
        EXPECT_TRUE(told->starts_with(ServiceProbe::Title(name) + " answered: ")) << *told;
    }
    const Result<std::string> bing =
        ServiceProbe::Test(Choosing(Role::kBacklinks, "bing-webmaster"), Role::kBacklinks, site_);
    EXPECT_TRUE(bing->ends_with(" pages of your site have links")) << *bing;
    const Result<std::string> dataForSeo =
        ServiceProbe::Test(Choosing(Role::kBacklinks, "dataforseo"), Role::kBacklinks, site_);
    EXPECT_TRUE(dataForSeo->starts_with("DataForSEO answered: " + site_ + " has ")) << *dataForSeo;
}

TEST_F(ServiceProbeTest, RefusalQuotesTheServiceAndNeverTheSecret) {
    ServiceConfig bing = Choosing(Role::kBacklinks, "bing-webmaster");
    bing.settings.Set("backlinks", "bing_api_key", "wrong-key-123");
    const Result<std::string> told = ServiceProbe::Test(bing, Role::kBacklinks, site_);
    ASSERT_FALSE(told.ok());
    EXPECT_TRUE(told.reason().starts_with("Bing Webmaster Tools failed: GetLinkCounts for "))
        << told.reason();
    EXPECT_NE(told.reason().find("InvalidApiKey"), std::string::npos) << told.reason();
    EXPECT_EQ(told.reason().find("wrong-key-123"), std::string::npos) << told.reason();

    ServiceConfig dataForSeo = Choosing(Role::kBacklinks, "dataforseo");
    dataForSeo.settings.Set("backlinks", "dataforseo_password", "not-it");
    const Result<std::string> refused = ServiceProbe::Test(dataForSeo, Role::kBacklinks, site_);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.reason().starts_with("DataForSEO failed: ")) << refused.reason();
    EXPECT_EQ(refused.reason().find("not-it"), std::string::npos) << refused.reason();
}

TEST_F(ServiceProbeTest, ServerThatFailsIsToldAsAFailure) {
    testing::LoopbackServer broken;
    broken.Server().Get(".*", [](const httplib::Request&, httplib::Response& response) {
        response.status = 503;
        response.set_content("down for maintenance", "text/plain");
    });
    broken.Start();
    for (const auto& [role, name] :
         {std::pair{Role::kAuthority, "openpagerank"}, std::pair{Role::kSearch, "searxng"}}) {
        ServiceConfig config = Choosing(role, name);
        config.http.connectTo = broken.Address();
        const Result<std::string> told = ServiceProbe::Test(config, role, site_);
        ASSERT_FALSE(told.ok()) << name << ": " << *told;
        EXPECT_TRUE(told.reason().starts_with(ServiceProbe::Title(name) + " failed: "))
            << told.reason();
        EXPECT_NE(told.reason().find("503"), std::string::npos) << told.reason();
    }
}

}  // namespace
}  // namespace veltrap
