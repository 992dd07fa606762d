// The terms every path is made from: installation folder, component name and folder.
#include "diagnostics/program_location.h"
#include "platform/system/process.h"
#include "support/installation.h"

#include <gtest/gtest.h>

TEST(ProgramLocation, DerivesInstallationAndComponentFromTheExecutable)
{
    struct Case {
        const char* programFolder;
        const char* executable;
        const char* installation;
        const char* component;
        const char* componentFolder;
    } cases[] = {
        // Lobix_Config in an installation's Tools folder is how every test installation runs.
        { "/opt/hmi/Tools", "Lobix_Cfg", "/opt/hmi", "Lo", "/opt/hmi/Lo" },
        { "/Tools", "Lobix_Config", "", "Lobix", "/Lobix" },
        { "/", "Lobix_Config", "", "Lobix", "/Lobix" },
        { "/opt", "Short", "", "", "/" },
    };
    testing_support::TempInstallation installation;
    for (const Case& c : cases) {
        platform::Process().programFolder = c.programFolder;
        platform::Process().executableName = c.executable;
        EXPECT_EQ(diagnostics::InstallationFolder(), c.installation) << c.programFolder;
        EXPECT_EQ(diagnostics::GetOCXName(), c.component) << c.executable;
        EXPECT_EQ(diagnostics::ComponentFolder(), c.componentFolder) << c.programFolder;
    }
}

TEST(ProgramLocation, FileNameOnlyIsTheLastComponent)
{
    EXPECT_EQ(diagnostics::GetFileNameOnly("/opt/hmi/parameter/tvxconfiguration.ini"),
        "tvxconfiguration.ini");
    EXPECT_EQ(diagnostics::GetFileNameOnly("/opt/hmi/"), "");
    EXPECT_EQ(diagnostics::GetFileNameOnly("Tools"), "Tools");
}
