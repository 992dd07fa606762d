// The dialog over a temporary installation with three machines (Filler, Packer, Labeller), loaded
// as at start-up, and the ways a user reaches its controls.
#pragma once

#include "platform/window/toolkit.h"
#include "support/installation.h"

#include <gtest/gtest.h>
#include <qnamespace.h>
#include <string>

namespace testing_support {

struct DialogTest : testing::Test {
    TempInstallation installation;

    // Lays out program.ini (unless the test wrote its own: Filler with the extreme values in cam
    // 1 and 40 and the 270 cams, Packer with cam 7 and the speed option stored) and Lobix.cfg with
    // `cfg` in [Project]; builds the window and runs its load handler with `arguments`.
    void Load(const std::string& cfg = "ForMachine1=true\r\nForMachine2=true\r\n",
        const std::string& arguments = "") const;

    static platform::Control& Find(const std::string& name, int index = -1);
    static std::vector<std::string> TabCaptions();
    // The user's click on machine tab `tab`.
    static void SelectTab(int tab);
    // Shows the window and makes it the active one, so that keys and focus move as for a user.
    static void ShowActive();
    // A key on the focused control.
    static void Press(Qt::Key key);
    // A click near the left edge, where a check box has its indicator.
    static void Click(const std::string& name);
};

}
