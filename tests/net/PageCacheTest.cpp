#include "net/PageCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace veltrap {
namespace {

PageAnswer Page(std::string body) {
    PageAnswer answer;
    answer.answered = true;
    answer.status = 200;
    answer.body = std::move(body);
    return answer;
}

// Claims an address and, when nothing is known of it, finishes with body.
std::string ClaimOrKeep(PageCache& cache, const std::string& url, const std::string& body) {
    if (auto known = cache.Claim(url)) {
        return known->body;
    }
    const PageAnswer answer = Page(body);
    cache.Finish(url, &answer);
    return "fetched";
}

TEST(PageCacheTest, KeepsWhileTheBudgetHolds) {
    // Each entry costs its address plus its body: 1 + 9 = 10 bytes here.
    PageCache cache(25);
    EXPECT_EQ(ClaimOrKeep(cache, "a", "123456789"), "fetched");
    EXPECT_EQ(ClaimOrKeep(cache, "b", "123456789"), "fetched");
    EXPECT_EQ(cache.BytesHeld(), 20);
    ClaimOrKeep(cache, "c", "123456789");  // would need 30
    ClaimOrKeep(cache, "d", "1234");       // exactly 25
    ClaimOrKeep(cache, "e", "");           // one byte over
    EXPECT_EQ(ClaimOrKeep(cache, "a", "other"), "123456789");
    EXPECT_EQ(ClaimOrKeep(cache, "c", "again"), "fetched");
    EXPECT_EQ(ClaimOrKeep(cache, "d", "other"), "1234");
    EXPECT_EQ(cache.BytesHeld(), 25);

    const std::string withNul("x\0y", 3);
    PageCache exact(100);
    ClaimOrKeep(exact, "u", withNul);
    EXPECT_EQ(ClaimOrKeep(exact, "u", "other"), withNul);
}

TEST(PageCacheTest, AFailedFetchIsNotKept) {
    PageCache cache(100);
    ASSERT_FALSE(cache.Claim("u"));
    cache.Finish("u", nullptr);
    EXPECT_FALSE(cache.Claim("u"));
}

// A second claim of an address in flight waits for the first one's answer,
// even one the budget leaves no room to keep; when the first gets nothing,
// the waiter fetches for itself.
TEST(PageCacheTest, ASecondClaimWaitsForTheFirst) {
    for (const bool succeed : {true, false}) {
        PageCache cache(0);
        ASSERT_FALSE(cache.Claim("u"));
        std::atomic<bool> returned{false};
        std::optional<PageAnswer> seen;
        std::thread second([&] {
            seen = cache.Claim("u");
            returned = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(returned.load());
        const PageAnswer answer = Page("body");
        cache.Finish("u", succeed ? &answer : nullptr);
        second.join();
        if (succeed) {
            ASSERT_TRUE(seen);
            EXPECT_EQ(seen->body, "body");
        } else {
            EXPECT_FALSE(seen);
            cache.Finish("u", nullptr);
        }
    }
}

}  // namespace
}  // namespace veltrap
