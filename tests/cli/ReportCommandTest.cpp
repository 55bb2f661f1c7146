#include "cli/ReportCommand.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

namespace veltrap {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::TempDir;

// The command run in this process, for what ends before any request.
class ReportCommandTest : public ::testing::Test {
protected:
    int Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "veltrap-report");
        std::vector<const char*> argv;
        for (const auto& argument : arguments) {
            argv.push_back(argument.c_str());
        }
        ReportCommand command(out, err, false);
        return command.Run(static_cast<int>(argv.size()), argv.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    TempDir dir;
};

TEST_F(ReportCommandTest, HelpNamesEveryOption) {
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* option :
         {"--config", "--connect-to", "--backlink-pages", "--ranking-pages", "--out", "--html",
          "--demo", "--quiet", "--print-config", "--version", "--history", "--no-history",
          "--history-list", "--changes", "SITE"}) {
        EXPECT_THAT(out.str(), HasSubstr(option));
    }
}

TEST_F(ReportCommandTest, BadUsageExitsWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a.test", "b.test"},
        {"--no-such-option", "a.test"},
        {"--backlink-pages", "-1", "a.test"},
        {"--ranking-pages", "many", "a.test"},
        {"--connect-to", "", "a.test"},
        {"--connect-to", "127.0.0.1", "a.test"},
        {"--connect-to", "127.0.0.1:0", "a.test"},
        {"--connect-to", ":80", "a.test"},
        {"--demo", "--connect-to", "127.0.0.1:80", "a.test"},
        {"--demo-size", "5", "a.test"},
        {"--demo", "--demo-latency-ms", "-1", "a.test"},
        {"--demo", "--print-config"},
        {"--history", "h.sqlite", "--no-history", "a.test"},
        {"--changes", "a.test", "b.test"},
        {"--changes", "a.test", "--history-list", "a.test"},
        {"--history-list", "http://www. "},
    };
    for (const auto& arguments : cases) {
        err.str("");
        EXPECT_EQ(Run(arguments), ReportCommand::kExitUsage) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(err.str().empty());
    }
}

TEST_F(ReportCommandTest, EmptySiteKeyIsBadUsage) {
    EXPECT_EQ(Run({"http://www. "}), ReportCommand::kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr("names no site"));
}

// A demo run writes the records and the three tables, and the same run again
// gives the same bytes.
TEST_F(ReportCommandTest, DemoRunWritesRecordsAndTablesReproducibly) {
    const std::vector<std::string> files = {"records.json", "overview.csv", "keyphrases.csv",
                                            "pages.csv"};
    std::vector<std::string> first;
    for (const char* folder : {"one", "two"}) {
        ASSERT_EQ(Run({"--demo", "--demo-latency-ms", "0", "--demo-size", "60", "--ranking-pages",
                       "2", "--quiet", "--out", dir.File(folder), "www.veltrap-demo.example"}),
                  ReportCommand::kExitDone)
            << err.str();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string bytes = testing::ReadFileBytes(dir.Path() / folder / files[i]);
            EXPECT_FALSE(bytes.empty()) << files[i];
            if (first.size() < files.size()) {
                first.push_back(bytes);
            } else {
                EXPECT_EQ(bytes, first[i]) << files[i];
            }
        }
    }
    EXPECT_THAT(first[1], ::testing::StartsWith("Overview\nTotal Back Links: "));
    EXPECT_THAT(first[2],
                ::testing::StartsWith("Link Text,Occurances,Google Rank,Yahoo Rank,MSN Rank\n"));
    EXPECT_THAT(first[3],
                ::testing::StartsWith("Link in Profiled Site,# of Pages Linking To It\n"));
}

TEST_F(ReportCommandTest, ConfigurationProblemsNameTheFile) {
    EXPECT_EQ(Run({"--config", dir.File("missing.ini"), "a.test"}), ReportCommand::kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr(dir.File("missing.ini")));
}

// Points XDG_CONFIG_HOME at a folder for one test and puts it back after.
class ConfigHome {
public:
    explicit ConfigHome(const std::string& folder) {
        if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
            kept_ = value;
        }
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~ConfigHome() {
        if (kept_) {
            setenv("XDG_CONFIG_HOME", kept_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

private:
    std::optional<std::string> kept_;
};

TEST_F(ReportCommandTest, PrintConfigShowsTheDefaultFileOrTheNamedOne) {
    const ConfigHome home(dir.File("config"));
    const std::string defaultFile = dir.File("config/veltrap/services.ini");
    EXPECT_EQ(Run({"--print-config"}), ReportCommand::kExitDone) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("Read from: none, the built-in settings (" + defaultFile +
                                     " does not exist)\n"));
    EXPECT_THAT(out.str(), HasSubstr("\nmsn_host = search.msn.com\n"));

    std::filesystem::create_directories(dir.Path() / "config" / "veltrap");
    testing::WriteFileBytes(defaultFile, "[services]\nmsn_host = default.test\n");
    out.str("");
    EXPECT_EQ(Run({"--print-config", "--connect-to", "127.0.0.1:5"}), ReportCommand::kExitDone);
    EXPECT_THAT(out.str(), HasSubstr("Read from: " + defaultFile + "\n"));
    EXPECT_THAT(out.str(), HasSubstr("\nmsn_host = default.test\n"));
    EXPECT_THAT(out.str(), HasSubstr("\nconnect_to = 127.0.0.1:5\n"));

    testing::WriteFileBytes(dir.File("named.ini"), "[services]\ngoogle_host = named.test\n");
    out.str("");
    EXPECT_EQ(Run({"--print-config", "--config", dir.File("named.ini")}), ReportCommand::kExitDone);
    EXPECT_THAT(out.str(), HasSubstr("\ngoogle_host = named.test\n"));
    EXPECT_THAT(out.str(), HasSubstr("\nmsn_host = search.msn.com\n"));

    // A broken default file stops a run before anything is sent.
    testing::WriteFileBytes(defaultFile, "[services]\nmsn = default.test\n");
    EXPECT_EQ(Run({"a.test"}), ReportCommand::kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr(defaultFile + ":2: unknown key 'msn'"));
}

// Sets an environment variable, or takes it away, for one test.
class Variable {
public:
    Variable(const char* name, const char* value) : name_(name) {
        if (const char* kept = std::getenv(name)) {
            kept_ = kept;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~Variable() {
        if (kept_) {
            setenv(name_, kept_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> kept_;
};

// A backlink service without its key starts no run; its secrets are read from
// the environment over the file and never printed.
TEST_F(ReportCommandTest, BacklinkServiceSecretsAreNeededAndNeverPrinted) {
    const Variable key("VELTRAP_BING_API_KEY", nullptr);
    const Variable login("VELTRAP_DATAFORSEO_LOGIN", nullptr);
    const Variable password("VELTRAP_DATAFORSEO_PASSWORD", nullptr);
    testing::WriteFileBytes(dir.File("bing.ini"), "[backlinks]\nsource = bing-webmaster\n");
    EXPECT_EQ(Run({"--config", dir.File("bing.ini"), "a.test"}), ReportCommand::kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr("'bing_api_key' in [backlinks]"));
    EXPECT_THAT(err.str(), HasSubstr("VELTRAP_BING_API_KEY"));

    testing::WriteFileBytes(dir.File("dfs.ini"),
                            "[backlinks]\nsource = dataforseo\ndataforseo_login = me\n"
                            "dataforseo_password = file-password\n");
    err.str("");
    {
        const Variable emptied("VELTRAP_DATAFORSEO_PASSWORD", "");
        EXPECT_EQ(Run({"--config", dir.File("dfs.ini"), "a.test"}), ReportCommand::kExitUsage);
    }
    EXPECT_THAT(err.str(), HasSubstr("'dataforseo_password' in [backlinks]"));
    EXPECT_THAT(err.str(), HasSubstr("VELTRAP_DATAFORSEO_PASSWORD"));

    const Variable fromEnvironment("VELTRAP_BING_API_KEY", "environment-bing-key");
    out.str("");
    EXPECT_EQ(Run({"--print-config", "--config", dir.File("dfs.ini")}), ReportCommand::kExitDone);
    EXPECT_THAT(out.str(), HasSubstr("\ndataforseo_login = me\n"));
    EXPECT_THAT(out.str(), Not(HasSubstr("file-password")));
    EXPECT_THAT(out.str(), Not(HasSubstr("environment-bing-key")));
}

TEST_F(ReportCommandTest, UnwritableOutFolderIsNamed) {
    testing::WriteFileBytes(dir.File("taken"), "");
    EXPECT_EQ(Run({"--out", dir.File("taken"), "a.test"}), ReportCommand::kExitFailed);
    EXPECT_THAT(err.str(), HasSubstr(dir.File("taken")));
}

}  // namespace
}  // namespace veltrap
