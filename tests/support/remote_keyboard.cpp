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
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
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

static std::string Big16(unsigned value)
{
    return { static_cast<char>(value >> 8), static_cast<char>(value & 0xff) };
}

static std::string Big32(std::uint32_t value) { return Big16(value >> 16) + Big16(value & 0xffff); }

static unsigned Read16(const std::string& bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]);
}

RemoteKeyboard::RemoteKeyboard(int port, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Loopback(port);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            break;
        close(socket_);
        socket_ = -1;
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("no VNC server on port " + std::to_string(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // Protocol 3.3 without authentication; a shared session.
    const std::string version = Receive(12);
    Send(version);
    Receive(4);
    Send("\1"s);
    const std::string init = Receive(24);
    width_ = static_cast<int>(Read16(init, 0));
    height_ = static_cast<int>(Read16(init, 2));
    Receive((Read16(init, 20) << 16) | Read16(init, 22));
    // 32-bit true colour, then raw rectangles.
    Send("\0\0\0\0\x20\x18\0\1"s + Big16(255) + Big16(255) + Big16(255) + "\x10\x08\0\0\0\0"s);
    Send("\2\0"s + Big16(1) + Big32(0));
    WaitForWindow(seconds);
}

RemoteKeyboard::~RemoteKeyboard()
{
    if (socket_ >= 0)
        close(socket_);
}

void RemoteKeyboard::Send(const std::string& bytes)
{
    if (write(socket_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("VNC connection lost");
}

std::string RemoteKeyboard::Receive(size_t count)
{
    std::string bytes(count, '\0');
    for (size_t done = 0; done < count;) {
        ssize_t got = read(socket_, bytes.data() + done, count - done);
        if (got <= 0)
            throw std::runtime_error("VNC connection lost");
        done += static_cast<size_t>(got);
    }
    return bytes;
}

// Keys sent before the window is shown and active would be lost; a drawn window is both.
void RemoteKeyboard::WaitForWindow(int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        Send("\3\0"s + Big16(0) + Big16(0) + Big16(width_) + Big16(height_));
        const std::string header = Receive(4);
        bool drawn = false;
        for (unsigned rectangle = Read16(header, 2); rectangle > 0; --rectangle) {
            const std::string place = Receive(12);
            const std::string pixels = Receive(size_t(Read16(place, 4)) * Read16(place, 6) * 4);
            for (size_t at = 0; at < pixels.size() && !drawn; at += 4)
                drawn = pixels[at] || pixels[at + 1] || pixels[at + 2];
        }
        if (drawn)
            return;
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the window was not drawn");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

static std::string KeyEvent(bool down, std::uint32_t keysym)
{
    return std::string { '\4', down ? '\1' : '\0', '\0', '\0' } + Big32(keysym);
}

void RemoteKeyboard::Press(std::uint32_t keysym, bool shifted)
{
    Send((shifted ? KeyEvent(true, kShift) : "") + KeyEvent(true, keysym) + KeyEvent(false, keysym)
        + (shifted ? KeyEvent(false, kShift) : ""));
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // one key at a time, as typed
}

void RemoteKeyboard::Type(const std::string& text)
{
    for (char c : text)
        Press(static_cast<unsigned char>(c));
}

}
