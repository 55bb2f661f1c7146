#include "demo/server/BackloggedServer.h"

#include <sys/socket.h>

namespace veltrap {

bool BackloggedServer::WidenBacklog() {
    // Listening again on a socket that already listens only sets its backlog.
    return ::listen(svr_sock_, kBacklog) == 0;
}

}  // namespace veltrap
