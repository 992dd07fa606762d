// A loaded dialog over a temporary installation with three machines (Filler, Packer, Labeller).
#pragma once

#include "platform/window/toolkit.h"
#include "support/installation.h"

#include <gtest/gtest.h>
#include <string>

namespace testing_support {

struct DialogTest : testing::Test {
    TempInstallation installation;

    // program.ini with the three machines and the entries of `machineSections` written into their
    // sections; Lobix.cfg with `cfg` in [Project].
    void LayOut(const std::string& cfg, const std::string& machineSections = "") const;

    // Builds the window and runs its load handler with `arguments` on the command line.
    void Load(const std::string& arguments = "");

    static platform::Control& Find(const std::string& name, int index = -1);
    static std::vector<std::string> TabCaptions();
    // The user's click on machine tab `tab`.
    static void SelectTab(int tab);
    // Shows the window and makes it the active one, so that keys and focus move as for a user.
    static void ShowActive();
};

}
