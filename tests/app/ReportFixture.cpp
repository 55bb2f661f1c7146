#include "ReportFixture.h"

#include "app/ClientArea.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

#include <iterator>
#include <utility>

namespace veltrap::testing {

std::vector<BacklinkRecord> ReportFixture::FortyRecords() {
    std::vector<BacklinkRecord> records;
    for (int i = 0; i < 40; ++i) {
        BacklinkRecord record;
        record.url = "http://site" + std::to_string(i) + ".example/page";
        record.href = "http://target.example/p" + std::to_string(i % 3);
        record.anchorText = "phrase " + std::to_string(i);
        record.sitePos[RankColumn::kGoogle] = (i * 7) % 40;
        record.pageRank = i % 10;
        records.push_back(record);
    }
    return records;
}

void ReportFixture::ShowReport(std::vector<BacklinkRecord> records) {
    Open([records = std::move(records)](RunPlan&, const RunContext&) {
        RunResult result;
        for (const BacklinkRecord& record : records) {
            result.records.Append(record.url);
            *std::prev(result.records.end()) = record;
        }
        return result;
    });
    TypeAddress("target.example");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone(5000));
}

QPoint ReportFixture::ScreenRow(int row, int x) {
    return {x, kGridTop + 18 * row + 9};
}

void ReportFixture::Click(QPoint at) {
    QTest::mouseClick(window_->Client(), Qt::LeftButton, {}, at);
}

void ReportFixture::DoubleClick(QPoint at) {
    QTest::mouseDClick(window_->Client(), Qt::LeftButton, {}, at);
}

void ReportFixture::ChooseTab(int index) {
    QTabBar* tabs = window_->Tabs();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

void ReportFixture::Scroll(QAbstractSlider::SliderAction action, int times) {
    for (int i = 0; i < times; ++i) {
        window_->ScrollBar()->triggerAction(action);
    }
}

void ReportFixture::Wheel(int angle) {
    const QPoint at = ScreenRow(3);
    QWheelEvent event(at, window_->Client()->mapToGlobal(at), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window_->Client(), &event);
}

QImage ReportFixture::Picture() const {
    return window_->Client()->grab().toImage();
}

int ReportFixture::FirstRow() const {
    return window_->Display().grid.FirstRow();
}

int ReportFixture::SelectedRow() const {
    return window_->Display().selectedRow;
}

std::string ReportFixture::Cell(int row, int column) const {
    return window_->Display().grid.Cell(row, column);
}

QString ReportFixture::TabTitles() const {
    QStringList titles;
    for (int i = 0; i < window_->Tabs()->count(); ++i) {
        titles << window_->Tabs()->tabText(i);
    }
    return titles.join(QStringLiteral("|"));
}

}  // namespace veltrap::testing
