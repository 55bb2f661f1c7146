#pragma once

#include "app/BackgroundWork.h"
#include "base/Result.h"
#include "base/RunStop.h"
#include "engine/ConfigFileEdit.h"
#include "engine/SecretStore.h"
#include "engine/ServiceConfig.h"

#include <QWidget>

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QComboBox;
class QFormLayout;
class QPushButton;
class QVBoxLayout;

namespace veltrap {

// "Services": which service fills each role, the keys those services own and
// how requests reach the web, laid out from the services' own descriptions.
// It shows the configuration in force and writes only what a person changed:
// secrets into the secret store (the desktop's keyring), everything else into
// the configuration file in use. Without a store that can be reached, a
// secret goes into the file only when the person agrees to it.
class ServicesPage : public QWidget {
    Q_OBJECT

public:
    // problem is why the configuration in force could not be used, or "".
    // secrets, when not null, outlives the page.
    ServicesPage(const ServiceConfig& config, std::string file, const std::string& problem,
                 SecretStore* secrets, QWidget* parent = nullptr);
    // Ends a test still waiting for its answer, and waits for its thread.
    ~ServicesPage() override;

    // The edit of a key, or null for a key the page does not show.
    QLineEdit* Field(const std::string& section, const std::string& key) const;
    // The choice of a role's service: each item shows the service's title and
    // holds its name as its data.
    QComboBox* Choice(ServiceDescriptor::Role role) const;
    // Chooses the role's service by its name.
    void Choose(ServiceDescriptor::Role role, const std::string& name);
    QLabel* ProblemLabel() const { return problem_; }
    // Where the page says where secrets are kept.
    QLabel* SecretsNote() const { return secretsNote_; }
    // The agreement to keep secrets in the file, shown only when no secret
    // store can be reached.
    QCheckBox* SecretsInFile() const { return secretsInFile_; }
    // The button that tests the role's chosen service with the values on the
    // page, and where its outcome is told.
    QPushButton* TestButton(ServiceDescriptor::Role role) const;
    QLabel* TestOutcome(ServiceDescriptor::Role role) const;
    // The site the tests ask the services about.
    void SetTestSite(std::string site) { testSite_ = std::move(site); }

    // The keys whose values differ from those the page opened with.
    std::vector<ConfigFileEdit::Change> Changes() const;
    // Writes the changes into the secret store and the file; a refusal is
    // shown on the page and nothing is written.
    Status Save();

private:
    struct Test {
        ServiceDescriptor::Role role;
        QPushButton* button;
        QLabel* outcome;
    };

    void RunTest(const Test& test);
    // Shows the keys of the role's chosen service only.
    void ShowChosenKeys(ServiceDescriptor::Role role, QFormLayout* form);
    void AddSecretsNote(const ServiceConfig& config, QVBoxLayout* column, QWidget* parent);
    // Keeps the changes where each belongs; nothing is written when one is refused.
    Status Keep(std::vector<ConfigFileEdit::Change> changes) const;

    struct Edit {
        std::string section;
        std::string key;
        std::string shown;
        QLineEdit* edit = nullptr;
        QComboBox* choice = nullptr;
        ServiceDescriptor::Role role = ServiceDescriptor::Role::kBacklinks;
    };

    // The fields of each service's keys.
    struct ServiceKeys {
        ServiceKeys(ServiceDescriptor::Role role, std::string service)
            : role(role), service(std::move(service)) {}
        ServiceDescriptor::Role role;
        std::string service;
        std::vector<QWidget*> fields;
    };

    std::string file_;
    std::vector<Edit> edits_;
    std::vector<ServiceKeys> keysOf_;
    QLabel* problem_;
    SecretStore* secrets_;
    // Whether the secret store answered when the page opened.
    bool storeReached_ = false;
    QLabel* secretsNote_ = nullptr;
    QCheckBox* secretsInFile_ = nullptr;
    std::vector<Test> tests_;
    std::string testSite_ = "example.com";
    // Declared before the work, so that it outlives the tests' threads.
    RunStop stop_;
    BackgroundWork work_{this};
};

}  // namespace veltrap
