#pragma once

#include "app/BackgroundWork.h"
#include "base/Result.h"
#include "history/HistoryRun.h"
#include "history/RunChanges.h"

#include <QDialog>
#include <QUrl>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QItemSelection;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace veltrap {

// "Run History": the stored runs of one site, newest first, and what changed
// between two of them. One or two runs may be selected: two are compared
// with each other, one with the run stored before it. The history is read
// off the window's thread, so that a program writing to it never holds the
// dialog up; the dialog never loads a run for the window: "Open Run" only
// names the run chosen. A history that cannot be read is told inside the
// dialog, never in a box of its own. A right-click on a change offers to
// open or copy its address, as on the report grid; openPage hands a page to
// the desktop (none: the address can only be copied).
class RunHistoryDialog : public QDialog {
    Q_OBJECT

public:
    RunHistoryDialog(const std::filesystem::path& historyFile, const std::string& siteKey,
                     QWidget* parent = nullptr,
                     std::function<bool(const QUrl& page)> openPage = {});

    // The run "Open Run" accepted the dialog with, or 0.
    std::int64_t ChosenRunId() const { return chosenRunId_; }

    QTableWidget* RunsTable() const { return runsTable_; }
    QTableWidget* ChangesTable() const { return changesTable_; }
    QLabel* MessageLabel() const { return message_; }
    QPushButton* ShowChangesButton() const { return showChanges_; }
    QPushButton* OpenRunButton() const { return openRun_; }
    // The menu a right-click on a change opens, and its two entries.
    QMenu* ChangeMenu() const { return changeMenu_; }
    QAction* OpenPageAction() const { return openPageAction_; }
    QAction* CopyAddressAction() const { return copyAddressAction_; }
    // Whether the dialog is still reading the history.
    bool Reading() const { return work_.Pending() > 0; }

protected:
    // Shows the whole text of a cut-off cell of the changes as a tooltip.
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    // Selects the change at a point of the list and offers its address.
    void OfferAddress(const QPoint& at);
    // The address of the selected change; "" for none.
    QString SelectedAddress() const;
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
    std::function<bool(const QUrl& page)> openPage_;
    QMenu* changeMenu_;
    QAction* openPageAction_;
    QAction* copyAddressAction_;
    BackgroundWork work_{this};
};

}  // namespace veltrap
