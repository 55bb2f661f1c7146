#include "net/PageFetch.h"

#include "net/HttpRetriever.h"

namespace veltrap {

PageFetch SessionFetch(HttpSession& session) {
    return [&session](const std::string& url) {
        HttpRetriever retriever(session);
        return retriever.Get(url);
    };
}

}  // namespace veltrap
