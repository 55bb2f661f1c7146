#pragma once

namespace veltrap {

// libcurl's process-wide set-up and tear-down. Create exactly one in main()
// before any thread starts and keep it until every retriever is gone.
class CurlGlobal {
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;

    // False when libcurl could not be set up; no fetch can work then.
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace veltrap
