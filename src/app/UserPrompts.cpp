#include "app/UserPrompts.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace veltrap {
namespace {

const QString kTitle = QStringLiteral("Veltrap");
// The name a Yes/No question goes by among its parent's children, so that it
// can be found and closed.
const QString kQuestionName = QStringLiteral("yesNoQuestion");

}  // namespace

UserPrompts UserPrompts::Interactive() {
    UserPrompts prompts;
    prompts.askYesNo = [](QWidget* parent, const QString& question) {
        QMessageBox box(QMessageBox::Question, kTitle, question, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setObjectName(kQuestionName);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    prompts.closeQuestion = [](QWidget* parent) {
        if (parent == nullptr) {
            return;
        }
        for (QMessageBox* box : parent->findChildren<QMessageBox*>(kQuestionName)) {
            box->done(QMessageBox::No);
        }
    };
    prompts.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, kTitle, text);
    };
    prompts.showWarning = [](QWidget* parent, const QString& text) {
        QMessageBox::warning(parent, kTitle, text);
    };
    prompts.chooseSaveFile = [](QWidget* parent, const QString& nameFilters,
                                const QString& defaultSuffix, const QString& defaultName) {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(nameFilters.split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(defaultSuffix);
        if (!defaultName.isEmpty()) {
            dialog.selectFile(defaultName);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
    prompts.chooseFolder = [](QWidget* parent, const QString& title) {
        return QFileDialog::getExistingDirectory(parent, title);
    };
    prompts.chooseOpenFiles = [](QWidget* parent, const QString& nameFilters) {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilters(nameFilters.split(QStringLiteral(";;")));
        if (dialog.exec() != QDialog::Accepted) {
            return QStringList();
        }
        return dialog.selectedFiles();
    };
    prompts.chooseOneFile = [](QWidget* parent, const QString& title, const QString& nameFilters) {
        QFileDialog dialog(parent, title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(nameFilters.split(QStringLiteral(";;")));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
    prompts.openExternally = [](const QUrl& target) { return QDesktopServices::openUrl(target); };
    prompts.runDialog = [](QDialog& dialog) { return dialog.exec(); };
    return prompts;
}

}  // namespace veltrap
