#pragma once

#include "app/KeptReport.h"
#include "app/ReportDisplay.h"
#include "app/ReportWorkers.h"
#include "app/UserPrompts.h"
#include "engine/BacklinkList.h"
#include "engine/RunReport.h"
#include "engine/RunShared.h"
#include "engine/ServiceConfig.h"
#include "report/LinkChanges.h"
#include "report/PaneResult.h"
#include "services/backlinkimport/ImportedBacklinks.h"
#include "store/SettingsStore.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTabBar;

namespace veltrap {

class ClientArea;

// The main window: the address box, the Run button that also cancels, the
// status line, the report tabs with the grid drawn below them, and the menu.
// A run goes on a worker thread; a 100 ms timer shows its progress and, when
// it ends, fills the pane of the selected tab. No widget is ever touched from
// a worker. Clicks on the grid sort, select, open pages and show the detail
// views, which live in a temporary tab after the permanent ones until another
// tab is chosen.
class MainDialog : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kReportTimerMs = 100;
    // The permanent tabs; a detail view may add one more.
    static constexpr int kOverviewTab = 0;
    static constexpr int kKeyphraseTab = 1;
    static constexpr int kPageTab = 2;
    static constexpr int kLinkStatusTab = 3;
    static constexpr int kDetailTab = 4;

    MainDialog(ServiceConfig config, SettingsStore store, UserPrompts prompts,
               ReportWorkers::RunFunction run, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Every run that ends is stored in this history file, and compared with
    // the site's previous run there; an empty path keeps no history.
    void SetHistoryFile(std::filesystem::path file);

    QComboBox* AddressBox() const { return addressBox_; }
    QPushButton* RunButton() const { return runButton_; }
    QLineEdit* StatusBox() const { return statusBox_; }
    QLineEdit* HiddenBox() const { return hiddenBox_; }
    QProgressBar* Progress() const { return progress_; }
    QTabBar* Tabs() const { return tabs_; }
    QScrollBar* ScrollBar() const { return scrollBar_; }
    ClientArea* Client() const { return client_; }
    QAction* SettingsAction() const { return settingsAction_; }
    QAction* ImportAction() const { return importAction_; }
    QAction* ExportAction() const { return exportAction_; }
    QAction* SaveHtmlAction() const { return saveHtmlAction_; }
    QAction* ExportAllAction() const { return exportAllAction_; }
    QAction* RunHistoryAction() const { return runHistoryAction_; }
    QAction* ExitAction() const { return exitAction_; }
    QAction* AboutAction() const { return aboutAction_; }
    QAction* CopyRowAction() const { return copyRowAction_; }
    // The menu a right-click on a data row opens, and its two entries.
    QMenu* RowMenu() const { return rowMenu_; }
    QAction* OpenPageAction() const { return openPageAction_; }
    QAction* CopyAddressAction() const { return copyAddressAction_; }
    UserPrompts& Prompts() { return prompts_; }

    ReportDisplay& Display() { return display_; }
    const ReportDisplay& Display() const { return display_; }
    // The list of the finished run on screen; null while no report is ready.
    const BacklinkList* ReportList() const;
    // The state of the latest run; idle before the first.
    int RunStateNow() const;
    std::int32_t MaxBacklinkPages() const { return maxBacklinkPages_; }
    std::int32_t MaxRankingPages() const { return maxRankingPages_; }

    // Refills the pane of the selected permanent tab from the report on screen.
    void FillSelectedPane();
    // The steps that end every pane refill: scroll bar, selection, hint, repaint.
    void ApplyPaneResult(const PaneResult& result);
    // Removes the temporary detail tab, if there is one.
    void RemoveDetailTab();

public slots:
    // The Run button: cancels the run going on (after asking), or starts one.
    void StartOrCancelReport();
    // Follows the run's state every 100 ms while a run is on screen.
    void OnReportTimer();
    void OnSettings();
    void OnAbout();
    // Reads the backlink exports the user picks and runs the report for the
    // typed site on the addresses they hold; files that cannot be read are
    // refused before anything is sent.
    void OnImportBacklinks();
    // Writes the grid on screen to a CSV file the user picks, then opens it.
    void OnExportCsv();
    // Writes the HTML report of the last run that ended to a file the user
    // picks, then opens it in the browser.
    void OnSaveHtml();
    // Writes every output file of the last run that ended into a folder the
    // user picks, all of them or none.
    void OnExportAll();
    // Lists the typed site's stored runs, shows the changes between any two
    // and opens one into the panes.
    void OnRunHistory();
    // The left button went down, or was double-clicked, at a point of the
    // client area.
    void OnGridPressed(QPoint at);
    void OnGridDoubleClicked(QPoint at);
    // A request from the grid's scroll bar, one of QAbstractSlider::SliderAction.
    void OnScrollAction(int action);
    // The mouse wheel asks to move the grid by rows (positive: towards the end).
    void OnWheelRows(int rows);
    // The user chose a tab: the detail tab goes, and the chosen pane is refilled.
    void OnTabChosen(int index);
    // An arrow, page or Home/End key moves the selection through the rows,
    // scrolling as far as needed to keep it in view.
    void OnGridKey(int key);
    // Puts the selected row on the clipboard, its cells apart by tabs.
    void OnCopyRow();
    // A right-click on a data row selects it and offers to open or copy the
    // address in its first cell.
    void OnGridContextMenu(QPoint at, QPoint global);

protected:
    // Enter in the address box is kept from it; Delete on a highlighted entry
    // of its drop-down offers to forget that saved site.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing during a run cancels it and waits for its worker, whose
    // transfers are aborted so that the wait is short.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenu();
    // Places the controls and sizes the grid for the client area's size.
    void LayOut();
    void AddSavedSite(const QString& site);
    // Asks whether to forget the saved site at index of the address box, and
    // takes it off the list and out of the stored state when the answer is Yes.
    void ForgetSavedSite(int index);
    // Starts a run for the typed site, on imported backlinks when given.
    void StartRun(std::shared_ptr<const ImportedBacklinks> imported);
    // Whether the typed address names a site; tells the user when not.
    bool SiteTyped();
    bool RunGoing() const;
    void SetReportReady(bool ready);
    // Keeps the latest run's result, when it has one, for the save entries,
    // and stores it in the history. Gives the changes since the site's
    // previous run, when there is one to compare with.
    std::optional<LinkChanges> KeepRunResult();
    // Shows a stored run in the panes, as if it had just ended, and keeps it
    // for the save entries; nothing is fetched.
    void ShowStoredRun(std::int64_t id);
    // The save entries take a run that has ended and never one going on.
    void UpdateSaveActions();
    // After a cancel, waits for the worker to store what it gathered.
    void AwaitCancelledResult();
    void SetStatus(const QString& text);
    // Moves the progress bar to the records done so far.
    void ShowProgress();
    void ShowStatusText();
    // The status line of a run that ended without an error: what it found
    // and how long it took, then what was imported; "Idle" when it left no
    // result to tell of.
    QString EndLine() const;
    // What a click on a header does: sorts by its column and shows the first
    // rows. The Overview's header is left alone.
    void SortByHeader(int column);
    void ShowDetailView(const PaneResult& result);
    // Hands a cell's text to the browser if it is a web address.
    void OpenPage(const std::string& text);
    // The list row of the selection, or -1 when no existing row is selected.
    int SelectedListRow() const;

    ServiceConfig config_;
    SettingsStore store_;
    UserPrompts prompts_;
    ReportDisplay display_;
    std::int32_t maxBacklinkPages_;
    std::int32_t maxRankingPages_;

    ClientArea* client_ = nullptr;
    QComboBox* addressBox_ = nullptr;
    QPushButton* runButton_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLineEdit* statusBox_ = nullptr;
    QLineEdit* hiddenBox_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* saveHtmlAction_ = nullptr;
    QAction* exportAllAction_ = nullptr;
    QAction* runHistoryAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* copyRowAction_ = nullptr;
    QMenu* rowMenu_ = nullptr;
    QAction* openPageAction_ = nullptr;
    QAction* copyAddressAction_ = nullptr;

    QTimer reportTimer_;
    // The latest run, and the finished run whose list is on screen.
    std::shared_ptr<RunShared> run_;
    std::shared_ptr<RunShared> report_;
    // Whether the timer has cleared the screen for the latest run yet.
    bool runBegun_ = false;
    std::chrono::steady_clock::time_point runStartedAt_;
    // The same moment as the history tells it.
    std::string runStartedUtc_;
    // Whether the latest run's cancel has been shown; the timer then only
    // waits for its result.
    bool cancelShown_ = false;
    // The latest run's request, whose limits its report tells.
    RunRequest request_;
    KeptReport kept_;
    std::filesystem::path historyFile_;
    // The changes of the run on screen since the site's previous run, for the
    // Link Status tab; none without a history or a previous run.
    std::optional<LinkChanges> linkChanges_;
    // Why the latest run was not stored or compared, for the status box; ""
    // when it was.
    QString historyProblem_;
    // What the latest run imported, told in the status box when it ends; ""
    // for a run on the configured backlink source.
    QString importSummary_;
    // Declared last so that it goes first: every worker has ended before any
    // other member goes away.
    ReportWorkers workers_;
};

}  // namespace veltrap
