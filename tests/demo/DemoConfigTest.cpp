#include "demo/DemoConfig.h"

#include "engine/SiteKey.h"

#include <gtest/gtest.h>

namespace veltrap {
namespace {

void ExpectDemoServices(const ServiceEndpoints& services) {
    EXPECT_EQ(services.siteExplorerHost, kDemoSiteExplorerHost);
    EXPECT_EQ(services.siteExplorerNextMarker, kDemoNextMarker);
    EXPECT_EQ(services.googleHost, kDemoGoogleHost);
    EXPECT_EQ(services.yahooHost, kDemoYahooHost);
    EXPECT_EQ(services.yahooNextMarker, kDemoNextMarker);
    EXPECT_EQ(services.msnHost, kDemoMsnHost);
    EXPECT_EQ(services.pagerankHost, kDemoPageRankHost);
}

TEST(DemoConfigTest, RewritePointsEveryServiceAtTheDemoAndKeepsTheLimits) {
    ServiceConfig base;
    base.services.googleHost = "www.google.com";
    base.services.pagerankHost = "";
    base.http.connectTo = "10.0.0.1:80";
    base.http.fetchTimeoutS = 7;
    base.http.cacheBytes = 1234;
    const ServiceConfig demo = DemoServiceConfig(base, 54321);
    ExpectDemoServices(demo.services);
    EXPECT_EQ(demo.http.connectTo, "127.0.0.1:54321");
    EXPECT_EQ(demo.http.fetchTimeoutS, 7);
    EXPECT_EQ(demo.http.cacheBytes, 1234);
    EXPECT_EQ(demo.http.connectTimeoutS, base.http.connectTimeoutS);
    EXPECT_EQ(demo.http.maxBodyBytes, base.http.maxBodyBytes);
}

TEST(DemoConfigTest, ThePrintedConfigurationReadsBackAsTheRewrite) {
    const Result<ServiceConfig> parsed = ServiceConfig::Parse(DemoConfigText(8080), "demo.ini");
    ASSERT_TRUE(parsed.ok()) << parsed.reason();
    ExpectDemoServices(parsed->services);
    EXPECT_EQ(parsed->http.connectTo, "127.0.0.1:8080");
}

TEST(DemoConfigTest, TheMarkersAreLowerCaseImagesOnTheImageHost) {
    // Result pages are compared in lower case, so an upper-case letter in the
    // marker could never be found.
    for (const char c : kDemoNextMarker) {
        EXPECT_FALSE(c >= 'A' && c <= 'Z');
    }
    EXPECT_TRUE(kDemoNextMarker.ends_with("/i/us/search/gr/ar_next.gif"));
    EXPECT_TRUE(kDemoNextMarker.starts_with("http://" + std::string(kDemoImageHost) + "/"));
}

TEST(DemoConfigTest, TheDemoSiteIsTypedWithWwwAndHasAKey) {
    EXPECT_TRUE(DemoSiteName().starts_with("www."));
    EXPECT_EQ(MakeSiteKey(DemoSiteName()), "veltrap-demo.example");
}

}  // namespace
}  // namespace veltrap
