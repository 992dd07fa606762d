// Whether the display server that Qt would use is there: tried by connecting to it, as Qt ends
// the program when it cannot.
#include "platform/window/application.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

static std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Connects to a local socket; `abstract` names one of Linux's abstract namespace.
static bool ReachesLocal(const std::string& path, bool abstract)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    size_t offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    socklen_t length
        = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    bool reached = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    if (fd >= 0)
        ::close(fd);
    return reached;
}

// Connects to a TCP port of a host, giving up after a few seconds.
static bool ReachesHost(const std::string& host, int port)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool reached = false;
    for (addrinfo* each = found; each && !reached; each = each->ai_next) {
        int fd = ::socket(each->ai_family, each->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        if (::connect(fd, each->ai_addr, each->ai_addrlen) == 0) {
            reached = true;
        } else if (errno == EINPROGRESS) {
            pollfd waiting { fd, POLLOUT, 0 };
            int error = 0;
            socklen_t size = sizeof error;
            reached = ::poll(&waiting, 1, 3000) == 1
                && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return reached;
}

// DISPLAY is [host]:number[.screen]; without a host, or with "unix", the server listens on a
// local socket named after the number.
static bool ReachesX11()
{
    std::string display = Environment("DISPLAY");
    size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    std::string host = display.substr(0, colon);
    std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    if (host.empty() || host == "unix") {
        std::string socket = "/tmp/.X11-unix/X" + number;
        return ReachesLocal(socket, true) || ReachesLocal(socket, false);
    }
    return ReachesHost(host, 6000 + std::atoi(number.c_str()));
}

static bool ReachesWayland()
{
    std::string name = Environment("WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    std::string folder = Environment("XDG_RUNTIME_DIR");
    return ReachesLocal(name.front() == '/' ? name : folder + "/" + name, false);
}

// A platform as QT_QPA_PLATFORM names it (its options after ":" left out).
static bool Reaches(const std::string& platform)
{
    if (platform.starts_with("wayland"))
        return ReachesWayland();
    return platform != "xcb" || ReachesX11();
}

// QT_QPA_PLATFORM may list platforms to try in turn, split by ";"; unset, Qt uses X11.
bool platform::HasDisplay()
{
    std::string chosen = Environment("QT_QPA_PLATFORM");
    if (chosen.empty())
        return ReachesX11();
    for (size_t start = 0; start <= chosen.size();) {
        size_t end = std::min(chosen.find(';', start), chosen.size());
        std::string each = chosen.substr(start, end - start);
        if (!each.empty() && Reaches(each.substr(0, each.find(':'))))
            return true;
        start = end + 1;
    }
    return false;
}
