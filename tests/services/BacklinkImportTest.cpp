#include "services/backlinkimport/BacklinkImport.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::TempDir;
using testing::WriteFileBytes;

// ASCII text as UTF-16 with its byte order mark.
std::string Utf16(const std::string& text, bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : text) {
        bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return bytes;
}

class BacklinkImportTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    std::string WriteZip(const std::string& name,
                         const std::vector<std::pair<std::string, std::string>>& files) {
        int error = 0;
        zip_t* archive = zip_open(dir.File(name).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        EXPECT_NE(archive, nullptr);
        for (const auto& [member, bytes] : files) {
            zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
            EXPECT_GE(zip_file_add(archive, member.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
        }
        EXPECT_EQ(zip_close(archive), 0);
        return dir.File(name);
    }
    std::vector<std::string> Addresses(const std::vector<std::string>& paths) {
        const auto outcome = BacklinkImport::Read(paths);
        EXPECT_TRUE(outcome.ok()) << outcome.reason();
        imported = outcome.ok() ? outcome.value() : nullptr;
        return imported ? imported->addresses : std::vector<std::string>();
    }

    TempDir dir;
    std::shared_ptr<const ImportedBacklinks> imported;
};

TEST_F(BacklinkImportTest, PlainListSkipsCommentsBlanksAndRepeats) {
    const auto path = Write("links.txt",
                            "\xEF\xBB\xBF# exported by hand\r\n\r\n  http://a.example/x  \r\n"
                            "https://b.example/\r\nwww.c.example/\r\n   # later note\r\n"
                            "http://a.example/x\r\nHTTPS://d.example/;jsessionid=1,2");
    EXPECT_THAT(Addresses({path}), ElementsAre("http://a.example/x", "https://b.example/",
                                               "HTTPS://d.example/;jsessionid=1,2"));
    EXPECT_EQ(imported->Summary(),
              "Imported 3 addresses from 1 file: 5 rows read, 2 skipped (1 already imported, 1 "
              "not beginning with http:// or https://)");
}

TEST_F(BacklinkImportTest, SearchConsoleZipReadsEveryTableWithLinkingPages) {
    const auto path =
        WriteZip("links.zip", {{"Top linking sites.csv", "Site,Linking pages\nx.example,4\n"},
                               {"Latest links.csv",
                                "Linking page,Last crawled\nhttp://g1.example/a,2024-05-01\n"
                                "http://g2.example/b,2024-05-02\n"},
                               {"logo.png", std::string("\x89PNG\0\0\0", 7)},
                               {"More links.csv", "Linking page\nhttp://g3.example/\n"}});
    EXPECT_THAT(Addresses({path}),
                ElementsAre("http://g1.example/a", "http://g2.example/b", "http://g3.example/"));
    EXPECT_THAT(imported->Summary(),
                HasSubstr("passed over: " + path + ": Top linking sites.csv (no column"));
    EXPECT_THAT(imported->Summary(), HasSubstr(path + ": logo.png (is not a text file"));
}

TEST_F(BacklinkImportTest, AhrefsUtf16TablesWithEveryFieldQuoted) {
    const std::string table =
        "\"Referring page title\"\t\"Referring page URL\"\t\"Target URL\"\r\n"
        "\"Daily \"\"news\"\"\"\t\"http://ah1.example/\"\t\"http://mysite.test/\"\r\n"
        "\"Two\tlines\r\nof title\"\t\"http://ah2.example/p\"\t\"http://mysite.test/\"\r\n";
    EXPECT_THAT(
        Addresses({Write("le.csv", Utf16(table, true)), Write("be.csv", Utf16(table, false)),
                   Write("more.csv", Utf16("\"Referring page URL\"\r\n"
                                           "\"http://ah3.example/\"\r\n",
                                           true))}),
        ElementsAre("http://ah1.example/", "http://ah2.example/p", "http://ah3.example/"));
    EXPECT_EQ(imported->duplicates, 2u);
}

TEST_F(BacklinkImportTest, SemrushTablesWithQuotesAndLineBreaksInside) {
    const auto path = Write(
        "semrush.csv",
        "Page ascore,Source title,Source url,Target url,Anchor\r\n"
        "12,\"Widgets, \"\"blue\"\" ones\",http://s1.example/a,http://mysite.test/,\"x\r\ny\"\r\n"
        "9,Plain,\"http://s2.example/b,c\",http://mysite.test/,z\r\n"
        "3,No address,,http://mysite.test/,w\r\n,,,,\r\n");
    EXPECT_THAT(Addresses({path}), ElementsAre("http://s1.example/a", "http://s2.example/b,c"));
    EXPECT_EQ(imported->rowsRead, 3u);
    EXPECT_EQ(imported->notWebAddresses, 1u);
}

TEST_F(BacklinkImportTest, TargetColumnFirstIsNeverTheLinkingPage) {
    const auto path = Write("majestic.csv",
                            "TargetURL,SourceURL,AnchorText\n"
                            "http://mysite.test/,http://m1.example/,a\n"
                            "http://mysite.test/x,http://m2.example/,b\n");
    EXPECT_THAT(Addresses({path}), ElementsAre("http://m1.example/", "http://m2.example/"));
    // Without a known header the content decides, and a target column is passed over.
    const auto translated = Write("ziel.csv",
                                  "Target page;Seite mit Link\n"
                                  "http://mysite.test/;http://z1.example/\n");
    EXPECT_THAT(Addresses({translated}), ElementsAre("http://z1.example/"));
}

TEST_F(BacklinkImportTest, TranslatedHeadersWithSemicolonsAreFoundByContent) {
    std::string table = "Datum; \"Verweisende Seite\" ;Notiz\n";
    for (int n = 0; n < 150; ++n) {
        // A few values in the column are not addresses; most are.
        table += "2024-05-0" + std::to_string(n % 9 + 1) + ";" +
                 (n % 10 == 3 ? std::string("(entfernt)")
                              : "https://t" + std::to_string(n) + ".example/") +
                 ";ok, gut\n";
    }
    const auto addresses = Addresses({Write("de.csv", table)});
    ASSERT_EQ(addresses.size(), 135u);
    EXPECT_EQ(addresses.front(), "https://t0.example/");
    EXPECT_EQ(addresses.back(), "https://t149.example/");
    EXPECT_EQ(imported->rowsRead, 150u);
}

TEST_F(BacklinkImportTest, EachKindOfBadInputIsRefusedNamingTheFile) {
    const auto good = Write("good.txt", "http://a.example/\n");
    // A file that cannot be read is the world's fault, one that holds no list
    // of linking pages the input's.
    Failure refusal;
    const auto inputAtFault = [&](const std::string& path) {
        const auto outcome = BacklinkImport::Read({good, path});
        EXPECT_FALSE(outcome.ok());
        refusal = outcome.ok() ? Failure{} : outcome.failure();
        EXPECT_THAT(refusal.reason, HasSubstr(path));
        return refusal.inputAtFault;
    };
    EXPECT_FALSE(inputAtFault(dir.File("missing.csv")));
    EXPECT_FALSE(inputAtFault(dir.Path().string()));

    EXPECT_TRUE(
        inputAtFault(Write("sites.csv", "Site,Linking pages,Target pages\nx.example,3,1\n")));
    EXPECT_THAT(refusal.reason, HasSubstr("its header line is: Site,Linking pages,Target pages"));
    EXPECT_THAT(refusal.reason, HasSubstr("export \"Latest links\" instead"));

    EXPECT_TRUE(inputAtFault(Write("image.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10))));
    EXPECT_THAT(refusal.reason, HasSubstr("is not a text file"));
    EXPECT_TRUE(inputAtFault(Write("latin1.csv", "Linking page\nhttp://caf\xE9.example/\n")));
    EXPECT_THAT(refusal.reason, HasSubstr("offset 23"));
    EXPECT_TRUE(inputAtFault(Write("cut.csv", Utf16("Linking page\n", true) + "h")));
    EXPECT_TRUE(
        inputAtFault(WriteZip("sites.zip", {{"Top linking sites.csv", "Site\nx.example\n"}})));
    EXPECT_THAT(refusal.reason, HasSubstr("Top linking sites.csv (no column"));
}

}  // namespace
}  // namespace veltrap
