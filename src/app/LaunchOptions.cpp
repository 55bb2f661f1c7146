#include "app/LaunchOptions.h"

#include "engine/ConfigLocation.h"
#include "engine/ServiceConfig.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace veltrap {

Result<LaunchOptions> LaunchOptions::Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Analyses the links that point at a website."));
    const QCommandLineOption config(
        QStringLiteral("config"),
        QStringLiteral("Read the service configuration from FILE, not from "
                       "~/.config/veltrap/services.ini."),
        QStringLiteral("FILE"));
    const QCommandLineOption connectTo(
        QStringLiteral("connect-to"),
        QStringLiteral("Send every connection to HOST:PORT, whatever the address."),
        QStringLiteral("HOST:PORT"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run against the built-in demo web."));
    // Qt's own version option would print the application's display name;
    // every program of the package prints its command name instead.
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOptions({config, connectTo, demo});
    parser.addHelpOption();
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        return Failure{parser.errorText().toStdString(), true};
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
    LaunchOptions options;
    if (parser.isSet(version)) {
        options.showVersion = true;
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Failure{"Unexpected argument '" +
                           parser.positionalArguments().constFirst().toStdString() +
                           "'; the site is typed into the window.",
                       true};
    }
    options.configPath = parser.value(config).toStdString();
    options.connectTo = parser.value(connectTo).toStdString();
    options.demo = parser.isSet(demo);
    // Of two mistakes, the missing file name is the one told.
    if (parser.isSet(config) && options.configPath.empty()) {
        return Failure{"--config needs the name of a file.", true};
    }
    if (parser.isSet(connectTo) && !ServiceConfig::IsHostAndPort(options.connectTo)) {
        return Failure{"--connect-to needs HOST:PORT with a port from 1 to 65535, not '" +
                           options.connectTo + "'.",
                       true};
    }
    return options;
}

Result<ServiceConfig> LaunchOptions::LoadConfig() const {
    Result<ServiceConfig> result =
        ConfigLocation::LoadInForce(configPath, ConfigLocation::DefaultPath());
    if (result.ok() && !connectTo.empty()) {
        result->http.connectTo = connectTo;
    }
    return result;
}

}  // namespace veltrap
