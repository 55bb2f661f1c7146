#include "WindowFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace veltrap::testing {
namespace {

class AddressBoxTest : public WindowFixture {
protected:
    // Types into the address box with real key presses, as a user does.
    QLineEdit* TypeByKeys(const QString& text) {
        QLineEdit* edit = window_->AddressBox()->lineEdit();
        window_->activateWindow();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        return edit;
    }
};

TEST_F(AddressBoxTest, TheTypedTextRunsEvenWhenASavedSiteDiffersOnlyInCase) {
    Store().Write(SettingsStore::kPageList, "WWW.Veltrap-Demo.Example,");
    Open();
    script_.Release(-1);

    // Enter runs the typed text, not the saved entry the box would match
    // without regard to case.
    QLineEdit* edit = TypeByKeys("www.veltrap-demo.example");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "www.veltrap-demo.example");
    ASSERT_TRUE(WaitForRunDone());

    // Opening and closing the drop-down, then leaving the box for the button.
    edit = TypeByKeys("www.veltrap-demo.example");
    window_->AddressBox()->showPopup();
    QTest::keyClick(window_->AddressBox()->view(), Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "www.veltrap-demo.example");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());

    ASSERT_EQ(script_.Requests().size(), 2u);
    EXPECT_EQ(script_.Requests()[0].siteText, "www.veltrap-demo.example");
    EXPECT_EQ(script_.Requests()[1].siteText, "www.veltrap-demo.example");
    EXPECT_EQ(window_->AddressBox()->currentText(), "www.veltrap-demo.example");
}

TEST_F(AddressBoxTest, DeleteOnAHighlightedEntryForgetsThatSiteAfterAsking) {
    Store().Write(SettingsStore::kPageList, "a.com,b.com,c.com,");
    Open();
    TypeByKeys("typed.example");
    QComboBox* box = window_->AddressBox();
    box->showPopup();
    QAbstractItemView* list = box->view();
    list->setCurrentIndex(box->model()->index(1, 0));
    answers_ = {false, true};
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(SavedSitesInBox(), (QStringList{"a.com", "b.com", "c.com"}));
    list->setCurrentIndex(box->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(questions_, (QStringList{"Remove b.com from the saved sites?",
                                       "Remove b.com from the saved sites?"}));
    EXPECT_EQ(SavedSitesInBox(), (QStringList{"a.com", "c.com"}));
    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "a.com,c.com,");
    box->hidePopup();
    EXPECT_EQ(box->currentText(), "typed.example");
}

TEST_F(AddressBoxTest, SavedSitesInAnotherEncodingReadAsWindows1252) {
    Store().Write(SettingsStore::kPageList, "cr\xE8me.example,");
    Open();
    EXPECT_EQ(SavedSitesInBox(), QStringList{QString::fromUtf8("cr\xC3\xA8me.example")});
}

}  // namespace
}  // namespace veltrap::testing
