#pragma once

#include "app/BackgroundWork.h"
#include "base/Result.h"
#include "history/HistoryRun.h"
#include "history/RunChanges.h"

#include <QDialog>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

class QItemSelection;
class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrap {

// "Run History": the stored runs of one site, newest first, and what changed
// between two of them. One or two runs may be selected: two are compared
// with each other, one with the run stored before it. The history is read
// off the window's thread, so that a program writing to it never holds the
// dialog up; the dialog never loads a run for the window: "Open Run" only
// names the run chosen. A history that cannot be read is told inside the
// dialog, never in a box of its own.
class RunHistoryDialog : public QDialog {
    Q_OBJECT

public:
    RunHistoryDialog(const std::filesystem::path& historyFile, const std::string& siteKey,
                     QWidget* parent = nullptr);

    // The run "Open Run" accepted the dialog with, or 0.
    std::int64_t ChosenRunId() const { return chosenRunId_; }

    QTableWidget* RunsTable() const { return runsTable_; }
    QTableWidget* ChangesTable() const { return changesTable_; }
    QLabel* MessageLabel() const { return message_; }
    QPushButton* ShowChangesButton() const { return showChanges_; }
    QPushButton* OpenRunButton() const { return openRun_; }
    // Whether the dialog is still reading the history.
    bool Reading() const { return work_.Pending() > 0; }

private:
    // Shows the runs read, or why none could be.
    void ListRuns(const Result<std::vector<HistoryRun>>& listed);
    void Picked(const QItemSelection& selected, const QItemSelection& deselected);
    // The selected rows of the runs table, in list order (newest first).
    std::vector<int> SelectedRows() const;
    // The older and newer runs "Show Changes" would compare, as rows; false
    // when the selection names no such pair.
    bool PairToCompare(int& olderRow, int& newerRow) const;
    void UpdateButtons();
    void ShowChanges();
    void ShowRows(const QString& between, const Result<RunChanges>& compared);
    void OpenRun();

    std::filesystem::path historyFile_;
    std::string siteKey_;
    std::vector<HistoryRun> runs_;
    // The selected rows in the order they were picked, so that picking a
    // third run lets go of the first.
    std::deque<int> picked_;
    std::int64_t chosenRunId_ = 0;
    QTableWidget* runsTable_;
    QTableWidget* changesTable_;
    QLabel* message_;
    QPushButton* showChanges_;
    QPushButton* openRun_;
    BackgroundWork work_{this};
};

}  // namespace veltrap
