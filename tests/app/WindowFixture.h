#pragma once

#include "ScriptedRun.h"
#include "app/MainDialog.h"
#include "store/SettingsStore.h"
#include "support/TempDir.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

class QDialog;

namespace veltrap::testing {

// A main window on the offscreen platform with its own settings file and
// prompts that answer from a script and record what they were asked.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    // Opens the window with the run given (the scripted run if none).
    void Open(ReportSession::Pipeline run = {}, ServiceConfig config = {});
    SettingsStore Store() const { return SettingsStore(iniPath_); }

    void TypeAddress(const QString& text);
    void ClickRun();
    // Waits, serving events, until the status box shows text.
    bool WaitForStatus(const QString& text, int timeoutMs = 5000);
    // Waits for the line that sums up a run that ended without an error.
    bool WaitForRunDone(int timeoutMs = 5000);
    QString Status() const;
    QString ButtonText() const;
    QStringList SavedSitesInBox() const;

    TempDir dir_;
    std::string iniPath_ = dir_.File("state.ini");
    ScriptedRun script_;
    std::unique_ptr<MainDialog> window_;

    // What the prompts were asked, and how they answer.
    QStringList questions_;
    // Messages that tell what was done, and warnings of what went wrong.
    QStringList messages_;
    QStringList warnings_;
    // How many open questions the window closed.
    int questionsClosed_ = 0;
    std::deque<bool> answers_;
    // Runs while a question is open, before it is answered.
    std::function<void()> duringQuestion_;
    QString saveAnswer_;
    QStringList saveFilters_;
    QStringList saveNames_;
    QString folderAnswer_;
    QStringList openAnswer_;
    // What the one-file dialog answers, and how often it was opened.
    QString oneFileAnswer_;
    int oneFileAsked_ = 0;
    std::vector<QUrl> opened_;
    std::function<int(QDialog&)> dialogScript_;
};

}  // namespace veltrap::testing
