// Data-access operations over SQLite files that stand in for Jet databases: the tables of a file,
// their columns, and record sets over a table or a query.
//
// Every failing call raises platform::Failure with a DAO error number, the source "DAO.Database",
// "DAO.TableDef", "DAO.Field" or "DAO.Recordset", and a description that quotes SQLite where it
// helps. Numbers: 3010 table exists, 3020 no AddNew or Edit, 3021 no current record, 3024 file not
// found, 3027 read-only, 3045 file in use, 3061 unknown name in a query, 3075/3142 bad SQL text,
// 3078 no such table, 3164 computed field, 3191 field twice, 3259 unknown type, 3264 no fields,
// 3265 no such item, 3343 not a database, 3420 closed handle; failures of SQLite itself map to the
// nearest DAO number (3218 locked, 3026 disk full, 3043 disk error, 3022/3314 constraint).
//
// Writes are batched: changes collect in one transaction per file and are committed when no
// handle (database or record set) of any file is open any more, so a file opened and closed once
// per row while another stays open costs no commit per row. Each file's connection stays cached
// for the next open. Before a file is copied or replaced, either close every handle or call
// ReleaseDatabaseFile: both leave it complete on disk with no journal beside it. Connections still
// cached when the process ends normally are committed and closed.
//
// A query that compares a column with a value by "=" and has read the whole table twice gets an
// index of the engine's own on the columns it compares, so the next ones find their rows at once.
// Such indexes live only in the file's transaction and are dropped before it is committed, so no
// other program sees them; their pages stay in the file as free pages for later changes. Where
// the file holds no changes of the caller's, the transaction is started for the index, holds the
// file's write lock until it ends, and is rolled back, leaving the file as it was byte for byte.
#pragma once

#include "platform/database/database_values.h"
#include "platform/system/failure.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

struct Connection;
struct RecordsetState;

// An open database. Destroying an open handle closes it; a failure to commit then goes unreported.
struct Database {
    std::shared_ptr<Connection> connection; // empty when closed
    Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    ~Database();
};

// An open record set: its rows, a current row, and a pending new or edited row. Destroying an
// open handle closes it.
struct Recordset {
    std::unique_ptr<RecordsetState> state; // empty when closed
    Recordset();
    Recordset(Recordset&& other) noexcept;
    Recordset& operator=(Recordset&& other) noexcept;
    ~Recordset();
};

// Opens the database file at `path`, found without regard to case, for reading and writing. A
// Jet file is imported into a file of this engine first (jet_import.h). Raises 3024 when there is
// no such file, 3343 when it is not a database or a Jet file cannot be imported.
Database OpenDatabase(const std::string& path);

// Closes the handle. When no handle of any file stays open, every file's changes are committed;
// a file whose commit fails has its changes rolled back, and the failure is raised. Closing a
// closed handle does nothing.
void Close(Database& database);

// Closes the handle as Close does, but returns every file's failure to store its changes.
std::vector<Failure> CloseAndStore(Database& database);

// The names of the file's tables, in the order they were made. The list is read afresh each time.
std::vector<std::string> TableNames(Database& database);

// True when a table of exactly this name (letter case counts) exists.
bool HasTable(Database& database, const std::string& name);

// Deletes the table named so without regard to case; 3265 when there is none.
void DeleteTable(Database& database, const std::string& name);

// Stores the table with its columns in the given order. Raises 3010 when a table of that name
// exists, 3264 without columns, 3259 for an unknown type, 3191 for a column name given twice.
void AppendTable(Database& database, const TableDef& table);

// The columns of a stored table in their stored order; 3265 when there is no such table.
std::vector<FieldDef> TableFields(Database& database, const std::string& table);

// Renames a column of a stored table in the file; its type, size and place stay. Raises 3265 for
// a missing table or column, 3191 when another column already has the new name.
void RenameField(Database& database, const std::string& table, const std::string& name,
    const std::string& newName);

// A record set over a table (the source names one, without regard to case) or over a Jet SQL
// text (the source starts with SELECT): all rows, in the query's order, the first one current.
// Its record count is the true number of rows. It can be changed when its columns come from one
// table with row ids. Raises 3078 for a missing table, 3061/3075/3142 for a bad query.
Recordset OpenRecordset(Database& database, const std::string& source);

// Closes the record set, dropping a pending new or edited row; commits as Close(Database&) does.
void Close(Recordset& records);

// True when there is no current row: the set is empty or MoveNext went past the last row.
bool IsEof(Recordset& records);

// Makes the first row current (an empty set stays at its end). Drops a pending row.
void MoveFirst(Recordset& records);

// Makes the next row current; 3021 when there is no current row. Drops a pending row.
void MoveNext(Recordset& records);

// The number of rows, counting those added through this record set.
long RecordCount(Recordset& records);

// Starts a new row with every column Null; the current row stays current. 3027 when read-only.
void AddNew(Recordset& records);

// Starts changing the current row; 3021 without one, 3027 when read-only.
void Edit(Recordset& records);

// Stores the pending row: a new one is added after the last row, an edited one is changed in
// place. 3020 when neither AddNew nor Edit started one.
void Update(Recordset& records);

// The number of columns and their names, by position from 0 (3265 outside).
int FieldCount(Recordset& records);
std::string FieldName(Recordset& records, int position);

// The value of a column, named without regard to case or by position, in the pending row or else
// in the current row. Raises 3265 for an unknown column, 3021 when there is no current row.
Value GetValue(Recordset& records, const std::string& field);
Value GetValue(Recordset& records, int position);

// Sets a column of the pending row. Raises 3020 without AddNew or Edit, 3265 for an unknown
// column, 3164 for a computed column.
void SetValue(Recordset& records, const std::string& field, const Value& value);
void SetValue(Recordset& records, int position, const Value& value);

// Commits the changes of the file at `path` and closes its cached connection, so the file stands
// complete and alone on disk and may be copied or replaced. Does nothing when the file is not
// cached; raises 3045 while a handle of it is open.
void ReleaseDatabaseFile(const std::string& path);

// Drops the pending changes of the file at `path` and closes its cached connection, for a file
// about to be replaced: until then it stays on disk as it was before them. Does nothing when the
// file is not cached; raises 3045 while a handle of it is open.
void DiscardDatabaseFile(const std::string& path);

// The same as ReleaseDatabaseFile for every cached file; raises 3045 and closes none while any
// handle is open. Every file is released; each failure to store one is returned.
std::vector<Failure> ReleaseDatabaseFiles();

// True when the file is a database of this engine that passes SQLite's quick check: a copy of it
// would be a whole database.
bool DatabaseFileIsSound(const std::string& path);

// Commits the pending changes of every cached file without closing anything, for a process that
// ends at once (the end skips destructors). A file whose commit fails keeps its old content.
void StoreDatabaseFilesAtEnd();

}
