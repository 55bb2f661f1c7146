#include "app/MainDialog.h"

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/ClientArea.h"
#include "app/ReportTabBar.h"
#include "app/RunHistoryDialog.h"
#include "app/ServicesPage.h"
#include "app/SettingsDialog.h"
#include "app/ShownText.h"
#include "app/WindowLook.h"
#include "base/TextSearch.h"
#include "base/UtcTimestamp.h"
#include "engine/ConfigLocation.h"
#include "engine/SiteKey.h"
#include "export/ExportGridToCsv.h"
#include "session/ReportOutputs.h"
#include "session/StoredReport.h"
#include "store/SavedState.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
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
#include <QTabBar>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <utility>

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

// What a person whose backlink source gave nothing at all can do next.
const QString kNextStep = QStringLiteral(
    ". Next: choose a backlink source (File \u2192 Settings \u2192 Services) or import exported "
    "backlinks (File \u2192 Import Backlinks...); veltrap --demo shows a whole report made on a "
    "demo web.");
const QString kChooseSourceQuestion = QStringLiteral(
    "The backlink source gave no answer. Open the Services settings to choose "
    "another one?");

const QString kDisavowFilters = QStringLiteral("Disavow files (*.txt);;All Files (*)");

// A path the user chose, as the system names it.
std::filesystem::path LocalPath(const QString& chosen) {
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

}  // namespace

MainDialog::MainDialog(ServiceConfig config, SettingsStore store, UserPrompts prompts,
                       ReportSession::Pipeline pipeline, QWidget* parent)
    : QMainWindow(parent),
      config_(std::move(config)),
      store_(std::move(store)),
      prompts_(std::move(prompts)),
      pipeline_(std::move(pipeline)),
      maxBacklinkPages_(SavedState::kDefaultLimit),
      maxRankingPages_(SavedState::kDefaultLimit) {
    setWindowTitle(QStringLiteral("Veltrap"));
    BuildControls();
    BuildMenu();

    const SavedState saved = SavedState::Load(store_);
    scrollBar_->setEnabled(false);
    hiddenBox_->hide();
    maxBacklinkPages_ = saved.maxBacklinkPages;
    maxRankingPages_ = saved.maxRankingPages;
    disavowFile_ = std::filesystem::path(saved.disavowFile);
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
    // Keys reach the box itself when it has the focus, as in a fresh window,
    // and its text line when that has; the box hands them on to the line
    // without its filters, so both are watched.
    addressBox_->installEventFilter(this);
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

    // Tab goes from the address box to the button, the tabs, the grid and
    // the status box.
    QWidget::setTabOrder(tabs_, client_);
    QWidget::setTabOrder(client_, statusBox_);

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
    if (grid_ != nullptr) {
        grid_->FitScrollBar();
    }
    client_->update();
}

void MainDialog::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    settingsAction_ = file->addAction(QStringLiteral("&Settings"));
    importAction_ = file->addAction(QStringLiteral("&Import Backlinks..."));
    importAction_->setStatusTip(
        QStringLiteral("Run the report on the backlinks of exported files"));
    disavowFileAction_ = file->addAction(QStringLiteral("&Disavow File..."));
    disavowFileAction_->setStatusTip(
        QStringLiteral("Choose the disavow file whose pages every run marks"));
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
    settingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    importAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    exportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    saveHtmlAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    aboutAction_ = help->addAction(QStringLiteral("&About"));

    connect(settingsAction_, &QAction::triggered, this, &MainDialog::OnSettings);
    connect(importAction_, &QAction::triggered, this, &MainDialog::OnImportBacklinks);
    connect(disavowFileAction_, &QAction::triggered, this, &MainDialog::OnDisavowFile);
    connect(exportAction_, &QAction::triggered, this, &MainDialog::OnExportCsv);
    connect(saveHtmlAction_, &QAction::triggered, this, &MainDialog::OnSaveHtml);
    connect(exportAllAction_, &QAction::triggered, this, &MainDialog::OnExportAll);
    connect(runHistoryAction_, &QAction::triggered, this, &MainDialog::OnRunHistory);
    connect(exitAction_, &QAction::triggered, this, &MainDialog::close);
    connect(aboutAction_, &QAction::triggered, this, &MainDialog::OnAbout);

    // The row menu and the grid's controller come before the copy shortcut
    // that the controller answers.
    rowMenu_ = new QMenu(this);
    grid_ = new GridController(display_, client_, tabs_, scrollBar_, rowMenu_, prompts_, this);
    connect(grid_->DisavowPageAction(), &QAction::triggered, this, &MainDialog::OnDisavowPage);
    connect(grid_->DisavowDomainAction(), &QAction::triggered, this, &MainDialog::OnDisavowDomain);
    // A text box with the focus copies its own selection, as it takes the
    // shortcut before the window does.
    copyRowAction_ = new QAction(QStringLiteral("Copy Row"), this);
    copyRowAction_->setShortcut(QKeySequence::Copy);
    addAction(copyRowAction_);
    connect(copyRowAction_, &QAction::triggered, grid_, &GridController::OnCopyRow);
}

const BacklinkList* MainDialog::ReportList() const {
    return display_.reportReady && onScreen_ ? &onScreen_->result->records : nullptr;
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
    const bool inAddressBox = watched == addressBox_ || watched == addressBox_->lineEdit();
    if (inAddressBox && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
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

void MainDialog::SetHistoryFile(std::filesystem::path file) {
    historyFile_ = std::move(file);
    UpdateSaveActions();
}

void MainDialog::UpdateSaveActions() {
    const bool enabled = lastEnded_ != nullptr && !RunGoing();
    saveHtmlAction_->setEnabled(enabled);
    exportAllAction_->setEnabled(enabled);
    runHistoryAction_->setEnabled(!historyFile_.empty() && !RunGoing());
}

void MainDialog::SetStatus(const QString& text) {
    // A long line shows its beginning, where the step is named.
    statusBox_->setText(text);
    statusBox_->setCursorPosition(0);
}

bool MainDialog::SiteTyped() {
    if (!MakeSiteKey(addressBox_->currentText().toStdString()).empty()) {
        return true;
    }
    prompts_.showWarning(this, QStringLiteral("Please type the address of a website to profile."));
    return false;
}

void MainDialog::StartOrCancelReport() {
    if (RunGoing()) {
        // The run may end while the question is open, which then closes; an
        // answer given after that changes nothing, nor does one about a run
        // that is no longer the latest.
        const int asked = serial_;
        if (prompts_.askYesNo(this, QStringLiteral("Do you want to cancel the report?")) &&
            asked == serial_ && RunGoing() && session_->Abort()) {
            // The session tells the cancel's own line; a run whose records
            // ended while the question was open goes on to its end instead.
            phase_ = Phase::kCancelled;
            progress_->hide();
            runButton_->setText(kRerunText);
            importAction_->setEnabled(true);
        }
        return;
    }
    if (SiteTyped()) {
        StartRun({});
    }
}

void MainDialog::SetConfigSource(ConfigLoader load, std::string file, SecretStore* secrets) {
    loadConfig_ = std::move(load);
    configFile_ = std::move(file);
    secrets_ = secrets;
}

void MainDialog::ShowConfigProblem(const std::string& problem) {
    configProblem_ = problem;
    SetStatus(ShownText(problem));
    OpenSettings(SettingsDialog::Page::kServices);
}

bool MainDialog::ReloadConfig() {
    if (!loadConfig_) {
        return true;
    }
    Result<ServiceConfig> loaded = loadConfig_();
    if (!loaded) {
        configProblem_ = loaded.reason();
        return false;
    }
    config_ = std::move(loaded).value();
    configProblem_.clear();
    return true;
}

void MainDialog::StartRun(std::vector<std::string> importFiles) {
    // Read again for every run, so that a file changed by hand or on the
    // Services page applies without a restart; a run never starts on a
    // configuration that cannot be used.
    if (!ReloadConfig()) {
        SetStatus(ShownText(configProblem_));
        if (prompts_.askYesNo(this, ShownText(configProblem_) +
                                        QStringLiteral("\n\nOpen the Services settings?"))) {
            OpenSettings(SettingsDialog::Page::kServices);
        }
        return;
    }
    const std::string typed = addressBox_->currentText().toStdString();
    SessionRequest request;
    request.run.siteText = typed;
    request.run.maxBacklinkPages = maxBacklinkPages_;
    request.run.maxRankingPages = maxRankingPages_;
    request.importFiles = std::move(importFiles);
    request.config = config_;
    request.disavowFile = disavowFile_;
    if (!historyFile_.empty()) {
        request.history = historyFile_;
    }
    Result<ReportSession::Prepared> prepared = ReportSession::Prepare(std::move(request));
    if (!prepared) {
        const QString message = ShownText(prepared.reason());
        SetStatus(message);
        prompts_.showWarning(this, message);
        return;
    }
    if (const std::string siteKey = MakeSiteKey(typed); SavedState::RememberSite(store_, siteKey)) {
        AddSavedSite(ShownText(siteKey));
    }

    display_.rowsSelectable = false;
    display_.hintText.clear();
    scrollBar_->setEnabled(false);
    grid_->RemoveDetailTab();
    statusBox_->insert(QStringLiteral("Loading..."));
    recordsShown_ = 0;
    progress_->setRange(0, 0);
    progress_->show();
    runButton_->setText(kCancelText);
    importAction_->setEnabled(false);
    importSummary_ = ShownText(prepared->importSummary);
    // What is saved is the report on screen, which the new run replaces.
    lastEnded_.reset();
    // A cancelled session still ending goes on without the window.
    if (session_) {
        ending_.emplace_back(serial_, std::move(session_));
    }
    const int serial = ++serial_;
    // Posted before the session can post anything, so the screen is cleared
    // before the first line of the run is shown.
    calls_->Post([this, serial] { BeginRun(serial); });
    session_ =
        std::make_unique<ReportSession>(std::move(prepared).value(), EventsOf(serial), pipeline_);
    phase_ = Phase::kRunning;
    UpdateSaveActions();
}

SessionEvents MainDialog::EventsOf(int serial) {
    SessionEvents events;
    events.status = [this, serial](const std::string& line) {
        calls_->Post([this, serial, line] { OnRunStatus(serial, line); });
    };
    events.recordsDone = [this, serial](std::size_t done, std::size_t total) {
        calls_->Post([this, serial, done, total] { OnRecordsDone(serial, done, total); });
    };
    events.finished = [this, serial](const SessionEnd& end) {
        calls_->Post([this, serial, end] { OnRunFinished(serial, end); });
    };
    return events;
}

void MainDialog::BeginRun(int serial) {
    if (serial != serial_) {
        return;
    }
    SetReportReady(false);
    onScreen_.reset();
    grid_->SetReport(nullptr, nullptr);
    display_.grid.SetConfigured(false);
    client_->update();
    SetStatus(QStringLiteral("Beginning Profiling"));
}

void MainDialog::OnRunStatus(int serial, const std::string& line) {
    if (serial != serial_) {
        return;
    }
    std::string text = line;
    RemoveEvery(text, "\r\n");
    SetStatus(ShownText(text));
}

void MainDialog::OnRecordsDone(int serial, std::size_t done, std::size_t total) {
    if (serial != serial_ || !RunGoing() || total == 0) {
        return;
    }
    // Records finish out of order when several are examined at once; the
    // bar only ever moves on.
    recordsShown_ = std::max(recordsShown_, done);
    const int top = static_cast<int>(std::min<std::size_t>(total, INT32_MAX));
    progress_->setRange(0, top);
    progress_->setValue(static_cast<int>(std::min<std::size_t>(recordsShown_, top)));
}

void MainDialog::OnRunFinished(int serial, const SessionEnd& end) {
    if (serial != serial_) {
        std::erase_if(ending_, [serial](const auto& session) { return session.first == serial; });
        return;
    }
    session_.reset();
    const bool cancelled = phase_ == Phase::kCancelled;
    phase_ = Phase::kIdle;
    // Whether to cancel is no question once the run has ended.
    prompts_.closeQuestion(this);
    if (end.report) {
        lastEnded_ = std::make_shared<const FinishedReport>(end.report.value());
    }
    UpdateSaveActions();
    QStringList problems;
    for (const std::string& problem : end.historyProblems) {
        problems << ShownText(problem);
    }
    const QString historyProblem = problems.join(QStringLiteral("; "));
    if (cancelled) {
        // The panes keep the report they showed, so the changes of this run
        // have nowhere to go.
        if (!historyProblem.isEmpty()) {
            SetStatus(statusBox_->text() + QStringLiteral("; ") + historyProblem);
        }
        return;
    }
    progress_->hide();
    runButton_->setText(kRunText);
    importAction_->setEnabled(true);
    // A run that stopped on an error keeps the line that tells why.
    if (end.report) {
        QStringList parts{ShownText(end.report->result->DoneLine(end.took.count()))};
        if (!importSummary_.isEmpty()) {
            parts << importSummary_;
        }
        if (!historyProblem.isEmpty()) {
            parts << historyProblem;
        }
        const RunResult& result = *end.report->result;
        if (result.SourceFailedAtStart()) {
            parts.front() = ShownText(result.DiscoveryProblem()) + kNextStep;
        }
        SetStatus(parts.join(QStringLiteral("; ")));
    }
    ShowReport(lastEnded_);
    // Nothing came back at all: the person is shown the way to a source that
    // answers, rather than left with an empty report.
    if (end.report && end.report->result->SourceFailedAtStart() &&
        prompts_.askYesNo(this, kChooseSourceQuestion)) {
        OpenSettings(SettingsDialog::Page::kServices);
    }
}

void MainDialog::ShowReport(std::shared_ptr<const FinishedReport> report) {
    onScreen_ = std::move(report);
    linkChanges_.reset();
    if (onScreen_ && onScreen_->changes) {
        linkChanges_ = onScreen_->changes->ForLinkStatus();
    }
    grid_->SetReport(onScreen_ ? onScreen_->result.get() : nullptr,
                     linkChanges_ ? &*linkChanges_ : nullptr);
    grid_->RemoveDetailTab();
    SetReportReady(true);
    grid_->FillSelectedPane();
}

void MainDialog::OnRunHistory() {
    if (historyFile_.empty() || RunGoing()) {
        return;
    }
    // The typed site, or else the site of the report on screen.
    std::string siteKey = MakeSiteKey(addressBox_->currentText().toStdString());
    if (siteKey.empty() && onScreen_) {
        siteKey = onScreen_->result->siteKey;
    }
    if (siteKey.empty()) {
        prompts_.showWarning(this, QStringLiteral("Type the site whose runs are to be listed."));
        return;
    }
    RunHistoryDialog dialog(historyFile_, siteKey, this, prompts_.openExternally);
    if (prompts_.runDialog(dialog) != QDialog::Accepted || dialog.ChosenRunId() <= 0) {
        return;
    }
    const std::int64_t id = dialog.ChosenRunId();
    work_.Run<Result<StoredReport>>(
        [file = historyFile_, id] { return StoredReport::Load(file, id); },
        [this, id](Result<StoredReport> loaded) {
            // A run started meanwhile owns the screen.
            if (RunGoing()) {
                return;
            }
            if (!loaded) {
                prompts_.showWarning(this, QStringLiteral("The stored run was not opened: %1")
                                               .arg(ShownText(loaded.reason())));
                return;
            }
            lastEnded_ = std::make_shared<const FinishedReport>(std::move(loaded->report));
            ShowReport(lastEnded_);
            UpdateSaveActions();
            SetStatus(QStringLiteral("Stored run %1 of %2, started %3")
                          .arg(id)
                          .arg(ShownText(loaded->run.siteKey),
                               ShownText(ShownUtcTime(loaded->run.startedAt))));
        });
}

void MainDialog::OnSettings() {
    OpenSettings(SettingsDialog::Page::kLimits);
}

void MainDialog::OpenSettings(SettingsDialog::Page page) {
    // The page shows the file as it is now, changed by hand or not.
    ReloadConfig();
    SettingsDialog dialog(
        maxBacklinkPages_, maxRankingPages_,
        QString::fromStdString(ConfigLocation::Describe(config_, ConfigLocation::DefaultPath())),
        this);
    if (loadConfig_) {
        const std::string file = configFile_.empty() ? ConfigLocation::DefaultPath() : configFile_;
        auto* services = new ServicesPage(config_, file, configProblem_, secrets_);
        // The services are tested on the site typed, when there is one.
        if (std::string site = MakeSiteKey(addressBox_->currentText().toStdString());
            !site.empty()) {
            services->SetTestSite(std::move(site));
        }
        dialog.AddServicesPage(services);
    }
    dialog.ShowPage(page);
    if (prompts_.runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    if (loadConfig_) {
        const bool loaded = ReloadConfig();
        SetStatus(ShownText(
            loaded ? "Services in use: " + config_.Chosen(ServiceConfig::Role::kBacklinks) + ", " +
                         config_.Chosen(ServiceConfig::Role::kAuthority) + ", " +
                         config_.Chosen(ServiceConfig::Role::kSearch)
                   : configProblem_));
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
    if (RunGoing() || !SiteTyped()) {
        return;
    }
    const QStringList chosen = prompts_.chooseOpenFiles(
        this, QStringLiteral("Backlink exports (*.csv *.tsv *.txt *.zip);;All Files (*)"));
    if (chosen.isEmpty()) {
        return;
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        paths.push_back(LocalPath(path).string());
    }
    StartRun(std::move(paths));
}

void MainDialog::OnDisavowFile() {
    const QString chosen =
        prompts_.chooseOneFile(this, QStringLiteral("Disavow File"), kDisavowFilters);
    if (chosen.isEmpty()) {
        // A file that went missing or bad would otherwise stop every run, so
        // cancelling offers to read none.
        if (!disavowFile_.empty() &&
            prompts_.askYesNo(this, QStringLiteral("Stop reading the disavow file %1?")
                                        .arg(ShownText(disavowFile_.string())))) {
            disavowFile_.clear();
            SavedState::SaveDisavowFile(store_, "");
            SetStatus(QStringLiteral("No disavow file is read"));
        }
        return;
    }
    work_.Run<Result<DisavowList>>(
        [file = LocalPath(chosen)] { return DisavowList::Read(file); },
        [this, file = LocalPath(chosen)](Result<DisavowList> read) {
            if (!read) {
                prompts_.showWarning(this, QStringLiteral("The disavow file was not chosen: %1")
                                               .arg(ShownText(read.reason())));
                return;
            }
            UseDisavowList(file, *read);
            SetStatus(QStringLiteral("Every run marks the pages that %1 disavows")
                          .arg(ShownText(file.string())));
        });
}

void MainDialog::OnDisavowPage() {
    Disavow(false);
}

void MainDialog::OnDisavowDomain() {
    Disavow(true);
}

void MainDialog::Disavow(bool wholeDomain) {
    const std::string page = grid_->SelectedAddress();
    if (page.empty()) {
        return;
    }
    std::filesystem::path file = disavowFile_;
    if (file.empty()) {
        const QString chosen =
            prompts_.chooseOneFile(this, QStringLiteral("Disavow File"), kDisavowFilters);
        if (chosen.isEmpty()) {
            return;
        }
        file = LocalPath(chosen);
    }
    // The file is written, and read back whole for the marks, off the
    // window's thread; a line it refuses leaves the file as it was.
    work_.Run<Result<DisavowList>>(
        [file, page, wholeDomain, lock = disavowWrite_]() -> Result<DisavowList> {
            const std::lock_guard held(*lock);
            const Status added =
                wholeDomain ? DisavowList::AddDomain(file, page) : DisavowList::AddPage(file, page);
            if (!added) {
                return added.failure();
            }
            return DisavowList::Read(file);
        },
        [this, file, page, wholeDomain](Result<DisavowList> read) {
            if (!read) {
                prompts_.showWarning(
                    this,
                    QStringLiteral("Nothing was disavowed: %1").arg(ShownText(read.reason())));
                return;
            }
            UseDisavowList(file, *read);
            const std::string what = wholeDomain ? "the domain " + DisavowList::HostOf(page) : page;
            SetStatus(QStringLiteral("Disavowed %1 in %2")
                          .arg(ShownText(what), ShownText(file.string())));
        });
}

void MainDialog::UseDisavowList(const std::filesystem::path& file, const DisavowList& list) {
    if (file != disavowFile_) {
        disavowFile_ = file;
        SavedState::SaveDisavowFile(store_, file.string());
    }
    if (!onScreen_) {
        return;
    }
    auto result = std::make_shared<RunResult>(*onScreen_->result);
    for (BacklinkRecord& record : result->records) {
        record.disavowed = list.Names(record.url);
    }
    for (UnlinkedRecord& record : result->unlinked) {
        record.disavowed = list.Names(record.url);
    }
    auto report = std::make_shared<FinishedReport>(*onScreen_);
    report->result = result;
    if (report->changes) {
        report->changes->ForgetDisavowed(
            [&list](const std::string& url) { return list.Names(url); });
        linkChanges_ = report->changes->ForLinkStatus();
    }
    // The grid lets go of the old run before it goes; what is saved is the
    // report on screen, marks and all.
    grid_->ReplaceResult(result.get(), linkChanges_ ? &*linkChanges_ : nullptr);
    if (lastEnded_ == onScreen_) {
        lastEnded_ = report;
    }
    onScreen_ = std::move(report);
}

void MainDialog::OnExportCsv() {
    const QString path = prompts_.chooseSaveFile(
        this, QStringLiteral("Comma Seperated Files (*.csv);;All Files (*.*)"),
        QStringLiteral("csv"), QString());
    if (path.isEmpty()) {
        return;
    }
    work_.Run<Status>(
        [grid = display_.grid, file = LocalPath(path).string()] {
            return ExportGridToCsv(grid, file);
        },
        [this, path](Status written) {
            if (!written) {
                prompts_.showWarning(this, QStringLiteral("Error writing to that file"));
                return;
            }
            OpenWritten(path, QStringLiteral("The table was written to %1."),
                        QStringLiteral("The table was written to %1, but no program could open "
                                       "it."));
        });
}

void MainDialog::OpenWritten(const QString& path, const QString& opened, const QString& unopened) {
    // A file URL of the file just written, never a text from the report, is
    // what the desktop is asked to open.
    const QUrl file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!prompts_.openExternally(file)) {
        prompts_.showWarning(this, unopened.arg(file.toLocalFile()));
        return;
    }
    prompts_.showMessage(this, opened.arg(file.toLocalFile()));
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
    work_.Run<Status>(
        [report = lastEnded_, file = LocalPath(path)] {
            return ReportOutputs::WriteHtml(file, *report);
        },
        [this, path](Status written) {
            if (!written) {
                prompts_.showWarning(this, QStringLiteral("The report was not saved: %1")
                                               .arg(ShownText(written.reason())));
                return;
            }
            OpenWritten(
                path, QStringLiteral("The report was saved to %1."),
                QStringLiteral("The report was saved to %1, but no browser could open it."));
        });
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
    work_.Run<Status>(
        [report = lastEnded_, path = LocalPath(folder)] {
            return ReportOutputs::WriteFolder(path, *report);
        },
        [this, folder](Status written) {
            if (!written) {
                prompts_.showWarning(
                    this,
                    QStringLiteral("Nothing was exported: %1").arg(ShownText(written.reason())));
                return;
            }
            prompts_.showMessage(this, QStringLiteral("The report was written to %1.").arg(folder));
        });
}

void MainDialog::closeEvent(QCloseEvent* event) {
    SavedState::SaveWindowSize(store_, width(), height());
    // Each session aborts its transfers and ends before it goes.
    session_.reset();
    ending_.clear();
    phase_ = Phase::kIdle;
    event->accept();
}

}  // namespace veltrap
