#pragma once

#include "base/Result.h"
#include "engine/ConfigFileEdit.h"
#include "engine/ServiceConfig.h"

#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QComboBox;

namespace veltrap {

// "Services": which service fills each role, the keys those services own and
// how requests reach the web, laid out from the services' own descriptions.
// It shows the configuration in force and writes only what a person changed,
// into the configuration file in use.
class ServicesPage : public QWidget {
    Q_OBJECT

public:
    // problem is why the configuration in force could not be used, or "".
    ServicesPage(const ServiceConfig& config, std::string file, const std::string& problem,
                 QWidget* parent = nullptr);

    // The edit of a key, or null for a key the page does not show.
    QLineEdit* Field(const std::string& section, const std::string& key) const;
    // The choice of a role's service.
    QComboBox* Choice(ServiceDescriptor::Role role) const;
    QLabel* ProblemLabel() const { return problem_; }

    // The keys whose values differ from those the page opened with.
    std::vector<ConfigFileEdit::Change> Changes() const;
    // Writes the changes into the file; a refusal is shown on the page and
    // nothing is written.
    Status Save();

private:
    struct Edit {
        std::string section;
        std::string key;
        std::string shown;
        QLineEdit* edit = nullptr;
        QComboBox* choice = nullptr;
        ServiceDescriptor::Role role = ServiceDescriptor::Role::kBacklinks;
    };

    std::string file_;
    std::vector<Edit> edits_;
    QLabel* problem_;
};

}  // namespace veltrap
