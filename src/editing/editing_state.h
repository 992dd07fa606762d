// What the field editing keeps for the run: the help mode, the help texts and the check-box
// revert guard.
#pragma once

#include <string>

namespace editing {

inline constexpr int kHelpTextCount = 100;

struct EditingState {
    bool HelpMode = false; // the "?" button is on: controls show their help instead of acting
    std::string HelpTexts[kHelpTextCount + 1]; // by help number 1..100; index 0 unused
    bool RevertingCheckClick = false;
};

EditingState& State();

// HelpTexts(number); raises "Subscript out of range" outside 1 to 100.
std::string& HelpText(long number);

}
