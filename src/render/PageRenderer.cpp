#include "render/PageRenderer.h"

#include "base/AsciiCase.h"
#include "net/AbsoluteAddress.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrap {
namespace {

using Clock = std::chrono::steady_clock;

// Once its group is killed, a browser's processes have this long to let go
// of their output; a process that left the group could otherwise hold it
// open for ever.
constexpr auto kDrainLimit = std::chrono::seconds(5);
constexpr std::size_t kReadChunk = 64 * 1024;

// Closes a descriptor however a render ends.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
};

// A profile folder of its own for one browser, removed with what the
// browser left in it.
class ProfileFolder {
public:
    ProfileFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/veltrap-render-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = std::move(pattern);
        }
    }
    ~ProfileFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    ProfileFolder(const ProfileFolder&) = delete;
    ProfileFolder& operator=(const ProfileFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What one read of the browser's output found.
enum class Read { kData, kNothingYet, kEnd };

Read ReadSome(int fd, std::string& into) {
    char buffer[kReadChunk];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
            return Read::kData;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got < 0 && errno == EAGAIN ? Read::kNothingYet : Read::kEnd;
    }
}

int WaitMs(Clock::time_point until) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

PageRenderer::PageRenderer(const RenderOptions& options, BrowserCommand command,
                           std::int64_t maxBytes, const RunStop& stop, FetchScheduler* hosts)
    : options_(options), command_(std::move(command)), maxBytes_(maxBytes), hosts_(hosts) {
    onRefused_.emplace(stop.FetchesRefused(), [this] { KillAll(); });
}

PageRenderer::~PageRenderer() {
    onRefused_.reset();
    KillAll();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0; });
}

bool PageRenderer::Wants(const PageAnswer& page, bool showsLink) const {
    switch (options_.mode) {
        case RenderOptions::Mode::kOff:
            return false;
        case RenderOptions::Mode::kAlways:
            return page.Usable();
        case RenderOptions::Mode::kFallback:
            return page.Usable() && !showsLink && ContainsNoCase(page.body, "<script");
    }
    return false;
}

void PageRenderer::KillAll() {
    std::lock_guard lock(mutex_);
    killed_ = true;
    for (const pid_t group : groups_) {
        ::kill(-group, SIGKILL);
    }
    changed_.notify_all();
}

bool PageRenderer::Enter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return killed_ || running_ < options_.jobs; });
    if (killed_) {
        return false;
    }
    ++running_;
    return true;
}

void PageRenderer::Leave() {
    std::lock_guard lock(mutex_);
    --running_;
    changed_.notify_all();
}

Result<std::string> PageRenderer::Render(const std::string& url) {
    const Failure stopped{"the run stopped before the page was rendered"};
    if (!Enter()) {
        return stopped;
    }
    struct Slot {
        PageRenderer& renderer;
        ~Slot() { renderer.Leave(); }
    } slot{*this};
    // The browser's requests for the page count against its host's limit, as
    // a fetch of it would.
    const std::string host = hosts_ != nullptr ? HostKey(url) : std::string();
    if (!host.empty() && !hosts_->ClaimHost(host)) {
        return stopped;
    }
    struct Claim {
        FetchScheduler* hosts;
        const std::string& host;
        ~Claim() {
            if (!host.empty()) {
                hosts->ReleaseHost(host);
            }
        }
    } claim{hosts_, host};
    const ProfileFolder profile;
    if (profile.path().empty()) {
        return Failure{"cannot make a browser profile folder (" +
                       std::generic_category().message(errno) + ")"};
    }
    Result<std::string> document = RunBrowser(url, profile.path());
    std::lock_guard lock(mutex_);
    if (killed_ && !document) {
        return stopped;
    }
    return document;
}

Result<std::string> PageRenderer::RunBrowser(const std::string& url,
                                             const std::string& profileDir) {
    const std::vector<std::string> arguments = command_.Arguments(profileDir, url);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return Failure{"cannot start the browser (" + std::generic_category().message(errno) + ")"};
    }
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        return Failure{"cannot start the browser (" + std::generic_category().message(errno) + ")"};
    }
    if (child == 0) {
        // Only calls safe between fork and exec in a program of many threads.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        const int quiet = ::open("/dev/null", O_RDWR);
        ::dup2(quiet, STDIN_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::dup2(ends[1], STDOUT_FILENO);
        // Nothing else the program holds open goes to the browser.
        ::close_range(3, ~0U, 0);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // Set on both sides, so that the group exists before either goes on.
    ::setpgid(child, child);
    writeEnd.Close();
    {
        std::lock_guard lock(mutex_);
        groups_.insert(child);
        if (killed_) {
            ::kill(-child, SIGKILL);
        }
    }
    ::fcntl(readEnd.get(), F_SETFL, ::fcntl(readEnd.get(), F_GETFL) | O_NONBLOCK);

    // The browser's end is watched on a descriptor of its own, since its
    // helpers may hold the output open a little longer.
    Descriptor exited(static_cast<int>(::syscall(SYS_pidfd_open, child, 0)));
    const auto deadline = Clock::now() + std::chrono::seconds(options_.timeoutS);
    std::string document;
    bool outputEnded = false;
    bool endedAlone = false;
    bool tooLarge = false;
    while (!endedAlone && !tooLarge && Clock::now() < deadline) {
        pollfd waits[2] = {{outputEnded ? -1 : readEnd.get(), POLLIN, 0},
                           {exited.get(), POLLIN, 0}};
        const int ready = ::poll(waits, 2, WaitMs(deadline));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (waits[0].revents != 0) {
            outputEnded = ReadSome(readEnd.get(), document) == Read::kEnd;
        }
        if (waits[1].revents != 0) {
            endedAlone = true;
            // What the browser wrote before it ended is all in the pipe.
            Read read = Read::kData;
            while (!outputEnded && read == Read::kData &&
                   static_cast<std::int64_t>(document.size()) <= maxBytes_) {
                read = ReadSome(readEnd.get(), document);
                outputEnded = read == Read::kEnd;
            }
        }
        // Without a process descriptor, the end of the output stands for the
        // browser's end.
        if (outputEnded && exited.get() < 0) {
            endedAlone = true;
        }
        tooLarge = static_cast<std::int64_t>(document.size()) > maxBytes_;
    }
    // The browser leaves helpers behind even when it ends by itself, so the
    // whole group goes; their output closes once the last of them is gone.
    ::kill(-child, SIGKILL);
    const auto drainUntil = Clock::now() + kDrainLimit;
    std::string rest;
    while (!outputEnded && Clock::now() < drainUntil) {
        pollfd wait{readEnd.get(), POLLIN, 0};
        if (::poll(&wait, 1, WaitMs(drainUntil)) > 0) {
            rest.clear();
            outputEnded = ReadSome(readEnd.get(), rest) == Read::kEnd;
        }
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    {
        std::lock_guard lock(mutex_);
        groups_.erase(child);
    }
    if (tooLarge) {
        return Failure{"the rendered page is larger than " + std::to_string(maxBytes_) + " bytes"};
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return Failure{"cannot run the browser '" + arguments.front() + "'"};
    }
    if (!endedAlone) {
        return Failure{"the browser did not finish within " + std::to_string(options_.timeoutS) +
                       " s"};
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return Failure{"the browser failed (" +
                       (WIFSIGNALED(status)
                            ? "signal " + std::to_string(WTERMSIG(status))
                            : "exit status " + std::to_string(WEXITSTATUS(status))) +
                       ")"};
    }
    if (document.empty()) {
        return Failure{"the browser gave no document"};
    }
    return document;
}

}  // namespace veltrap
