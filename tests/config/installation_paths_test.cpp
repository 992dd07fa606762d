// The files the program finds by rule, in both start modes.
#include "config/installation_paths.h"
#include "support/installation.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(InstallationPaths, FindsTheInstallationsFilesWhateverTheirCase)
{
    TempInstallation installation;
    std::filesystem::create_directories(installation.root / "parameter/Program.ini");
    EXPECT_EQ(config::GetProgramIniPath(2), "") << "a folder is no file";
    std::filesystem::remove(installation.root / "parameter/Program.ini");
    EXPECT_EQ(config::GetTVXConfigurationIniPath(), "");
    EXPECT_EQ(config::GetPathSourceOCXMDB(), "");
    installation.Write("parameter/TVXConfiguration.INI", "");
    installation.Write("parameter/program.ini", "");
    installation.Write("Lobix/Lobix.cfg", "");
    installation.Write("Lobix/lobix_source.mdb", "");
    EXPECT_EQ(
        config::GetTVXConfigurationIniPath(), installation.Path("parameter/TVXConfiguration.INI"));
    EXPECT_EQ(config::GetProgramIniPath(1), installation.Path("parameter/program.ini"));
    EXPECT_EQ(config::GetProgramIniPath(2), installation.Path("parameter/program.ini"));
    EXPECT_EQ(config::GetCFGPath(), installation.Path("Lobix/Lobix.cfg"));
    EXPECT_EQ(config::GetPathSourceOCXMDB(), installation.Path("Lobix/lobix_source.mdb"));
    EXPECT_EQ(config::GetPathOCXMDB(), installation.Path("Lobix/Lobix.mdb"));
}

TEST(InstallationPaths, IntegratedReadsProgramIniBelowSaveAndRestore)
{
    TempInstallation installation;
    installation.SetArguments("/EXTERNAL=TVXCFG");
    installation.Write("parameter/Program.ini", "");
    installation.Write("save/parameter/program.ini", "");
    installation.Write("save/Lobix/Lobix.mdb", "");
    for (std::string folder : { installation.Path("save"), installation.Path("save") + "/" }) {
        installation.Write(
            "parameter/tvxconfiguration.ini", "[Common]\r\nSaveAndRestore=" + folder + "\r\n");
        EXPECT_EQ(config::GetProgramIniPath(1), installation.Path("save/parameter/program.ini"))
            << folder;
        EXPECT_EQ(config::GetProgramIniPath(2), installation.Path("parameter/Program.ini"))
            << folder;
        EXPECT_EQ(config::GetPathMachineCopyMDB(config::GetTVXConfigurationIniPath()),
            installation.Path("save/Lobix/Lobix.mdb"))
            << folder;
    }
    installation.Write("parameter/tvxconfiguration.ini",
        "[Common]\r\nSaveAndRestore=" + installation.Path("none") + "\r\n");
    EXPECT_EQ(config::GetProgramIniPath(1), "");
    EXPECT_EQ(config::GetPathMachineCopyMDB(config::GetTVXConfigurationIniPath()), "");
}
