#include "app/MainDialog.h"

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/ClientArea.h"
#include "app/SettingsDialog.h"
#include "engine/RunState.h"
#include "engine/SiteKey.h"
#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "store/SavedState.h"

#include <QAction>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QUrl>

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

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text);
}

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
        AddSavedSite(FromBytes(site));
    }
    SetReportReady(false);
    setWindowIcon(AppIcon::Make());

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

    runButton_ = new QPushButton(kRunText, client_);
    runButton_->setObjectName(QStringLiteral("runButton"));
    runButton_->setGeometry(kMargin + 340, kTopRow, 230, kRowHeight);
    connect(runButton_, &QPushButton::clicked, this, &MainDialog::StartOrCancelReport);

    tabs_ = new QTabBar(client_);
    tabs_->setObjectName(QStringLiteral("reportTabs"));
    tabs_->setExpanding(false);
    tabs_->addTab(QStringLiteral("Overview"));
    tabs_->addTab(QStringLiteral("Detailed Link Report"));
    tabs_->addTab(QStringLiteral("Individual Page Report"));
    const int tabHeight = tabs_->sizeHint().height();
    tabs_->setGeometry(kMargin, kGridTop - 1 - tabHeight, kGridWidth, tabHeight);

    scrollBar_ = new QScrollBar(Qt::Vertical, client_);
    scrollBar_->setObjectName(QStringLiteral("gridScrollBar"));
    scrollBar_->setGeometry(kMargin + kGridWidth + 2, kGridTop, 17, kGridHeight);

    // Labels and read-only boxes write in the window's ink on its lavender.
    QPalette ink = client_->palette();
    ink.setColor(QPalette::WindowText, QColor(40, 40, 100));
    ink.setColor(QPalette::Text, QColor(40, 40, 100));
    ink.setColor(QPalette::Base, QColor(197, 197, 235));

    statusLabel_ = new QLabel(QStringLiteral("Report Status:"), client_);
    statusLabel_->setPalette(ink);
    statusLabel_->setGeometry(kMargin, kStatusTop, 96, kRowHeight);

    statusBox_ = new QLineEdit(client_);
    statusBox_->setObjectName(QStringLiteral("statusBox"));
    statusBox_->setReadOnly(true);
    statusBox_->setPalette(ink);
    statusBox_->setGeometry(kMargin + 98, kStatusTop, kGridWidth - 98, kRowHeight);
    statusLabel_->setBuddy(statusBox_);

    hiddenBox_ = new QLineEdit(client_);
    hiddenBox_->setObjectName(QStringLiteral("hiddenBox"));
    hiddenBox_->setReadOnly(true);
    hiddenBox_->setPalette(ink);
    hiddenBox_->setGeometry(kMargin + 98, kStatusTop, kGridWidth - 98, kRowHeight);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainDialog::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    settingsAction_ = file->addAction(QStringLiteral("&Settings"));
    exportAction_ = file->addAction(QStringLiteral("E&xport to Excel"));
    exportAction_->setStatusTip(QStringLiteral("Export this data to a CSV file"));
    file->addSeparator();
    exitAction_ = file->addAction(QStringLiteral("&Exit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    aboutAction_ = help->addAction(QStringLiteral("&About"));

    connect(settingsAction_, &QAction::triggered, this, &MainDialog::OnSettings);
    connect(exportAction_, &QAction::triggered, this, &MainDialog::OnExportCsv);
    connect(exitAction_, &QAction::triggered, this, &MainDialog::close);
    connect(aboutAction_, &QAction::triggered, this, &MainDialog::OnAbout);
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

void MainDialog::SetReportReady(bool ready) {
    display_.reportReady = ready;
    exportAction_->setEnabled(ready);
}

void MainDialog::StartOrCancelReport() {
    if (run_) {
        const int state = run_->runState.load();
        if (state != kRunIdle && state != kRunCancelled) {
            if (prompts_.askYesNo(this, QStringLiteral("Do you want to cancel the report?"))) {
                // The run may have ended while the question was open; only a
                // run still going is cancelled.
                const std::shared_ptr<RunShared> going = run_;
                if (ReportWorkers::Cancel(*going)) {
                    going->SetStatusText("Report aborted by user..\r\n");
                }
            }
            return;
        }
    }

    const std::string typed = addressBox_->currentText().toStdString();
    const std::string siteKey = MakeSiteKey(typed);
    if (siteKey.empty()) {
        prompts_.showMessage(this,
                             QStringLiteral("Please type the address of a website to profile."));
        return;
    }
    if (SavedState::RememberSite(store_, siteKey)) {
        AddSavedSite(FromBytes(siteKey));
    }

    display_.rowsSelectable = false;
    display_.hintText.clear();
    scrollBar_->setEnabled(false);
    RemoveDetailTab();
    statusBox_->insert(QStringLiteral("Loading..."));
    runButton_->setText(kCancelText);

    RunRequest request;
    request.siteText = typed;
    request.maxBacklinkPages = maxBacklinkPages_;
    request.maxRankingPages = maxRankingPages_;
    run_ = workers_.Start(request, config_);
    runBegun_ = false;
    reportTimer_.start();
}

void MainDialog::OnReportTimer() {
    workers_.JoinFinished();
    if (!run_) {
        reportTimer_.stop();
        return;
    }
    int state = run_->runState.load();
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
            SetStatus(QStringLiteral("Idle"));
            runButton_->setText(kRunText);
            reportTimer_.stop();
            report_ = run_;
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
            ShowStatusText();
            reportTimer_.stop();
            runButton_->setText(kRerunText);
            break;
        default:
            break;
    }
}

void MainDialog::SetStatus(const QString& text) {
    // A long line shows its beginning, where the step is named.
    statusBox_->setText(text);
    statusBox_->setCursorPosition(0);
}

void MainDialog::ShowStatusText() {
    std::string text = run_->StatusText();
    RemoveAll(text, "\r\n");
    SetStatus(FromBytes(text));
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
    }
    client_->update();
    display_.selectedRow = -1;
    display_.rowsSelectable = true;
    display_.hintText = result.hintText;
}

void MainDialog::RemoveDetailTab() {
    if (tabs_->count() > kDetailTab) {
        tabs_->removeTab(kDetailTab);
    }
}

void MainDialog::OnSettings() {
    SettingsDialog dialog(maxBacklinkPages_, maxRankingPages_, this);
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

void MainDialog::OnExportCsv() {
    const QString path = prompts_.chooseSaveFile(
        this, QStringLiteral("Comma Seperated Files (*.csv);;All Files (*.*)"),
        QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    if (!ExportGridToCsv(display_.grid, QFile::encodeName(path).toStdString())) {
        prompts_.showMessage(this, QStringLiteral("Error writing to that file"));
        return;
    }
    prompts_.openExternally(QUrl::fromLocalFile(path));
}

void MainDialog::closeEvent(QCloseEvent* event) {
    reportTimer_.stop();
    workers_.StopAll();
    event->accept();
}

}  // namespace veltrap
