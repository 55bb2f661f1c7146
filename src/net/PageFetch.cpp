#include "net/PageFetch.h"

#include "net/HttpRetriever.h"

namespace veltrap {

PageFetch SessionFetch(HttpSession& session) {
    return [&session](const std::string& url, const RequestHeaders& headers) {
        HttpRetriever retriever(session);
        return retriever.Get(url, headers);
    };
}

}  // namespace veltrap
