// The built program started silently on installations with faulty or unusual files: each run
// ends with its message or its result, and every file it did not mean to change keeps its bytes.
#include "support/databases.h"
#include "support/program_run.h"

#include <functional>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kIni = "parameter/Program.ini", kCfg = "Lobix/Lobix.cfg", kLanguage = "Tools/Lobix_Config.ini";
const std::vector<std::string> kSaved = { kIni, kCfg, "Lobix/Lobix.mdb", "Lobix/Lobix_Source.mdb" };

std::string Machines(const std::string& count, const std::string& rest = "")
{
    return "[Project]\r\nNumberOfMachines=" + count + "\r\n[Machine1]\r\nMachineName=Filler\r\n"
        + "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\n" + rest;
}

std::map<std::string, std::string> Files(const TempInstallation& installation)
{
    std::map<std::string, std::string> files = installation.ProjectFiles();
    if (installation.Exists(kLanguage))
        files[kLanguage] = installation.Read(kLanguage);
    return files;
}

std::string MachineTypes(const TempInstallation& installation)
{
    std::string types;
    for (const std::string& row : Rows(installation.Path("Lobix/Lobix.mdb"),
             "SELECT machine_type || ':' || COUNT(*) FROM PRESET_DEFS GROUP BY machine_type ORDER BY MIN(ID)"))
        types += row + " ";
    return types;
}

struct FaultCase {
    const char* name;
    std::function<void(const TempInstallation&)> setUp;
    int status;
    const char* report; // what the service-pack log holds; "" for nothing
    bool saves;         // the program.ini, the .cfg and the databases change
    // Checks the finished run; gets the program.ini as it was before.
    std::function<void(const TempInstallation&, const std::string&)> check = {};
};

const std::string kLong(100000, 'x');

const FaultCase kCases[] = {
    { "letters", [](auto& i) { i.Write(kIni, Machines("abc")); }, 1, "is not a number of machines: 'abc'", false },
    { "a sign", [](auto& i) { i.Write(kIni, Machines("-5")); }, 1, "machines: '-5'", false },
    { "an empty count", [](auto& i) { i.Write(kIni, Machines("")); }, 1, "machines: ''", false },
    { "hex", [](auto& i) { i.Write(kIni, Machines("0x3")); }, 1, "machines: '0x3'", false },
    { "an overflow", [](auto& i) { i.Write(kIni, Machines("40000")); }, 1, "machines: '40000'", false },
    { "no machines", [](auto& i) { i.Write(kIni, Machines("0")); }, 0, "", true,
        [](auto& i, auto&) { EXPECT_EQ(MachineTypes(i), ""); } },
    { "no count", [](auto& i) { i.Write(kIni, "[Machine1]\r\nMachineName=Filler\r\n"); }, 0, "", true,
        [](auto& i, auto&) { EXPECT_EQ(MachineTypes(i), ""); } },
    { "32767 machines", [](auto& i) { i.Write(kIni, Machines("32767")); }, 0, "", true,
        [](auto& i, auto&) { EXPECT_EQ(MachineTypes(i), "Filler:360 Packer:360 "); } },
    { "read-only program.ini", [](auto& i) { ReadOnly(i, kIni); }, 1, "Program.ini' cannot be written", false },
    { "read-only .cfg", [](auto& i) { ReadOnly(i, kCfg); }, 1, "Lobix.cfg' cannot be written", false },
    { "read-only parameter folder", [](auto& i) { ReadOnly(i, "parameter"); }, 1, "cannot be written", false },
    { "read-only language file", [](auto& i) { i.Write(kLanguage, "[1031]\r\n"), ReadOnly(i, kLanguage); }, 0, "",
        true },
    { "read-only program folder", [](auto& i) { fs::remove(i.root / kLanguage), ReadOnly(i, "Tools"); }, 0, "",
        true, [](auto& i, auto&) { EXPECT_FALSE(i.Exists(kLanguage)); } },
    { "no parameter folder", [](auto& i) { fs::remove_all(i.root / "parameter"); }, 1, "Program.ini' cannot be written",
        false },
    { "10,000 sections", [](auto& i) {
         std::string many;
         for (int s = 1; s <= 10000; ++s)
             many += "[Other" + std::to_string(s) + "]\r\nKey=" + std::to_string(s) + "\r\n";
         i.Write(kIni, Machines("2", many));
     }, 0, "", true, [](auto& i, auto&) { EXPECT_EQ(i.Entry(kIni, "Other10000", "Key"), "10000"); } },
    { "long values", [](auto& i) {
         i.Write(kIni, Machines("2", "[Notes]\r\nText=" + kLong + "\r\n"));
         i.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n[1031]\r\nLabel=" + kLong + "\r\n");
     }, 0, "", true, [](auto& i, auto&) {
         EXPECT_NE(i.Read(kIni).find("Text=" + kLong + "\r\n"), std::string::npos);
     } },
    { "NUL bytes, Windows-1252, no final line end",
        [](auto& i) { i.Write(kIni, Machines("2", "[Notes]\r\nNul=a\0b\r\nF\xfcller=\xe4\r\nLast=1"s)); },
        0, "", true, [](auto& i, const std::string& before) {
            EXPECT_NE(i.Read(kIni).find(before.substr(before.find("[Notes]"))), std::string::npos);
            EXPECT_EQ(i.Entry(kIni, "Notes", "Last"), "1");
            EXPECT_EQ(i.Entry(kIni, "Machine2", "CamScaleEnd7"), "300");
        } },
    // Every template row fails the same way twice: one report and its count.
    { "templates of no part", [](auto& i) { Sql(i.Path("Lobix/Lobix_Source.mdb"), "UPDATE Source_PRESET_DEFS SET part = 99"); },
        0, "Subscript out of range", true, [](auto& i, auto&) {
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).back(), "... repeated 1,439 times");
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).size(), 2u);
            EXPECT_EQ(Lines(i.Read("servicepack.log")).back(), "! Fault Lobix_Config: ... repeated 1,439 times");
        } },
    { "unusual machine names", [](auto& i) {
         i.Write(kIni, "[Project]\r\nNumberOfMachines=4\r\n[Machine1]\r\nMachineName=Fi\"ller\r\n[Machine2]\r\n"
                       "MachineName=[Packer]\r\n[Machine3]\r\nMachineName=La=bel\r\n[Machine4]\r\nMachineName=W\xc3\xa4scher\r\n");
         i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\nForMachine3=true\r\nForMachine4=true\r\n");
     }, 0, "", true, [](auto& i, auto&) {
         EXPECT_EQ(MachineTypes(i), "Fi\"ller:360 [Packer]:360 La=bel:360 W\xc3\xa4scher:360 ");
         EXPECT_EQ(i.Entry(kIni, "Machine1", "MachineName"), "Fi\"ller");
     } },
};

}

TEST(FaultRun, EndsWithItsMessageOrResultAndKeepsWhatItDidNotMeanToChange)
{
    for (const FaultCase& c : kCases) {
        TempInstallation installation;
        installation.Write(kIni, Machines("2"));
        installation.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
        installation.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n");
        MakeDatabases(installation, "Filler,Packer", "studio");
        c.setUp(installation);
        std::map<std::string, std::string> before = Files(installation);
        const std::string ini = before.count(kIni) ? before.at(kIni) : "";

        EXPECT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), c.status) << c.name;

        std::string report = installation.Read("servicepack.log");
        EXPECT_EQ(report.empty(), *c.report == 0) << c.name << ": " << report;
        EXPECT_NE(report.find(c.report), std::string::npos) << c.name << ": " << report;
        std::map<std::string, std::string> after = Files(installation);
        for (const std::string& file : kSaved)
            if (c.saves) {
                EXPECT_NE(after[file], before[file]) << c.name << ": " << file;
                after.erase(file), before.erase(file);
            }
        // Every start adds the language file's missing entries, and only adds.
        if (after[kLanguage].rfind(before[kLanguage], 0) == 0)
            after.erase(kLanguage), before.erase(kLanguage);
        EXPECT_EQ(after, before) << c.name;
        if (c.check)
            c.check(installation, ini);
        EXPECT_EQ(installation.Read("stderr.txt"), "") << c.name;
    }
}

// Temporary files that killed runs left beside the files the program replaces are removed at the
// next start; files of other names, and one written after the start, stay.
TEST(FaultRun, LeftoverTemporaryFilesAreRemovedAtStart)
{
    TempInstallation installation;
    installation.Write(kIni, Machines("2"));
    installation.Write(kCfg, "[Project]\r\nForMachine1=true\r\n");
    const std::vector<std::string> leftovers = { "parameter/Program.ini.tmpAb12Cd", "Lobix/Lobix.cfg.tmp000000",
        "Tools/Lobix_Config.ini.tmpzzzzzz", "Lobix/Lobix.mdb.tmpQ1w2E3", "Lobix/Lobix_Source.mdb.tmpxYz789" };
    const std::vector<std::string> others = { "parameter/Program.ini.tmp12345", "parameter/Program.ini.tmp1234567",
        "parameter/Other.ini.tmpAb12Cd", "parameter/Program.ini.tmpAb12C-", "Lobix/Lobix.cfg.tmpAb12Cd.bak",
        "Lobix/Lobix.tmpAb12Cd", "parameter/Program.ini.tmpFuture" };
    for (const std::string& file : leftovers)
        installation.Write(file, "partial");
    for (const std::string& file : others)
        installation.Write(file, "kept");
    fs::create_directory(installation.root / "Lobix/Lobix.mdb.tmpFolder");
    fs::last_write_time(installation.root / "parameter/Program.ini.tmpFuture", fs::file_time_type::clock::now() + std::chrono::hours(1));

    ASSERT_EQ(RunProgram(installation, "/EXTERNAL=SILENT"), 0) << installation.Read("stderr.txt");
    for (const std::string& file : leftovers)
        EXPECT_FALSE(installation.Exists(file)) << file;
    for (const std::string& file : others)
        EXPECT_EQ(installation.Read(file), "kept") << file;
    EXPECT_TRUE(fs::is_directory(installation.root / "Lobix/Lobix.mdb.tmpFolder"));
}
