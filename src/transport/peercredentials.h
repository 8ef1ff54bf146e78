#pragma once

#include <optional>
#include <sys/socket.h>
#include <sys/types.h>

// Who is at the other end of a connected local socket, as the kernel saw
// it connect: the user and the process. Browser and host both check it, so
// neither talks to a program of another user on the same machine.
struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
};

inline std::optional<PeerCredentials> peerCredentials(int socketDescriptor)
{
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0 ||
        getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return std::nullopt;
    return PeerCredentials{credentials.pid, credentials.uid};
}
