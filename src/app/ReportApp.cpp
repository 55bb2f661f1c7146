#include "app/ReportApp.h"

#include "app/AppIcon.h"
#include "app/KeyringSecretStore.h"
#include "app/LaunchOptions.h"
#include "app/MainDialog.h"
#include "app/UserPrompts.h"
#include "base/Version.h"
#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/ConfigLocation.h"
#include "engine/ConfigSecrets.h"
#include "net/CurlGlobal.h"
#include "store/SettingsStore.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace veltrap {
namespace {

constexpr int kUsageError = 2;

// A problem that stops the program before the window opens: on the terminal
// for scripts, and in a message box for whoever started it from a desktop.
// Without a screen nobody could answer the box, so there is none.
int Refuse(const std::string& message, int exitCode) {
    std::fprintf(stderr, "veltrap: %s\n", message.c_str());
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) {
        QMessageBox::critical(nullptr, QStringLiteral("Veltrap"), QString::fromStdString(message));
    }
    return exitCode;
}

bool HasArgument(int argc, char** argv, std::string_view shortName, std::string_view longName) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == shortName || argv[i] == longName) {
            return true;
        }
    }
    return false;
}

void NameTheApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrap"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
}

}  // namespace

int ReportApp::Run(int argc, char** argv) {
    // --version and --help answer without a screen, as on a server or in a
    // build that writes the manual page, where the window's application could
    // not start at all. A line that is wrong otherwise, or that holds Qt's own
    // options, is left to the window's application, which tells or takes it.
    if (HasArgument(argc, argv, "-v", "--version") || HasArgument(argc, argv, "-h", "--help")) {
        const QCoreApplication early(argc, argv);
        NameTheApplication();
        const Result<LaunchOptions> launch = LaunchOptions::Parse(QCoreApplication::arguments());
        if (launch && launch->showVersion) {
            std::printf("%s\n", VersionLine("veltrap").c_str());
            return 0;
        }
    }

    // Set up before any thread of ours starts, and kept until the window and
    // its sessions are gone.
    const CurlGlobal network;
    QApplication app(argc, argv);
    NameTheApplication();
    QApplication::setWindowIcon(AppIcon::Make());
    if (!network.Ok()) {
        return Refuse("Windows sockets initialization failed.", 1);
    }

    const Result<LaunchOptions> launch = LaunchOptions::Parse(QApplication::arguments());
    if (!launch) {
        return Refuse(launch.reason(), kUsageError);
    }
    if (launch->showVersion) {
        std::printf("%s\n", VersionLine("veltrap").c_str());
        return 0;
    }
    // The demo web serves until the window, and with it every session, is gone.
    std::unique_ptr<DemoWeb> demo;
    if (launch->demo) {
        demo = std::make_unique<DemoWeb>();
        if (const Status started = demo->Start(); !started) {
            return Refuse("The demo web could not start: " + started.reason(), 1);
        }
    }
    // Read for every run, so that a changed file needs no restart. A
    // configuration whose services cannot run is refused like a broken file.
    // Secrets that neither the environment nor the file gives come from the
    // desktop's keyring, where the Services page keeps them.
    const int demoPort = demo ? demo->Port() : 0;
    KeyringSecretStore keyring;
    auto load = [options = launch.value(), demoPort, &keyring]() -> Result<ServiceConfig> {
        Result<ServiceConfig> loaded = options.LoadConfig();
        if (!loaded) {
            return loaded;
        }
        ServiceConfig config = std::move(loaded).value();
        const Status filled = ConfigSecrets::Fill(config, keyring);
        if (options.demo) {
            config = DemoServiceConfig(config, demoPort);
        }
        if (const Status checked = config.CheckServices(); !checked) {
            // A secret missing because the keyring did not answer says so.
            return filled ? checked.failure()
                          : Failure{checked.reason() + "; " + filled.reason(), true};
        }
        return config;
    };
    // A configuration that cannot be used opens the window all the same, with
    // the reason and the page that mends it; no run starts until it is sound.
    Result<ServiceConfig> first = load();
    if (!first) {
        std::fprintf(stderr, "veltrap: %s\n", first.reason().c_str());
    }
    const std::string configFile =
        launch->configPath.empty() ? ConfigLocation::DefaultPath() : launch->configPath;

    MainDialog window(first ? first.value() : ServiceConfig(), SettingsStore(),
                      UserPrompts::Interactive());
    window.SetConfigSource(load, configFile, &keyring);
    // The same file veltrap-report uses, so both programs keep one history.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) {
        window.SetHistoryFile(std::filesystem::path(QFile::encodeName(data).toStdString()) /
                              "Veltrap" / "history.sqlite");
    }
    if (demo) {
        window.AddressBox()->setEditText(QString::fromStdString(DemoSiteName()));
    }
    window.show();
    if (!first) {
        const std::string problem = first.reason();
        QTimer::singleShot(0, &window, [&window, problem] { window.ShowConfigProblem(problem); });
    }
    return QApplication::exec();
}

}  // namespace veltrap
