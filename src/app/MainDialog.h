#pragma once

#include "app/BackgroundWork.h"
#include "app/GridController.h"
#include "app/QueuedCalls.h"
#include "app/ReportDisplay.h"
#include "app/SettingsDialog.h"
#include "app/UserPrompts.h"
#include "engine/BacklinkList.h"
#include "engine/DisavowList.h"
#include "engine/SecretStore.h"
#include "engine/ServiceConfig.h"
#include "report/LinkChanges.h"
#include "session/FinishedReport.h"
#include "session/ReportSession.h"
#include "store/SettingsStore.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
// A run is a ReportSession, which tells the window what happens through
// events handed to the window's own thread as QueuedCalls; no widget is ever
// touched from another thread, and the window neither reads the history nor
// writes a file on its own thread. The grid's behaviour is the GridController's.
class MainDialog : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kOverviewTab = GridController::kOverviewTab;
    static constexpr int kKeyphraseTab = GridController::kKeyphraseTab;
    static constexpr int kPageTab = GridController::kPageTab;
    static constexpr int kLinkStatusTab = GridController::kLinkStatusTab;
    static constexpr int kDetailTab = GridController::kDetailTab;

    MainDialog(ServiceConfig config, SettingsStore store, UserPrompts prompts,
               ReportSession::Pipeline pipeline = RunReport, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Every run that ends is stored in this history file, and compared with
    // the site's previous run there; an empty path keeps no history.
    void SetHistoryFile(std::filesystem::path file);

    // Where each run reads its configuration from, so that a change to the
    // file applies to the next run without a restart: load gives the
    // configuration in force, checked, or why it cannot be used; file is where
    // the Services page writes; secrets, when not null, is where the page
    // keeps secrets, and outlives the window. Without a loader, every run uses
    // the configuration the window was made with.
    using ConfigLoader = std::function<Result<ServiceConfig>()>;
    void SetConfigSource(ConfigLoader load, std::string file, SecretStore* secrets = nullptr);
    // Tells why the configuration cannot be used and opens the Services page.
    void ShowConfigProblem(const std::string& problem);
    void OpenSettings(SettingsDialog::Page page);

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
    QAction* DisavowFileAction() const { return disavowFileAction_; }
    QAction* ExportAction() const { return exportAction_; }
    QAction* SaveHtmlAction() const { return saveHtmlAction_; }
    QAction* ExportAllAction() const { return exportAllAction_; }
    QAction* RunHistoryAction() const { return runHistoryAction_; }
    QAction* ExitAction() const { return exitAction_; }
    QAction* AboutAction() const { return aboutAction_; }
    QAction* CopyRowAction() const { return copyRowAction_; }
    // The menu a right-click on a data row opens, and its two entries.
    QMenu* RowMenu() const { return rowMenu_; }
    QAction* OpenPageAction() const { return grid_->OpenPageAction(); }
    QAction* CopyAddressAction() const { return grid_->CopyAddressAction(); }
    QAction* DisavowPageAction() const { return grid_->DisavowPageAction(); }
    QAction* DisavowDomainAction() const { return grid_->DisavowDomainAction(); }
    UserPrompts& Prompts() { return prompts_; }

    ReportDisplay& Display() { return display_; }
    const ReportDisplay& Display() const { return display_; }
    // The list of the finished run on screen; null while no report is ready.
    const BacklinkList* ReportList() const;
    // Whether a run is going that has not been cancelled.
    bool RunGoing() const { return phase_ == Phase::kRunning; }
    std::int32_t MaxBacklinkPages() const { return maxBacklinkPages_; }
    std::int32_t MaxRankingPages() const { return maxRankingPages_; }
    // The disavow file every run reads; empty for none.
    const std::filesystem::path& DisavowFile() const { return disavowFile_; }

public slots:
    // The Run button: cancels the run going on (after asking), or starts one.
    void StartOrCancelReport();
    void OnSettings();
    void OnAbout();
    // Reads the backlink exports the user picks and runs the report for the
    // typed site on the addresses they hold; files that cannot be read are
    // refused before anything is sent.
    void OnImportBacklinks();
    // Chooses the disavow file that every run reads and that the row menu
    // writes to; a file that cannot be used is refused, telling why. Without
    // a choice, the user may stop reading the file in use.
    void OnDisavowFile();
    // Adds the line for the selected Link Status row's page, or for its whole
    // domain, to the disavow file, asking for one first when none is chosen,
    // and marks the rows it names.
    void OnDisavowPage();
    void OnDisavowDomain();
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

protected:
    // Enter in the address box is kept from it; Delete on a highlighted entry
    // of its drop-down offers to forget that saved site.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing during a run cancels it and waits for its session, whose
    // transfers are aborted so that the wait is short.
    void closeEvent(QCloseEvent* event) override;

private:
    // Opens a file just written with the desktop's program for it and tells
    // where it is: opened, or unopened when no program could open it (each
    // with %1 for the file).
    void OpenWritten(const QString& path, const QString& opened, const QString& unopened);
    // Where the latest run is: running, cancelled and still ending, or ended.
    enum class Phase { kIdle, kRunning, kCancelled };

    void BuildControls();
    void BuildMenu();
    // Places the controls and sizes the grid for the client area's size.
    void LayOut();
    void AddSavedSite(const QString& site);
    // Asks whether to forget the saved site at index of the address box, and
    // takes it off the list and out of the stored state when the answer is Yes.
    void ForgetSavedSite(int index);
    // Whether the typed address names a site; tells the user when not.
    bool SiteTyped();
    // Reads the configuration in force again, when the window has a source;
    // false, with configProblem_ saying why, when it cannot be used, and the
    // last sound one is kept.
    bool ReloadConfig();
    // Starts a run for the typed site, on the backlinks of the import files
    // when there are any.
    void StartRun(std::vector<std::string> importFiles);
    // The events of the session numbered serial, each handed to this thread.
    SessionEvents EventsOf(int serial);
    // What the events of a session do on this thread; those of a session
    // that is no longer the latest change nothing on screen.
    void BeginRun(int serial);
    void OnRunStatus(int serial, const std::string& line);
    void OnRecordsDone(int serial, std::size_t done, std::size_t total);
    void OnRunFinished(int serial, const SessionEnd& end);
    // Shows a report in the panes, with what changed since the run before it.
    void ShowReport(std::shared_ptr<const FinishedReport> report);
    void SetReportReady(bool ready);
    void Disavow(bool wholeDomain);
    // Takes file as the disavow file, remembered with the settings, and
    // marks the records of the report on screen that its list names.
    void UseDisavowList(const std::filesystem::path& file, const DisavowList& list);
    // The save entries take a run that has ended and never one going on.
    void UpdateSaveActions();
    void SetStatus(const QString& text);
    // The line that sums up a run that ended without an error: what it found
    // and how long it took, then what was imported and what the history said.
    QString EndLine(const SessionEnd& end) const;

    ServiceConfig config_;
    ConfigLoader loadConfig_;
    std::string configFile_;
    SecretStore* secrets_ = nullptr;
    // Why the configuration in force cannot be used; "" when it can.
    std::string configProblem_;
    SettingsStore store_;
    UserPrompts prompts_;
    ReportSession::Pipeline pipeline_;
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
    QAction* disavowFileAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* saveHtmlAction_ = nullptr;
    QAction* exportAllAction_ = nullptr;
    QAction* runHistoryAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* copyRowAction_ = nullptr;
    QMenu* rowMenu_ = nullptr;
    GridController* grid_ = nullptr;

    std::filesystem::path historyFile_;
    std::filesystem::path disavowFile_;
    // Held by each write of the disavow file, which reads the file and
    // writes it whole: two rows disavowed at once must both keep their line.
    std::shared_ptr<std::mutex> disavowWrite_ = std::make_shared<std::mutex>();
    Phase phase_ = Phase::kIdle;
    // The report whose panes are on screen, and what changed since the run
    // before it; the save entries write the last run that ended, which a
    // cancel leaves off the screen.
    std::shared_ptr<const FinishedReport> onScreen_;
    std::optional<LinkChanges> linkChanges_;
    std::shared_ptr<const FinishedReport> lastEnded_;
    // What the latest run imported, told in the status box when it ends; ""
    // for a run on the configured backlink source.
    QString importSummary_;
    // The most records the latest run has told done; the bar never goes back.
    std::size_t recordsShown_ = 0;
    // Where the sessions' events are handed to this thread.
    QueuedCalls* calls_ = new QueuedCalls(this);
    BackgroundWork work_{this};
    // The latest session, numbered serial_, and the cancelled ones still
    // ending, each with its number. Declared after everything their events
    // reach, so that they end first.
    int serial_ = 0;
    std::unique_ptr<ReportSession> session_;
    std::vector<std::pair<int, std::unique_ptr<ReportSession>>> ending_;
};

}  // namespace veltrap
