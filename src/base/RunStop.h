#pragma once

#include <atomic>
#include <stop_token>

namespace veltrap {

// The one stop of a report run, which every part of the run observes: the
// loop that begins records, the records' lookups, the readers and the fetch
// scheduler.
//
// A cancel asks the run to end at its next step. While the backlinks are
// discovered it lets the fetches go on, and the run ends where its records
// would begin; once records are examined it also refuses new fetches, so
// that the run ends as soon as the answers in flight are in. An abort ends
// the transfers in flight as well, at once. Safe to use from any thread.
class RunStop {
public:
    RunStop() = default;
    RunStop(const RunStop&) = delete;
    RunStop& operator=(const RunStop&) = delete;

    // Answers whether this call stopped a run that was still going.
    bool Cancel();
    // Cancels, and ends every transfer in flight. Answers as Cancel does.
    bool Abort();
    // The run begins examining records: from now on a cancel refuses new
    // fetches too.
    void BeginRecords();

    // Cancelled or aborted: the run begins nothing more.
    bool Cancelled() const { return (bits_.load() & kCancel) != 0; }
    bool Aborted() const { return (bits_.load() & kAbort) != 0; }
    bool RefusesFetches() const { return Refuses(bits_.load()); }

    // Requested once fetches are refused, and once the run is aborted: what
    // waits for a transfer registers a std::stop_callback to be woken.
    std::stop_token FetchesRefused() const { return refused_.get_token(); }
    std::stop_token AbortRequested() const { return aborted_.get_token(); }

private:
    static constexpr unsigned kCancel = 1;
    static constexpr unsigned kAbort = 2;
    static constexpr unsigned kRecords = 4;

    static bool Refuses(unsigned bits) {
        return (bits & kAbort) != 0 || ((bits & kCancel) != 0 && (bits & kRecords) != 0);
    }
    // Sets the bits, wakes whoever waits on what they changed, and answers
    // whether the cancel bit was newly set.
    bool Raise(unsigned bits);

    std::atomic<unsigned> bits_{0};
    std::stop_source refused_;
    std::stop_source aborted_;
};

}  // namespace veltrap
