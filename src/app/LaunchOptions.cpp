#include "app/LaunchOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <charconv>
#include <string_view>

namespace veltrap {
namespace {

// "host:port" with a host and a port from 1 to 65535.
bool IsHostAndPort(std::string_view text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    const std::string_view digits = text.substr(colon + 1);
    int port = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    return ec == std::errc() && end == digits.data() + digits.size() && port >= 1 &&
           port <= 65535 && digits.front() != '+' && digits.front() != '-';
}

}  // namespace

LaunchResult LaunchOptions::Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Analyses the links that point at a website."));
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Read the service configuration from FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption connectTo(
        QStringLiteral("connect-to"),
        QStringLiteral("Send every connection to HOST:PORT, whatever the address."),
        QStringLiteral("HOST:PORT"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run against the built-in demo web."));
    parser.addOptions({config, connectTo, demo});
    parser.addHelpOption();
    parser.addVersionOption();

    LaunchResult result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText().toStdString();
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
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
    if (parser.isSet(connectTo) && !IsHostAndPort(result.options.connectTo)) {
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
        configPath.empty() ? ServiceConfigResult{} : ServiceConfig::Load(configPath);
    if (result.ok() && !connectTo.empty()) {
        result.config.http.connectTo = connectTo;
    }
    return result;
}

}  // namespace veltrap
