#include "WindowFixture.h"
#include "app/AboutDialog.h"
#include "app/SettingsDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <limits>

namespace veltrap::testing {
namespace {

// Types into an edit the way a user would: select all, then keys.
void Retype(QLineEdit* edit, const QString& keys) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, keys);
}

void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(which), Qt::LeftButton);
}

class SettingsDialogTest : public WindowFixture {};

TEST_F(SettingsDialogTest, ShowsTheLimitsAndTheTexts) {
    Store().Write(SettingsStore::kLinkDomain, "4");
    Open();
    dialogScript_ = [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Settings");
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
        }
        EXPECT_TRUE(
            texts.contains("Higher thresholds will increase the time that it takes to "
                           "generate a report, but the report will be a more "
                           "comprehensive analysis of the site."));
        EXPECT_TRUE(texts.contains("Maximum pages of backlinks to record (50 backlinks per page)"));
        EXPECT_TRUE(texts.contains("Maximum pages to search for rankings in the search engines"));
        auto& settings = static_cast<SettingsDialog&>(dialog);
        EXPECT_EQ(settings.BacklinkPagesEdit()->text(), "4");
        EXPECT_EQ(settings.RankingPagesEdit()->text(), "10");
        EXPECT_TRUE(settings.ConfigFileLabel()->text().startsWith(
            "Service configuration: none, the built-in settings ("));
        return static_cast<int>(QDialog::Rejected);
    };
    window_->SettingsAction()->trigger();
}

TEST_F(SettingsDialogTest, ShowsTheConfigurationFileInUse) {
    ServiceConfig config;
    config.file = "/etc/elsewhere/services.ini";
    Open({}, config);
    dialogScript_ = [](QDialog& dialog) {
        EXPECT_EQ(static_cast<SettingsDialog&>(dialog).ConfigFileLabel()->text(),
                  "Service configuration: /etc/elsewhere/services.ini");
        return static_cast<int>(QDialog::Rejected);
    };
    window_->SettingsAction()->trigger();
}

TEST_F(SettingsDialogTest, ClearedEditStoresZero) {
    Open();
    dialogScript_ = [](QDialog& dialog) {
        auto& settings = static_cast<SettingsDialog&>(dialog);
        dialog.show();
        Retype(settings.BacklinkPagesEdit(), "");
        Retype(settings.RankingPagesEdit(), "2x5-");
        EXPECT_EQ(settings.RankingPagesEdit()->text(), "25");
        Press(dialog, QDialogButtonBox::Ok);
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(window_->MaxBacklinkPages(), 0);
    EXPECT_EQ(window_->MaxRankingPages(), 25);
    EXPECT_EQ(Store().Read(SettingsStore::kLinkDomain), "0");
    EXPECT_EQ(Store().Read(SettingsStore::kSearchResults), "25");
}

TEST_F(SettingsDialogTest, NumberBeyond32BitsStoresTheLargest) {
    Open();
    dialogScript_ = [](QDialog& dialog) {
        auto& settings = static_cast<SettingsDialog&>(dialog);
        dialog.show();
        Retype(settings.BacklinkPagesEdit(), "99999999999999999999");
        Retype(settings.RankingPagesEdit(), "2147483647");
        Press(dialog, QDialogButtonBox::Ok);
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(window_->MaxBacklinkPages(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(window_->MaxRankingPages(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Store().Read(SettingsStore::kLinkDomain), "2147483647");
}

TEST_F(SettingsDialogTest, CancelChangesNothing) {
    Open();
    dialogScript_ = [](QDialog& dialog) {
        auto& settings = static_cast<SettingsDialog&>(dialog);
        dialog.show();
        Retype(settings.BacklinkPagesEdit(), "3");
        Press(dialog, QDialogButtonBox::Cancel);
        EXPECT_EQ(settings.MaxBacklinkPages(), 10);
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    EXPECT_EQ(window_->MaxBacklinkPages(), 10);
    EXPECT_EQ(window_->MaxRankingPages(), 10);
    EXPECT_EQ(Store().Read(SettingsStore::kLinkDomain), "");
    EXPECT_EQ(Store().Read(SettingsStore::kSearchResults), "");
}

TEST_F(SettingsDialogTest, NewLimitsGoToTheNextRun) {
    Open();
    dialogScript_ = [](QDialog& dialog) {
        auto& settings = static_cast<SettingsDialog&>(dialog);
        Retype(settings.BacklinkPagesEdit(), "1");
        Retype(settings.RankingPagesEdit(), "0");
        settings.accept();
        return dialog.result();
    };
    window_->SettingsAction()->trigger();
    script_.Release(0);
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    ASSERT_EQ(script_.Requests().size(), 1u);
    EXPECT_EQ(script_.Requests()[0].maxBacklinkPages, 1);
    EXPECT_EQ(script_.Requests()[0].maxRankingPages, 0);
}

TEST_F(SettingsDialogTest, AboutShowsTheIconAndVersion) {
    Open();
    bool shown = false;
    dialogScript_ = [&shown](QDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.windowTitle(), "About Quorvex");
        const auto* version = dialog.findChild<QLabel*>("aboutVersion");
        const auto* icon = dialog.findChild<QLabel*>("aboutIcon");
        EXPECT_TRUE(version != nullptr && version->text() == "Veltrap Version 1.0.0.6");
        EXPECT_TRUE(icon != nullptr && !icon->pixmap().isNull());
        dialog.show();
        Press(dialog, QDialogButtonBox::Ok);
        return dialog.result();
    };
    window_->AboutAction()->trigger();
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace veltrap::testing
