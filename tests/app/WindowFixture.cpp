#include "WindowFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace veltrap::testing {

WindowFixture::WindowFixture() = default;

WindowFixture::~WindowFixture() {
    // Whatever a test left waiting may go on, so the window can close.
    script_.Release(-1);
    window_.reset();
}

void WindowFixture::Open(ReportSession::Pipeline run, ServiceConfig config) {
    UserPrompts prompts;
    prompts.askYesNo = [this](QWidget*, const QString& question) {
        questions_ << question;
        if (duringQuestion_) {
            duringQuestion_();
        }
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return false;
        }
        const bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    };
    prompts.closeQuestion = [this](QWidget*) { ++questionsClosed_; };
    prompts.showMessage = [this](QWidget*, const QString& text) { messages_ << text; };
    prompts.showWarning = [this](QWidget*, const QString& text) { warnings_ << text; };
    prompts.chooseSaveFile = [this](QWidget*, const QString& filters, const QString& suffix,
                                    const QString& name) {
        saveFilters_ << filters << suffix;
        saveNames_ << name;
        return saveAnswer_;
    };
    prompts.chooseFolder = [this](QWidget*, const QString&) { return folderAnswer_; };
    prompts.chooseOpenFiles = [this](QWidget*, const QString&) { return openAnswer_; };
    prompts.chooseOneFile = [this](QWidget*, const QString&, const QString&) {
        ++oneFileAsked_;
        return oneFileAnswer_;
    };
    prompts.openExternally = [this](const QUrl& target) {
        opened_.push_back(target);
        return true;
    };
    prompts.runDialog = [this](QDialog& dialog) {
        if (!dialogScript_) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        return dialogScript_(dialog);
    };
    window_ = std::make_unique<MainDialog>(std::move(config), Store(), std::move(prompts),
                                           run ? std::move(run) : script_.Function());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
}

void WindowFixture::TypeAddress(const QString& text) {
    QLineEdit* edit = window_->AddressBox()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
}

void WindowFixture::ClickRun() {
    QTest::mouseClick(window_->RunButton(), Qt::LeftButton);
}

bool WindowFixture::WaitForStatus(const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return Status() == text; }, timeoutMs);
}

bool WindowFixture::WaitForRunDone(int timeoutMs) {
    return QTest::qWaitFor([&] { return Status().startsWith(QStringLiteral("Done: ")); },
                           timeoutMs);
}

QString WindowFixture::Status() const {
    return window_->StatusBox()->text();
}

QString WindowFixture::ButtonText() const {
    return window_->RunButton()->text();
}

QStringList WindowFixture::SavedSitesInBox() const {
    QStringList sites;
    for (int i = 0; i < window_->AddressBox()->count(); ++i) {
        sites << window_->AddressBox()->itemText(i);
    }
    return sites;
}

}  // namespace veltrap::testing
