#pragma once

#include "base/Result.h"
#include "engine/ServiceConfig.h"

#include <QStringList>

#include <string>

namespace veltrap {

// What the command line asks of the window program:
//   veltrap [--config FILE] [--connect-to HOST:PORT] [--demo]
struct LaunchOptions {
    std::string configPath;  // empty: the default file if there is one, else built-in
    std::string connectTo;   // empty: as the configuration says
    bool demo = false;
    // --version: the program prints its version and ends without a window.
    bool showVersion = false;

    // Reads the arguments, the program's name first. --help prints and ends
    // the program, as command-line tools do. A line that cannot be used fails
    // at the input's fault.
    static Result<LaunchOptions> Parse(const QStringList& arguments);

    // The service configuration these options name: the named file's, the
    // default file's or the built-in one, with --connect-to replacing the
    // file's connect_to.
    Result<ServiceConfig> LoadConfig() const;
};

}  // namespace veltrap
