#include "net/PageCache.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

TEST(PageCacheTest, StoresWhileTheBudgetHolds) {
    // Each entry costs its address plus its body: 1 + 9 = 10 bytes here.
    PageCache cache(25);
    EXPECT_EQ(cache.Lookup("a"), std::nullopt);
    cache.Store("a", "123456789");
    cache.Store("b", "123456789");
    EXPECT_EQ(cache.BytesHeld(), 20);
    cache.Store("c", "123456789");  // would need 30
    cache.Store("d", "1234");       // exactly 25
    cache.Store("e", "");           // one byte over
    EXPECT_EQ(cache.Lookup("a"), "123456789");
    EXPECT_EQ(cache.Lookup("c"), std::nullopt);
    EXPECT_EQ(cache.Lookup("d"), "1234");
    EXPECT_EQ(cache.Lookup("e"), std::nullopt);
    EXPECT_EQ(cache.BytesHeld(), 25);
}

TEST(PageCacheTest, KeepsTheFirstBodyAndEveryByte) {
    PageCache cache(100);
    const std::string withNul("x\0y", 3);
    cache.Store("u", withNul);
    cache.Store("u", "other");
    EXPECT_EQ(cache.Lookup("u"), withNul);
    EXPECT_EQ(cache.BytesHeld(), 4);

    PageCache none(0);
    none.Store("u", "");
    EXPECT_EQ(none.Lookup("u"), std::nullopt);
}

}  // namespace
}  // namespace veltrap
