// Races on purpose, so that the ThreadSanitizer test run can be seen to
// report a race in our own code: "plain" races between two threads of ours,
// "callback" between the main thread and a task run by Qt's thread pool, as
// the window's background work is.
#include <QCoreApplication>
#include <QThreadPool>

#include <cstring>
#include <thread>

namespace {

int shared = 0;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    if (std::strcmp(argv[1], "plain") == 0) {
        std::thread other([] { ++shared; });
        ++shared;
        other.join();
    } else if (std::strcmp(argv[1], "callback") == 0) {
        QCoreApplication application(argc, argv);
        QThreadPool::globalInstance()->start([] { ++shared; });
        ++shared;
        QThreadPool::globalInstance()->waitForDone();
    } else {
        return 2;
    }
    return shared == 2 ? 0 : 1;
}
