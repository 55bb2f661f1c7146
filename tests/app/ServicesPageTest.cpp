#include "Watchdog.h"
#include "WindowFixture.h"
#include "app/ServicesPage.h"
#include "app/SettingsDialog.h"
#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/ConfigSecrets.h"
#include "support/FakeSecretStore.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>

namespace veltrap::testing {
namespace {

using Role = ServiceDescriptor::Role;

class ServicesPageTest : public WindowFixture {
protected:
    // A window whose runs read the file at path_ and the secrets in keyring_,
    // as the program's do.
    void OpenOnFile(const std::string& text) {
        WriteFileBytes(path_, text);
        Open();
        window_->SetConfigSource(
            [this]() -> Result<ServiceConfig> {
                Result<ServiceConfig> loaded = ServiceConfig::Load(path_);
                if (loaded) {
                    (void)ConfigSecrets::Fill(*loaded, keyring_);
                    if (veltrap::Status checked = loaded->CheckServices(); !checked) {
                        return checked.failure();
                    }
                }
                return loaded;
            },
            path_, &keyring_);
    }

    static void PressOk(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    }

    TempDir dir_;
    std::string path_ = dir_.File("services.ini");
    FakeSecretStore keyring_;
};

TEST_F(ServicesPageTest, ChosenServiceGoesToTheFileAndItsKeyToTheKeyring) {
    // The file's old key would hide the keyring's new one, so it is emptied.
    OpenOnFile(
        "; written by hand\n[http]\nconnect_timeout_s = 7\n[backlinks]\nbing_api_key = old\n");
    dialogScript_ = [](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        EXPECT_NE(page, nullptr);
        dialog.show();
        EXPECT_EQ(page->SecretsInFile(), nullptr);
        page->Choose(Role::kBacklinks, "bing-webmaster");
        page->Field("backlinks", "bing_api_key")->setText("sekrit");
        QTest::keyClicks(page->Field("backlinks", "bing_site_url"), "https://mysite.test/");
        EXPECT_EQ(page->Field("backlinks", "bing_api_key")->echoMode(), QLineEdit::Password);
        PressOk(dialog);
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(ReadFileBytes(path_),
              "; written by hand\n[http]\nconnect_timeout_s = 7\n[backlinks]\nbing_api_key =\n"
              "source = bing-webmaster\nbing_site_url = https://mysite.test/\n");
    EXPECT_EQ(keyring_.kept, (std::map<std::string, std::string>{{"bing_api_key", "sekrit"}}));
    // The next run, and the window already, use the new file and the keyring
    // without a restart.
    EXPECT_EQ(window_->StatusBox()->text(), "Services in use: bing-webmaster, pagerank-page, html");
}

// Without a keyring a secret is written to the file only when the person
// agrees, and the file is then the owner's alone.
TEST_F(ServicesPageTest, WithoutAKeyringSecretsGoToTheFileOnlyWhenAgreed) {
    keyring_ = FakeSecretStore("no keyring service answered");
    OpenOnFile("[http]\njobs = 3\n");
    dialogScript_ = [this](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        dialog.show();
        EXPECT_TRUE(page->SecretsNote()->text().contains("no keyring service answered"));
        page->Choose(Role::kAuthority, "openpagerank");
        page->Field("authority", "openpagerank_key")->setText("sekrit");
        PressOk(dialog);
        EXPECT_TRUE(page->ProblemLabel()->text().startsWith(
            "No desktop keyring can keep openpagerank_key: tick"))
            << page->ProblemLabel()->text().toStdString();
        EXPECT_EQ(ReadFileBytes(path_), "[http]\njobs = 3\n");
        for (int turn = 0; turn < 8; ++turn) {
            QCoreApplication::sendPostedEvents();
        }
        EXPECT_TRUE(dialog.grab().save(VELTRAP_SCREENSHOT_DIR "/services-no-keyring.png", "PNG"));
        page->SecretsInFile()->setChecked(true);
        PressOk(dialog);
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(
        ReadFileBytes(path_),
        "[http]\njobs = 3\n\n[authority]\nprovider = openpagerank\nopenpagerank_key = sekrit\n");
    EXPECT_EQ(std::filesystem::status(path_).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ServicesPageTest, RefusedValueKeepsTheDialogAndTheFile) {
    const std::string text = "[http]\njobs = 3\n";
    OpenOnFile(text);
    dialogScript_ = [](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        dialog.show();
        page->Field("http", "jobs")->setText("0");
        PressOk(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(page->ProblemLabel()->text().endsWith(
            ":2: key 'jobs' needs a whole number of jobs from 1 to 256, not '0'"))
            << page->ProblemLabel()->text().toStdString();
        return static_cast<int>(QDialog::Rejected);
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(ReadFileBytes(path_), text);
}

TEST_F(ServicesPageTest, BrokenConfigurationStartsNoRunAndLeadsToThePage) {
    OpenOnFile("[backlinks]\nsource = dataforseo\n");
    answers_ = {true};
    bool pageShown = false;
    dialogScript_ = [&pageShown](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        pageShown = page != nullptr && page->isVisibleTo(&dialog) &&
                    page->ProblemLabel()->text().contains("dataforseo");
        return static_cast<int>(QDialog::Rejected);
    };
    window_->AddressBox()->setEditText("mysite.test");
    window_->StartOrCancelReport();
    EXPECT_FALSE(window_->RunGoing());
    EXPECT_TRUE(window_->StatusBox()->text().contains("dataforseo"));
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(questions_[0].endsWith("Open the Services settings?"));
    EXPECT_TRUE(pageShown);
}

// Presses the role's Test button and waits, without a bound, for its outcome.
QString Tested(ServicesPage& page, Role role) {
    QTest::mouseClick(page.TestButton(role), Qt::LeftButton);
    EXPECT_EQ(page.TestOutcome(role)->text(), QStringLiteral("Testing…"));
    while (!page.TestButton(role)->isEnabled()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return page.TestOutcome(role)->text();
}

TEST_F(ServicesPageTest, TestButtonTellsTheServicesAnswerWithTheValuesOnThePage) {
    DemoOptions options;
    options.latencyMs = 0;
    options.threads = 4;
    DemoWeb demo(options);
    ASSERT_TRUE(demo.Start().ok());
    OpenOnFile(DemoConfigText(demo.Port()));
    window_->AddressBox()->setEditText(QString::fromStdString(DemoSiteName()));
    dialogScript_ = [](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        dialog.resize(640, 720);
        static_cast<SettingsDialog&>(dialog).ShowPage(SettingsDialog::Page::kServices);
        dialog.show();
        page->Choose(Role::kBacklinks, "bing-webmaster");
        const auto shoot = [&dialog](const char* name) {
            // Each layout around a new outcome follows it on a turn of the loop.
            for (int turn = 0; turn < 8; ++turn) {
                QCoreApplication::sendPostedEvents();
            }
            EXPECT_TRUE(dialog.grab().save(
                QStringLiteral(VELTRAP_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(name)), "PNG"));
        };
        shoot("services-idle");
        const QString answered = Tested(*page, Role::kBacklinks);
        EXPECT_TRUE(answered.startsWith("Bing Webmaster Tools answered: ") &&
                    answered.endsWith(" pages of your site have links"))
            << answered.toStdString();
        shoot("services-tested");
        page->Field("backlinks", "bing_api_key")->setText("typed-wrong");
        const QString refused = Tested(*page, Role::kBacklinks);
        EXPECT_TRUE(refused.startsWith("Bing Webmaster Tools failed: ") &&
                    refused.contains("InvalidApiKey") && !refused.contains("typed-wrong"))
            << refused.toStdString();
        shoot("services-failed");
        return static_cast<int>(QDialog::Rejected);
    };
    window_->SettingsAction()->trigger();
    // Testing writes nothing.
    EXPECT_EQ(ReadFileBytes(path_), DemoConfigText(demo.Port()));
}

// The service never answers and nothing times out, so the dialog closes only
// if closing ends the test still waiting.
TEST_F(ServicesPageTest, ClosingTheDialogEndsATestStillWaiting) {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    const auto release = [&] {
        std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    };
    LoopbackServer silent;
    silent.Server().Get(".*", [&](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
        response.status = 503;
    });
    silent.Start();
    OpenOnFile(
        "[authority]\nprovider = openpagerank\nopenpagerank_key = "
        "a-key-of-length\nopenpagerank_url = http://opr.test/api\n[http]\nconnect_to = " +
        silent.Address() + "\nstall_timeout_s = 86400\nfetch_timeout_s = 86400\n");
    dialogScript_ = [&](QDialog& dialog) {
        auto* page = static_cast<SettingsDialog&>(dialog).Services();
        dialog.show();
        QTest::mouseClick(page->TestButton(Role::kAuthority), Qt::LeftButton);
        for (;;) {
            if (std::lock_guard lock(mutex); entered) {
                break;
            }
            if (page->TestButton(Role::kAuthority)->isEnabled()) {
                ADD_FAILURE() << "not asked: "
                              << page->TestOutcome(Role::kAuthority)->text().toStdString();
                break;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        return static_cast<int>(QDialog::Rejected);
    };
    {
        const Watchdog watchdog(release);
        window_->SettingsAction()->trigger();
        EXPECT_FALSE(watchdog.Fired());
    }
    release();
}

}  // namespace
}  // namespace veltrap::testing
