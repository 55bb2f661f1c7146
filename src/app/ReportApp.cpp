#include "app/ReportApp.h"

#include "app/AppIcon.h"
#include "app/LaunchOptions.h"
#include "app/MainDialog.h"
#include "app/UserPrompts.h"
#include "engine/RunReport.h"
#include "net/CurlGlobal.h"
#include "store/SettingsStore.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <string>

namespace veltrap {
namespace {

constexpr int kUsageError = 2;

// A problem that stops the program before the window opens: on the terminal
// for scripts, and in a message box for whoever started it from a desktop.
int Refuse(const std::string& message, int exitCode) {
    std::fprintf(stderr, "veltrap: %s\n", message.c_str());
    QMessageBox::critical(nullptr, QStringLiteral("Veltrap"), QString::fromStdString(message));
    return exitCode;
}

}  // namespace

int ReportApp::Run(int argc, char** argv) {
    // Set up before any thread of ours starts, and kept until the window and
    // its workers are gone.
    const CurlGlobal network;
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvex"));
    QApplication::setApplicationName(QStringLiteral("Veltrap"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.6"));
    QApplication::setWindowIcon(AppIcon::Make());
    if (!network.Ok()) {
        return Refuse("Windows sockets initialization failed.", 1);
    }

    const LaunchResult launch = LaunchOptions::Parse(QApplication::arguments());
    if (!launch.ok()) {
        return Refuse(launch.error, kUsageError);
    }
    const ServiceConfigResult config = launch.options.LoadConfig();
    if (!config.ok()) {
        return Refuse(config.error, kUsageError);
    }

    MainDialog window(config.config, SettingsStore(), UserPrompts::Interactive(),
                      [](const RunRequest& request, const ServiceConfig& services,
                         RunShared& shared) { RunReport(request, services, shared); });
    window.show();
    return QApplication::exec();
}

}  // namespace veltrap
