#include "history/ChangesCsv.h"
#include "history/RunChanges.h"

#include <gtest/gtest.h>

#include <iterator>

namespace veltrap {
namespace {

void Keep(RunResult& run, const std::string& url, const std::string& rel = "",
          bool reciprocal = false, const std::string& anchorText = "my site") {
    run.records.Append(url);
    BacklinkRecord& record = *std::prev(run.records.end());
    record.href = "http://mysite.test/";
    record.anchorText = anchorText;
    record.rel = rel;
    record.linkStatus = rel.empty() ? "follow" : rel;
    record.reciprocal = reciprocal;
}

TEST(RunChangesTest, ListsNewAndChangedInTheNewerOrderThenLostInTheOlder) {
    RunResult older;
    Keep(older, "http://lost-unseen.example/");
    Keep(older, "http://same.example/");
    Keep(older, "http://turned.example/");
    Keep(older, "http://lost-gone.example/");
    RunResult newer;
    Keep(newer, "http://turned.example/", "nofollow", true, "My Site");
    Keep(newer, "http://fresh.example/");
    Keep(newer, "http://same.example/");
    // A page listed twice counts once.
    Keep(newer, "http://fresh.example/", "ugc");
    newer.unlinked = {{"http://lost-gone.example/", "gone", 404, 3}};
    // The newer run was cancelled before it read this page again.
    Keep(older, "http://unread.example/");
    newer.records.Append("http://unread.example/");

    EXPECT_EQ(ChangesCsv(RunChanges::Compare(older, newer)),
              "Linking Page,Change,Field,Old,New\n"
              "http://turned.example/,Changed,anchorText,my site,My Site\n"
              "http://turned.example/,Changed,linkStatus,follow,nofollow\n"
              "http://turned.example/,Changed,rel,,nofollow\n"
              "http://turned.example/,Changed,reciprocal,no,yes\n"
              "http://fresh.example/,New,,,\n"
              // Nobody looked at a page the newer run's list did not hold.
              "http://lost-unseen.example/,Unlisted,linkStatus,follow,not seen\n"
              "http://lost-gone.example/,Lost,linkStatus,follow,gone\n");
    EXPECT_TRUE(RunChanges::Compare(newer, newer).pages.empty());
}

// Nobody wants the link of a disavowed page back, whichever run marked it.
TEST(RunChangesTest, ADisavowedPageIsNeverLostUnverifiedOrUnlisted) {
    RunResult older;
    Keep(older, "http://marked-before.example/");
    Keep(older, "http://marked-now.example/");
    Keep(older, "http://blocked.example/");
    older.records.begin()->disavowed = true;
    RunResult newer;
    newer.unlinked = {{"http://marked-before.example/", "gone", 404, 0},
                      {"http://marked-now.example/", "not-found", 200, 0, false, true},
                      {"http://blocked.example/", "blocked", 403, 0}};
    const RunChanges changes = RunChanges::Compare(older, newer);
    EXPECT_EQ(ChangesCsv(changes),
              "Linking Page,Change,Field,Old,New\n"
              "http://blocked.example/,Unverified,linkStatus,follow,blocked\n");
    EXPECT_EQ(changes.LostCount(), 0U);
}

}  // namespace
}  // namespace veltrap
