#include "app/RunHistoryDialog.h"

#include "app/ShownText.h"
#include "app/WebAddressToOpen.h"
#include "base/UtcTimestamp.h"
#include "history/HistoryStore.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

namespace veltrap {
namespace {

constexpr int kRunColumns = 7;
constexpr std::array<const char*, kRunColumns> kRunHeaders = {
    "Run", "Started", "Ended", "Ended as", "Kept", "Removed", "List"};

QTableWidget* MakeTable(int columns, QWidget* parent) {
    auto* table = new QTableWidget(0, columns, parent);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    return table;
}

void SetHeaders(QTableWidget* table, const char* const* names, int count) {
    QStringList headers;
    for (int n = 0; n < count; ++n) {
        headers << QString::fromUtf8(names[n]);
    }
    table->setHorizontalHeaderLabels(headers);
}

QTableWidgetItem* Cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

QString ShownTime(const std::string& stamp) {
    return ShownText(ShownUtcTime(stamp));
}

QString RunName(const HistoryRun& run) {
    return QStringLiteral("run %1").arg(run.id);
}

QString CannotRead(const std::string& reason) {
    return QStringLiteral("The run history cannot be read: ") + ShownText(reason);
}

// The stored runs of a site. Opening a missing history would create it; a
// dialog that only looks leaves the disk as it was, and lists no runs.
Result<std::vector<HistoryRun>> ReadRuns(const std::filesystem::path& file,
                                         const std::string& siteKey) {
    std::error_code missing;
    if (!std::filesystem::exists(file, missing)) {
        if (missing) {
            return Failure{file.string() + ": " + missing.message()};
        }
        return std::vector<HistoryRun>{};
    }
    HistoryStore store;
    if (Status opened = store.OpenToRead(file); !opened) {
        return opened.failure();
    }
    return store.Runs(siteKey);
}

Result<RunChanges> CompareRuns(const std::filesystem::path& file, std::int64_t olderId,
                               std::int64_t newerId) {
    HistoryStore store;
    if (Status opened = store.OpenToRead(file); !opened) {
        return opened.failure();
    }
    const Result<StoredRun> older = store.Load(olderId);
    if (!older) {
        return older.failure();
    }
    const Result<StoredRun> newer = store.Load(newerId);
    if (!newer) {
        return newer.failure();
    }
    return RunChanges::Compare(older->result, newer->result);
}

}  // namespace

RunHistoryDialog::RunHistoryDialog(const std::filesystem::path& historyFile,
                                   const std::string& siteKey, QWidget* parent,
                                   std::function<bool(const QUrl& page)> openPage)
    : QDialog(parent),
      historyFile_(historyFile),
      siteKey_(siteKey),
      runsTable_(MakeTable(kRunColumns, this)),
      changesTable_(MakeTable(static_cast<int>(RunChanges::kColumns.size()), this)),
      message_(new QLabel(this)),
      showChanges_(new QPushButton(QStringLiteral("Show Changes"), this)),
      openRun_(new QPushButton(QStringLiteral("Open Run"), this)),
      openPage_(std::move(openPage)),
      changeMenu_(new QMenu(this)),
      openPageAction_(changeMenu_->addAction(QStringLiteral("Open Page"))),
      copyAddressAction_(changeMenu_->addAction(QStringLiteral("Copy Address"))) {
    setWindowTitle(QStringLiteral("Run History"));
    runsTable_->setObjectName(QStringLiteral("runsTable"));
    changesTable_->setObjectName(QStringLiteral("changesTable"));
    message_->setObjectName(QStringLiteral("historyMessage"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    SetHeaders(runsTable_, kRunHeaders.data(), kRunColumns);
    runsTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetHeaders(changesTable_, RunChanges::kColumns.data(),
               static_cast<int>(RunChanges::kColumns.size()));
    QHeaderView* changesHeader = changesTable_->horizontalHeader();
    changesHeader->setSectionResizeMode(0, QHeaderView::Stretch);
    changesHeader->resizeSection(1, 80);
    changesHeader->resizeSection(2, 100);
    changesHeader->resizeSection(3, 130);
    changesHeader->resizeSection(4, 130);

    auto* site = new QLabel(QStringLiteral("Stored runs of ") + ShownText(siteKey) +
                                QStringLiteral(". Select one run to open it, or two to see "
                                               "what changed between them."),
                            this);
    site->setWordWrap(true);

    showChanges_->setAutoDefault(false);
    openRun_->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(showChanges_, QDialogButtonBox::ActionRole);
    buttons->addButton(openRun_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &RunHistoryDialog::reject);
    connect(showChanges_, &QPushButton::clicked, this, &RunHistoryDialog::ShowChanges);
    connect(openRun_, &QPushButton::clicked, this, &RunHistoryDialog::OpenRun);
    connect(runsTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RunHistoryDialog::Picked);
    connect(runsTable_, &QTableWidget::cellDoubleClicked, this, &RunHistoryDialog::OpenRun);
    changesTable_->viewport()->installEventFilter(this);
    changesTable_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(changesTable_, &QWidget::customContextMenuRequested, this,
            &RunHistoryDialog::OfferAddress);
    connect(openPageAction_, &QAction::triggered, this, [this] {
        if (const QUrl page = WebAddressToOpen(SelectedAddress().toStdString());
            !page.isEmpty() && openPage_) {
            openPage_(page);
        }
    });
    connect(copyAddressAction_, &QAction::triggered, this, [this] {
        if (const QString address = SelectedAddress(); !address.isEmpty()) {
            QGuiApplication::clipboard()->setText(address);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(site);
    layout->addWidget(runsTable_, 2);
    layout->addWidget(message_);
    layout->addWidget(changesTable_, 3);
    layout->addWidget(buttons);
    resize(820, 560);

    UpdateButtons();
    work_.Run<Result<std::vector<HistoryRun>>>(
        [historyFile, siteKey] { return ReadRuns(historyFile, siteKey); },
        [this](Result<std::vector<HistoryRun>> listed) {
            ListRuns(listed);
            UpdateButtons();
        });
}

void RunHistoryDialog::ListRuns(const Result<std::vector<HistoryRun>>& listed) {
    if (!listed) {
        message_->setText(CannotRead(listed.reason()));
        return;
    }
    runs_ = listed.value();
    if (runs_.empty()) {
        message_->setText(QStringLiteral("No runs stored yet for ") + ShownText(siteKey_) + '.');
        return;
    }
    runsTable_->setRowCount(static_cast<int>(runs_.size()));
    for (int row = 0; row < runsTable_->rowCount(); ++row) {
        const HistoryRun& run = runs_[static_cast<std::size_t>(row)];
        runsTable_->setItem(row, 0, Cell(QString::number(run.id), true));
        runsTable_->setItem(row, 1, Cell(ShownTime(run.startedAt)));
        runsTable_->setItem(row, 2, Cell(ShownTime(run.endedAt)));
        runsTable_->setItem(
            row, 3,
            Cell(run.cancelled ? QStringLiteral("Cancelled") : QStringLiteral("Completed")));
        runsTable_->setItem(row, 4, Cell(QString::number(run.kept), true));
        runsTable_->setItem(row, 5, Cell(QString::number(run.removed), true));
        runsTable_->setItem(row, 6, Cell(ShownText(run.listSource)));
    }
    runsTable_->resizeColumnsToContents();
}

void RunHistoryDialog::Picked(const QItemSelection& selected, const QItemSelection& deselected) {
    for (const QModelIndex& index : deselected.indexes()) {
        picked_.erase(std::remove(picked_.begin(), picked_.end(), index.row()), picked_.end());
    }
    for (const QModelIndex& index : selected.indexes()) {
        if (std::find(picked_.begin(), picked_.end(), index.row()) == picked_.end()) {
            picked_.push_back(index.row());
        }
    }
    // Of a range picked with Shift, the row clicked last stays picked.
    const int current = runsTable_->currentRow();
    if (const auto at = std::find(picked_.begin(), picked_.end(), current); at != picked_.end()) {
        picked_.erase(at);
        picked_.push_back(current);
    }
    while (picked_.size() > 2) {
        const int row = picked_.front();
        picked_.pop_front();
        runsTable_->selectionModel()->select(
            runsTable_->model()->index(row, 0),
            QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    UpdateButtons();
}

std::vector<int> RunHistoryDialog::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : runsTable_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool RunHistoryDialog::PairToCompare(int& olderRow, int& newerRow) const {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() == 2) {
        const bool firstIsOlder = runs_[static_cast<std::size_t>(rows[0])].id <
                                  runs_[static_cast<std::size_t>(rows[1])].id;
        olderRow = firstIsOlder ? rows[0] : rows[1];
        newerRow = firstIsOlder ? rows[1] : rows[0];
        return true;
    }
    // One run is compared with the one stored before it, listed below it.
    if (rows.size() == 1 && rows[0] + 1 < static_cast<int>(runs_.size())) {
        newerRow = rows[0];
        olderRow = rows[0] + 1;
        return true;
    }
    return false;
}

void RunHistoryDialog::UpdateButtons() {
    int older = 0;
    int newer = 0;
    showChanges_->setEnabled(PairToCompare(older, newer));
    openRun_->setEnabled(SelectedRows().size() == 1);
}

void RunHistoryDialog::ShowChanges() {
    int olderRow = 0;
    int newerRow = 0;
    if (!PairToCompare(olderRow, newerRow)) {
        return;
    }
    const HistoryRun& older = runs_[static_cast<std::size_t>(olderRow)];
    const HistoryRun& newer = runs_[static_cast<std::size_t>(newerRow)];
    changesTable_->setRowCount(0);
    // One run selected is compared with the run stored before it, which the
    // caption names, as the user did not pick it.
    const QString between =
        SelectedRows().size() == 1
            ? QStringLiteral("in ") + RunName(newer) +
                  QStringLiteral(" since the run stored before it, ") + RunName(older)
            : QStringLiteral("from ") + RunName(older) + QStringLiteral(" to ") + RunName(newer);
    work_.Run<Result<RunChanges>>(
        [file = historyFile_, olderId = older.id, newerId = newer.id] {
            return CompareRuns(file, olderId, newerId);
        },
        [this, between](Result<RunChanges> compared) { ShowRows(between, compared); });
}

void RunHistoryDialog::ShowRows(const QString& between, const Result<RunChanges>& compared) {
    if (!compared) {
        message_->setText(CannotRead(compared.reason()));
        return;
    }
    const auto rows = compared->Rows();
    if (rows.empty()) {
        message_->setText(QStringLiteral("No changes ") + between + '.');
        return;
    }
    message_->setText(QStringLiteral("Changes ") + between + QStringLiteral(":"));
    changesTable_->setUpdatesEnabled(false);
    changesTable_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < changesTable_->rowCount(); ++row) {
        const auto& cells = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            changesTable_->setItem(row, column,
                                   Cell(ShownText(cells[static_cast<std::size_t>(column)])));
        }
    }
    changesTable_->setUpdatesEnabled(true);
}

bool RunHistoryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != changesTable_->viewport() || event->type() != QEvent::ToolTip) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTableWidgetItem* item = changesTable_->itemAt(help->pos());
    // The room a cell's text has is its column's width less the style's
    // margins on either side, which a little slack stands for.
    constexpr int kMargins = 8;
    if (item == nullptr || QFontMetrics(changesTable_->font()).horizontalAdvance(item->text()) <=
                               changesTable_->visualItemRect(item).width() - kMargins) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), item->text(), changesTable_->viewport());
    }
    return true;
}

void RunHistoryDialog::OfferAddress(const QPoint& at) {
    const int row = changesTable_->rowAt(at.y());
    if (row < 0) {
        return;
    }
    changesTable_->selectRow(row);
    const bool address = !WebAddressToOpen(SelectedAddress().toStdString()).isEmpty();
    openPageAction_->setEnabled(address && openPage_);
    copyAddressAction_->setEnabled(address);
    changeMenu_->popup(changesTable_->viewport()->mapToGlobal(at));
}

QString RunHistoryDialog::SelectedAddress() const {
    const QList<QModelIndex> rows = changesTable_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return {};
    }
    const QTableWidgetItem* item = changesTable_->item(rows.constFirst().row(), 0);
    return item != nullptr ? item->text() : QString();
}

void RunHistoryDialog::OpenRun() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1) {
        return;
    }
    chosenRunId_ = runs_[static_cast<std::size_t>(rows[0])].id;
    accept();
}

}  // namespace veltrap
