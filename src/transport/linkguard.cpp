#include "linkguard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// Returns on hang-up, an error or a descriptor already closed: in every case
// nothing more comes from the host.
void waitForLinkEnd(int socketDescriptor)
{
    pollfd watched{socketDescriptor, POLLRDHUP, 0};
    while (poll(&watched, 1, -1) < 0 && errno == EINTR) {
    }
}

} // namespace

void guardProcessByLink(int socketDescriptor, int graceMs)
{
    std::thread([socketDescriptor, graceMs] {
        waitForLinkEnd(socketDescriptor);
        std::this_thread::sleep_for(std::chrono::milliseconds(graceMs));
        // The main thread may be anywhere, so nothing of it is run here: no
        // exit handlers, no destructors.
        _exit(0);
    }).detach();
}
