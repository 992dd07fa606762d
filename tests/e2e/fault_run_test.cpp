// The built program started on installations with faulty or unusual files, a full disk among
// them: each run ends with its message or its result, and every file it did not mean to change
// keeps its bytes.
#include "support/databases.h"
#include "support/program_run.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace testing_support;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kIni = "parameter/Program.ini", kCfg = "Lobix/Lobix.cfg", kLanguage = "Tools/Lobix_Config.ini",
                  kMdb = "Lobix/Lobix.mdb", kSource = "Lobix/Lobix_Source.mdb", kLog = "servicepack.log";
const std::vector<std::string> kSaved = { kIni, kCfg, kMdb, kSource };
// Disk budgets besides a number of bytes.
const long long kNotPreloaded = -1, kAtTheCopy = -2, kUnlimited = -3;

std::string Machines(const std::string& count, const std::string& rest = "")
{
    return "[Project]\r\nNumberOfMachines=" + count + "\r\n[Machine1]\r\nMachineName=Filler\r\n"
        + "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\n" + rest;
}

void Lay(const TempInstallation& i)
{
    i.Write(kIni, Machines("2"));
    i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
    i.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n");
    MakeDatabases(i, "Filler,Packer", "studio");
}

// A run; with a `budget` of 0 or more, the component folder's disk is full after so many bytes.
int RunOn(const TempInstallation& i, long long budget, const std::string& arguments = "/EXTERNAL=SILENT")
{
    if (budget == kNotPreloaded)
        return RunProgram(i, arguments);
    std::vector<std::string> environment = { "EDITOR=abc", "LD_PRELOAD=" LOBIX_FULL_DISK,
        "LOBIX_FULL_DISK_FOLDER=" + fs::canonical(i.root / "Lobix").string(),
        "LOBIX_FULL_DISK_TALLY=" + i.Path("tally.txt"), "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0" };
    if (budget >= 0)
        environment.push_back("LOBIX_FULL_DISK_BYTES=" + std::to_string(budget));
    return WaitForProgram(StartProgram(i, arguments, environment));
}

// A budget that the rebuild stays within and the copy does not: what a whole run writes, less
// half the copy (the settings written after it are far smaller).
long long BudgetForTheCopy()
{
    TempInstallation free;
    Lay(free);
    EXPECT_EQ(RunOn(free, kUnlimited), 0) << free.Read(kLog);
    return std::stoll(free.Read("tally.txt")) - static_cast<long long>(fs::file_size(free.Path(kMdb))) / 2;
}

std::map<std::string, std::string> Files(const TempInstallation& i)
{
    std::map<std::string, std::string> files = i.ProjectFiles();
    if (i.Exists(kLanguage))
        files[kLanguage] = i.Read(kLanguage);
    return files;
}

// The files that are new, gone or changed.
std::vector<std::string> Changed(std::map<std::string, std::string> before, const std::map<std::string, std::string>& after)
{
    std::vector<std::string> changed;
    for (const auto& [file, bytes] : after) {
        auto old = before.find(file);
        if (old == before.end() || before.extract(old).mapped() != bytes)
            changed.push_back(file);
    }
    for (const auto& [file, bytes] : before)
        changed.push_back(file);
    return changed;
}

std::string MachineTypes(const TempInstallation& i)
{
    std::string types;
    for (const std::string& row : Rows(i.Path(kMdb),
             "SELECT machine_type || ':' || COUNT(*) FROM PRESET_DEFS GROUP BY machine_type ORDER BY MIN(ID)"))
        types += row + " ";
    return types;
}

std::string Count(const TempInstallation& i, const std::string& database)
{
    return Rows(i.Path(database), "SELECT COUNT(*) FROM PRESET_DEFS").at(0);
}

std::string Fault(const std::string& text) { return "! Fault Lobix_Config: " + text + "\r\n"; }

std::string RandomBytes(size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

using Installation = const TempInstallation&;

struct FaultCase {
    const char* name;
    std::function<void(Installation)> setUp;
    int status;
    const char* report;               // a piece of the service-pack log; "" for none
    std::vector<std::string> changed; // the files the run changes
    // Checks the finished run; gets the program.ini as it was before.
    std::function<void(Installation, const std::string&)> check = {};
    long long budget = kNotPreloaded;
    const char* arguments = "/EXTERNAL=SILENT";
};

const std::string kLong(100000, 'x');

const FaultCase kCases[] = {
    { "letters", [](Installation i) { i.Write(kIni, Machines("abc")); }, 1, "is not a number of machines: 'abc'", {} },
    { "a sign", [](Installation i) { i.Write(kIni, Machines("-5")); }, 1, "machines: '-5'", {} },
    { "an empty count", [](Installation i) { i.Write(kIni, Machines("")); }, 1, "machines: ''", {} },
    { "hex", [](Installation i) { i.Write(kIni, Machines("0x3")); }, 1, "machines: '0x3'", {} },
    { "an overflow", [](Installation i) { i.Write(kIni, Machines("40000")); }, 1, "machines: '40000'", {} },
    { "no machines", [](Installation i) { i.Write(kIni, Machines("0")); }, 0, "", kSaved,
        [](Installation i, auto&) { EXPECT_EQ(MachineTypes(i), ""); } },
    { "no count", [](Installation i) { i.Write(kIni, "[Machine1]\r\nMachineName=Filler\r\n"); }, 0, "", kSaved,
        [](Installation i, auto&) { EXPECT_EQ(MachineTypes(i), ""); } },
    { .name = "no program.ini, named in mixed case", .setUp = [](Installation i) { fs::remove(i.root / kIni); },
        .status = 0, .report = "", .changed = kSaved, .check = [](Installation i, auto&) {
            EXPECT_EQ(Lines(i.Read(kIni)), (std::vector<std::string> { "[Machine1]", "CamNr270=false" }));
            EXPECT_EQ(i.Entry(kCfg, "Info", "S_Prog"), "1.0.0 - Standalone");
        }, .arguments = "/external=Silent" },
    { "32767 machines", [](Installation i) { i.Write(kIni, Machines("32767")); }, 0, "", kSaved,
        [](Installation i, auto&) { EXPECT_EQ(MachineTypes(i), "Filler:360 Packer:360 "); } },
    { "read-only program.ini", [](Installation i) { ReadOnly(i, kIni); }, 1, "cannot be written", {},
        [](Installation i, auto&) {
            EXPECT_EQ(i.Read(kLog), Fault("File '" + i.Path(kIni) + "' cannot be written.\n\rNothing was saved."));
        } },
    { "read-only .cfg", [](Installation i) { ReadOnly(i, kCfg); }, 1, "Lobix.cfg' cannot be written", {} },
    { "read-only parameter folder", [](Installation i) { ReadOnly(i, "parameter"); }, 1, "cannot be written", {} },
    { "read-only component folder", [](Installation i) { ReadOnly(i, "Lobix"); }, 1, "cannot be written", {},
        [](Installation i, auto&) {
            EXPECT_EQ(i.Read(kLog), Fault("File '" + i.Path(kSource) + "' cannot be written.\n\rNothing was saved."));
        } },
    { "read-only language file", [](Installation i) { i.Write(kLanguage, "[1031]\r\n"), ReadOnly(i, kLanguage); }, 0, "", kSaved },
    { "read-only program folder", [](Installation i) { fs::remove(i.root / kLanguage), ReadOnly(i, "Tools"); }, 0, "",
        kSaved, [](Installation i, auto&) { EXPECT_FALSE(i.Exists(kLanguage)); } },
    { "no parameter folder", [](Installation i) { fs::remove_all(i.root / "parameter"); }, 1,
        "Program.ini' cannot be written", {} },
    { "no .cfg", [](Installation i) { fs::remove(i.root / kCfg); }, 1, "File not found", {},
        [](Installation i, auto&) { EXPECT_EQ(i.Read(kLog), Fault("File not found: \n\r" + Upper(i.Path(kCfg)))); } },
    { "10,000 sections", [](Installation i) {
         std::string many;
         for (int s = 1; s <= 10000; ++s)
             many += "[Other" + std::to_string(s) + "]\r\nKey=" + std::to_string(s) + "\r\n";
         i.Write(kIni, Machines("2", many));
     }, 0, "", kSaved, [](Installation i, auto&) { EXPECT_EQ(i.Entry(kIni, "Other10000", "Key"), "10000"); } },
    { "long values", [](Installation i) {
         i.Write(kIni, Machines("2", "[Notes]\r\nText=" + kLong + "\r\n"));
         i.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n[1031]\r\nLabel=" + kLong + "\r\n");
     }, 0, "", kSaved, [](Installation i, auto&) { EXPECT_NE(i.Read(kIni).find("Text=" + kLong + "\r\n"), std::string::npos); } },
    { "NUL bytes, Windows-1252, no final line end",
        [](Installation i) { i.Write(kIni, Machines("2", "[Notes]\r\nNul=a\0b\r\nF\xfcller=\xe4\r\nLast=1"s)); }, 0, "",
        kSaved, [](Installation i, const std::string& before) {
            EXPECT_NE(i.Read(kIni).find(before.substr(before.find("[Notes]"))), std::string::npos);
            EXPECT_EQ(i.Entry(kIni, "Notes", "Last"), "1");
            EXPECT_EQ(i.Entry(kIni, "Machine2", "CamScaleEnd7"), "300");
        } },
    // Every template row fails the same way twice: one report and its count.
    { "templates of no part", [](Installation i) { Sql(i.Path(kSource), "UPDATE Source_PRESET_DEFS SET part = 99"); },
        0, "Subscript out of range", kSaved, [](Installation i, auto&) {
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).back(), "... repeated 1,439 times");
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).size(), 2u);
            EXPECT_EQ(Lines(i.Read(kLog)).back(), "! Fault Lobix_Config: ... repeated 1,439 times");
        } },
    { "unusual machine names", [](Installation i) {
         i.Write(kIni, "[Project]\r\nNumberOfMachines=4\r\n[Machine1]\r\nMachineName=Fi\"ller\r\n[Machine2]\r\n"
                       "MachineName=[Packer]\r\n[Machine3]\r\nMachineName=La=bel\r\n[Machine4]\r\nMachineName=W\xc3\xa4scher\r\n");
         i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\nForMachine3=true\r\nForMachine4=true\r\n");
     }, 0, "", kSaved, [](Installation i, auto&) {
         EXPECT_EQ(MachineTypes(i), "Fi\"ller:360 [Packer]:360 La=bel:360 W\xc3\xa4scher:360 ");
         EXPECT_EQ(i.Entry(kIni, "Machine1", "MachineName"), "Fi\"ller");
     } },
    // Each file through a symbolic link: Program.ini through two relative ones.
    { "symbolic links", [](Installation i) {
         fs::create_directory(i.root / "real");
         for (const std::string& file : kSaved) {
             fs::rename(i.root / file, i.root / "real" / fs::path(file).filename());
             fs::create_symlink(i.root / "real" / fs::path(file).filename(), i.root / file);
         }
         fs::create_symlink("Program.ini", i.root / "real/Program.link");
         fs::remove(i.root / kIni), fs::create_symlink("../real/Program.link", i.root / kIni);
     }, 0, "", { "real/Lobix.cfg", "real/Lobix.mdb", "real/Lobix_Source.mdb", "real/Program.ini" },
        [](Installation i, auto&) {
         for (const std::string& file : kSaved)
             EXPECT_TRUE(fs::is_symlink(i.root / file)) << file;
         EXPECT_EQ(Count(i, "real/Lobix.mdb"), "720");
     } },
    // The rebuilt source table stays; the component database is not replaced, only its old column
    // name is brought up to date.
    { "a demanded column missing", [](Installation i) {
         i.Write(kIni, "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
         i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=remark\r\n");
         MakeDatabases(i, "Filler", "visiwin32");
     }, 1, "Database-Error", { kMdb, kSource }, [](Installation i, auto&) {
         EXPECT_EQ(Count(i, kSource), "360");
         EXPECT_EQ(Count(i, kMdb), "520");
         EXPECT_EQ(Rows(i.Path(kMdb), "SELECT name FROM pragma_table_info('PRESET_DEFS') WHERE name LIKE 'categ%'"),
             std::vector<std::string> { "category_id" });
         EXPECT_NE(i.Read("TVXcfglog.txt").find("demanded field \"REMARK\""), std::string::npos);
     } },
    { "a new table without its template", [](Installation i) {
         MakeDatabases(i, "Filler", "visiwin32");
         Sql(i.Path(kSource), "DROP TABLE Source_PRESET_DEFS;");
         Sql(i.Path(kMdb), "DELETE FROM PRESET_DEFS WHERE ID > 1;");
     }, 1, "Lobix.mdb' was not replaced.", {}, [](Installation i, auto&) {
         EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).size(), 1u);
         EXPECT_NE(i.Read("TVXcfglog.txt").find("/ WorkOnMDB (Nr. 3265)"), std::string::npos);
     } },
    { "a read-only source", [](Installation i) { fs::permissions(i.root / kSource, fs::perms(0444)); }, 1,
        "Lobix_Source.mdb' cannot be written", {} },
    { "a read-only Lobix.mdb", [](Installation i) { ReadOnly(i, kMdb); }, 1, "Lobix.mdb' cannot be written", {} },
    { "random bytes as source", [](Installation i) { i.Write(kSource, RandomBytes(40000)); }, 1,
        "file is not a database", {} },
    { "a zero-length source", [](Installation i) { i.Write(kSource, ""); }, 1, "Source_DEFS", {} },
    { "a truncated source", [](Installation i) { fs::resize_file(i.root / kSource, fs::file_size(i.root / kSource) / 2); },
        1, "database disk image is malformed", {} },
    { "a full disk at once", [](Installation) {}, 1, "database or disk is full", {}, {}, 0 },
    // The source keeps its bytes; its journal stays behind.
    { "a full disk after 64 KB", [](Installation) {}, 1, "database or disk is full", { kSource + "-journal" }, {},
        65536 },
    { "a full disk at the copy", [](Installation) {}, 1, "Disk full", { kSource }, {}, kAtTheCopy },
    // Without a display an interactive start says so; only blanks are trimmed from a value.
    { .name = "no display", .setUp = [](Installation) {}, .status = 2, .report = "", .changed = {},
        .check = [](Installation i, auto&) { EXPECT_NE(i.Read("stderr.txt").find("no display"), std::string::npos); },
        .arguments = "" },
    { .name = "a tab before SILENT", .setUp = [](Installation) {}, .status = 2, .report = "", .changed = {},
        .check = [](Installation i, auto&) { EXPECT_NE(i.Read("stderr.txt").find("no display"), std::string::npos); },
        .arguments = "/EXTERNAL=\tSILENT" },
};

}

TEST(FaultRun, EndsWithItsMessageOrResultAndKeepsWhatItDidNotMeanToChange)
{
    const long long copyBudget = BudgetForTheCopy();
    for (const FaultCase& c : kCases) {
        TempInstallation installation;
        Lay(installation);
        c.setUp(installation);
        std::map<std::string, std::string> before = Files(installation);
        const std::string ini = before.count(kIni) ? before.at(kIni) : "";

        EXPECT_EQ(RunOn(installation, c.budget == kAtTheCopy ? copyBudget : c.budget, c.arguments), c.status) << c.name;

        std::string report = installation.Read(kLog);
        EXPECT_EQ(report.empty(), *c.report == 0) << c.name << ": " << report;
        EXPECT_NE(report.find(c.report), std::string::npos) << c.name << ": " << report;
        std::map<std::string, std::string> after = Files(installation);
        // Every start adds the language file's missing entries, and only adds.
        if (after[kLanguage].rfind(before[kLanguage], 0) == 0)
            after.erase(kLanguage), before.erase(kLanguage);
        std::vector<std::string> changed = c.changed;
        std::sort(changed.begin(), changed.end());
        EXPECT_EQ(Changed(before, after), changed) << c.name;
        if (c.check)
            c.check(installation, ini);
        EXPECT_TRUE(c.status == 2 || installation.Read("stderr.txt").empty()) << c.name << installation.Read("stderr.txt");
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
