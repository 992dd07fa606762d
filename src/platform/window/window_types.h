// The plain values of the window toolkit: control kinds, button pictures, colours, pointers.
#pragma once

#include <cstdint>

namespace platform {

enum class ControlType { Label, CommandButton, CheckBox, Frame, TextBox, TabStrip };

enum class ButtonPicture { None, QuestionWithArrow, GreenTick, RedCross };

inline constexpr std::uint32_t kButtonFaceColor = 0x8000000F; // the system colour, not an RGB value
inline constexpr std::uint32_t kGreen = 65280;

enum MousePointer { kDefaultPointer = 0, kHourglassPointer = 11 };

}
