// A keyboard for a program on Qt's VNC platform (QT_QPA_PLATFORM=vnc:port=N): no display is
// needed, and the keys reach the program as a user's key presses, one at a time.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

int FreePort(); // a free TCP port on this host

class RemoteKeyboard {
public:
    // Connects to the VNC server on `port` and waits until the window is drawn, within `seconds`;
    // throws std::runtime_error when it cannot.
    RemoteKeyboard(int port, int seconds);
    ~RemoteKeyboard();

    // Presses and releases an X keysym (a character's code for printable ASCII).
    void Press(std::uint32_t keysym, bool shifted = false);
    void Type(const std::string& text);

private:
    int socket_;
};

inline constexpr std::uint32_t kTab = 0xff09, kReturn = 0xff0d, kShift = 0xffe1;

}
