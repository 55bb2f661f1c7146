#include "net/PageFetch.h"

#include "net/HttpRetriever.h"

namespace veltrap {

PageAnswer PageFetch::Post(const std::string& url, const RequestHeaders& headers,
                           const std::string& body) const {
    if (!post_) {
        PageAnswer unsent;
        unsent.transportError = "this fetch sends no POST";
        return unsent;
    }
    return post_(url, headers, body);
}

PageFetch SessionFetch(HttpSession& session) {
    return PageFetch(
        [&session](const std::string& url, const RequestHeaders& headers) {
            HttpRetriever retriever(session);
            return retriever.Get(url, headers);
        },
        [&session](const std::string& url, const RequestHeaders& headers, const std::string& body) {
            HttpRetriever retriever(session);
            return retriever.Post(url, headers, body);
        });
}

}  // namespace veltrap
