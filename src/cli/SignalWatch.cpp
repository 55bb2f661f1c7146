#include "cli/SignalWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace veltrap {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Written by the watch itself when it goes; no signal has this number.
constexpr unsigned char kQuit = 0;

// The pipe's write end, for the handler; a lock-free atomic is safe to read
// in a handler.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

void WriteSignal(int number) {
    const int saved = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(number);
        // A full pipe already holds more stops than anyone acts on.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

SignalWatch::SignalWatch() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_[0] = pipe_[1] = -1;
        return;
    }
    signalPipe.store(pipe_[1]);
    // Being told to end by the system or by a closed terminal is a request to
    // stop as Ctrl-C is.
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : kStopSignals) {
        sigaction(stop, &action, nullptr);
    }
    thread_ = std::thread([this, readEnd = pipe_[0]] { Watch(readEnd); });
}

SignalWatch::~SignalWatch() {
    if (pipe_[1] < 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int stop : kStopSignals) {
        sigaction(stop, &action, nullptr);
    }
    signalPipe.store(-1);
    const unsigned char quit = kQuit;
    while (write(pipe_[1], &quit, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    close(pipe_[0]);
    close(pipe_[1]);
}

void SignalWatch::React(std::function<void(int count)> react) {
    std::lock_guard lock(mutex_);
    react_ = std::move(react);
    if (react_ && count_ > 0) {
        react_(count_);
    }
}

void SignalWatch::Watch(int readEnd) {
    for (;;) {
        pollfd ready{readEnd, POLLIN, 0};
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
            return;
        }
        unsigned char number = kQuit;
        while (read(readEnd, &number, 1) == 1) {
            if (number == kQuit) {
                return;
            }
            int none = 0;
            first_.compare_exchange_strong(none, number);
            std::lock_guard lock(mutex_);
            ++count_;
            if (react_) {
                react_(count_);
            }
        }
    }
}

}  // namespace veltrap
