#include "app/RunHistoryDialog.h"

#include "history/HistoryStore.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <iterator>

namespace veltrap::testing {
namespace {

void Keep(RunResult& run, const std::string& url, const std::string& linkStatus) {
    run.records.Append(url);
    BacklinkRecord& record = *std::prev(run.records.end());
    record.href = "http://mysite.test/";
    record.anchorText = "my site";
    record.rel = linkStatus == "follow" ? "" : linkStatus;
    record.linkStatus = linkStatus;
}

std::int64_t StoreRun(HistoryStore& store, const RunResult& result, bool cancelled,
                      const std::string& startedAt) {
    HistoryRun run;
    run.siteKey = "mysite.test";
    run.startedAt = startedAt;
    run.endedAt = startedAt;
    run.cancelled = cancelled;
    run.listSource = cancelled ? "siteexplorer" : "import of 2 files";
    const Result<std::int64_t> stored = store.Store(run, result);
    EXPECT_TRUE(stored.ok()) << stored.reason();
    return stored ? stored.value() : 0;
}

QStringList RowTexts(const QTableWidget* table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        texts << table->item(row, column)->text();
    }
    return texts;
}

void ClickRow(QTableWidget* table, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                      table->visualItemRect(table->item(row, 1)).center());
}

// The dialog reads the history off the window's thread; this serves the
// events until what it read is shown.
void AwaitReading(const RunHistoryDialog& dialog) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Reading(); }));
}

TEST(RunHistoryDialogTest, ListsTheRunsShowsTheirChangesAndOpensOne) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    std::int64_t olderId = 0;
    std::int64_t newerId = 0;
    {
        HistoryStore store;
        ASSERT_TRUE(store.Open(file).ok());
        RunResult older;
        Keep(older, "http://same.example/", "follow");
        Keep(older, "http://lost.example/", "follow");
        Keep(older, "http://turned.example/", "follow");
        RunResult newer;
        Keep(newer, "http://same.example/", "follow");
        Keep(newer, "http://turned.example/", "nofollow");
        Keep(newer, "http://fresh.example/", "follow");
        newer.unlinked = {{"http://lost.example/", "gone", 404, 1}};
        olderId = StoreRun(store, older, true, "2026-12-08T10:00:00Z");
        newerId = StoreRun(store, newer, false, "2026-12-09T11:30:05Z");
    }

    RunHistoryDialog dialog(file, "mysite.test");
    dialog.show();
    ASSERT_NO_FATAL_FAILURE(AwaitReading(dialog));
    EXPECT_EQ(dialog.windowTitle(), "Run History");
    QTableWidget* runs = dialog.RunsTable();
    ASSERT_EQ(runs->rowCount(), 2);
    EXPECT_EQ(RowTexts(runs, 0),
              QStringList({QString::number(newerId), "2026-12-09 11:30 UTC", "2026-12-09 11:30 UTC",
                           "Completed", "3", "1", "import of 2 files"}));
    EXPECT_EQ(RowTexts(runs, 1).mid(3), QStringList({"Cancelled", "3", "0", "siteexplorer"}));
    EXPECT_FALSE(dialog.ShowChangesButton()->isEnabled());
    EXPECT_FALSE(dialog.OpenRunButton()->isEnabled());

    ClickRow(runs, 1);
    ClickRow(runs, 0, Qt::ControlModifier);
    EXPECT_FALSE(dialog.OpenRunButton()->isEnabled());
    QTest::mouseClick(dialog.ShowChangesButton(), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(AwaitReading(dialog));
    EXPECT_EQ(dialog.MessageLabel()->text(),
              QStringLiteral("Changes from run %1 to run %2:").arg(olderId).arg(newerId));
    QTableWidget* changes = dialog.ChangesTable();
    ASSERT_EQ(changes->rowCount(), 4);
    EXPECT_EQ(RowTexts(changes, 0), QStringList({"http://turned.example/", "Changed", "linkStatus",
                                                 "follow", "nofollow"}));
    EXPECT_EQ(RowTexts(changes, 1).mid(0, 3),
              QStringList({"http://turned.example/", "Changed", "rel"}));
    EXPECT_EQ(RowTexts(changes, 2).mid(0, 2), QStringList({"http://fresh.example/", "New"}));
    EXPECT_EQ(RowTexts(changes, 3),
              QStringList({"http://lost.example/", "Lost", "linkStatus", "follow", "gone"}));
    EXPECT_TRUE(
        dialog.grab().save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/run-history.png"), "PNG"));

    // The oldest run alone has nothing before it to be compared with.
    ClickRow(runs, 0, Qt::ControlModifier);
    EXPECT_FALSE(dialog.ShowChangesButton()->isEnabled());
    EXPECT_TRUE(dialog.OpenRunButton()->isEnabled());
    QTest::mouseClick(dialog.OpenRunButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenRunId(), olderId);
}

// One run selected is compared with the run before it, and the caption says
// so; a cut-off address shows whole under the mouse, and a right-click
// offers to open or copy it.
TEST(RunHistoryDialogTest, OneRunsChangesAreNamedAndTheirAddressesOpenedOrCopied) {
    TempDir dir;
    const auto file = dir.Path() / "history.sqlite";
    const std::string longUrl = "http://a-rather-long-host-name.example/" + std::string(90, 'p');
    std::int64_t olderId = 0;
    std::int64_t newerId = 0;
    {
        HistoryStore store;
        ASSERT_TRUE(store.Open(file).ok());
        RunResult older;
        Keep(older, "http://same.example/", "follow");
        RunResult newer = older;
        Keep(newer, longUrl, "follow");
        olderId = StoreRun(store, older, false, "2026-12-08T10:00:00Z");
        newerId = StoreRun(store, newer, false, "2026-12-09T11:30:05Z");
    }
    std::vector<QUrl> opened;
    RunHistoryDialog dialog(file, "mysite.test", nullptr, [&opened](const QUrl& page) {
        opened.push_back(page);
        return true;
    });
    dialog.show();
    ASSERT_NO_FATAL_FAILURE(AwaitReading(dialog));
    ClickRow(dialog.RunsTable(), 0);
    QTest::mouseClick(dialog.ShowChangesButton(), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(AwaitReading(dialog));
    EXPECT_EQ(dialog.MessageLabel()->text(),
              QStringLiteral("Changes in run %1 since the run stored before it, run %2:")
                  .arg(newerId)
                  .arg(olderId));
    QTableWidget* changes = dialog.ChangesTable();
    ASSERT_EQ(changes->rowCount(), 1);
    ASSERT_EQ(changes->item(0, 0)->text().toStdString(), longUrl);

    const QPoint address = changes->visualItemRect(changes->item(0, 0)).center();
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, address, changes->viewport()->mapToGlobal(address));
    QApplication::sendEvent(changes->viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), longUrl);
    const QPoint kind = changes->visualItemRect(changes->item(0, 1)).center();
    QHelpEvent fits(QEvent::ToolTip, kind, changes->viewport()->mapToGlobal(kind));
    QApplication::sendEvent(changes->viewport(), &fits);
    QTRY_VERIFY(!QToolTip::isVisible());

    QContextMenuEvent menu(QContextMenuEvent::Mouse, address,
                           changes->viewport()->mapToGlobal(address));
    QApplication::sendEvent(changes->viewport(), &menu);
    ASSERT_TRUE(dialog.ChangeMenu()->isVisible());
    dialog.OpenPageAction()->trigger();
    dialog.CopyAddressAction()->trigger();
    dialog.ChangeMenu()->close();
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(QString::fromStdString(longUrl))});
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), longUrl);
}

TEST(RunHistoryDialogTest, TellsAMissingOrDamagedHistoryInsideTheDialog) {
    TempDir dir;
    const auto missing = dir.Path() / "none.sqlite";
    const RunHistoryDialog empty(missing, "mysite.test");
    ASSERT_NO_FATAL_FAILURE(AwaitReading(empty));
    EXPECT_EQ(empty.MessageLabel()->text(), "No runs stored yet for mysite.test.");
    EXPECT_FALSE(std::filesystem::exists(missing));

    const auto corrupt = dir.Path() / "corrupt.sqlite";
    WriteFileBytes(corrupt, std::string(4096, 'x'));
    const RunHistoryDialog damaged(corrupt, "mysite.test");
    ASSERT_NO_FATAL_FAILURE(AwaitReading(damaged));
    EXPECT_TRUE(damaged.MessageLabel()->text().contains(
        QString::fromStdString(corrupt.string() + " is damaged or is not a database")))
        << damaged.MessageLabel()->text().toStdString();
    EXPECT_EQ(damaged.RunsTable()->rowCount(), 0);
    EXPECT_FALSE(damaged.ShowChangesButton()->isEnabled());
}

}  // namespace
}  // namespace veltrap::testing
