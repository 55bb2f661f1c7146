#include "app/ServicesPage.h"

#include "app/ShownText.h"
#include "engine/ConfigSecrets.h"
#include "engine/ServiceCatalog.h"
#include "engine/ServiceProbe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace veltrap {
namespace {

using Role = ServiceDescriptor::Role;

constexpr Role kRoles[] = {Role::kBacklinks, Role::kAuthority, Role::kSearch};

QString RoleTitle(Role role) {
    switch (role) {
        case Role::kBacklinks:
            return QStringLiteral("Backlink source");
        case Role::kAuthority:
            return QStringLiteral("Authority");
        case Role::kSearch:
            return QStringLiteral("Search rank");
    }
    return {};
}

// The keys of [http] a person is most likely to need, with their names on the
// page; the rest stay for the file.
struct HttpKey {
    const char* key;
    const char* label;
};
constexpr HttpKey kHttpKeys[] = {{"jobs", "Pages examined at once"},
                                 {"per_host_connections", "Connections per host"},
                                 {"per_host_delay_ms", "Delay per host (ms)"},
                                 {"user_agent", "User agent"},
                                 {"proxy", "Proxy"}};

// A service as people know it; the name the file holds where it has no title.
QString TitleOf(Role role, const std::string& name) {
    const ServiceDescriptor* service = ServiceCatalog::Default().Find(role, name);
    return ShownText(service == nullptr || service->title.empty() ? name : service->title);
}

// Where a key stands in the file, for the people who also edit it by hand.
QString WhereInFile(const std::string& section, const std::string& key) {
    return ShownText("[" + section + "] " + key);
}

std::string ValueOf(const ServiceConfig& config, const std::string& section,
                    const std::string& key) {
    for (const ConfigEntry& entry : config.Entries()) {
        if (entry.section == section && entry.key == key) {
            return entry.value;
        }
    }
    return {};
}

bool IsSecret(const std::string& key) {
    const std::vector<ConfigKey> secrets = ConfigSecrets::Keys();
    return std::any_of(secrets.begin(), secrets.end(),
                       [&key](const ConfigKey& secret) { return secret.key == key; });
}

// Whether the key's environment variable gives its value, over the file's and
// the page's.
bool SetByEnvironment(const ConfigKey& key) {
    const char* value = key.environment.empty() ? nullptr : std::getenv(key.environment.c_str());
    return value != nullptr && *value != '\0';
}

constexpr const char* kInFileAgreement =
    "Keep them in the configuration file, readable only by you";

}  // namespace

ServicesPage::ServicesPage(const ServiceConfig& config, std::string file,
                           const std::string& problem, SecretStore* secrets, QWidget* parent)
    : QWidget(parent), file_(std::move(file)), problem_(new QLabel(this)), secrets_(secrets) {
    const ServiceCatalog& catalog = ServiceCatalog::Default();
    auto* inner = new QWidget;
    auto* column = new QVBoxLayout(inner);

    QStringList inUse;
    for (const Role role : kRoles) {
        inUse << TitleOf(role, config.Chosen(role));
    }
    auto* summary = new QLabel(QStringLiteral("In use: %1. Written to: %2")
                                   .arg(inUse.join(QStringLiteral(", ")), ShownText(file_)),
                               inner);
    summary->setObjectName(QStringLiteral("servicesInUse"));
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(summary);
    AddSecretsNote(config, column, inner);

    for (const Role role : kRoles) {
        auto* box = new QGroupBox(RoleTitle(role), inner);
        auto* form = new QFormLayout(box);
        const ServiceCatalog::Choice choice = ServiceCatalog::ChoiceOf(role);
        // Each service by its title; the file holds its name.
        auto* combo = new QComboBox(box);
        for (const std::string& name : catalog.Names(role)) {
            combo->addItem(TitleOf(role, name), ShownText(name));
        }
        combo->setCurrentIndex(combo->findData(ShownText(config.Chosen(role))));
        combo->setToolTip(WhereInFile(choice.section, choice.key));
        form->addRow(QStringLiteral("Service"), combo);
        edits_.push_back({choice.section, choice.key, config.Chosen(role), nullptr, combo, role});
        for (const ServiceDescriptor& service : catalog.Services()) {
            if (service.role != role) {
                continue;
            }
            std::vector<QWidget*>& fields = keysOf_.emplace_back(role, service.name).fields;
            for (const ConfigKey& key : service.keys) {
                const std::string value = config.settings.Get(key.section, key.key);
                auto* edit = new QLineEdit(ShownText(value), box);
                edit->setToolTip(ShownText(key.meaning) + QStringLiteral("\n") +
                                 WhereInFile(key.section, key.key));
                if (key.kind == ConfigKey::Kind::kSecret) {
                    // A secret is never shown, only replaced.
                    edit->setEchoMode(QLineEdit::Password);
                }
                if (SetByEnvironment(key)) {
                    // What the page wrote would not be used.
                    edit->setReadOnly(true);
                    edit->setToolTip(ShownText("Set by the environment variable " +
                                               key.environment + ", which comes first"));
                }
                form->addRow(ShownText(key.label.empty() ? key.key : key.label), edit);
                edits_.push_back({key.section, key.key, value, edit, nullptr, role});
                fields.push_back(edit);
            }
        }
        auto* test = new QPushButton(QStringLiteral("Test"), box);
        test->setToolTip(QStringLiteral("Sends one request with the values on this page"));
        auto* outcome = new QLabel(box);
        outcome->setWordWrap(true);
        outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // The outcome as the row's field, where the form gives a long one,
        // wrapped, all the lines it needs.
        form->addRow(test, outcome);
        tests_.push_back({role, test, outcome});
        connect(test, &QPushButton::clicked, this,
                [this, at = tests_.size() - 1] { RunTest(tests_[at]); });
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, role, form] { ShowChosenKeys(role, form); });
        ShowChosenKeys(role, form);
        column->addWidget(box);
    }

    auto* http = new QGroupBox(QStringLiteral("Requests"), inner);
    auto* form = new QFormLayout(http);
    for (const auto& [key, label] : kHttpKeys) {
        const std::string value = ValueOf(config, "http", key);
        auto* edit = new QLineEdit(ShownText(value), http);
        edit->setToolTip(WhereInFile("http", key));
        if (std::string_view(key) == "proxy") {
            edit->setPlaceholderText(QStringLiteral("direct; system; http://host:3128"));
            // An address may carry a password.
            edit->setEchoMode(QLineEdit::PasswordEchoOnEdit);
        }
        form->addRow(QString::fromLatin1(label), edit);
        edits_.push_back({"http", key, value, edit, nullptr, Role::kBacklinks});
    }
    column->addWidget(http);
    column->addStretch();

    problem_->setObjectName(QStringLiteral("servicesProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->setText(ShownText(problem));
    problem_->setVisible(!problem.empty());

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(problem_);
    layout->addWidget(scroll);
}

void ServicesPage::AddSecretsNote(const ServiceConfig& config, QVBoxLayout* column,
                                  QWidget* parent) {
    std::string reason = "none was found";
    const std::vector<ConfigKey> keys = ConfigSecrets::Keys();
    if (secrets_ != nullptr && !keys.empty()) {
        const Result<std::string> probe = secrets_->Read(keys.front().key);
        storeReached_ = probe.ok();
        reason = probe.reason();
    }
    secretsNote_ = new QLabel(parent);
    secretsNote_->setObjectName(QStringLiteral("secretsNote"));
    secretsNote_->setWordWrap(true);
    column->addWidget(secretsNote_);
    if (storeReached_) {
        secretsNote_->setText(
            QStringLiteral("API keys and passwords are kept in the desktop keyring."));
        return;
    }
    secretsNote_->setText(
        ShownText("API keys and passwords cannot be kept in the desktop keyring: " + reason + "."));
    secretsInFile_ = new QCheckBox(QString::fromLatin1(kInFileAgreement), parent);
    // A person who already keeps a secret in the file has agreed to it.
    bool fileHoldsOne = false;
    for (const ConfigKey& key : keys) {
        fileHoldsOne = fileHoldsOne || (!SetByEnvironment(key) &&
                                        !config.settings.Get(key.section, key.key).empty());
    }
    secretsInFile_->setChecked(fileHoldsOne);
    column->addWidget(secretsInFile_);
}

void ServicesPage::ShowChosenKeys(Role role, QFormLayout* form) {
    const std::string chosen = Choice(role)->currentData().toString().toStdString();
    for (const ServiceKeys& keys : keysOf_) {
        if (keys.role == role) {
            for (QWidget* field : keys.fields) {
                form->setRowVisible(field, keys.service == chosen);
            }
        }
    }
}

ServicesPage::~ServicesPage() {
    // A test waiting on a slow service ends at once rather than hold up the
    // dialog's closing; the work's own end then joins its thread.
    stop_.Abort();
}

QPushButton* ServicesPage::TestButton(Role role) const {
    for (const Test& test : tests_) {
        if (test.role == role) {
            return test.button;
        }
    }
    return nullptr;
}

QLabel* ServicesPage::TestOutcome(Role role) const {
    for (const Test& test : tests_) {
        if (test.role == role) {
            return test.outcome;
        }
    }
    return nullptr;
}

void ServicesPage::RunTest(const Test& test) {
    // The values on the page, read as the file would give them once written.
    const std::vector<ConfigFileEdit::Change> changes = Changes();
    Result<ServiceConfig> shown = ConfigFileEdit::Preview(file_, changes);
    if (!shown) {
        test.outcome->setText(ShownText(shown.reason()));
        return;
    }
    if (storeReached_) {
        // The secrets the page shows unchanged are the keyring's.
        std::vector<std::string> typed;
        for (const ConfigFileEdit::Change& change : changes) {
            typed.push_back(change.key);
        }
        if (Status filled = ConfigSecrets::Fill(*shown, *secrets_, typed); !filled) {
            test.outcome->setText(ShownText(filled.reason()));
            return;
        }
    }
    test.button->setEnabled(false);
    test.outcome->setText(QStringLiteral("Testing…"));
    QPushButton* button = test.button;
    QLabel* outcome = test.outcome;
    work_.Run<Result<std::string>>(
        [config = std::move(shown).value(), role = test.role, site = testSite_, this] {
            return ServiceProbe::Test(config, role, site, stop_);
        },
        [button, outcome](Result<std::string> told) {
            button->setEnabled(true);
            outcome->setText(ShownText(told ? *told : told.reason()));
        });
}

QLineEdit* ServicesPage::Field(const std::string& section, const std::string& key) const {
    for (const Edit& edit : edits_) {
        if (edit.section == section && edit.key == key && edit.edit != nullptr) {
            return edit.edit;
        }
    }
    return nullptr;
}

QComboBox* ServicesPage::Choice(Role role) const {
    for (const Edit& edit : edits_) {
        if (edit.choice != nullptr && edit.role == role) {
            return edit.choice;
        }
    }
    return nullptr;
}

void ServicesPage::Choose(Role role, const std::string& name) {
    QComboBox* combo = Choice(role);
    combo->setCurrentIndex(combo->findData(ShownText(name)));
}

std::vector<ConfigFileEdit::Change> ServicesPage::Changes() const {
    std::vector<ConfigFileEdit::Change> changes;
    for (const Edit& edit : edits_) {
        const QString text =
            edit.choice != nullptr ? edit.choice->currentData().toString() : edit.edit->text();
        const std::string value = text.toStdString();
        if (value != edit.shown) {
            changes.push_back({edit.section, edit.key, value});
        }
    }
    return changes;
}

Status ServicesPage::Save() {
    const std::vector<ConfigFileEdit::Change> changes = Changes();
    if (changes.empty()) {
        return {};
    }
    Status written = Keep(changes);
    problem_->setText(written ? QString() : ShownText(written.reason()));
    problem_->setVisible(!written);
    return written;
}

Status ServicesPage::Keep(std::vector<ConfigFileEdit::Change> changes) const {
    std::vector<ConfigFileEdit::Change> secrets;
    std::vector<ConfigFileEdit::Change> others;
    for (ConfigFileEdit::Change& change : changes) {
        (IsSecret(change.key) ? secrets : others).push_back(std::move(change));
    }
    if (!secrets.empty() && !storeReached_) {
        if (secretsInFile_ == nullptr || !secretsInFile_->isChecked()) {
            return Failure{"No desktop keyring can keep " + secrets.front().key + ": tick \"" +
                               kInFileAgreement + "\" to keep it in " + file_,
                           true};
        }
        others.insert(others.end(), secrets.begin(), secrets.end());
        secrets.clear();
    }
    if (secrets.empty()) {
        return ConfigFileEdit::Write(file_, others);
    }
    // The file comes before the keyring, so a secret it still held would hide
    // the new one: it is emptied there. Checked before the keyring is
    // touched, so that a refused value writes nothing.
    const Result<ServiceConfig> edited = ConfigFileEdit::Preview(file_, others);
    if (!edited) {
        return edited.failure();
    }
    for (const ConfigFileEdit::Change& secret : secrets) {
        if (!edited->settings.Get(secret.section, secret.key).empty()) {
            others.push_back({secret.section, secret.key, ""});
        }
    }
    // The keyring first: should the file then fail, the old secret in it
    // still applies and nothing is lost.
    for (const ConfigFileEdit::Change& secret : secrets) {
        if (Status kept = secrets_->Write(secret.key, secret.value); !kept) {
            return kept;
        }
    }
    return others.empty() ? Status() : ConfigFileEdit::Write(file_, others);
}

}  // namespace veltrap
