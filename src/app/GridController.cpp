#include "app/GridController.h"

#include "app/ClientArea.h"
#include "app/ShownText.h"
#include "app/WebAddressToOpen.h"
#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"

#include <QAbstractSlider>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>
#include <QTabBar>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <map>

namespace veltrap {
namespace {

// On the Overview the first three rows on screen are never opened, whatever
// they hold; on a fresh Overview they are the totals and a blank line.
constexpr int kFirstOpenableScreenRow = 4;

}  // namespace

GridController::GridController(ReportDisplay& display, ClientArea* client, QTabBar* tabs,
                               QScrollBar* scrollBar, QMenu* rowMenu, UserPrompts& prompts,
                               QObject* parent)
    : QObject(parent),
      display_(display),
      client_(client),
      tabs_(tabs),
      scrollBar_(scrollBar),
      rowMenu_(rowMenu),
      prompts_(prompts),
      openPageAction_(rowMenu->addAction(QStringLiteral("Open Page"))),
      copyAddressAction_(rowMenu->addAction(QStringLiteral("Copy Address"))),
      disavowPageAction_(new QAction(QStringLiteral("Disavow Page"), rowMenu)),
      disavowDomainAction_(new QAction(QStringLiteral("Disavow Domain"), rowMenu)) {
    rowMenu->addSeparator();
    rowMenu->addAction(disavowPageAction_);
    rowMenu->addAction(disavowDomainAction_);
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
    connect(scrollBar_, &QAbstractSlider::actionTriggered, this, &GridController::OnScrollAction);
    connect(client_, &ClientArea::leftPressed, this, &GridController::OnGridPressed);
    connect(client_, &ClientArea::leftDoubleClicked, this, &GridController::OnGridDoubleClicked);
    connect(client_, &ClientArea::wheelRowsTurned, this, &GridController::OnWheelRows);
    connect(tabs_, &QTabBar::currentChanged, this, &GridController::OnTabChosen);
    connect(client_, &ClientArea::gridKeyPressed, this, &GridController::OnGridKey);
    connect(client_, &ClientArea::contextMenuAsked, this, &GridController::OnGridContextMenu);
}

void GridController::SetReport(const RunResult* result, const LinkChanges* changes) {
    result_ = result;
    changes_ = changes;
}

void GridController::ReplaceResult(const RunResult* result, const LinkChanges* changes) {
    result_ = result;
    changes_ = changes;
    if (result_ == nullptr || !display_.rowsSelectable || tabs_->currentIndex() != kLinkStatusTab) {
        return;
    }
    std::map<std::string, std::string, std::less<>> cells;
    for (const BacklinkRecord& record : result_->records) {
        cells.emplace(record.url, LinkStatusCell(record.linkStatus, record.disavowed));
    }
    for (const UnlinkedRecord& record : result_->unlinked) {
        cells.emplace(record.url, LinkStatusCell(record.linkStatus, record.disavowed));
    }
    // The rows may have been sorted since the pane was filled, so each is
    // found by its page; the pages only the run before listed hold no record.
    ReportGrid& grid = display_.grid;
    for (int row = 0; row < grid.RowCount(); ++row) {
        const std::string& url = grid.Cell(row, 0);
        const auto found = cells.find(url);
        if (found == cells.end()) {
            if (changes_ == nullptr ||
                std::ranges::find(changes_->unseen, url) == changes_->unseen.end()) {
                FillSelectedPane();
                return;
            }
            continue;
        }
        grid.SetCell(row, kLinkStatusColumn, found->second);
        if (changes_ != nullptr) {
            const auto change = changes_->byUrl.find(url);
            grid.SetCell(row, kLinkChangeColumn,
                         change == changes_->byUrl.end() ? std::string() : change->second);
        }
    }
    client_->update();
}

std::string GridController::SelectedAddress() const {
    const int row = SelectedListRow();
    return row >= 0 ? display_.grid.Cell(row, 0) : std::string();
}

void GridController::FitScrollBar() {
    // A pane on screen scrolls by the same rule as when it was filled, now
    // that a different number of its rows fits.
    if (display_.rowsSelectable) {
        const ReportGrid& grid = display_.grid;
        scrollBar_->setEnabled(grid.MaxScroll() >= 1);
        scrollBar_->setRange(0, grid.MaxScroll());
        scrollBar_->setPageStep(grid.VisibleRows());
        scrollBar_->setValue(grid.FirstRow());
    }
}

void GridController::FillSelectedPane() {
    if (result_ == nullptr) {
        return;
    }
    const BacklinkList& list = result_->records;
    switch (tabs_->currentIndex()) {
        case kOverviewTab:
            ApplyPaneResult(FillOverviewPane(display_.grid, list, display_.reportReady));
            break;
        case kKeyphraseTab:
            ApplyPaneResult(FillKeyphrasePane(display_.grid, list, display_.reportReady,
                                              result_->lookupServices));
            break;
        case kPageTab:
            ApplyPaneResult(FillPagePane(display_.grid, list, display_.reportReady));
            break;
        case kLinkStatusTab:
            ApplyPaneResult(FillLinkStatusPane(display_.grid, list, result_->unlinked,
                                               display_.reportReady, changes_,
                                               result_->lookupServices));
            break;
        default:
            break;
    }
}

void GridController::ApplyPaneResult(const PaneResult& result) {
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

void GridController::RemoveDetailTab() {
    if (tabs_->count() > kDetailTab) {
        // Removing the tab is not the user choosing another one: no pane is
        // refilled for it.
        const QSignalBlocker quiet(tabs_);
        tabs_->removeTab(kDetailTab);
    }
}

void GridController::OnTabChosen(int index) {
    // Selecting the detail tab is the window's own doing when it shows a
    // detail view, never a choice of the user's: the view just filled stays.
    if (index < kOverviewTab || index >= kDetailTab) {
        return;
    }
    RemoveDetailTab();
    FillSelectedPane();
}

void GridController::SortByHeader(int column) {
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

void GridController::OnGridPressed(QPoint at) {
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

void GridController::OnGridDoubleClicked(QPoint at) {
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
    ActOnScreenRow(hit.row);
}

void GridController::ActOnScreenRow(int screenRow) {
    const int tab = tabs_->currentIndex();
    const ReportGrid& grid = display_.grid;
    const int row = grid.FirstRow() + screenRow - 1;
    if (!display_.rowsSelectable || row >= grid.RowCount()) {
        return;
    }
    // A copy: showing a detail view refills the grid the cell lives in.
    const std::string subject = grid.Cell(row, 0);
    const BacklinkList* list =
        display_.reportReady && result_ != nullptr ? &result_->records : nullptr;
    switch (tab) {
        case kOverviewTab:
            if (screenRow >= kFirstOpenableScreenRow) {
                OpenPage(subject);
            }
            break;
        // The detail views list linking pages, and their hint says a
        // double-click visits one.
        case kLinkStatusTab:
        case kDetailTab:
            OpenPage(subject);
            break;
        case kKeyphraseTab:
            if (list) {
                ShowDetailView(FillOverviewDetails(display_.grid, *list, display_.reportReady,
                                                   subject, result_->lookupServices));
            }
            break;
        case kPageTab:
            if (list) {
                ShowDetailView(FillPageDetails(display_.grid, *list, display_.reportReady, subject,
                                               result_->lookupServices));
            }
            break;
        default:
            break;
    }
}

void GridController::ShowDetailView(const PaneResult& result) {
    if (!result.filled) {
        return;
    }
    ApplyPaneResult(result);
    RemoveDetailTab();
    tabs_->insertTab(kDetailTab, ShownText(result.tabTitle));
    tabs_->setCurrentIndex(kDetailTab);
}

void GridController::OpenPage(const std::string& text) {
    const QUrl page = WebAddressToOpen(text);
    if (page.isEmpty()) {
        return;
    }
    // A page the desktop fails to open shows nothing, as the user sees no
    // browser either way.
    prompts_.openExternally(page);
}

int GridController::SelectedListRow() const {
    if (!display_.rowsSelectable || display_.selectedRow < 0) {
        return -1;
    }
    const int row = display_.grid.FirstRow() + display_.selectedRow;
    return row < display_.grid.RowCount() ? row : -1;
}

void GridController::OnGridKey(int key) {
    ReportGrid& grid = display_.grid;
    if (!display_.rowsSelectable || grid.RowCount() == 0) {
        return;
    }
    // Enter does to the selected row what a double-click on it does.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (SelectedListRow() >= 0) {
            ActOnScreenRow(display_.selectedRow + 1);
        }
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

void GridController::OnCopyRow() {
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

void GridController::OnGridContextMenu(QPoint at, QPoint global) {
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
    const bool linkStatus = tabs_->currentIndex() == kLinkStatusTab;
    disavowPageAction_->setVisible(linkStatus);
    disavowDomainAction_->setVisible(linkStatus);
    disavowPageAction_->setEnabled(address);
    disavowDomainAction_->setEnabled(address);
    rowMenu_->popup(global);
}

void GridController::OnScrollAction(int action) {
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

void GridController::OnWheelRows(int rows) {
    if (!scrollBar_->isEnabled()) {
        return;
    }
    ReportGrid& grid = display_.grid;
    grid.SetFirstRow(grid.FirstRow() + rows);
    scrollBar_->setValue(grid.FirstRow());
    client_->update();
}

}  // namespace veltrap
