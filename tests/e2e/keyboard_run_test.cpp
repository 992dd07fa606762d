// The built program started standalone without a display and driven by key presses alone, as an
// engineer at the keyboard drives it: what was typed is what program.ini gets.
#include "support/program_run.h"
#include "support/remote_keyboard.h"

#include <gtest/gtest.h>

using namespace testing_support;

// Focus starts on the scale begin of cam 1 with its text selected: "-5" replaces it. The scale
// end is left with a lone minus sign, so it keeps its value. Shift+Tab goes back
// past the tab strip and Cancel to OK, which Return or Space presses.
TEST(KeyboardRun, TypedNegativeValueIsSavedOnOk)
{
    for (std::uint32_t press : { kReturn, std::uint32_t(' ') }) {
        TempInstallation installation;
        installation.Write("parameter/Program.ini",
            "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n"
            "CamScaleBegin1=10\r\nCamScaleEnd1=350\r\n");
        installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
        const int port = FreePort();
        pid_t program = StartProgram(installation, "",
            { "EDITOR=abc", "QT_QPA_PLATFORM=vnc:size=800x600:port=" + std::to_string(port) });
        try {
            RemoteKeyboard keyboard(port, 60);
            keyboard.Type("-5");
            keyboard.Press(kTab);
            keyboard.Type("-");
            for (int step = 0; step < 4; ++step)
                keyboard.Press(kTab, true);
            keyboard.Press(press);
        } catch (const std::exception& failure) {
            ADD_FAILURE() << failure.what();
        }
        ASSERT_EQ(WaitForProgram(program), 0) << installation.Read("stderr.txt");
        const char* ini = "parameter/Program.ini";
        EXPECT_EQ(installation.Entry(ini, "Machine1", "CamScaleBegin1"), "-5") << press;
        EXPECT_EQ(installation.Entry(ini, "Machine1", "CamScaleEnd1"), "350") << press;
        EXPECT_EQ(installation.Entry(ini, "Machine1", "CamUnit1"), "1") << press;
        EXPECT_FALSE(installation.Exists("TVXcfglog.txt")) << installation.Read("TVXcfglog.txt");
    }
}
