#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace veltrap {

class ServicesPage;

// "Settings": the two run limits, each in an edit that takes digits only.
// The numbers are read when OK is pressed; an empty edit gives 0 and a number
// beyond 32 bits gives the largest 32-bit value. Below them stands the service
// configuration file in use. A second page, "Services", may be added beside
// them; OK then also writes what was changed there, and stays open with the
// reason when the configuration would refuse it.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(std::int32_t maxBacklinkPages, std::int32_t maxRankingPages,
                   const QString& configFile, QWidget* parent = nullptr);

    // The values as of the last OK; the opening values until then.
    std::int32_t MaxBacklinkPages() const { return maxBacklinkPages_; }
    std::int32_t MaxRankingPages() const { return maxRankingPages_; }

    QLineEdit* BacklinkPagesEdit() const { return backlinkEdit_; }
    QLineEdit* RankingPagesEdit() const { return rankingEdit_; }
    QLabel* ConfigFileLabel() const { return configLabel_; }

    enum class Page { kLimits, kServices };
    // Adds the Services page, which the dialog then owns.
    void AddServicesPage(ServicesPage* page);
    void ShowPage(Page page);
    ServicesPage* Services() const { return services_; }

    void accept() override;

private:
    std::int32_t maxBacklinkPages_;
    std::int32_t maxRankingPages_;
    QLineEdit* backlinkEdit_;
    QLineEdit* rankingEdit_;
    QLabel* configLabel_;
    QTabWidget* pages_;
    ServicesPage* services_ = nullptr;
};

}  // namespace veltrap
