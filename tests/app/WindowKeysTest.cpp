#include "ReportFixture.h"
#include "Watchdog.h"
#include "app/ClientArea.h"
#include "app/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace veltrap::testing {
namespace {

class WindowKeysTest : public ReportFixture {
protected:
    // Opens the window and waits until it has the keyboard, as a window a
    // user has just started does.
    void OpenActive(ReportSession::Pipeline run = {}) {
        Open(std::move(run));
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    // Presses a key wherever the keyboard is, as a user does.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    QColor FramePixel() const { return Picture().pixelColor(kGridLeft - 1, kGridTop + 60); }
};

TEST_F(WindowKeysTest, EnterInAFreshWindowRunsTheTypedSiteOrSaysTheBoxIsEmpty) {
    ASSERT_NO_FATAL_FAILURE(OpenActive());
    EXPECT_EQ(QApplication::focusWidget(), window_->AddressBox());
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Return));
    EXPECT_EQ(warnings_, QStringList{"Please type the address of a website to profile."});
    EXPECT_EQ(script_.Started(), 0);

    QTest::keyClicks(QApplication::focusWidget(), "example.com");
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Enter, Qt::KeypadModifier));
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    script_.Release(-1);
    ASSERT_TRUE(WaitForRunDone());
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Return));
    ASSERT_TRUE(QTest::qWaitFor([&] { return script_.Started() == 2; }));
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_EQ(warnings_.size(), 1);
    EXPECT_EQ(script_.Requests().back().siteText, "example.com");
}

TEST_F(WindowKeysTest, TabReachesTheGridWhereEnterActsOnTheSelectedRow) {
    ShowReport(FortyRecords());
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    window_->AddressBox()->setFocus();
    const QColor unfocused = FramePixel();
    QList<QWidget*> reached;
    for (int step = 0; step < 4; ++step) {
        ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Tab));
        reached << QApplication::focusWidget();
        if (reached.back() == window_->Tabs()) {
            EXPECT_TRUE(
                window_->Tabs()->grab().save(QStringLiteral("/tmp/veltrap-tabs-focus.png")));
        }
    }
    EXPECT_EQ(reached, (QList<QWidget*>{window_->RunButton(), window_->Tabs(), window_->Client(),
                                        window_->StatusBox()}));
    window_->Client()->setFocus(Qt::TabFocusReason);
    // The grid's frame shows that it has the keyboard.
    EXPECT_NE(FramePixel(), unfocused);
    EXPECT_TRUE(window_->grab().save(QStringLiteral("/tmp/veltrap-grid-focus.png")));

    // On the keyphrases, Enter shows the selected row's detail view, and
    // there Enter opens the selected page.
    ChooseTab(MainDialog::kKeyphraseTab);
    window_->Client()->setFocus(Qt::TabFocusReason);
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Return));
    EXPECT_EQ(window_->Tabs()->count(), 4);
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Down));
    const std::string keyphrase = Cell(0, 0);
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Return));
    ASSERT_EQ(window_->Tabs()->currentIndex(), MainDialog::kDetailTab);
    EXPECT_EQ(window_->Display().grid.Header(0), "URL's linked with: " + keyphrase);
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Down));
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Enter, Qt::KeypadModifier));
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl(QString::fromStdString(Cell(0, 0)))});

    // Enter left unused by the status box is not the grid's.
    window_->StatusBox()->setFocus();
    ASSERT_NO_FATAL_FAILURE(Press(Qt::Key_Return));
    EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(WindowKeysTest, FileMenuCommandsHaveTheUsualShortcuts) {
    ShowReport(FortyRecords());
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    EXPECT_EQ(window_->ImportAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window_->SaveHtmlAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

    saveAnswer_ = QString::fromStdString(dir_.File("keys.csv"));
    QTest::keyClick(window_.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened_.empty(); }));
    EXPECT_EQ(opened_.back(), QUrl::fromLocalFile(saveAnswer_));

    QStringList dialogs;
    dialogScript_ = [&](QDialog& dialog) {
        dialogs << dialog.windowTitle();
        return static_cast<int>(QDialog::Rejected);
    };
    QTest::keyClick(window_.get(), Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(dialogs, QStringList{"Settings"});
    QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(WindowKeysTest, TheCancelQuestionClosesWhenTheRunEndsAndItsAnswerChangesNothing) {
    Open();
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    // The run ends while the user still looks at the question, who then
    // answers Yes.
    duringQuestion_ = [this] {
        script_.Release(0);
        EXPECT_TRUE(WaitForRunDone());
    };
    answers_ = {true};
    ClickRun();
    EXPECT_EQ(questions_, QStringList{"Do you want to cancel the report?"});
    EXPECT_EQ(questionsClosed_, 1);
    EXPECT_TRUE(Status().startsWith("Done: ")) << Status().toStdString();
    EXPECT_EQ(ButtonText(), "Run Link Analysis Report");
    EXPECT_FALSE(window_->RunGoing());
    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_EQ(window_->ReportList()->size(), 1u);
}

TEST(UserPromptsTest, AnOpenQuestionIsClosedAsAnsweredNo) {
    const UserPrompts prompts = UserPrompts::Interactive();
    QWidget parent;
    parent.show();
    // Should the question not close, the watchdog closes it, so that the
    // test fails instead of waiting for a user.
    const Watchdog watchdog([&parent] {
        QMetaObject::invokeMethod(
            &parent,
            [&parent] {
                for (QMessageBox* box : parent.findChildren<QMessageBox*>()) {
                    box->done(QMessageBox::Yes);
                }
            },
            Qt::QueuedConnection);
    });
    QTimer::singleShot(0, &parent, [&] { prompts.closeQuestion(&parent); });
    EXPECT_FALSE(prompts.askYesNo(&parent, QStringLiteral("Do you want to cancel the report?")));
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
}  // namespace veltrap::testing
