#include "engine/DisavowList.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(DisavowListTest, NamesPagesAndWholeDomains) {
    const Result<DisavowList> list = DisavowList::Parse(
        "\xEF\xBB\xBF# spam we never asked for\r\n"
        "\n"
        "domain:Spam.example\r\n"
        "   \t\n"
        "https://blog.example/post?id=1\n"
        "http://www.other.example/page.html",
        "disavow.txt");
    ASSERT_TRUE(list.ok()) << list.reason();
    EXPECT_TRUE(list->Names("http://spam.example/"));
    EXPECT_TRUE(list->Names("https://deep.sub.SPAM.example:8080/x"));
    EXPECT_FALSE(list->Names("http://notspam.example/"));
    EXPECT_TRUE(list->Names("https://BLOG.example/post?id=1"));
    EXPECT_FALSE(list->Names("https://blog.example/post?id=2"));
    // A page address without a scheme is read as plain HTTP.
    EXPECT_TRUE(list->Names("www.other.example/page.html"));
    EXPECT_FALSE(list->Names("http://other.example/page.html"));
    EXPECT_FALSE(DisavowList::Parse("# only a comment\n", "d").value().Names("http://a.example/"));
}

TEST(DisavowListTest, RefusesWhatIsNoDisavowFileNamingTheLine) {
    const auto reason = [](const std::string& text) {
        const Result<DisavowList> list = DisavowList::Parse(text, "disavow.txt");
        EXPECT_FALSE(list.ok());
        EXPECT_TRUE(!list.ok() && list.failure().inputAtFault);
        return list.ok() ? std::string() : list.reason();
    };
    EXPECT_THAT(reason("# fine\nftp://files.example/\n"),
                HasSubstr("disavow.txt, line 2: 'ftp://files.example/' is neither a comment"));
    EXPECT_THAT(reason("\n\nspam.example\n"), HasSubstr("line 3: 'spam.example' is neither"));
    EXPECT_THAT(reason("domain:\n"), HasSubstr("line 1: 'domain:' names no domain"));
    EXPECT_THAT(reason("domain:spam..example\n"), HasSubstr("line 1:"));
    EXPECT_THAT(reason("domain:a.example/path\n"), HasSubstr("line 1:"));
    EXPECT_THAT(reason("# a\n# b\n# \xFF\xFE\n"), HasSubstr("line 3: not UTF-8 text"));
    EXPECT_THAT(reason(std::string("#\0x\n", 4)), HasSubstr("line 1: not UTF-8 text"));

    std::string lines;
    for (std::size_t n = 0; n < DisavowList::kMostLines; ++n) {
        lines += "#\n";
    }
    EXPECT_TRUE(DisavowList::Parse(lines, "d").ok());
    EXPECT_THAT(reason(lines + "#"), HasSubstr("has more than 100000 lines"));
    EXPECT_THAT(reason(std::string(DisavowList::kMostBytes + 1, '#')),
                HasSubstr("more than the 2097152 a disavow file may hold"));
}

TEST(DisavowListTest, AddsLinesKeepingTheFileAndItsLimits) {
    TempDir dir;
    const std::string file = dir.File("disavow.txt");
    WriteFileBytes(file, "# cleaned up in May\ndomain:spam.example");
    ASSERT_TRUE(DisavowList::AddPage(file, "blog.example/post").ok());
    ASSERT_TRUE(DisavowList::AddDomain(file, "https://www.Junk.example:8443/a?b").ok());
    EXPECT_EQ(ReadFileBytes(file),
              "# cleaned up in May\ndomain:spam.example\nhttp://blog.example/post\n"
              "domain:www.junk.example\n");
    EXPECT_TRUE(DisavowList::Read(file)->Names("http://www.junk.example/"));
    // A new file is started by its first line.
    ASSERT_TRUE(DisavowList::AddDomain(dir.File("new.txt"), "http://spam.example/").ok());
    EXPECT_EQ(ReadFileBytes(dir.File("new.txt")), "domain:spam.example\n");

    // A file at its limit is left as it was.
    std::string full;
    for (std::size_t n = 0; n < DisavowList::kMostLines; ++n) {
        full += "#\n";
    }
    WriteFileBytes(file, full);
    EXPECT_THAT(DisavowList::AddPage(file, "http://a.example/").reason(),
                HasSubstr("more than 100000 lines"));
    EXPECT_EQ(ReadFileBytes(file), full);
    EXPECT_THAT(DisavowList::Read(dir.File("missing.txt")).reason(),
                HasSubstr("cannot read the disavow file"));
}

}  // namespace
}  // namespace veltrap
