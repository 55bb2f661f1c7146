#include "services/backlinkimport/BacklinkImport.h"

#include "services/backlinkimport/ImportFile.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <sys/stat.h>

#include <future>
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
    // A page named without its scheme is read as its http:// address.
    EXPECT_THAT(Addresses({path}),
                ElementsAre("http://a.example/x", "https://b.example/", "http://www.c.example/",
                            "HTTPS://d.example/;jsessionid=1,2"));
    EXPECT_EQ(imported->Summary(),
              "Imported 4 addresses from 1 file: 5 rows read, 1 skipped (1 already imported), 1 "
              "without a scheme read with http://");
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
    // The refusal says which columns would have been understood.
    EXPECT_TRUE(inputAtFault(Write("moz.csv", "Domain,Anchor,Date\nx.example,a,2026\n")));
    EXPECT_THAT(refusal.reason, HasSubstr("header line is: Domain,Anchor,Date. A column of "
                                          "linking pages is one headed \"Linking page\""));

    // Files without a single linking page would make a run that finds
    // nothing and calls every earlier link lost.
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"empty.txt", ""},
             {"comments.txt", "# nothing yet\n\n"},
             {"header.csv", "Linking page,Target\n"}}) {
        const auto outcome = BacklinkImport::Read({Write(name, bytes)});
        ASSERT_FALSE(outcome.ok()) << name;
        EXPECT_TRUE(outcome.failure().inputAtFault);
        EXPECT_THAT(outcome.reason(), HasSubstr("no linking page to run on in " + dir.File(name)));
    }
}

TEST_F(BacklinkImportTest, EveryLineEndAndPagesWithoutTheirScheme) {
    EXPECT_THAT(Addresses({Write("mac.txt",
                                 "http://a.example/\rhttp://b.example/\r\n"
                                 "http://c.example/\nhttp://d.example/")}),
                ElementsAre("http://a.example/", "http://b.example/", "http://c.example/",
                            "http://d.example/"));
    EXPECT_EQ(imported->rowsRead, 4u);

    EXPECT_THAT(Addresses({Write("bare.txt",
                                 "timberstone.example/page.html\r"
                                 "https://a.example/\n"
                                 "WWW.Fen-Row.example:8080/x?y=1\n"
                                 "Domain\n"
                                 "12.5\n")}),
                ElementsAre("http://timberstone.example/page.html", "https://a.example/",
                            "http://WWW.Fen-Row.example:8080/x?y=1"));
    EXPECT_EQ(imported->withoutScheme, 2u);
    EXPECT_EQ(imported->Summary(),
              "Imported 3 addresses from 1 file: 5 rows read, 2 skipped (2 not beginning with "
              "http:// or https://), 2 without a scheme read with http://");
}

TEST_F(BacklinkImportTest, AStopEndsTheImportOfAPipeThatNeverGetsAWriter) {
    const std::string fifo = dir.File("never.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RunStop stop;
    // Whenever the stop comes, before the pipe is opened or while its read
    // waits, the import ends with the stop's refusal: no writer ever comes.
    auto reading =
        std::async(std::launch::async, [&] { return BacklinkImport::Read({fifo}, stop); });
    stop.Cancel();
    const auto outcome = reading.get();
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.reason(), ImportFile::Stopped(fifo).reason);

    // An archive honours the stop between its tables as well.
    RunStop stopped;
    stopped.Cancel();
    const std::string zip = WriteZip("links.zip", {{"a.csv", "Linking page\nhttp://a.example/\n"}});
    EXPECT_EQ(BacklinkImport::Read({zip}, stopped).reason(), ImportFile::Stopped(zip).reason);
}

TEST_F(BacklinkImportTest, APipeIsReadAsItsBytesComeAndAFileChangedUnderTheReadIsRefused) {
    const std::string fifo = dir.File("links.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto writing = std::async(std::launch::async, [&] {
        WriteFileBytes(fifo, "http://a.example/\nhttp://b.example/\n");
    });
    EXPECT_THAT(Addresses({fifo}), ElementsAre("http://a.example/", "http://b.example/"));
    writing.get();

    // A file cut while it is read: the reader is handed the file's first
    // bytes, then the file is cut, and the end of the read notices.
    const std::string path = Write("cut.txt", "http://a.example/\nhttp://b.example/\n");
    RunStop stop;
    Result<ImportFile> file = ImportFile::Open(path, stop);
    ASSERT_TRUE(file.ok()) << file.reason();
    char buffer[10];
    ASSERT_EQ(file->Read(buffer, sizeof buffer).value(), sizeof buffer);
    ASSERT_EQ(truncate(path.c_str(), 20), 0);
    Result<std::size_t> read = file->Read(buffer, sizeof buffer);
    while (read.ok() && *read > 0) {
        read = file->Read(buffer, sizeof buffer);
    }
    ASSERT_FALSE(read.ok());
    EXPECT_THAT(read.reason(),
                HasSubstr(path + " changed while it was read (36 bytes when opened"));

    // Neither a folder nor a socket holds a list.
    EXPECT_THAT(ImportFile::Open(dir.Path().string(), stop).reason(), HasSubstr("Is a directory"));
}

}  // namespace
}  // namespace veltrap
