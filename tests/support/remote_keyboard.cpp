#include "support/remote_keyboard.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::string_literals;

namespace testing_support {

static sockaddr_in Loopback(int port)
{
    return { .sin_family = AF_INET,
        .sin_port = htons(static_cast<uint16_t>(port)),
        .sin_addr = { htonl(INADDR_LOOPBACK) },
        .sin_zero = {} };
}

int FreePort()
{
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

static std::string Big16(unsigned value) { return { char(value >> 8), char(value & 0xff) }; }

static std::string Big32(std::uint32_t value) { return Big16(value >> 16) + Big16(value & 0xffff); }

static unsigned Read16(const std::string& bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]);
}

static void Send(int socket, const std::string& bytes)
{
    if (write(socket, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("VNC connection lost");
}

static std::string Receive(int socket, size_t count)
{
    std::string bytes(count, '\0');
    if (recv(socket, bytes.data(), count, MSG_WAITALL) != static_cast<ssize_t>(count))
        throw std::runtime_error("VNC connection lost");
    return bytes;
}

// Keys sent before the window is shown and active would be lost; a drawn window is both, so this
// asks for the whole screen and looks for a pixel that is not black.
static bool Drawn(int socket, unsigned width, unsigned height)
{
    Send(socket, "\3\0\0\0\0\0"s + Big16(width) + Big16(height));
    bool drawn = false;
    for (unsigned rectangle = Read16(Receive(socket, 4), 2); rectangle > 0; --rectangle) {
        const std::string place = Receive(socket, 12);
        const std::string pixels = Receive(socket, size_t(Read16(place, 4)) * Read16(place, 6) * 4);
        for (size_t at = 0; at < pixels.size() && !drawn; at += 4)
            drawn = pixels[at] || pixels[at + 1] || pixels[at + 2]; // the fourth byte is padding
    }
    return drawn;
}

RemoteKeyboard::RemoteKeyboard(int port, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    auto pause = [&](const std::string& failure) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(failure);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    };
    for (sockaddr_in address = Loopback(port);;
         pause("no VNC server on port " + std::to_string(port))) {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            break;
        close(socket_);
    }
    // Protocol 3.3 without authentication; a shared session.
    Send(socket_, Receive(socket_, 12));
    Receive(socket_, 4);
    Send(socket_, "\1"s);
    const std::string init = Receive(socket_, 24);
    Receive(socket_, Read16(init, 20) << 16 | Read16(init, 22));
    // 32-bit true colour, then raw rectangles.
    Send(socket_, "\0\0\0\0\x20\x18\0\1\0\xff\0\xff\0\xff\x10\x08\0\0\0\0\2\0\0\1\0\0\0\0"s);
    while (!Drawn(socket_, Read16(init, 0), Read16(init, 2)))
        pause("the window was not drawn");
}

RemoteKeyboard::~RemoteKeyboard() { close(socket_); }

static std::string KeyEvent(bool down, std::uint32_t keysym)
{
    return std::string { '\4', down ? '\1' : '\0', '\0', '\0' } + Big32(keysym);
}

void RemoteKeyboard::Press(std::uint32_t keysym, bool shifted)
{
    const std::string key = KeyEvent(true, keysym) + KeyEvent(false, keysym);
    Send(socket_, shifted ? KeyEvent(true, kShift) + key + KeyEvent(false, kShift) : key);
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // one key at a time, as typed
}

void RemoteKeyboard::Type(const std::string& text)
{
    for (char c : text)
        Press(static_cast<unsigned char>(c));
}

}
