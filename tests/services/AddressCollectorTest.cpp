#include "services/backlinkimport/AddressCollector.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace veltrap {
namespace {

// Many rows with repeats, growing the table many times over, with a
// rollback now and then; the oracle is a plain ordered set of what was kept.
TEST(AddressCollectorTest, KeepsEachAddressOnceInFirstOrderAcrossGrowthAndRollbacks) {
    ImportedBacklinks imported;
    AddressCollector collector(imported);
    std::vector<std::string> kept;
    std::set<std::string> seen;
    std::size_t duplicates = 0;
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const AddressCollector::Mark mark = collector.Here();
        const std::vector<std::string> keptBefore = kept;
        const std::set<std::string> seenBefore = seen;
        const std::size_t duplicatesBefore = duplicates;
        for (int row = 0; row < 2000; ++row) {
            const std::string address = "http://h" + std::to_string(random() % 30000) + ".example/";
            if (seen.insert(address).second) {
                kept.push_back(address);
            } else {
                ++duplicates;
            }
            collector.Take(address);
        }
        collector.Take(std::string("http://nul\0.example/", 20));
        collector.Take("ftp://not.example/");
        if (round % 5 == 4) {
            collector.Rollback(mark);
            kept = keptBefore;
            seen = seenBefore;
            duplicates = duplicatesBefore;
        } else if (seen.insert(std::string("http://nul\0.example/", 20)).second) {
            kept.push_back(std::string("http://nul\0.example/", 20));
        } else {
            ++duplicates;
        }
    }
    EXPECT_EQ(imported.addresses, kept);
    EXPECT_EQ(imported.duplicates, duplicates);
    EXPECT_EQ(imported.notWebAddresses, 32u);
}

}  // namespace
}  // namespace veltrap
