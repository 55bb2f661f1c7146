#include "app/SettingsDialog.h"

#include "app/ServicesPage.h"
#include "base/LeadingInteger.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace veltrap {
namespace {

QLineEdit* MakeDigitsEdit(std::int32_t value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(90);
    return edit;
}

std::int32_t NumberIn(const QLineEdit* edit) {
    return LeadingInteger32(edit->text().toStdString());
}

}  // namespace

SettingsDialog::SettingsDialog(std::int32_t maxBacklinkPages, std::int32_t maxRankingPages,
                               const QString& configFile, QWidget* parent)
    : QDialog(parent),
      maxBacklinkPages_(maxBacklinkPages),
      maxRankingPages_(maxRankingPages),
      backlinkEdit_(MakeDigitsEdit(maxBacklinkPages, this)),
      rankingEdit_(MakeDigitsEdit(maxRankingPages, this)),
      configLabel_(new QLabel(QStringLiteral("Service configuration: ") + configFile, this)),
      pages_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Settings"));
    backlinkEdit_->setObjectName(QStringLiteral("backlinkPagesEdit"));
    rankingEdit_->setObjectName(QStringLiteral("rankingPagesEdit"));
    configLabel_->setObjectName(QStringLiteral("configFileLabel"));
    configLabel_->setWordWrap(true);
    // The path may be copied to open the file in an editor.
    configLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* explanation = new QLabel(
        QStringLiteral("Higher thresholds will increase the time that it takes to generate a "
                       "report, but the report will be a more comprehensive analysis of the "
                       "site."),
        this);
    explanation->setWordWrap(true);

    auto* fields = new QGridLayout;
    fields->addWidget(
        new QLabel(QStringLiteral("Maximum pages of backlinks to record (50 backlinks per page)"),
                   this),
        0, 0);
    fields->addWidget(backlinkEdit_, 0, 1);
    fields->addWidget(
        new QLabel(QStringLiteral("Maximum pages to search for rankings in the search engines"),
                   this),
        1, 0);
    fields->addWidget(rankingEdit_, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    auto* limits = new QWidget(pages_);
    auto* limitsLayout = new QVBoxLayout(limits);
    limitsLayout->addWidget(explanation);
    limitsLayout->addLayout(fields);
    limitsLayout->addWidget(configLabel_);
    limitsLayout->addStretch();
    pages_->addTab(limits, QStringLiteral("Limits"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
}

void SettingsDialog::AddServicesPage(ServicesPage* page) {
    services_ = page;
    pages_->addTab(page, QStringLiteral("Services"));
    resize(560, 640);
}

void SettingsDialog::ShowPage(Page page) {
    if (page == Page::kServices && services_ != nullptr) {
        pages_->setCurrentWidget(services_);
    } else {
        pages_->setCurrentIndex(0);
    }
}

void SettingsDialog::accept() {
    if (services_ != nullptr && !services_->Save()) {
        ShowPage(Page::kServices);
        return;
    }
    maxBacklinkPages_ = NumberIn(backlinkEdit_);
    maxRankingPages_ = NumberIn(rankingEdit_);
    QDialog::accept();
}

}  // namespace veltrap
