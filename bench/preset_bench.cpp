// The largest project's OK sequence, timed: five machines of 520 preset rows each, every old
// variable name in the other HMI system's form. Runs the program silently and, in turn with it,
// the floor: the same database work done in this process through prepared statements in one
// transaction, with NOCASE indexes on the looked-up columns and no SQLite mutexes, then the copy of
// the source over the component database with fsync and rename, plus the start of a bare Qt Widgets
// process on the offscreen platform with one line edit. Prints the medians and their ratio, then
// the program's figures for larger old tables. LOBIX_BENCH_RUNS sets the number of runs of each
// (5).
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

void Write(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void MakeDatabases(const fs::path& root, int oldRows)
{
    std::string machines;
    for (const char* name : kMachines)
        machines.append(machines.empty() ? "" : ",").append(name);
    std::string command = std::string("bash '") + LOBIX_SOURCE_DIR
        + "/scripts/make-demo-databases' '" + (root / "Lobix").string() + "' '" + machines
        + "' studio " + std::to_string(oldRows);
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
        programIni
            += "[Machine" + std::to_string(m) + "]\r\nMachineName=" + kMachines[m - 1] + "\r\n";
        if (m == 1)
            programIni += "CamNr270=true\r\n";
        cfg += "ForMachine" + std::to_string(m) + "=true\r\n";
    }
    Write(root / "parameter/Program.ini", programIni);
    Write(root / "Lobix/Lobix.cfg", cfg);
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

Run Measure(const std::vector<std::string>& arguments)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { seconds, Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss,
        WIFEXITED(status) ? WEXITSTATUS(status) : -1 };
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

void Check(int result, sqlite3* db)
{
    if (result != SQLITE_OK && result != SQLITE_ROW && result != SQLITE_DONE) {
        std::fprintf(stderr, "floor: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3_stmt* Prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), db);
    return statement;
}

void Exec(sqlite3* db, const std::string& sql)
{
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db);
}

std::string Replace(std::string text, const std::string& search, const std::string& value)
{
    size_t at = text.find(search);
    return at == std::string::npos ? text : text.replace(at, search.size(), value);
}

std::string Column(sqlite3_stmt* statement, int column)
{
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// The database work of one run, as directly as SQLite does it: the templates read, PRESET_DEFS
// built anew row by row with the names filled in, the old rows renamed and their limits carried
// over through NOCASE indexes, all in one transaction.
void FloorDatabaseWork(const fs::path& root)
{
    sqlite3* db = nullptr;
    // One thread: no connection mutex, and no memory statistics, whose mutex every allocation
    // takes.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_open_v2((root / "Lobix/Lobix_Source.mdb").c_str(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    Exec(db, "ATTACH '" + (root / "Lobix/Lobix.mdb").string() + "' AS old; BEGIN");
    std::string templates[2][50];
    sqlite3_stmt* defs = Prepare(db, "SELECT upper(System), Var_Name, Part FROM Source_DEFS");
    while (sqlite3_step(defs) == SQLITE_ROW) {
        int system = Column(defs, 0) == "VISIWIN32" ? 0 : 1;
        templates[system][sqlite3_column_int(defs, 2) - 1] = Column(defs, 1);
    }
    sqlite3_finalize(defs);
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* source = Prepare(db, "SELECT * FROM Source_PRESET_DEFS ORDER BY ID");
    while (sqlite3_step(source) == SQLITE_ROW) {
        rows.emplace_back();
        for (int j = 0; j < sqlite3_column_count(source); ++j)
            rows.back().push_back(Column(source, j));
    }
    sqlite3_finalize(source);
    Exec(db,
        "DROP TABLE IF EXISTS main.PRESET_DEFS;"
        "CREATE TABLE main.PRESET_DEFS AS SELECT * FROM Source_PRESET_DEFS WHERE 0;"
        "CREATE INDEX old.names ON PRESET_DEFS (var_name COLLATE NOCASE)");
    sqlite3_stmt* insert
        = Prepare(db, "INSERT INTO main.PRESET_DEFS VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    sqlite3_stmt* rename = Prepare(
        db, "UPDATE old.PRESET_DEFS SET var_name = ?1 WHERE var_name = ?2 COLLATE NOCASE");
    int id = 1;
    for (const char* machine : kMachines)
        for (size_t r = 0; r < rows.size(); ++r, ++id) {
            int part = std::stoi(rows[r][2]) - 1;
            std::string names[2];
            for (int s = 0; s < 2; ++s)
                names[s] = Replace(Replace(Replace(templates[s][part], "###Var_Name", rows[r][3]),
                                       "###machine", machine),
                    "###machine", machine);
            sqlite3_bind_int(insert, 1, id);
            for (int j = 1; j < 15; ++j) {
                std::string value = j == 3 ? names[0]
                    : j == 7               ? std::to_string(r)
                             : Replace(Replace(Replace(rows[r][j], "###machine", machine),
                                           "###text", std::to_string(r / 2 + 1)),
                                 "###Page", "0");
                sqlite3_bind_text(insert, j + 1, value.c_str(), -1, SQLITE_TRANSIENT);
            }
            Check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
            sqlite3_bind_text(rename, 1, names[0].c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(rename, 2, names[1].c_str(), -1, SQLITE_TRANSIENT);
            Check(sqlite3_step(rename), db);
            sqlite3_reset(rename);
        }
    Exec(db,
        "CREATE INDEX main.matches ON PRESET_DEFS (machine_type COLLATE NOCASE, var_name COLLATE "
        "NOCASE, "
        "offset_or_bitno)");
    sqlite3_stmt* old = Prepare(db,
        "SELECT machine_type, var_name, offset_or_bitno, abs_min, abs_max, min, max, "
        "pass FROM old.PRESET_DEFS");
    sqlite3_stmt* takeover = Prepare(db,
        "UPDATE main.PRESET_DEFS SET abs_min = ?4, abs_max = ?5, min = ?6, max = ?7, "
        "pass = ?8 WHERE machine_type = ?1 COLLATE NOCASE AND var_name = ?2 COLLATE "
        "NOCASE AND offset_or_bitno = ?3");
    while (sqlite3_step(old) == SQLITE_ROW) {
        for (int k = 0; k < 8; ++k)
            sqlite3_bind_value(takeover, k + 1, sqlite3_column_value(old, k));
        Check(sqlite3_step(takeover), db);
        sqlite3_reset(takeover);
    }
    for (sqlite3_stmt* statement : { insert, rename, old, takeover })
        sqlite3_finalize(statement);
    Exec(db, "DROP INDEX main.matches; DROP INDEX old.names; COMMIT");
    sqlite3_close(db);
}

// The source copied over the component database through a synced file and a rename.
void FloorCopy(const fs::path& root)
{
    std::ifstream in(root / "Lobix/Lobix_Source.mdb", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string temporary = (root / "Lobix/Lobix.mdb.new").string();
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()) || fsync(fd) != 0)
        std::exit(1);
    close(fd);
    fs::rename(temporary, root / "Lobix/Lobix.mdb");
    int folder = open((root / "Lobix").c_str(), O_RDONLY | O_DIRECTORY);
    fsync(folder);
    close(folder);
}

Run Floor(const fs::path& root)
{
    Run qt = Measure({ LOBIX_BARE_QT, "-platform", "offscreen" });
    auto start = std::chrono::steady_clock::now();
    double cpu = CpuSeconds();
    FloorDatabaseWork(root);
    FloorCopy(root);
    double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { qt.seconds + seconds, qt.cpuSeconds + CpuSeconds() - cpu, qt.peakKilobytes,
        qt.status };
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Run Program(const fs::path& root, int oldRows)
{
    WriteSettings(root);
    MakeDatabases(root, oldRows);
    Run run = Measure({ (root / "Tools/Lobix_Config").string(), "/EXTERNAL=SILENT" });
    if (run.status != 0) {
        std::fprintf(stderr, "the program ended with status %d\n", run.status);
        std::exit(1);
    }
    return run;
}

}

int main()
{
    const char* runsSetting = std::getenv("LOBIX_BENCH_RUNS");
    int runs = std::max(1, runsSetting ? std::atoi(runsSetting) : 5);
    std::random_device seed;
    fs::path root = fs::temp_directory_path() / ("lobix-bench-" + std::to_string(seed()));
    fs::create_directories(root / "Tools");
    fs::copy_file(LOBIX_CONFIG_EXE, root / "Tools/Lobix_Config");
    setenv("TARVEL_SERVICEPACK_LOG", (root / "servicepack.log").c_str(), 1);
    // As the program gives Qt one of its own when there is none.
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 0);

    std::vector<double> programWall, programCpu, floorWall, floorCpu;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        Run program = Program(root, 520);
        MakeDatabases(root, 520);
        Run floor = Floor(root);
        programWall.push_back(program.seconds);
        programCpu.push_back(program.cpuSeconds);
        floorWall.push_back(floor.seconds);
        floorCpu.push_back(floor.cpuSeconds);
        peak = std::max(peak, program.peakKilobytes);
    }
    std::printf("Largest project: 5 machines x 520 rows (2,600 new rows, 2,600 old rows renamed "
                "and taken over)\n");
    std::printf("Medians of %d runs each, the program and the floor in turn:\n", runs);
    std::printf("  OK sequence, silent run:  %7.3f s wall, %7.3f s CPU, peak memory %5.1f MB\n",
        Median(programWall), Median(programCpu), peak / 1024.0);
    std::printf("  floor (bare Qt start, in-process SQLite, copy): %7.3f s wall, %7.3f s CPU\n",
        Median(floorWall), Median(floorCpu));
    std::printf("  ratio program / floor:    %7.2f wall, %7.2f CPU\n",
        Median(programWall) / Median(floorWall), Median(programCpu) / Median(floorCpu));
    std::printf("Larger old tables (the same 2,600 new rows), one run each:\n");
    for (int oldRows : { 2000, 8000, 20000 }) {
        Run run = Program(root, oldRows);
        std::printf("  %7d old rows: %7.3f s wall, %7.3f s CPU, peak memory %6.1f MB\n",
            5 * oldRows, run.seconds, run.cpuSeconds, run.peakKilobytes / 1024.0);
    }
    fs::remove_all(root);
    return 0;
}
