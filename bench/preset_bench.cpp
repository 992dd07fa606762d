// The largest project's OK sequence, timed: five machines of 520 preset rows each, every old
// variable name in the other HMI system's form. Runs the program silently and, in turn with it,
// the floor: the sqlite3 tool doing the same database work in one transaction with indexes on
// the compared columns, followed by the copy of the source over the component database. Prints
// the medians of both and their ratio. LOBIX_BENCH_RUNS sets the number of runs of each (5).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* kMachines[5] = { "Filler", "Packer", "Labeller", "Wrapper", "Palletizer" };
constexpr int kTemplateRows = 520;

void Write(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void MakeDatabases(const fs::path& root)
{
    std::string machines;
    for (const char* name : kMachines)
        machines.append(machines.empty() ? "" : ",").append(name);
    std::string command = std::string("bash '") + LOBIX_SOURCE_DIR + "/scripts/make-demo-databases' '"
        + (root / "Lobix").string() + "' '" + machines + "' studio";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not make the databases\n");
        std::exit(1);
    }
}

void WriteSettings(const fs::path& root)
{
    std::string programIni = "[Project]\r\nNumberOfMachines=5\r\nVWStudio=false\r\n";
    std::string cfg = "[Project]\r\n";
    for (int m = 1; m <= 5; ++m) {
        programIni += "[Machine" + std::to_string(m) + "]\r\nMachineName=" + kMachines[m - 1] + "\r\n";
        if (m == 1)
            programIni += "CamNr270=true\r\n";
        cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
    }
    Write(root / "parameter/Program.ini", programIni);
    Write(root / "Lobix/Lobix.cfg", cfg);
}

void LayOut(const fs::path& root)
{
    WriteSettings(root);
    fs::create_directories(root / "Tools");
    fs::copy_file(LOBIX_CONFIG_EXE, root / "Tools/Lobix_Config", fs::copy_options::overwrite_existing);
    MakeDatabases(root);
}

struct Run {
    double seconds;
    double cpuSeconds;
    long peakKilobytes;
    int status;
};

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs `argv` with `input` (a file, or nullptr) on its standard input.
Run Measure(const std::vector<std::string>& arguments, const char* input)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        if (input && !std::freopen(input, "r", stdin))
            _exit(127);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { seconds, Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss,
        WIFEXITED(status) ? WEXITSTATUS(status) : -1 };
}

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

// The same database work as one run, for the sqlite3 tool in one transaction: the inserts of
// the new rows, the renaming updates of the old ones and the look-ups with updates of the
// takeover, each look-up through an index on the columns it compares. The indexes are dropped
// before the commit, as the program leaves none behind.
std::string EquivalentSql(const fs::path& root)
{
    std::string sql = "ATTACH " + Quoted((root / "Lobix/Lobix.mdb").string()) + " AS old;\nBEGIN;\n"
        "DROP TABLE IF EXISTS main.PRESET_DEFS;\n"
        "CREATE TABLE main.PRESET_DEFS AS SELECT * FROM main.Source_PRESET_DEFS WHERE 0;\n"
        "CREATE INDEX old.old_names ON PRESET_DEFS (var_name, machine_type, offset_or_bitno);\n";
    int id = 1;
    for (const char* machine : kMachines)
        for (int r = 1; r <= kTemplateRows; ++r, ++id) {
            bool on = r % 2 == 1;
            std::string cam = std::to_string((r + 1) / 2);
            std::string studio = std::string(machine) + ".Lobix." + (on ? "" : "Preset.") + (on ? "CamOn" : "CamOff") + cam;
            std::string visiwin = std::string(machine) + "_Lobix_" + (on ? "" : "Preset_") + (on ? "CamOn" : "CamOff") + cam;
            std::string text = "Kurve " + std::to_string((r - 1) / 2 + 1) + (on ? " Ein (" : " Aus (") + machine + ")";
            sql += "INSERT INTO main.PRESET_DEFS VALUES (" + std::to_string(id) + "," + Quoted(machine) + ","
                + (on ? "1" : "2") + "," + Quoted(visiwin) + ",3,1,0," + std::to_string(r - 1) + "," + Quoted(text)
                + ",'Seite 0',0,359,0,359,1);\n";
            sql += "UPDATE old.PRESET_DEFS SET var_name = " + Quoted(visiwin) + " WHERE var_name = " + Quoted(studio)
                + ";\n";
        }
    sql += "CREATE INDEX main.new_names ON PRESET_DEFS (var_name, machine_type, offset_or_bitno);\n";
    for (const char* machine : kMachines)
        for (int r = 1; r <= kTemplateRows; ++r) {
            bool on = r % 2 == 1;
            std::string visiwin = std::string(machine) + "_Lobix_" + (on ? "" : "Preset_") + (on ? "CamOn" : "CamOff")
                + std::to_string((r + 1) / 2);
            std::string where = " WHERE machine_type = " + Quoted(machine) + " AND var_name = " + Quoted(visiwin)
                + " AND offset_or_bitno = " + std::to_string(r - 1);
            sql += "UPDATE main.PRESET_DEFS SET (abs_min, abs_max, min, max, pass) = (SELECT abs_min, abs_max, min, "
                   "max, pass FROM old.PRESET_DEFS"
                + where + ")" + where + ";\n";
        }
    return sql + "DROP INDEX old.old_names;\nDROP INDEX main.new_names;\nCOMMIT;\n";
}

// The floor of one run: the sqlite3 tool's work and the copy over the component database.
Run Floor(const fs::path& root, const fs::path& script)
{
    Run tool = Measure({ "sqlite3", (root / "Lobix/Lobix_Source.mdb").string() }, script.c_str());
    auto start = std::chrono::steady_clock::now();
    fs::copy_file(root / "Lobix/Lobix_Source.mdb", root / "Lobix/Lobix.mdb", fs::copy_options::overwrite_existing);
    double copy = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { tool.seconds + copy, tool.cpuSeconds + copy, tool.peakKilobytes, tool.status };
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}

int main()
{
    const char* runsSetting = std::getenv("LOBIX_BENCH_RUNS");
    int runs = std::max(1, runsSetting ? std::atoi(runsSetting) : 5);
    std::random_device seed;
    fs::path root = fs::temp_directory_path() / ("lobix-bench-" + std::to_string(seed()));
    LayOut(root);
    setenv("TARVEL_SERVICEPACK_LOG", (root / "servicepack.log").c_str(), 1);
    fs::path script = root / "equivalent.sql";
    Write(script, EquivalentSql(root));

    std::vector<double> programWall, programCpu, floorWall, floorCpu;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        WriteSettings(root);
        MakeDatabases(root);
        Run program = Measure({ (root / "Tools/Lobix_Config").string(), "/EXTERNAL=SILENT" }, nullptr);
        if (program.status != 0) {
            std::fprintf(stderr, "the program ended with status %d\n", program.status);
            return 1;
        }
        MakeDatabases(root);
        Run floor = Floor(root, script);
        if (floor.status != 0) {
            std::fprintf(stderr, "sqlite3 ended with status %d\n", floor.status);
            return 1;
        }
        programWall.push_back(program.seconds);
        programCpu.push_back(program.cpuSeconds);
        floorWall.push_back(floor.seconds);
        floorCpu.push_back(floor.cpuSeconds);
        peak = std::max(peak, program.peakKilobytes);
    }

    std::printf("Largest project: 5 machines x 520 rows (2600 new rows, 2600 old rows renamed and taken over)\n");
    std::printf("Medians of %d runs each, the program and the floor in turn:\n", runs);
    std::printf("  OK sequence, silent run:            %7.3f s wall, %7.3f s CPU, peak memory %5.1f MB\n",
        Median(programWall), Median(programCpu), peak / 1024.0);
    std::printf("  floor (sqlite3 indexed, one transaction, copy): %7.3f s wall, %7.3f s CPU\n",
        Median(floorWall), Median(floorCpu));
    std::printf("  ratio program / floor:              %7.2f wall, %7.2f CPU\n",
        Median(programWall) / Median(floorWall), Median(programCpu) / Median(floorCpu));
    fs::remove_all(root);
    return 0;
}
