// A keyboard for a program that runs on Qt's VNC platform (QT_QPA_PLATFORM=vnc:port=N): no
// display is needed, and the keys reach the program as a user's key presses, one at a time.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// A free TCP port on this host for the program's VNC server.
int FreePort();

class RemoteKeyboard {
public:
    // Connects to the program's VNC server on `port`, waiting up to `seconds` for it to listen,
    // then waits until its window has been drawn. Throws std::runtime_error when it cannot.
    RemoteKeyboard(int port, int seconds);
    ~RemoteKeyboard();

    // Presses and releases one key: an X keysym (a character's code for printable ASCII).
    void Press(std::uint32_t keysym);
    // The same with Shift held down.
    void PressShifted(std::uint32_t keysym);
    // Each character of `text`, one after the other.
    void Type(const std::string& text);

private:
    void Send(const std::string& bytes);
    std::string Receive(size_t count);
    void WaitForWindow(int seconds);

    int socket_ = -1;
    int width_ = 0, height_ = 0;
};

// The keysyms of the keys that are not characters.
inline constexpr std::uint32_t kTab = 0xff09, kReturn = 0xff0d, kEscape = 0xff1b, kShift = 0xffe1;

}
