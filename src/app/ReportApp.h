#pragma once

namespace veltrap {

// Starts the program: the network layer once, the command line, the service
// configuration, then the main window until it is closed.
class ReportApp {
public:
    static int Run(int argc, char** argv);
};

}  // namespace veltrap
