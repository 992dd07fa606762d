// The built program started on installations with faulty or unusual files, and on a failing
// disk: each run ends with its message or its result, and every file it did not mean to change
// keeps its bytes.
#include "platform/system/file_replacement.h"
#include "support/databases.h"
#include "support/program_run.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <ranges>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace testing_support;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kIni = "parameter/Program.ini", kCfg = "Lobix/Lobix.cfg",
                  kLanguage = "Tools/Lobix_Config.ini", kMdb = "Lobix/Lobix.mdb",
                  kSource = "Lobix/Lobix_Source.mdb", kLog = "servicepack.log";
const std::set<std::string> kSaved = { kIni, kCfg, kMdb, kSource };

using Installation = const TempInstallation&;
using FileMap = std::map<std::string, std::string>;

std::string Machines(const std::string& count, const std::string& rest = "")
{
    return "[Project]\r\nNumberOfMachines=" + count + "\r\n[Machine1]\r\nMachineName=Filler\r\n"
        + "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\n" + rest;
}

// Filler and Packer, both selected, with old presets in the Studio form.
void Lay(Installation i)
{
    i.Write(kIni, Machines("2"));
    i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
    MakeDatabases(i, "Filler,Packer", "studio");
}

FileMap Saved(Installation i)
{
    FileMap files;
    for (const std::string& file : kSaved)
        files[file] = i.Read(file);
    return files;
}

// The files that are new, gone or changed.
std::set<std::string> Changed(const FileMap& before, const FileMap& after)
{
    std::vector<std::pair<std::string, std::string>> differing;
    std::ranges::set_symmetric_difference(before, after, std::back_inserter(differing));
    auto files = std::views::keys(differing);
    return { files.begin(), files.end() };
}

// The machine types of the presets, each with its number of presets.
const char* const kTypes = "SELECT IFNULL(group_concat(type, ' '), '') FROM (SELECT machine_type "
                           "|| ':' || COUNT(*) AS type FROM PRESET_DEFS GROUP BY machine_type "
                           "ORDER BY MIN(ID))";

// A report as the service-pack log holds it, <root> standing for the installation folder.
std::string Reported(std::string text, Installation i)
{
    for (size_t at; (at = text.find("<root>")) != std::string::npos;)
        text.replace(at, 6, i.root.string());
    return "! Fault Lobix_Config: " + text + "\r\n";
}

struct FaultCase {
    std::string name;
    std::function<void(Installation)> setUp = [](Installation) {};
    int status;
    // The service-pack log: "" for none, "..." and a piece of it, or else its one report.
    std::string report;
    std::set<std::string> changed = {}; // the files the run changes
    std::function<void(Installation)> check = [](Installation) {};
    const char* types = nullptr; // the machine types of the presets, when checked
    testing_support::Fault fault = {};
    const char* arguments = "/EXTERNAL=SILENT";
    const char* error = ""; // a piece of standard error; "" for none
    std::vector<std::string> environment = {}; // more entries for the run's environment
    friend void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }
};

const std::string kLong(100000, 'x');
const std::string kNotes = "[Notes]\r\nNul=a\0b\r\nF\xfcller=\xe4\r\nLast=1"s;
const std::string kNothingSaved = "\n\rNothing was saved.";
// Temporary files that killed runs left beside the files the program replaces.
const std::set<std::string> kLeftovers = { kIni + ".tmpAb12Cd", kCfg + ".tmp000000",
    kLanguage + ".tmpzzzzzz", kMdb + ".tmpQ1w2E3", kSource + ".tmpxYz789", kIni + ".tmpFuture" };

std::string Utf16(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii)
        bytes += std::string { c, '\0' };
    return bytes;
}

// clang-format off
const FaultCase kCases[] = {
    { .name = "no machines", .setUp = [](Installation i) { i.Write(kIni, Machines("0")); }, .status = 0, .report = "", .changed = kSaved, .types = "" },
    { .name = "no count", .setUp = [](Installation i) { i.Write(kIni, "[Machine1]\r\nMachineName=Filler\r\n"); }, .status = 0, .report = "", .changed = kSaved, .types = "" },
    { .name = "no program.ini, named in mixed case", .setUp = [](Installation i) { fs::remove(i.root / kIni); },
        .status = 0, .report = "", .changed = kSaved, .check = [](Installation i) {
            EXPECT_EQ(Lines(i.Read(kIni)), (std::vector<std::string> { "[Machine1]", "CamNr270=false" }));
            EXPECT_EQ(i.Entry(kCfg, "Info", "S_Prog"), "1.0.0 - Standalone");
        }, .arguments = "/external=Silent" },
    { .name = "32767 machines", .setUp = [](Installation i) { i.Write(kIni, Machines("32767")); }, .status = 0, .report = "", .changed = kSaved, .types = "Filler:360 Packer:360" },
    { "read-only program.ini", [](Installation i) { ReadOnly(i, kIni); }, 1, "File '<root>/parameter/Program.ini' cannot be written." + kNothingSaved },
    { "read-only .cfg", [](Installation i) { ReadOnly(i, kCfg); }, 1, "File '<root>/Lobix/Lobix.cfg' cannot be written." + kNothingSaved },
    { "read-only parameter folder", [](Installation i) { ReadOnly(i, "parameter"); }, 1, "File '<root>/parameter/Program.ini' cannot be written." + kNothingSaved },
    { "read-only component folder", [](Installation i) { ReadOnly(i, "Lobix"); }, 1, "File '<root>/Lobix/Lobix_Source.mdb' cannot be written." + kNothingSaved },
    { "read-only language file", [](Installation i) { i.Write(kLanguage, "[1031]\r\n"), ReadOnly(i, kLanguage); }, 0,
        "File '<root>/Tools/Lobix_Config.ini' could not be written.\n\rIts missing texts were not added.", kSaved },
    { "read-only program folder", [](Installation i) { fs::remove(i.root / kLanguage), ReadOnly(i, "Tools"); }, 0,
        "File '<root>/Tools/Lobix_Config.ini' could not be written.\n\rIts missing texts were not added.",
        kSaved, [](Installation i) { EXPECT_FALSE(i.Exists(kLanguage)); } },
    { "language file that is a folder", [](Installation i) { fs::remove(i.root / kLanguage), fs::create_directory(i.root / kLanguage); },
        0, "...Cannot read '<root>/Tools/Lobix_Config.ini': it is a folder", kSaved,
        [](Installation i) { EXPECT_NE(i.Read("TVXcfglog.txt").find("(Nr. 75) :Cannot read"), std::string::npos); } },
    { "no parameter folder", [](Installation i) { fs::remove_all(i.root / "parameter"); }, 1, "File '<root>/parameter/Program.ini' cannot be written." + kNothingSaved },
    { "no .cfg", [](Installation i) { fs::remove(i.root / kCfg); }, 1, "...File not found", {},
        [](Installation i) { EXPECT_EQ(i.Read(kLog), Reported("File not found: \n\r" + Upper(i.Path(kCfg)), i)); } },
    { .name = "program.ini unreadable", .status = 1, .report = "...File '<root>/parameter/Program.ini' could not be read." + kNothingSaved,
        .fault = { "read", 1, "EIO", -1, "parameter/Program.ini" } },
    { .name = ".cfg unreadable", .status = 1, .report = "...File '<root>/Lobix/Lobix.cfg' could not be read." + kNothingSaved,
        .fault = { "read", 1, "EIO", -1, "Lobix/Lobix.cfg" } },
    { "program.ini in UTF-16", [](Installation i) { i.Write(kIni, Utf16(Machines("1", "[Notes]\r\nText=x\r\n"))); }, 0, "", kSaved,
        [](Installation i) {
            std::string ini = i.Read(kIni);
            EXPECT_TRUE(ini.starts_with(Utf16("[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\nCamScaleBegin1=0\r\n")));
            EXPECT_NE(ini.find(Utf16("[Notes]\r\nText=x\r\n").substr(2)), std::string::npos);
        }, "Filler:360" },
    { "10,000 sections", [](Installation i) {
         std::string many;
         for (int s = 1; s <= 10000; ++s)
             many += "[Other" + std::to_string(s) + "]\r\nKey=" + std::to_string(s) + "\r\n";
         i.Write(kIni, Machines("2", many));
     }, 0, "", kSaved, [](Installation i) { EXPECT_EQ(i.Entry(kIni, "Other10000", "Key"), "10000"); } },
    { "long values", [](Installation i) {
         i.Write(kIni, Machines("2", "[Notes]\r\nText=" + kLong + "\r\n"));
         i.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n[1031]\r\nLabel=" + kLong + "\r\n");
     }, 0, "", kSaved, [](Installation i) { EXPECT_NE(i.Read(kIni).find("Text=" + kLong + "\r\n"), std::string::npos); } },
    { "NUL bytes, Windows-1252, no final line end", [](Installation i) { i.Write(kIni, Machines("2", kNotes)); }, 0, "",
        kSaved, [](Installation i) {
            EXPECT_NE(i.Read(kIni).find(kNotes), std::string::npos);
            EXPECT_EQ(i.Entry(kIni, "Notes", "Last"), "1");
            EXPECT_EQ(i.Entry(kIni, "Machine2", "CamScaleEnd7"), "300");
        } },
    // Every template row fails the same way: one report, its count, and nothing saved.
    { "templates of no part", [](Installation i) { Sql(i.Path(kSource), "UPDATE Source_PRESET_DEFS SET part = 99"); },
        1, "...Error in CreateRecordSets: Subscript out of range" + kNothingSaved, {}, [](Installation i) {
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).size(), 2u);
            EXPECT_EQ(Lines(i.Read("TVXcfglog.txt")).back(), "... repeated 1,439 times");
        } },
    { "unusual machine names", [](Installation i) {
         i.Write(kIni, "[Project]\r\nNumberOfMachines=4\r\n[Machine1]\r\nMachineName=Fi\"ller\r\n[Machine2]\r\n"
                       "MachineName=[Packer]\r\n[Machine3]\r\nMachineName=La=bel\r\n[Machine4]\r\nMachineName=W\xc3\xa4scher\r\n");
         i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\nForMachine3=true\r\nForMachine4=true\r\n");
     }, 0, "", kSaved, [](Installation i) { EXPECT_EQ(i.Entry(kIni, "Machine1", "MachineName"), "Fi\"ller"); },
        "Fi\"ller:360 [Packer]:360 La=bel:360 W\xc3\xa4scher:360" },
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
        [](Installation i) {
         for (const std::string& file : kSaved)
             EXPECT_TRUE(fs::is_symlink(i.root / file)) << file;
     }, "Filler:360 Packer:360" },
    { "hard link", [](Installation i) { fs::create_hard_link(i.root / kIni, i.root / "parameter/Copy.ini"); },
        1, "File '<root>/parameter/Program.ini' has other hard links." + kNothingSaved },
    { "component database that is the source", [](Installation i) { fs::remove(i.root / kMdb), fs::create_symlink("Lobix_Source.mdb", i.root / kMdb); },
        1, "...Error in WorkOnMDB: The component database '<root>/Lobix/Lobix.mdb' is the source database itself." + kNothingSaved },
    { "a demanded column missing", [](Installation i) {
         i.Write(kIni, "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
         i.Write(kCfg, "[Project]\r\nForMachine1=true\r\nDataBaseAdditionalFields=remark\r\n");
         MakeDatabases(i, "Filler", "visiwin32");
     }, 1, "...Database-Error", {}, [](Installation i) {
         EXPECT_NE(i.Read("TVXcfglog.txt").find("demanded field \"REMARK\""), std::string::npos);
     } },
    { "a read-only source", [](Installation i) { fs::permissions(i.root / kSource, fs::perms(0444)); }, 1, "File '<root>/Lobix/Lobix_Source.mdb' cannot be written." + kNothingSaved },
    { "a read-only Lobix.mdb", [](Installation i) { ReadOnly(i, kMdb); }, 1, "File '<root>/Lobix/Lobix.mdb' cannot be written." + kNothingSaved },
    // Projects from Windows: a Jet source is read, and reported as an SQLite one would be; a Jet
    // component database is left as it was.
    { "a Jet source without the templates", [](Installation i) { i.Write(kSource, JetFile("nwind.mdb")); }, 1, "...Cannot find the input table or query 'Source_DEFS'." },
    // libmdb says on standard error what it could not read.
    { .name = "a damaged Jet source", .setUp = [](Installation i) { i.Write(kSource, JetFile("nwind.mdb").substr(0, 2048)); }, .status = 1,
        .report = "...list of tables cannot be read", .error = "Unable to read table MSysObjects" },
    { "a Jet component database without PRESET_DEFS", [](Installation i) { i.Write(kMdb, JetFile("DateTestDatabase.mdb")); }, 1, "...no table 'PRESET_DEFS'" },
    { "random bytes as source", [](Installation i) {
         std::string bytes(40000, '\0');
         std::ranges::generate(bytes, std::mt19937(7));
         i.Write(kSource, bytes);
     }, 1, "...file is not a database" },
    { "a zero-length source", [](Installation i) { i.Write(kSource, ""); }, 1, "...Source_DEFS" },
    { "a truncated source", [](Installation i) { fs::resize_file(i.root / kSource, fs::file_size(i.root / kSource) / 2); },
        1, "...database disk image is malformed" },
    { .name = "a full disk", .status = 1, .report = "File '<root>/Lobix/Lobix_Source.mdb' could not be written (No space left on device)." + kNothingSaved,
        .fault = { nullptr, 0, "EIO", 65536, "Lobix" } },
    // Without a display an interactive start says so; only blanks are trimmed from a value.
    { .name = "no display", .status = 2, .report = "", .arguments = "", .error = "no display" },
    { .name = "a tab before SILENT", .status = 2, .report = "", .arguments = "/EXTERNAL=\tSILENT", .error = "no display" },
    { .name = "a key at the end", .status = 2, .report = "", .arguments = "/EXTERNAL", .error = "no display" },
    { .name = "a key at the end after another", .status = 2, .report = "", .arguments = "/LOGFILE=x /EXTERNAL", .error = "no display" },
    { .name = "a display that names no server", .status = 2, .report = "", .arguments = "/EXTERNAL=TVXCFG", .error = "no display",
        .environment = { "DISPLAY=:199" } },
    // Leftovers are removed at the start; other names and a folder stay.
    { "leftover temporary files", [](Installation i) {
         for (const std::string& file : kLeftovers)
             i.Write(file, "partial");
         for (const char* file : { "parameter/Program.ini.tmp12345", "parameter/Program.ini.tmp1234567", "parameter/Other.ini.tmpAb12Cd",
                  "parameter/Program.ini.tmpAb12C-", "Lobix/Lobix.cfg.tmpAb12Cd.bak", "Lobix/Lobix.tmpAb12Cd" })
             i.Write(file, "kept");
         fs::create_directory(i.root / "Lobix/Lobix.mdb.tmpFolder");
     }, 0, "", { kIni, kCfg, kMdb, kSource, kIni + ".tmpAb12Cd", kCfg + ".tmp000000", kMdb + ".tmpQ1w2E3", kSource + ".tmpxYz789",
                  kIni + ".tmpFuture" },
        [](Installation i) {
         for (const std::string& file : kLeftovers)
             EXPECT_FALSE(i.Exists(file)) << file;
         EXPECT_TRUE(fs::is_directory(i.root / "Lobix/Lobix.mdb.tmpFolder"));
     } },
    // Owner, group, mode and extended attributes stay with a replaced file (changing owners takes root).
    { "owner and attributes", [](Installation i) {
         if (::geteuid() != 0 || ::setxattr(i.Path(kIni).c_str(), "user.lobix", "kept", 4, 0) != 0)
             GTEST_SKIP() << "needs root and extended attributes";
         ASSERT_EQ(::chown(i.Path(kIni).c_str(), 1234, 5678), 0);
         fs::permissions(i.root / kIni, fs::perms(0640));
     }, 0, "", kSaved, [](Installation i) {
         struct stat info {};
         char value[8] = {};
         ASSERT_EQ(::stat(i.Path(kIni).c_str(), &info), 0);
         EXPECT_EQ(info.st_uid, 1234u);
         EXPECT_EQ(info.st_gid, 5678u);
         EXPECT_EQ(info.st_mode & 07777, 0640u);
         EXPECT_EQ(::getxattr(i.Path(kIni).c_str(), "user.lobix", value, sizeof value), 4);
     } },
};
// clang-format on

std::vector<FaultCase> AllCases()
{
    std::vector<FaultCase> cases(std::begin(kCases), std::end(kCases));
    for (const std::string count : { "abc", "-5", "+3", "0x3", "40000" })
        cases.push_back(
            { "count '" + count + "'", [count](Installation i) { i.Write(kIni, Machines(count)); },
                1, "...is not a number of machines: '" + count + "'\n\rNothing was changed." });
    // The markers of no machines.
    for (const std::string count : { "-1", "" })
        cases.push_back({ .name = "count '" + count + "'",
            .setUp = [count](Installation i) { i.Write(kIni, Machines(count)); },
            .status = 0,
            .report = "",
            .changed = kSaved,
            .types = "" });
    return cases;
}

class FaultRun : public testing::TestWithParam<FaultCase> { };

}

TEST_P(FaultRun, EndsWithItsMessageOrResultAndKeepsWhatItDidNotMeanToChange)
{
    const FaultCase& c = GetParam();
    TempInstallation i;
    Lay(i);
    i.Write(kLanguage, "[Language]\r\nLanguage=1031\r\n");
    c.setUp(i);
    if (testing::Test::IsSkipped())
        return;
    const std::string language = i.Read(kLanguage);
    const FileMap before = i.ProjectFiles();

    EXPECT_EQ(RunWithFault(i, c.fault, c.arguments, c.environment), c.status);

    const std::string report = i.Read(kLog), error = i.Read("stderr.txt");
    if (c.report.starts_with("...")) {
        std::string piece = Reported(c.report.substr(3), i);
        EXPECT_NE(report.find(piece.substr(22, piece.size() - 24)), std::string::npos) << report;
    } else {
        EXPECT_EQ(report, c.report.empty() ? "" : Reported(c.report, i));
    }
    // Every start adds the language file's missing entries, and only adds.
    EXPECT_TRUE(i.Read(kLanguage).starts_with(language)) << i.Read(kLanguage);
    EXPECT_EQ(Changed(before, i.ProjectFiles()), c.changed);
    c.check(i);
    if (c.types) {
        EXPECT_EQ(Rows(i.Path(kMdb), kTypes).at(0), c.types);
    }
    EXPECT_EQ(error.empty(), *c.error == 0) << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    if (c.status == 2) {
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Installations, FaultRun, testing::ValuesIn(AllCases()), CaseName<FaultCase>);

namespace {

// A silent OK run through the fault seam, the Nth call of one kind failing or the process killed
// at the Nth call of any kind: the saved files are all as they were (status 1 and a report) or all
// as a clean run leaves them (status 0), and the next start leaves no temporary file, no record
// and whole databases. Each case takes its share of the calls a clean run makes: one call in
// `make test`, every one with LOBIX_FAULT_EVERY=1.
struct SweepCase {
    std::string name;
    FaultClass callClass;
    const char* error;
    int part, parts; // this case's share: part of `parts` equal shares of the calls
    friend void PrintTo(const SweepCase& c, std::ostream* out) { *out << c.name; }
};

const char* const kClassNames[]
    = { "read", "write", "fsync", "rename", "close", "unlink", "link", "any" };

class SweptRun : public testing::TestWithParam<SweepCase> {
protected:
    // The files before and after a clean run, and the calls that run makes.
    void SetUp() override
    {
        Lay(reference);
        old = Saved(reference);
        ASSERT_EQ(RunWithFault(reference, {}), 0) << reference.Read("stderr.txt");
        clean = reference.ProjectFiles();
        calls = Tally(reference);
    }

    // The calls of this case's share: one, spread from the first call to the last over the
    // cases, or with LOBIX_FAULT_EVERY every call of its share.
    std::vector<long long> Moments() const
    {
        const SweepCase& c = GetParam();
        const long long total = calls.calls[c.callClass];
        std::vector<long long> moments;
        if (std::getenv("LOBIX_FAULT_EVERY"))
            for (long long n = total * c.part / c.parts + 1; n <= total * (c.part + 1) / c.parts;
                 ++n)
                moments.push_back(n);
        else if (total > 0)
            moments.push_back(1 + (total - 1) * c.part / std::max(1, c.parts - 1));
        return moments;
    }

    // The next start after a faulty run: it ends cleanly, with whole databases and nothing left
    // over; from the files before, it saves what a clean run saves.
    void CheckNextStart(TempInstallation& i, bool fromOld)
    {
        ASSERT_EQ(RunProgram(i, "/EXTERNAL=SILENT"), 0) << i.Read("servicepack.log");
        FileMap files = i.ProjectFiles();
        EXPECT_TRUE(std::ranges::equal(std::views::keys(files), std::views::keys(clean)))
            << "other files than a clean run leaves";
        EXPECT_TRUE(!fromOld || files == clean) << "not what a clean run saves";
        EXPECT_EQ(Rows(i.Path(kMdb), "PRAGMA integrity_check"), Lines("ok\r\n"));
    }

    TempInstallation reference;
    FileMap old, clean;
    FaultTally calls {};
};

std::vector<SweepCase> Shares(FaultClass callClass, const char* error, int parts)
{
    std::vector<SweepCase> cases;
    for (int part = 0; part < parts; ++part)
        cases.push_back({ std::string(kClassNames[callClass]) + "_" + error + "_"
                + std::to_string(part + 1) + "of" + std::to_string(parts),
            callClass, error, part, parts });
    return cases;
}

class FaultSweep : public SweptRun { };
class KilledRun : public SweptRun { };

}

TEST_P(FaultSweep, SavesAllOrNothing)
{
    const SweepCase& c = GetParam();
    const std::vector<long long> moments = Moments();
    ASSERT_TRUE(!moments.empty() || std::getenv("LOBIX_FAULT_EVERY"))
        << "a clean run makes no such call";
    for (long long n : moments) {
        SCOPED_TRACE(c.name + " at call " + std::to_string(n));
        TempInstallation i;
        Lay(i);
        int status = RunWithFault(i, { kClassNames[c.callClass], n, c.error });
        ASSERT_GE(Tally(i).calls[c.callClass], n) << "the fault was not reached";
        FileMap saved = Saved(i);
        if (status == 0) {
            for (const std::string& file : kSaved)
                EXPECT_TRUE(saved[file] == clean[file]) << file;
        } else {
            ASSERT_EQ(status, 1) << i.Read("stderr.txt");
            EXPECT_TRUE(saved == old) << "a failed run changed a file";
            EXPECT_NE(i.Read(kLog), "");
        }
        CheckNextStart(i, status != 0);
    }
}

// Killed at the Nth call of any kind; the killed run's record is undone as the next start undoes
// it, which must leave every saved file as it was.
TEST_P(KilledRun, IsUndoneAtTheNextStart)
{
    for (long long n : Moments()) {
        SCOPED_TRACE("killed at call " + std::to_string(n));
        TempInstallation i;
        Lay(i);
        ASSERT_EQ(RunWithFault(i, { "any", n, "KILL" }), 128 + SIGKILL) << "the run ended first";
        bool recorded = i.Exists("Lobix/Lobix.commit");
        EXPECT_EQ(platform::UndoInterruptedReplacement(i.Path("Lobix/Lobix.commit")).file, "");
        FileMap saved = Saved(i);
        EXPECT_TRUE(saved == old || (!recorded && saved == Saved(reference)))
            << "neither all old nor all new";
        CheckNextStart(i, saved == old);
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, FaultSweep, testing::ValuesIn([] {
    std::vector<SweepCase> cases;
    for (FaultClass callClass = kFaultRead; callClass < kFaultAny;
         callClass = FaultClass(callClass + 1))
        std::ranges::copy(Shares(callClass, "EIO", 5), std::back_inserter(cases));
    std::ranges::copy(Shares(kFaultWrite, "ENOSPC", 3), std::back_inserter(cases));
    return cases;
}()),
    CaseName<SweepCase>);

INSTANTIATE_TEST_SUITE_P(
    Calls, KilledRun, testing::ValuesIn(Shares(kFaultAny, "KILL", 8)), CaseName<SweepCase>);
