// The tables of a copy and their columns.
#include "platform/database/database.h"

#include "platform/database/database_connection.h"
#include "platform/database/database_names.h"
#include "platform/database/database_statements.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <algorithm>

namespace platform {

static constexpr const char* kUserTables = "SELECT name FROM sqlite_schema WHERE type = 'table'"
                                           " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'";

std::optional<std::string> StoredTableName(Connection& c, const std::string& name)
{
    Statement statement = Prepare(
        c.db, std::string(kUserTables) + " AND name = ?1 COLLATE NOCASE", kDatabaseSource);
    BindText(statement.get(), 1, name);
    if (!Step(statement.get(), kDatabaseSource))
        return std::nullopt;
    return Text(statement.get(), 0);
}

static std::string RequireTable(Connection& c, const std::string& name)
{
    std::optional<std::string> stored = StoredTableName(c, name);
    if (!stored)
        Raise(3265, kTableDefSource, "Item not found in this collection: no table '" + name + "'.");
    return *stored;
}

std::vector<std::string> TableNames(Database& database)
{
    Connection& c = Opened(database);
    Statement statement
        = Prepare(c.db, std::string(kUserTables) + " ORDER BY rowid", kDatabaseSource);
    std::vector<std::string> names;
    while (Step(statement.get(), kDatabaseSource))
        names.push_back(Text(statement.get(), 0));
    return names;
}

bool HasTable(Database& database, const std::string& name)
{
    std::vector<std::string> names = TableNames(database);
    return std::find(names.begin(), names.end(), name) != names.end();
}

void DeleteTable(Database& database, const std::string& name)
{
    Connection& c = Opened(database);
    Execute(c.db, "DROP TABLE " + Quote(RequireTable(c, name)), kTableDefSource);
}

void AppendTable(Database& database, const TableDef& table)
{
    Connection& c = Opened(database);
    if (StoredTableName(c, table.name))
        Raise(3010, kTableDefSource, "Table '" + table.name + "' already exists.");
    if (table.fields.empty())
        Raise(3264, kTableDefSource, "No field defined--cannot append table '" + table.name + "'.");
    std::string sql = "CREATE TABLE " + Quote(table.name) + " (";
    for (auto field = table.fields.begin(); field != table.fields.end(); ++field) {
        if (std::any_of(table.fields.begin(), field, [&](const FieldDef& earlier) {
                return EqualsIgnoringAsciiCase(earlier.name, field->name);
            }))
            Raise(
                3191, kTableDefSource, "Cannot define field '" + field->name + "' more than once.");
        sql += (field == table.fields.begin() ? "" : ", ") + Quote(field->name) + " "
            + DeclaredType(*field);
    }
    Execute(c.db, sql + ")", kTableDefSource);
}

std::vector<FieldDef> TableFields(Database& database, const std::string& table)
{
    Connection& c = Opened(database);
    std::string stored = RequireTable(c, table);
    Statement statement
        = Prepare(c.db, "SELECT name, type FROM pragma_table_info(?1)", kTableDefSource);
    BindText(statement.get(), 1, stored);
    std::vector<FieldDef> fields;
    while (Step(statement.get(), kTableDefSource))
        fields.push_back(FieldOf(Text(statement.get(), 0), Text(statement.get(), 1)));
    return fields;
}

void RenameField(Database& database, const std::string& table, const std::string& name,
    const std::string& newName)
{
    std::vector<FieldDef> fields = TableFields(database, table);
    auto field = std::find_if(fields.begin(), fields.end(),
        [&](const FieldDef& each) { return EqualsIgnoringAsciiCase(each.name, name); });
    if (field == fields.end())
        Raise(3265, kFieldSource,
            "Item not found in this collection: no field '" + name + "' in table '" + table + "'.");
    for (auto other = fields.begin(); other != fields.end(); ++other)
        if (other != field && EqualsIgnoringAsciiCase(other->name, newName))
            Raise(3191, kFieldSource, "Cannot define field '" + newName + "' more than once.");
    Connection& c = Opened(database);
    Execute(c.db,
        "ALTER TABLE " + Quote(RequireTable(c, table)) + " RENAME COLUMN " + Quote(field->name)
            + " TO " + Quote(newName),
        kFieldSource);
}

}
