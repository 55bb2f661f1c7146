#pragma once

#include "app/ReportDisplay.h"
#include "app/UserPrompts.h"
#include "engine/RunResult.h"
#include "report/LinkChanges.h"
#include "report/PaneResult.h"

#include <QObject>
#include <QPoint>

#include <string>

class QAction;
class QMenu;
class QScrollBar;
class QTabBar;

namespace veltrap {

class ClientArea;

// What the grid shows and how it answers the user: the pane of the selected
// tab, filled from the report on screen; sorting by a header; selecting,
// moving through and copying rows; scrolling; and the detail views, which
// live in a temporary tab after the permanent ones until another tab is
// chosen. It holds no run: the window tells it which report is on screen.
class GridController : public QObject {
    Q_OBJECT

public:
    // The permanent tabs; a detail view may add one more.
    static constexpr int kOverviewTab = 0;
    static constexpr int kKeyphraseTab = 1;
    static constexpr int kPageTab = 2;
    static constexpr int kLinkStatusTab = 3;
    static constexpr int kDetailTab = 4;

    // The menu a right-click on a data row opens gets its entries here: two
    // for every tab, and two more that disavow a Link Status row's page.
    GridController(ReportDisplay& display, ClientArea* client, QTabBar* tabs, QScrollBar* scrollBar,
                   QMenu* rowMenu, UserPrompts& prompts, QObject* parent = nullptr);

    // The run the panes are filled from, and what changed since the run
    // before it; null for none. What is pointed to must stay until the next
    // call.
    void SetReport(const RunResult* result, const LinkChanges* changes);
    // The same run with other disavowed marks, and the changes as they read
    // with them: the Link Status rows on screen take the new marks and
    // changes where they stand, without moving. A page only the run before
    // listed that is no longer a change leaves the pane, which is filled
    // again.
    void ReplaceResult(const RunResult* result, const LinkChanges* changes);

    // Refills the pane of the selected permanent tab from the report on screen.
    void FillSelectedPane();
    // Removes the temporary detail tab, if there is one.
    void RemoveDetailTab();
    // Places the scroll bar for the rows that fit now, after a resize.
    void FitScrollBar();

    QAction* OpenPageAction() const { return openPageAction_; }
    QAction* CopyAddressAction() const { return copyAddressAction_; }
    QAction* DisavowPageAction() const { return disavowPageAction_; }
    QAction* DisavowDomainAction() const { return disavowDomainAction_; }
    // The address in the first cell of the selected row; "" for none.
    std::string SelectedAddress() const;

public slots:
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
    // scrolling as far as needed to keep it in view; Enter acts on the
    // selected row as a double-click on it does.
    void OnGridKey(int key);
    // Puts the selected row on the clipboard, its cells apart by tabs.
    void OnCopyRow();
    // A right-click on a data row selects it and offers to open or copy the
    // address in its first cell.
    void OnGridContextMenu(QPoint at, QPoint global);

private:
    // The steps that end every pane refill: scroll bar, selection, hint, repaint.
    void ApplyPaneResult(const PaneResult& result);
    void ShowDetailView(const PaneResult& result);
    // What a double-click on visible data row screenRow (1 for the first)
    // does on the tab shown: opens its page or shows its detail view.
    void ActOnScreenRow(int screenRow);
    // What a click on a header does: sorts by its column and shows the first
    // rows. The Overview's header is left alone.
    void SortByHeader(int column);
    // Hands a cell's text to the browser if it is a web address.
    void OpenPage(const std::string& text);
    // The list row of the selection, or -1 when no existing row is selected.
    int SelectedListRow() const;

    ReportDisplay& display_;
    ClientArea* client_;
    QTabBar* tabs_;
    QScrollBar* scrollBar_;
    QMenu* rowMenu_;
    UserPrompts& prompts_;
    QAction* openPageAction_;
    QAction* copyAddressAction_;
    QAction* disavowPageAction_;
    QAction* disavowDomainAction_;
    const RunResult* result_ = nullptr;
    const LinkChanges* changes_ = nullptr;
};

}  // namespace veltrap
