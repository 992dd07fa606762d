// The built program started silently where the source database cannot be rebuilt or copied: a
// full disk, a read-only, damaged or empty source, a read-only component database. Each run ends
// with status 1 and names the cause, and the component database and the settings keep their bytes.
#include "support/databases.h"
#include "support/program_run.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kSource = "Lobix/Lobix_Source.mdb";
const std::vector<std::string> kKept = { "parameter/Program.ini", "Lobix/Lobix.cfg", "Lobix/Lobix.mdb" };

void Lay(const TempInstallation& installation)
{
    installation.Write("parameter/Program.ini", kThreeMachines);
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
    MakeDatabases(installation, "Filler,Packer", "studio");
}

// Runs the program with the component folder's disk full after `budget` bytes; a budget below
// 0 leaves it room.
int RunOnDisk(const TempInstallation& installation, long long budget)
{
    std::vector<std::string> environment = { "EDITOR=abc", "LD_PRELOAD=" LOBIX_FULL_DISK,
        "LOBIX_FULL_DISK_FOLDER=" + fs::canonical(installation.root / "Lobix").string(),
        "LOBIX_FULL_DISK_TALLY=" + installation.Path("tally.txt"),
        "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0" };
    if (budget >= 0)
        environment.push_back("LOBIX_FULL_DISK_BYTES=" + std::to_string(budget));
    return WaitForProgram(StartProgram(installation, "/EXTERNAL=SILENT", environment), 60);
}

// A budget that the rebuild stays within and the copy does not: what a whole run writes, less
// half the copy (the settings written after it are far smaller).
long long BudgetForTheCopy()
{
    TempInstallation free;
    Lay(free);
    EXPECT_EQ(RunOnDisk(free, -1), 0) << free.Read("servicepack.log");
    return std::stoll(free.Read("tally.txt")) - static_cast<long long>(fs::file_size(free.Path("Lobix/Lobix.mdb"))) / 2;
}

std::string RandomBytes(size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

struct RebuildCase {
    const char* name;
    std::function<void(const TempInstallation&)> setUp;
    const char* report; // a piece of the service-pack log
    long long budget = -1;
};

}

TEST(FailedRebuild, EndsWithItsCauseAndKeepsTheComponentDatabaseAndTheSettings)
{
    auto none = [](auto&) {};
    const RebuildCase cases[] = {
        { "a full disk at once", none, "database or disk is full", 0 },
        { "a full disk after 64 KB", none, "database or disk is full", 65536 },
        { "a full disk at the copy", none, "Disk full", BudgetForTheCopy() },
        { "a read-only source", [](auto& i) { fs::permissions(i.root / kSource, fs::perms(0444)); },
            "Lobix_Source.mdb' cannot be written" },
        { "random bytes", [](auto& i) { i.Write(kSource, RandomBytes(40000)); }, "file is not a database" },
        { "zero length", [](auto& i) { i.Write(kSource, ""); }, "Source_DEFS" },
        { "truncated", [](auto& i) { fs::resize_file(i.root / kSource, fs::file_size(i.root / kSource) / 2); },
            "database disk image is malformed" },
        { "a read-only Lobix.mdb", [](auto& i) { ReadOnly(i, "Lobix/Lobix.mdb"); }, "Lobix.mdb' cannot be written" },
    };
    for (const RebuildCase& c : cases) {
        TempInstallation installation;
        Lay(installation);
        c.setUp(installation);
        std::map<std::string, std::string> before;
        for (const std::string& file : kKept)
            before[file] = installation.Read(file);

        EXPECT_EQ(RunOnDisk(installation, c.budget), 1) << c.name;

        std::string report = installation.Read("servicepack.log");
        EXPECT_NE(report.find(c.report), std::string::npos) << c.name << ": " << report;
        for (const std::string& file : kKept)
            EXPECT_EQ(installation.Read(file), before[file]) << c.name << ": " << file;
    }
}
