#include "app/MainDialog.h"

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/ClientArea.h"
#include "app/ReportTabBar.h"
#include "app/RunHistoryDialog.h"
#include "app/SettingsDialog.h"
#include "app/ShownText.h"
#include "app/WebAddressToOpen.h"
#include "app/WindowLook.h"
#include "base/TextSearch.h"
#include "base/UtcTimestamp.h"
#include "engine/ConfigLocation.h"
#include "engine/RunState.h"
#include "engine/SiteKey.h"
#include "export/ExportGridToCsv.h"
#include "export/RunFacts.h"
#include "history/HistoryStore.h"
#include "history/RecordRun.h"
#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"
#include "services/backlinkimport/BacklinkImport.h"
#include "store/SavedState.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

const QString kRunText = QStringLiteral("Run Link Analysis Report");
const QString kCancelText = QStringLiteral("Cancel Report");
const QString kRerunText = QStringLiteral("Advanced Link Analysis Report");

// Where the controls sit in the client area. The grid takes left 22, top 81,
// width 737 and sixteen rows of 18 pixels (down to 369), and its frame one
// pixel more on every side; the tabs end above the frame, the scroll bar
// stands right of it, and the hint line below it keeps 375 to 435 free.
constexpr int kMargin = 22;
constexpr int kTopRow = 14;
constexpr int kRowHeight = 26;
constexpr int kGridTop = 81;
constexpr int kGridWidth = 737;
constexpr int kGridHeight = 16 * 18;
constexpr int kStatusTop = 446;
// The progress bar takes the lower part of the hint's band, which is empty
// while a run goes.
constexpr int kProgressTop = 412;
constexpr int kProgressHeight = 20;
// On the Overview the first three rows on screen are never opened, whatever
// they hold; on a fresh Overview they are the totals and a blank line.
constexpr int kFirstOpenableScreenRow = 4;

}  // namespace

MainDialog::MainDialog(ServiceConfig config, SettingsStore store, UserPrompts prompts,
                       ReportWorkers::RunFunction run, QWidget* parent)
    : QMainWindow(parent),
      config_(std::move(config)),
      store_(std::move(store)),
      prompts_(std::move(prompts)),
      maxBacklinkPages_(SavedState::kDefaultLimit),
      maxRankingPages_(SavedState::kDefaultLimit),
      workers_(std::move(run)) {
    setWindowTitle(QStringLiteral("Veltrap"));
    BuildControls();
    BuildMenu();

    const SavedState saved = SavedState::Load(store_);
    scrollBar_->setEnabled(false);
    hiddenBox_->hide();
    maxBacklinkPages_ = saved.maxBacklinkPages;
    maxRankingPages_ = saved.maxRankingPages;
    for (const std::string& site : saved.sites) {
        AddSavedSite(ShownText(site));
    }
    SetReportReady(false);
    UpdateSaveActions();
    setWindowIcon(AppIcon::Make());
    LayOut();
    if (saved.windowWidth > 0) {
        resize(saved.windowWidth, saved.windowHeight);
    }

    reportTimer_.setInterval(kReportTimerMs);
    connect(&reportTimer_, &QTimer::timeout, this, &MainDialog::OnReportTimer);
}

MainDialog::~MainDialog() = default;

void MainDialog::BuildControls() {
    client_ = new ClientArea(display_, this);
    setCentralWidget(client_);

    addressBox_ = new QComboBox(client_);
    addressBox_->setObjectName(QStringLiteral("addressBox"));
    addressBox_->setEditable(true);
    // The list holds the saved sites only; Enter must not add to it.
    addressBox_->setInsertPolicy(QComboBox::NoInsert);
    addressBox_->lineEdit()->setPlaceholderText(QStringLiteral("www.example.com"));
    addressBox_->setGeometry(kMargin, kTopRow, 330, kRowHeight);
    // The text the user typed is the text that runs. The combo box's own
    // completer fills in a saved site that differs only in case, so the box
    // has none: the saved sites are offered in its drop-down alone.
    addressBox_->setCompleter(nullptr);
    addressBox_->lineEdit()->installEventFilter(this);
    addressBox_->view()->installEventFilter(this);
    QPalette typing = addressBox_->palette();
    typing.setColor(QPalette::Text, WindowLook::Ink());
    addressBox_->setPalette(typing);

    runButton_ = new QPushButton(kRunText, client_);
    runButton_->setObjectName(QStringLiteral("runButton"));
    runButton_->setGeometry(kMargin + 340, kTopRow, 230, kRowHeight);
    connect(runButton_, &QPushButton::clicked, this, &MainDialog::StartOrCancelReport);

    tabs_ = new ReportTabBar(client_);
    tabs_->setObjectName(QStringLiteral("reportTabs"));
    tabs_->setExpanding(false);
    // Taking the detail tab away from under the user's feet (when a run
    // starts) goes back to the tab it was opened from.
    tabs_->setSelectionBehaviorOnRemove(QTabBar::SelectPreviousTab);
    tabs_->addTab(QStringLiteral("Overview"));
    tabs_->addTab(QStringLiteral("Detailed Link Report"));
    tabs_->addTab(QStringLiteral("Individual Page Report"));
    tabs_->addTab(QStringLiteral("Link Status"));

    scrollBar_ = new QScrollBar(Qt::Vertical, client_);
    scrollBar_->setObjectName(QStringLiteral("gridScrollBar"));
    connect(scrollBar_, &QAbstractSlider::actionTriggered, this, &MainDialog::OnScrollAction);
    connect(client_, &ClientArea::leftPressed, this, &MainDialog::OnGridPressed);
    connect(client_, &ClientArea::leftDoubleClicked, this, &MainDialog::OnGridDoubleClicked);
    connect(client_, &ClientArea::wheelRowsTurned, this, &MainDialog::OnWheelRows);
    connect(tabs_, &QTabBar::currentChanged, this, &MainDialog::OnTabChosen);
    connect(client_, &ClientArea::gridKeyPressed, this, &MainDialog::OnGridKey);
    connect(client_, &ClientArea::contextMenuAsked, this, &MainDialog::OnGridContextMenu);

    // Labels and read-only boxes write in the window's ink on its lavender.
    QPalette ink = client_->palette();
    ink.setColor(QPalette::WindowText, WindowLook::Ink());
    ink.setColor(QPalette::Text, WindowLook::Ink());
    ink.setColor(QPalette::Base, WindowLook::Lavender());

    statusLabel_ = new QLabel(QStringLiteral("Report Status:"), client_);
    statusLabel_->setPalette(ink);

    statusBox_ = new QLineEdit(client_);
    statusBox_->setObjectName(QStringLiteral("statusBox"));
    statusBox_->setReadOnly(true);
    statusBox_->setPalette(ink);
    statusLabel_->setBuddy(statusBox_);

    hiddenBox_ = new QLineEdit(client_);
    hiddenBox_->setObjectName(QStringLiteral("hiddenBox"));
    hiddenBox_->setReadOnly(true);
    hiddenBox_->setPalette(ink);

    progress_ = new QProgressBar(client_);
    progress_->setObjectName(QStringLiteral("recordProgress"));
    progress_->setFormat(QStringLiteral("%v of %m records"));
    progress_->hide();

    connect(client_, &ClientArea::resized, this, &MainDialog::LayOut);
}

void MainDialog::LayOut() {
    // Room beyond the first size goes to the grid: all extra width to its
    // columns, which keep their fractions, and extra height in whole rows.
    const int extraWidth = std::max(0, client_->width() - ClientArea::kWidth);
    const int extraRows =
        std::max(0, client_->height() - ClientArea::kHeight) / ReportGrid::kRowHeight;
    const int drop = extraRows * ReportGrid::kRowHeight;
    const int width = kGridWidth + extraWidth;
    ReportGrid& grid = display_.grid;
    grid.Resize(width, ReportGrid::kStartVisibleRows + extraRows);

    const int tabHeight = tabs_->sizeHint().height();
    tabs_->setGeometry(kMargin, kGridTop - 1 - tabHeight, width, tabHeight);
    scrollBar_->setGeometry(kMargin + width + 2, kGridTop, 17, kGridHeight + drop);
    statusLabel_->setGeometry(kMargin, kStatusTop + drop, 96, kRowHeight);
    statusBox_->setGeometry(kMargin + 98, kStatusTop + drop, width - 98, kRowHeight);
    hiddenBox_->setGeometry(kMargin + 98, kStatusTop + drop, width - 98, kRowHeight);
    progress_->setGeometry(kMargin, kProgressTop + drop, width, kProgressHeight);
    // A pane on screen scrolls by the same rule as when it was filled, now
    // that a different number of its rows fits.
    if (display_.rowsSelectable) {
        scrollBar_->setEnabled(grid.MaxScroll() >= 1);
        scrollBar_->setRange(0, grid.MaxScroll());
        scrollBar_->setPageStep(grid.VisibleRows());
        scrollBar_->setValue(grid.FirstRow());
    }
    client_->update();
}

void MainDialog::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    settingsAction_ = file->addAction(QStringLiteral("&Settings"));
    importAction_ = file->addAction(QStringLiteral("&Import Backlinks..."));
    importAction_->setStatusTip(
        QStringLiteral("Run the report on the backlinks of exported files"));
    exportAction_ = file->addAction(QStringLiteral("E&xport to Excel"));
    exportAction_->setStatusTip(QStringLiteral("Export this data to a CSV file"));
    saveHtmlAction_ = file->addAction(QStringLiteral("Save Report as &HTML..."));
    saveHtmlAction_->setStatusTip(
        QStringLiteral("Save the report of the last run as one HTML page and open it"));
    exportAllAction_ = file->addAction(QStringLiteral("Export &All..."));
    exportAllAction_->setStatusTip(
        QStringLiteral("Write the tables, records.json and report.html into a folder"));
    runHistoryAction_ = file->addAction(QStringLiteral("Run &History..."));
    runHistoryAction_->setStatusTip(
        QStringLiteral("List the stored runs of the typed site and what changed between them"));
    runHistoryAction_->setEnabled(false);
    file->addSeparator();
    exitAction_ = file->addAction(QStringLiteral("&Exit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    aboutAction_ = help->addAction(QStringLiteral("&About"));

    connect(settingsAction_, &QAction::triggered, this, &MainDialog::OnSettings);
    connect(importAction_, &QAction::triggered, this, &MainDialog::OnImportBacklinks);
    connect(exportAction_, &QAction::triggered, this, &MainDialog::OnExportCsv);
    connect(saveHtmlAction_, &QAction::triggered, this, &MainDialog::OnSaveHtml);
    connect(exportAllAction_, &QAction::triggered, this, &MainDialog::OnExportAll);
    connect(runHistoryAction_, &QAction::triggered, this, &MainDialog::OnRunHistory);
    connect(exitAction_, &QAction::triggered, this, &MainDialog::close);
    connect(aboutAction_, &QAction::triggered, this, &MainDialog::OnAbout);

    // A text box with the focus copies its own selection, as it takes the
    // shortcut before the window does.
    copyRowAction_ = new QAction(QStringLiteral("Copy Row"), this);
    copyRowAction_->setShortcut(QKeySequence::Copy);
    addAction(copyRowAction_);
    connect(copyRowAction_, &QAction::triggered, this, &MainDialog::OnCopyRow);

    rowMenu_ = new QMenu(this);
    openPageAction_ = rowMenu_->addAction(QStringLiteral("Open Page"));
    copyAddressAction_ = rowMenu_->addAction(QStringLiteral("Copy Address"));
    connect(openPageAction_, &QAction::triggered, this, [this] {
        if (const int row = SelectedListRow(); row >= 0) {
            OpenPage(display_.grid.Cell(row, 0));
        }
    });
    connect(copyAddressAction_, &QAction::triggered, this, [this] {
        if (const int row = SelectedListRow(); row >= 0) {
            QGuiApplication::clipboard()->setText(ShownText(display_.grid.Cell(row, 0)));
        }
    });
}

const BacklinkList* MainDialog::ReportList() const {
    return display_.reportReady && report_ ? &report_->List() : nullptr;
}

int MainDialog::RunStateNow() const {
    return run_ ? run_->runState.load() : kRunIdle;
}

void MainDialog::AddSavedSite(const QString& site) {
    if (site.isEmpty() || addressBox_->findText(site, Qt::MatchExactly) >= 0) {
        return;
    }
    // The drop-down is kept sorted without regard to case.
    int at = 0;
    while (at < addressBox_->count() &&
           addressBox_->itemText(at).compare(site, Qt::CaseInsensitive) <= 0) {
        ++at;
    }
    // Adding to an empty list makes the new item current; the address box
    // keeps showing what the user typed.
    const QString typed = addressBox_->currentText();
    addressBox_->insertItem(at, site);
    if (addressBox_->currentText() != typed) {
        addressBox_->setEditText(typed);
    }
}

void MainDialog::ForgetSavedSite(int index) {
    const QString site = addressBox_->itemText(index);
    if (!prompts_.askYesNo(this, QStringLiteral("Remove %1 from the saved sites?").arg(site))) {
        return;
    }
    SavedState::ForgetSite(store_, site.toStdString());
    // Taking the item away must not change what the user typed.
    const QString typed = addressBox_->currentText();
    addressBox_->removeItem(index);
    addressBox_->setEditText(typed);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Enter in the address box starts a run, as the button does, and asks
    // nothing while one is going. The box itself never sees the key, so it
    // cannot swap the typed text for a saved entry it matches.
    if (watched == addressBox_->lineEdit() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (!RunGoing()) {
            StartOrCancelReport();
        }
        return true;
    }
    if (watched == addressBox_->view() && key == Qt::Key_Delete) {
        const QModelIndex highlighted = addressBox_->view()->currentIndex();
        if (highlighted.isValid()) {
            ForgetSavedSite(highlighted.row());
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainDialog::SetReportReady(bool ready) {
    display_.reportReady = ready;
    exportAction_->setEnabled(ready);
}

std::optional<LinkChanges> MainDialog::KeepRunResult() {
    std::optional<LinkChanges> changes;
    historyProblem_.clear();
    if (auto result = run_->Result()) {
        HtmlHistory history;
        if (!historyFile_.empty()) {
            HistoryRun stored = RunToStore(request_, config_);
            stored.siteKey = result->siteKey;
            stored.startedAt = runStartedUtc_;
            stored.endedAt = UtcTimestamp(std::chrono::system_clock::now());
            stored.cancelled = result->cancelled;
            RecordedRun recorded = RecordRun(historyFile_, stored, *result);
            if (recorded.changes) {
                changes = recorded.changes->ForLinkStatus();
            }
            QStringList problems;
            for (const std::string& problem : recorded.problems) {
                problems << ShownText(problem);
            }
            historyProblem_ = problems.join(QStringLiteral("; "));
            history = std::move(recorded.report);
        }
        kept_.Keep(std::move(result), RunFacts(request_, config_, std::time(nullptr)),
                   std::move(history));
    }
    UpdateSaveActions();
    return changes;
}

void MainDialog::ShowStoredRun(std::int64_t id) {
    HistoryStore history;
    const Status opened = history.Open(historyFile_);
    Result<StoredRun> loaded = opened ? history.Load(id) : Result<StoredRun>(opened.failure());
    if (!loaded) {
        prompts_.showMessage(
            this,
            QStringLiteral("The stored run was not opened: %1").arg(ShownText(loaded.reason())));
        return;
    }
    // The run before it, when there is one, tells what changed.
    std::optional<LinkChanges> changes;
    if (const Result<std::vector<HistoryRun>> runs = history.Runs(loaded->run.siteKey)) {
        for (const HistoryRun& run : runs.value()) {
            if (run.id < id) {
                if (const Result<StoredRun> before = history.Load(run.id)) {
                    changes = RunChanges::Compare(before->result, loaded->result).ForLinkStatus();
                }
                break;
            }
        }
    }
    auto shown = std::make_shared<RunShared>(config_.http);
    for (const BacklinkRecord& record : loaded->result.records) {
        shown->List().Append(record.url);
        *std::prev(shown->List().end()) = record;
    }
    auto result = std::make_shared<RunResult>(std::move(loaded->result));
    shown->SetResult(*result);
    const HistoryRun& run = loaded->run;
    kept_.Keep(
        std::move(result),
        RunFacts(run.startedAt, {run.backlinkService, run.authorityService, run.searchService},
                 run.backlinkPages, run.rankingPages, run.jobs));
    report_ = std::move(shown);
    linkChanges_ = std::move(changes);
    RemoveDetailTab();
    SetReportReady(true);
    FillSelectedPane();
    UpdateSaveActions();
    SetStatus(QStringLiteral("Stored run %1 of %2, started %3")
                  .arg(id)
                  .arg(ShownText(loaded->run.siteKey), ShownText(loaded->run.startedAt)));
}

void MainDialog::SetHistoryFile(std::filesystem::path file) {
    historyFile_ = std::move(file);
    UpdateSaveActions();
}

void MainDialog::OnRunHistory() {
    if (historyFile_.empty() || RunGoing()) {
        return;
    }
    // The typed site, or else the site of the report on screen.
    std::string siteKey = MakeSiteKey(addressBox_->currentText().toStdString());
    if (siteKey.empty()) {
        if (const auto result = report_ ? report_->Result() : nullptr) {
            siteKey = result->siteKey;
        }
    }
    if (siteKey.empty()) {
        prompts_.showMessage(this, QStringLiteral("Type the site whose runs are to be listed."));
        return;
    }
    RunHistoryDialog dialog(historyFile_, siteKey, this);
    if (prompts_.runDialog(dialog) == QDialog::Accepted && dialog.ChosenRunId() > 0) {
        ShowStoredRun(dialog.ChosenRunId());
    }
}

void MainDialog::UpdateSaveActions() {
    const bool enabled = kept_.Has() && !RunGoing();
    saveHtmlAction_->setEnabled(enabled);
    exportAllAction_->setEnabled(enabled);
    runHistoryAction_->setEnabled(!historyFile_.empty() && !RunGoing());
}

void MainDialog::AwaitCancelledResult() {
    // The worker stores what it gathered once its answers in flight are in,
    // a moment after the cancel; one that ends without a result leaves
    // nothing to keep.
    if (run_->Result() != nullptr || workers_.Returned(*run_)) {
        reportTimer_.stop();
        // The panes keep the report they showed, so the changes of this run
        // have nowhere to go.
        KeepRunResult();
        if (!historyProblem_.isEmpty()) {
            SetStatus(statusBox_->text() + QStringLiteral("; ") + historyProblem_);
        }
    }
}

bool MainDialog::RunGoing() const {
    const int state = RunStateNow();
    return state != kRunIdle && state != kRunCancelled;
}

void MainDialog::StartOrCancelReport() {
    if (RunGoing()) {
        if (prompts_.askYesNo(this, QStringLiteral("Do you want to cancel the report?"))) {
            // The run may have ended while the question was open; only a run
            // still going is cancelled.
            ReportWorkers::Cancel(*run_);
        }
        return;
    }

    if (SiteTyped()) {
        StartRun(nullptr);
    }
}

bool MainDialog::SiteTyped() {
    if (!MakeSiteKey(addressBox_->currentText().toStdString()).empty()) {
        return true;
    }
    prompts_.showMessage(this, QStringLiteral("Please type the address of a website to profile."));
    return false;
}

void MainDialog::StartRun(std::shared_ptr<const ImportedBacklinks> imported) {
    const std::string typed = addressBox_->currentText().toStdString();
    const std::string siteKey = MakeSiteKey(typed);
    if (SavedState::RememberSite(store_, siteKey)) {
        AddSavedSite(ShownText(siteKey));
    }

    display_.rowsSelectable = false;
    display_.hintText.clear();
    scrollBar_->setEnabled(false);
    RemoveDetailTab();
    statusBox_->insert(QStringLiteral("Loading..."));
    progress_->setRange(0, 0);
    progress_->show();
    runButton_->setText(kCancelText);
    importAction_->setEnabled(false);
    importSummary_ = imported ? ShownText(imported->Summary()) : QString();

    RunRequest request;
    request.siteText = typed;
    request.maxBacklinkPages = maxBacklinkPages_;
    request.maxRankingPages = maxRankingPages_;
    request.imported = std::move(imported);
    request_ = request;
    // What is saved is the report on screen, which the new run replaces.
    kept_.Clear();
    runStartedAt_ = std::chrono::steady_clock::now();
    runStartedUtc_ = UtcTimestamp(std::chrono::system_clock::now());
    run_ = workers_.Start(request, config_);
    runBegun_ = false;
    cancelShown_ = false;
    UpdateSaveActions();
    reportTimer_.start();
}

void MainDialog::OnReportTimer() {
    workers_.JoinFinished();
    if (!run_) {
        reportTimer_.stop();
        return;
    }
    if (cancelShown_) {
        AwaitCancelledResult();
        return;
    }
    int state = run_->runState.load();
    ShowProgress();
    // A quick worker may have written its first line before the first tick,
    // so the screen is cleared on the first tick of a run whatever the state.
    if (!runBegun_) {
        runBegun_ = true;
        SetReportReady(false);
        report_.reset();
        display_.grid.SetConfigured(false);
        client_->update();
        SetStatus(QStringLiteral("Beginning Profiling"));
    }
    // The worker moves the state on by itself, so every change made here is
    // made only from the state just read.
    switch (state) {
        case kRunIdle:
            progress_->hide();
            runButton_->setText(kRunText);
            importAction_->setEnabled(true);
            reportTimer_.stop();
            report_ = run_;
            linkChanges_ = KeepRunResult();
            // A run that stopped on an error keeps the line that tells why;
            // any other sums itself up, and a run on imported backlinks also
            // tells what was imported.
            if (run_->stoppedOnError.load()) {
                ShowStatusText();
            } else {
                SetStatus(EndLine());
            }
            SetReportReady(true);
            FillSelectedPane();
            break;
        case kRunStarted:
            run_->runState.compare_exchange_strong(state, kRunShowing);
            break;
        case kRunNewLine:
            // Taking the state back first means a line written after this
            // moment raises it again and is shown on the next tick.
            if (run_->runState.compare_exchange_strong(state, kRunShowing)) {
                ShowStatusText();
            }
            break;
        case kRunCancelled:
            progress_->hide();
            ShowStatusText();
            runButton_->setText(kRerunText);
            importAction_->setEnabled(true);
            cancelShown_ = true;
            AwaitCancelledResult();
            break;
        default:
            break;
    }
}

QString MainDialog::EndLine() const {
    QStringList parts;
    if (const auto result = run_->Result()) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - runStartedAt_);
        parts << ShownText(result->DoneLine(took.count()));
    }
    if (!importSummary_.isEmpty()) {
        parts << importSummary_;
    }
    if (!historyProblem_.isEmpty()) {
        parts << historyProblem_;
    }
    return parts.isEmpty() ? QStringLiteral("Idle") : parts.join(QStringLiteral("; "));
}

void MainDialog::ShowProgress() {
    const std::size_t total = run_->recordsTotal.load();
    if (total == 0) {
        // Still discovering: the bar only says the run is busy.
        progress_->setRange(0, 0);
        return;
    }
    const int top = static_cast<int>(std::min<std::size_t>(total, INT32_MAX));
    progress_->setRange(0, top);
    progress_->setValue(static_cast<int>(std::min<std::size_t>(run_->recordsDone.load(), top)));
}

void MainDialog::SetStatus(const QString& text) {
    // A long line shows its beginning, where the step is named.
    statusBox_->setText(text);
    statusBox_->setCursorPosition(0);
}

void MainDialog::ShowStatusText() {
    std::string text = run_->StatusText();
    RemoveEvery(text, "\r\n");
    SetStatus(ShownText(text));
}

void MainDialog::FillSelectedPane() {
    if (!report_) {
        return;
    }
    const BacklinkList& list = report_->List();
    switch (tabs_->currentIndex()) {
        case kOverviewTab:
            ApplyPaneResult(FillOverviewPane(display_.grid, list, display_.reportReady));
            break;
        case kKeyphraseTab:
            ApplyPaneResult(FillKeyphrasePane(display_.grid, list, display_.reportReady));
            break;
        case kPageTab:
            ApplyPaneResult(FillPagePane(display_.grid, list, display_.reportReady));
            break;
        case kLinkStatusTab: {
            // A run that ended without a result (it stopped on an error)
            // removed nothing that could be told.
            const auto result = report_->Result();
            static const std::vector<UnlinkedRecord> kNone;
            ApplyPaneResult(
                FillLinkStatusPane(display_.grid, list, result ? result->unlinked : kNone,
                                   display_.reportReady, linkChanges_ ? &*linkChanges_ : nullptr));
            break;
        }
        default:
            break;
    }
}

void MainDialog::ApplyPaneResult(const PaneResult& result) {
    if (!result.filled) {
        return;
    }
    scrollBar_->setEnabled(result.scrollEnabled);
    if (result.scrollEnabled) {
        scrollBar_->setRange(0, result.scrollMax);
        scrollBar_->setValue(0);
        // Only the thumb's size follows from this; where each request
        // leads is decided by the grid.
        scrollBar_->setPageStep(display_.grid.VisibleRows());
    }
    client_->update();
    display_.selectedRow = -1;
    display_.sortColumn = -1;
    display_.rowsSelectable = true;
    display_.hintText = result.hintText;
}

void MainDialog::RemoveDetailTab() {
    if (tabs_->count() > kDetailTab) {
        // Removing the tab is not the user choosing another one: no pane is
        // refilled for it.
        const QSignalBlocker quiet(tabs_);
        tabs_->removeTab(kDetailTab);
    }
}

void MainDialog::OnTabChosen(int index) {
    // Selecting the detail tab is the window's own doing when it shows a
    // detail view, never a choice of the user's: the view just filled stays.
    if (index < kOverviewTab || index >= kDetailTab) {
        return;
    }
    RemoveDetailTab();
    FillSelectedPane();
}

void MainDialog::SortByHeader(int column) {
    ReportGrid& grid = display_.grid;
    // Number columns sort largest first and text columns from A to Z; the
    // Overview is a list of facts in their own order and never sorts.
    const bool byNumber = grid.Sortable(column);
    const bool byText = !byNumber && grid.Configured() && column >= 0 && column < grid.Columns() &&
                        tabs_->currentIndex() != kOverviewTab;
    if (!byNumber && !byText) {
        return;
    }
    // Each further click on the same header turns the order around.
    if (column == display_.sortColumn) {
        grid.ReverseRows();
        display_.sortAscending = !display_.sortAscending;
    } else if (byNumber) {
        grid.SortDescending(column);
        display_.sortColumn = column;
        display_.sortAscending = false;
    } else {
        grid.SortByText(column);
        display_.sortColumn = column;
        display_.sortAscending = true;
    }
    grid.SetFirstRow(0);
    if (grid.MaxScroll() > 0) {
        scrollBar_->setValue(0);
    }
    display_.selectedRow = -1;
    client_->update();
}

void MainDialog::OnGridPressed(QPoint at) {
    const GridHit hit = display_.grid.HitTest(at.x(), at.y());
    if (!hit.inside) {
        return;
    }
    if (hit.row == 0) {
        SortByHeader(hit.column);
        return;
    }
    if (!display_.rowsSelectable) {
        return;
    }
    // The selection stays on its place on screen while the rows scroll.
    display_.selectedRow = hit.row - 1;
    client_->update();
}

void MainDialog::OnGridDoubleClicked(QPoint at) {
    const int tab = tabs_->currentIndex();
    const GridHit hit = display_.grid.HitTest(at.x(), at.y());
    if (!hit.inside) {
        return;
    }
    // A double-click on a header is one click on it: when the press that
    // began it has sorted already, the order is not turned around again.
    if (hit.row == 0) {
        if (hit.column != display_.sortColumn) {
            SortByHeader(hit.column);
        }
        return;
    }
    const ReportGrid& grid = display_.grid;
    const int row = grid.FirstRow() + hit.row - 1;
    if (!display_.rowsSelectable || row >= grid.RowCount()) {
        return;
    }
    // A copy: showing a detail view refills the grid the cell lives in.
    const std::string subject = grid.Cell(row, 0);
    const BacklinkList* list = ReportList();
    switch (tab) {
        case kOverviewTab:
            if (hit.row >= kFirstOpenableScreenRow) {
                OpenPage(subject);
            }
            break;
        case kLinkStatusTab:
            OpenPage(subject);
            break;
        case kKeyphraseTab:
            if (list) {
                ShowDetailView(
                    FillOverviewDetails(display_.grid, *list, display_.reportReady, subject));
            }
            break;
        case kPageTab:
            if (list) {
                ShowDetailView(
                    FillPageDetails(display_.grid, *list, display_.reportReady, subject));
            }
            break;
        default:
            break;
    }
}

void MainDialog::ShowDetailView(const PaneResult& result) {
    if (!result.filled) {
        return;
    }
    ApplyPaneResult(result);
    RemoveDetailTab();
    tabs_->insertTab(kDetailTab, ShownText(result.tabTitle));
    tabs_->setCurrentIndex(kDetailTab);
}

void MainDialog::OpenPage(const std::string& text) {
    const QUrl page = WebAddressToOpen(text);
    if (page.isEmpty()) {
        return;
    }
    // A page the desktop fails to open shows nothing, as the user sees no
    // browser either way.
    prompts_.openExternally(page);
}

int MainDialog::SelectedListRow() const {
    if (!display_.rowsSelectable || display_.selectedRow < 0) {
        return -1;
    }
    const int row = display_.grid.FirstRow() + display_.selectedRow;
    return row < display_.grid.RowCount() ? row : -1;
}

void MainDialog::OnGridKey(int key) {
    ReportGrid& grid = display_.grid;
    if (!display_.rowsSelectable || grid.RowCount() == 0) {
        return;
    }
    const int page = grid.VisibleRows();
    const int current = SelectedListRow();
    int target = current < 0 ? grid.FirstRow() : current;
    if (current >= 0) {
        switch (key) {
            case Qt::Key_Up:
                target -= 1;
                break;
            case Qt::Key_Down:
                target += 1;
                break;
            case Qt::Key_PageUp:
                target -= page;
                break;
            case Qt::Key_PageDown:
                target += page;
                break;
            default:
                break;
        }
    }
    if (key == Qt::Key_Home) {
        target = 0;
    } else if (key == Qt::Key_End) {
        target = grid.RowCount() - 1;
    }
    target = std::clamp(target, 0, grid.RowCount() - 1);
    if (target < grid.FirstRow()) {
        grid.SetFirstRow(target);
    } else if (target >= grid.FirstRow() + page) {
        grid.SetFirstRow(target - page + 1);
    }
    // The grid's scrolling may stop short of its last rows; the selection
    // goes no further than the rows on screen.
    target = std::min(target, grid.FirstRow() + page - 1);
    if (scrollBar_->isEnabled()) {
        scrollBar_->setValue(grid.FirstRow());
    }
    display_.selectedRow = target - grid.FirstRow();
    client_->update();
}

void MainDialog::OnCopyRow() {
    const int row = SelectedListRow();
    if (row < 0) {
        return;
    }
    QStringList cells;
    for (int column = 0; column < display_.grid.Columns(); ++column) {
        cells << ShownText(display_.grid.Cell(row, column));
    }
    QGuiApplication::clipboard()->setText(cells.join(QLatin1Char('\t')));
}

void MainDialog::OnGridContextMenu(QPoint at, QPoint global) {
    const GridHit hit = display_.grid.HitTest(at.x(), at.y());
    if (!hit.inside || hit.row == 0 || !display_.rowsSelectable ||
        display_.grid.FirstRow() + hit.row - 1 >= display_.grid.RowCount()) {
        return;
    }
    display_.selectedRow = hit.row - 1;
    client_->update();
    const bool address = !WebAddressToOpen(display_.grid.Cell(SelectedListRow(), 0)).isEmpty();
    openPageAction_->setEnabled(address);
    copyAddressAction_->setEnabled(address);
    rowMenu_->popup(global);
}

void MainDialog::OnScrollAction(int action) {
    ScrollRequest request = ScrollRequest::kEndScroll;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            request = ScrollRequest::kLineUp;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            request = ScrollRequest::kLineDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            request = ScrollRequest::kPageUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            request = ScrollRequest::kPageDown;
            break;
        case QAbstractSlider::SliderMove:
            request = ScrollRequest::kThumbTrack;
            break;
        case QAbstractSlider::SliderToMinimum:
            request = ScrollRequest::kTop;
            break;
        case QAbstractSlider::SliderToMaximum:
            request = ScrollRequest::kBottom;
            break;
        default:
            break;
    }
    ReportGrid& grid = display_.grid;
    // The slider has already moved its thumb by its own idea of a step; the
    // grid's rule decides where it really goes, and the slider follows.
    grid.SetFirstRow(grid.ScrollTarget(request, scrollBar_->sliderPosition()));
    scrollBar_->setSliderPosition(grid.FirstRow());
    client_->update();
}

void MainDialog::OnWheelRows(int rows) {
    if (!scrollBar_->isEnabled()) {
        return;
    }
    ReportGrid& grid = display_.grid;
    grid.SetFirstRow(grid.FirstRow() + rows);
    scrollBar_->setValue(grid.FirstRow());
    client_->update();
}

void MainDialog::OnSettings() {
    SettingsDialog dialog(
        maxBacklinkPages_, maxRankingPages_,
        QString::fromStdString(ConfigLocation::Describe(config_, ConfigLocation::DefaultPath())),
        this);
    if (prompts_.runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    maxBacklinkPages_ = dialog.MaxBacklinkPages();
    maxRankingPages_ = dialog.MaxRankingPages();
    SavedState::SaveLimits(store_, maxBacklinkPages_, maxRankingPages_);
}

void MainDialog::OnAbout() {
    AboutDialog dialog(this);
    prompts_.runDialog(dialog);
}

void MainDialog::OnImportBacklinks() {
    if (RunStateNow() != kRunIdle && RunStateNow() != kRunCancelled) {
        return;
    }
    if (!SiteTyped()) {
        return;
    }
    const QStringList chosen = prompts_.chooseOpenFiles(
        this, QStringLiteral("Backlink exports (*.csv *.tsv *.txt *.zip);;All Files (*)"));
    if (chosen.isEmpty()) {
        return;
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        paths.push_back(QFile::encodeName(path).toStdString());
    }
    const Result<std::shared_ptr<const ImportedBacklinks>> outcome = BacklinkImport::Read(paths);
    if (!outcome.ok()) {
        const QString message = ShownText(outcome.reason());
        SetStatus(message);
        prompts_.showMessage(this, message);
        return;
    }
    StartRun(outcome.value());
}

void MainDialog::OnExportCsv() {
    const QString path = prompts_.chooseSaveFile(
        this, QStringLiteral("Comma Seperated Files (*.csv);;All Files (*.*)"),
        QStringLiteral("csv"), QString());
    if (path.isEmpty()) {
        return;
    }
    if (!ExportGridToCsv(display_.grid, QFile::encodeName(path).toStdString()).ok()) {
        prompts_.showMessage(this, QStringLiteral("Error writing to that file"));
        return;
    }
    prompts_.openExternally(QUrl::fromLocalFile(path));
}

void MainDialog::OnSaveHtml() {
    UpdateSaveActions();
    if (!saveHtmlAction_->isEnabled()) {
        return;
    }
    const QString path =
        prompts_.chooseSaveFile(this, QStringLiteral("HTML Files (*.html *.htm);;All Files (*)"),
                                QStringLiteral("html"), QStringLiteral("report.html"));
    if (path.isEmpty()) {
        return;
    }
    if (const std::string error = kept_.SaveHtml(QFile::encodeName(path).toStdString());
        !error.empty()) {
        prompts_.showMessage(this,
                             QStringLiteral("The report was not saved: %1").arg(ShownText(error)));
        return;
    }
    // A file URL of the page just written, never a text from the report, is
    // what the desktop is asked to open.
    const QUrl written = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!prompts_.openExternally(written)) {
        prompts_.showMessage(
            this, QStringLiteral("The report was saved to %1, but no browser could open it.")
                      .arg(written.toLocalFile()));
    }
}

void MainDialog::OnExportAll() {
    UpdateSaveActions();
    if (!exportAllAction_->isEnabled()) {
        return;
    }
    const QString folder = prompts_.chooseFolder(this, QStringLiteral("Export All"));
    if (folder.isEmpty()) {
        return;
    }
    if (const std::string error = kept_.ExportAll(QFile::encodeName(folder).toStdString());
        !error.empty()) {
        prompts_.showMessage(this,
                             QStringLiteral("Nothing was exported: %1").arg(ShownText(error)));
        return;
    }
    prompts_.showMessage(this, QStringLiteral("The report was written to %1.").arg(folder));
}

void MainDialog::closeEvent(QCloseEvent* event) {
    SavedState::SaveWindowSize(store_, width(), height());
    reportTimer_.stop();
    workers_.StopAll();
    event->accept();
}

}  // namespace veltrap
