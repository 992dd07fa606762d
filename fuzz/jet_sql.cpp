// The engine's translation of Jet SQL: any text translates or fails cleanly with 3075 or 3142.
// A translation is one statement that SQLite compiles or refuses with an error, it takes exactly
// the values its "?" stand for, and it runs with them bound over the tables the tool uses.
#include "platform/database/jet_sql.h"
#include "fuzz_support.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <sqlite3.h>

// True while the input's statement is compiled.
static bool& Guarding()
{
    static bool guarding = false;
    return guarding;
}

static sqlite3* Database()
{
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        sqlite3_open(":memory:", &opened);
        platform::AddJetTextCollation(opened);
        sqlite3_exec(opened,
            "CREATE TABLE Source_DEFS (ID INTEGER, NAME TEXT, CategoryID INTEGER, abs_min REAL);"
            "CREATE TABLE PRESET_DEFS (ID INTEGER, NAME TEXT, abs_min REAL, abs_max REAL,"
            " min REAL, max REAL, pass TEXT);"
            "INSERT INTO Source_DEFS VALUES (1, 'Füller.Cam1', 3, 0.5), (2, 'x''y', NULL, -1);"
            "INSERT INTO PRESET_DEFS VALUES (1, 'FÜLLER.CAM1', 0, 359, 1, 2, 'pw'), (2, NULL, "
            "1e300,"
            " NULL, -0.0, 3, x'ff00');",
            nullptr, nullptr, nullptr);
        sqlite3_limit(opened, SQLITE_LIMIT_LENGTH, 100000);
        // A runaway join or recursion is stopped rather than run to its end.
        sqlite3_progress_handler(
            opened, 100000, [](void*) { return 1; }, nullptr);
        // Nothing reaches past the one transaction an input runs in: no other files, no commit.
        sqlite3_set_authorizer(
            opened,
            [](void* guarding, int action, const char* first, const char*, const char*,
                const char*) {
                bool outside = action == SQLITE_ATTACH || action == SQLITE_DETACH
                    || action == SQLITE_TRANSACTION || action == SQLITE_SAVEPOINT
                    || (action == SQLITE_PRAGMA && first && std::string_view(first) != "table_info")
                    || (action == SQLITE_FUNCTION && first
                        && std::string_view(first) == "load_extension");
                return outside && *static_cast<bool*>(guarding) ? SQLITE_DENY : SQLITE_OK;
            },
            &Guarding());
        return opened;
    }();
    return db;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    fuzz::QuietProcess();
    std::string jet(reinterpret_cast<const char*>(data), size);
    platform::TranslatedSql translated;
    try {
        translated = platform::TranslateJetSql(jet);
    } catch (const platform::Failure& failure) {
        if (failure.number != 3075 && failure.number != 3142)
            fuzz::Broken("a translation fails only as a syntax error", jet);
        return 0;
    }
    // Parameters in SQLite's own forms (also "#name", which Jet reads as a date literal) would not
    // be counted; such texts prove nothing.
    if (jet.find_first_of(":@$#") != std::string::npos || jet.find('\0') != std::string::npos)
        return 0;
    sqlite3* db = Database();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const std::string& sql = translated.sql;
    Guarding() = true;
    int prepared = sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &statement, &tail);
    Guarding() = false;
    if (prepared != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return 0;
    }
    std::string_view rest(tail, sql.c_str() + sql.size() - tail);
    if (statement && rest.find_first_not_of(" \t\r\n\f") != std::string_view::npos) {
        sqlite3_stmt* next = nullptr;
        if (sqlite3_prepare_v2(db, tail, int(rest.size()), &next, nullptr) == SQLITE_OK && next) {
            sqlite3_finalize(next);
            fuzz::Broken("a translation is one statement", sql);
        }
    }
    if (statement && sqlite3_bind_parameter_count(statement) != translated.parameters)
        fuzz::Broken("the parameters are the \"?\" of the text", sql);
    for (int i = 1; statement && i <= translated.parameters; ++i)
        sqlite3_bind_text(statement, i, "Füller.cam1", -1, SQLITE_STATIC);
    // VACUUM could write another file and cannot run in a transaction anyway.
    bool vacuum = platform::FindIgnoringCase(sql, "VACUUM").has_value();
    for (int rows = 0; statement && !vacuum && rows < 50 && sqlite3_step(statement) == SQLITE_ROW;
         ++rows)
        ;
    sqlite3_finalize(statement);
    // Statements that change the tables are undone, so every input meets the same rows.
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return 0;
}
