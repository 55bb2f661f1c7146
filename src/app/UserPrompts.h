#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QDialog;
class QWidget;

namespace veltrap {

// Everything the window asks of the user or of the desktop, as replaceable
// functions, so that tests can answer without a modal loop and never start a
// browser. Interactive() gives the real ones.
struct UserPrompts {
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget* parent, const QString& question)> askYesNo;
    // Closes the Yes/No question open over parent, if there is one, as if
    // answered No: what it asked about has gone by.
    std::function<void(QWidget* parent)> closeQuestion;
    // A message with an OK button, telling what was done.
    std::function<void(QWidget* parent, const QString& text)> showMessage;
    // The same with the warning icon, telling what went wrong.
    std::function<void(QWidget* parent, const QString& text)> showWarning;
    // A Save As dialog; the chosen path, or "" when cancelled. defaultSuffix is
    // added to a name typed without one, defaultName ("" for none) is the name
    // offered at first, and an existing file is only chosen after the user
    // agreed to replace it.
    std::function<QString(QWidget* parent, const QString& nameFilters, const QString& defaultSuffix,
                          const QString& defaultName)>
        chooseSaveFile;
    // A dialog that picks an existing folder; its path, or "" when cancelled.
    std::function<QString(QWidget* parent, const QString& title)> chooseFolder;
    // An Open dialog that takes several existing files; the chosen paths, or
    // none when cancelled.
    std::function<QStringList(QWidget* parent, const QString& nameFilters)> chooseOpenFiles;
    // An Open dialog that takes one file, an existing one or a new name the
    // user types; its path, or "" when cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& nameFilters)>
        chooseOneFile;
    // Opens a web page or a file with the desktop's program for it.
    std::function<bool(const QUrl& target)> openExternally;
    // Runs a dialog modally and returns its result code.
    std::function<int(QDialog& dialog)> runDialog;

    static UserPrompts Interactive();
};

}  // namespace veltrap
