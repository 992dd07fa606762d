// Modal message boxes. Tests replace the box with scripted answers.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class Buttons { Ok, YesNo };
enum Icon { kNoIcon = 0, kCritical = 16, kExclamation = 48, kInformation = 64 };
enum Answer { kOk = 1, kYes = 6, kNo = 7 };

struct MessageBoxRequest {
    std::string prompt; // 8-bit text as the program builds it
    std::string title;
    Buttons buttons = Buttons::Ok;
    Icon icon = kNoIcon;
    Answer defaultButton = kOk;
};

// Shows the box and returns the button pressed.
Answer ShowMessageBox(const MessageBoxRequest& request);

// Replaces the box (tests); an empty handler restores the real one.
void SetMessageBoxHandler(std::function<Answer(const MessageBoxRequest&)> handler);

}
