// veltrap-demo-web: serves the demo web on its own, for use with --connect-to
// or a configuration file, and prints that configuration.

#include "base/Version.h"
#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"

#include <CLI/CLI.hpp>

#include <pthread.h>
#include <csignal>
#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    veltrap::DemoOptions options;
    CLI::App app{"Serves the Veltrap demo web on 127.0.0.1 until Ctrl-C.", "veltrap-demo-web"};
    app.set_version_flag("--version", veltrap::VersionLine("veltrap-demo-web"),
                         "Print the version and exit");
    app.add_option("--port", options.port, "port to listen on; 0 picks a free one")
        ->check(CLI::Range(0, 65535));
    app.add_option("--demo-latency-ms", options.latencyMs, "milliseconds added to every answer")
        ->capture_default_str()
        ->check(CLI::Range(0, 60000));
    app.add_option("--demo-size", options.size,
                   "backlinks of every site; 0 lets each site have its own number")
        ->capture_default_str()
        ->check(CLI::Range(0, 100000));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help ends well; any other problem with the arguments is bad usage.
        return app.exit(error) == 0 ? 0 : 2;
    }

    // Ctrl-C and termination are taken by sigwait below; block them before any
    // thread starts, so that every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    veltrap::DemoWeb web(options);
    if (const veltrap::Status started = web.Start(); !started.ok()) {
        std::cerr << "veltrap-demo-web: " << started.reason() << "\n";
        return 1;
    }
    std::cout << veltrap::DemoConfigText(web.Port()) << std::flush;
    std::cerr << "veltrap-demo-web: serving on " << web.ConnectTo() << " (latency "
              << options.latencyMs << " ms"
              << (options.size > 0 ? ", " + std::to_string(options.size) + " backlinks a site"
                                   : std::string())
              << "); press Ctrl-C to stop\n";

    int signal = 0;
    sigwait(&stopSignals, &signal);
    web.Stop();
    const veltrap::DemoWeb::Peaks peaks = web.PeakLoad();
    std::cerr << "veltrap-demo-web: stopped after " << web.RequestsAnswered() << " requests\n"
              << "veltrap-demo-web: most requests answered at once: " << peaks.all << " in all, "
              << peaks.oneHost << " by one host"
              << (peaks.host.empty() ? std::string() : " (" + peaks.host + ")") << "\n";
    return 0;
}
