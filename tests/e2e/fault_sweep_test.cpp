// A silent OK run of a small project through the fault seam, the Nth call of one kind failing
// or the process killed at the Nth call of any kind: the saved files are all as they were (and
// the run ends with status 1 and a report) or all as a clean run leaves them (status 0), and the
// next start leaves no temporary file, no record and whole databases. Each case takes its share
// of the calls a clean run makes: one call in `make test`, every one with LOBIX_FAULT_EVERY=1.
#include "platform/system/file_replacement.h"
#include "support/databases.h"
#include "support/program_run.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

using FileMap = std::map<std::string, std::string>;

const char* const kSaved[]
    = { "parameter/Program.ini", "Lobix/Lobix.cfg", "Lobix/Lobix.mdb", "Lobix/Lobix_Source.mdb" };

void Lay(const TempInstallation& i)
{
    i.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=Filler\r\n"
        "[Machine2]\r\nMachineName=Packer\r\nCamScaleEnd7=300\r\n");
    i.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\nForMachine2=true\r\n");
    MakeDatabases(i, "Filler,Packer", "studio");
}

FileMap Saved(const TempInstallation& i)
{
    FileMap files;
    for (const char* file : kSaved)
        files[file] = i.Read(file);
    return files;
}

std::set<std::string> Names(const FileMap& files)
{
    std::set<std::string> names;
    for (const auto& [name, content] : files)
        names.insert(name);
    return names;
}

struct SweepCase {
    const char* callClass;
    const char* error;
    int part; // of `parts` equal shares of the calls
    int parts;
    friend void PrintTo(const SweepCase& c, std::ostream* out)
    {
        *out << c.callClass << " " << c.error;
    }
};

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
    std::vector<long long> Moments(FaultClass callClass) const
    {
        const SweepCase& c = GetParam();
        long long total = calls.calls[callClass];
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
        EXPECT_EQ(Names(files), Names(clean));
        if (fromOld) {
            EXPECT_TRUE(files == clean) << "not what a clean run saves";
        }
        EXPECT_EQ(Rows(i.Path("Lobix/Lobix.mdb"), "PRAGMA integrity_check"), Lines("ok\r\n"));
    }

    TempInstallation reference;
    FileMap old, clean;
    FaultTally calls {};
};

FaultClass ClassNamed(const std::string& name)
{
    const char* names[] = { "read", "write", "fsync", "rename", "close", "unlink", "link", "any" };
    return FaultClass(std::find(std::begin(names), std::end(names), name) - std::begin(names));
}

}

class FaultSweep : public SweptRun { };
class KilledRun : public SweptRun { };

TEST_P(FaultSweep, SavesAllOrNothing)
{
    const SweepCase& c = GetParam();
    std::vector<long long> moments = Moments(ClassNamed(c.callClass));
    ASSERT_TRUE(!moments.empty() || std::getenv("LOBIX_FAULT_EVERY"))
        << "a clean run makes no such call";
    for (long long n : moments) {
        SCOPED_TRACE(std::string(c.callClass) + " " + std::to_string(n));
        TempInstallation i;
        Lay(i);
        int status = RunWithFault(i, { c.callClass, n, c.error });
        ASSERT_GE(Tally(i).calls[ClassNamed(c.callClass)], n) << "the fault was not reached";
        FileMap saved = Saved(i);
        if (status == 0) {
            for (const char* file : kSaved)
                EXPECT_TRUE(saved[file] == clean[file]) << file;
        } else {
            ASSERT_EQ(status, 1) << i.Read("stderr.txt");
            EXPECT_TRUE(saved == old) << "a failed run changed a file";
            EXPECT_NE(i.Read("servicepack.log"), "");
        }
        CheckNextStart(i, status != 0);
    }
}

// Killed at the Nth call of any kind; the killed run's record is undone as the next start undoes
// it, which must leave every saved file as it was.
TEST_P(KilledRun, IsUndoneAtTheNextStart)
{
    for (long long n : Moments(kFaultAny)) {
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

std::string CaseName(const testing::TestParamInfo<SweepCase>& info)
{
    const SweepCase& c = info.param;
    return std::string(c.callClass) + "_" + c.error + "_" + std::to_string(c.part + 1) + "of"
        + std::to_string(c.parts);
}

INSTANTIATE_TEST_SUITE_P(Calls, FaultSweep, testing::ValuesIn([] {
    std::vector<SweepCase> cases;
    for (const char* callClass : { "read", "write", "fsync", "rename", "close", "unlink", "link" })
        for (int part = 0; part < 5; ++part)
            cases.push_back({ callClass, "EIO", part, 5 });
    for (int part = 0; part < 3; ++part)
        cases.push_back({ "write", "ENOSPC", part, 3 });
    return cases;
}()),
    CaseName);

INSTANTIATE_TEST_SUITE_P(Calls, KilledRun, testing::ValuesIn([] {
    std::vector<SweepCase> cases;
    for (int part = 0; part < 8; ++part)
        cases.push_back({ "any", "KILL", part, 8 });
    return cases;
}()),
    CaseName);
