#include "app/LaunchOptions.h"

#include "engine/ConfigLocation.h"
#include "engine/ServiceConfig.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace veltrap {

LaunchResult LaunchOptions::Parse(const QStringList& arguments) {
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

    LaunchResult result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText().toStdString();
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
    if (parser.isSet(version)) {
        result.options.showVersion = true;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = "Unexpected argument '" +
                       parser.positionalArguments().constFirst().toStdString() +
                       "'; the site is typed into the window.";
        return result;
    }
    result.options.configPath = parser.value(config).toStdString();
    result.options.connectTo = parser.value(connectTo).toStdString();
    result.options.demo = parser.isSet(demo);
    if (parser.isSet(connectTo) && !ServiceConfig::IsHostAndPort(result.options.connectTo)) {
        result.error = "--connect-to needs HOST:PORT with a port from 1 to 65535, not '" +
                       result.options.connectTo + "'.";
    }
    if (parser.isSet(config) && result.options.configPath.empty()) {
        result.error = "--config needs the name of a file.";
    }
    return result;
}

ServiceConfigResult LaunchOptions::LoadConfig() const {
    ServiceConfigResult result =
        ConfigLocation::LoadInForce(configPath, ConfigLocation::DefaultPath());
    if (result.ok() && !connectTo.empty()) {
        result.config.http.connectTo = connectTo;
    }
    return result;
}

}  // namespace veltrap
