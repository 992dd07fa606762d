// Data-access operations over SQLite files that stand in for Jet databases: the tables of a
// database, their columns, and record sets over a table or a query.
//
// A database is a private copy in memory of a file's content. Its tables and record sets change
// only the copy: nothing reaches a file through this layer. The caller takes the copy's bytes
// (DatabaseImage) and writes them where and when it decides. A file that the caller will replace
// is locked first (LockDatabaseFile), so that no other program changes it in between.
//
// Every failing call raises platform::Failure with a DAO error number, the source "DAO.Database",
// "DAO.TableDef", "DAO.Field" or "DAO.Recordset", and a description that quotes SQLite where it
// helps. Numbers: 3010 table exists, 3020 no AddNew or Edit, 3021 no current record, 3024 file not
// found, 3027 read-only, 3061 unknown name in a query, 3075/3142 bad SQL text, 3078 no such table,
// 3164 computed field, 3191 field twice, 3218 file locked by another program, 3259 unknown type,
// 3264 no fields, 3265 no such item, 3343 not a database, 3420 closed handle; other failures of
// SQLite map to the nearest DAO number (3026 disk full, 3043 disk error, 3022/3314 constraint).
#pragma once

#include "platform/database/database_values.h"
#include "platform/database/failure_sources.h"
#include "platform/system/failure.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct Connection;
struct RecordsetState;
struct QueryState;
struct LockedFile;

using Deadline = std::chrono::steady_clock::time_point;

// A private copy of a database. Destroying it drops the copy.
struct Database {
    std::shared_ptr<Connection> connection; // empty when closed
};

// A record set: its rows, a current row, and a pending new or edited row.
struct Recordset {
    std::unique_ptr<RecordsetState> state; // empty when closed
    Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    ~Recordset();
};

// A Jet SQL text compiled once and opened as often as needed with other values.
struct Query {
    std::shared_ptr<QueryState> state;
};

// A database file locked against every other program's reads and writes, by a connection of
// its own that changes nothing in it. Destroying it releases the lock.
struct DatabaseLock {
    std::shared_ptr<LockedFile> file; // empty when not held
};

// Locks the database file at `path`, found without regard to case, waiting for other programs
// until `deadline`. A journal that a writer left behind is rolled back first, and a file kept in
// write-ahead-log mode is turned back to a file that holds everything itself, so that replacing
// it leaves no journal of another writer beside the new file. Raises 3024 when there is no such
// file, 3218 when another program still holds it at the deadline, 3343 when it is no database.
DatabaseLock LockDatabaseFile(const std::string& path, Deadline deadline);

// A private copy of the locked file's database.
Database CopyDatabase(DatabaseLock& lock);

// A private copy of a database file that is not locked, read as one snapshot; another program's
// write is waited for until `deadline`. Raises as LockDatabaseFile does.
Database ReadDatabase(const std::string& path, Deadline deadline);

// Starts and ends the copy's one transaction; changes outside one are each a transaction of
// their own, which costs time.
void BeginTransaction(Database& database);
void CommitTransaction(Database& database);

// Raises 3343 when the copy is not a sound database (it came from a damaged file).
void CheckDatabase(Database& database);

// The bytes of a database file holding the copy, in rollback-journal form. Raises 3343 when the
// copy is not a sound database, 3000 while a transaction or a look-up index is open.
std::string DatabaseImage(Database& database);

// An index on the columns of a table for the look-ups of a query (the texts it compares ignore
// case), so that each finds its rows at once; it lives in the copy until DropLookupIndexes.
// Nothing is made for columns the table does not have: the query itself reports those.
void AddLookupIndex(
    Database& database, const std::string& table, const std::vector<std::string>& columns);
void DropLookupIndexes(Database& database);

// The names of the copy's tables, in the order they were made.
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

// Renames a column of a stored table; its type, size and place stay. Raises 3265 for a missing
// table or column, 3191 when another column already has the new name.
void RenameField(Database& database, const std::string& table, const std::string& name,
    const std::string& newName);

// A record set over a table (the source names one, without regard to case) or over a Jet SQL
// text (the source starts with SELECT): all rows, in the query's order, the first one current.
// Its record count is the true number of rows. It can be changed when its columns come from one
// table with row ids. Raises 3078 for a missing table, 3061/3075/3142 for a bad query.
Recordset OpenRecordset(Database& database, const std::string& source);

// Compiles a Jet SQL text in which each "?" outside a literal stands for a value given when it
// is opened; raises as OpenRecordset does.
Query PrepareQuery(Database& database, const std::string& jetSql);

// The record set of the query with `values` for its "?", in their order.
Recordset OpenRecordset(Query& query, const std::vector<Value>& values);

// Closes the record set, dropping a pending new or edited row.
void Close(Recordset& records);

// Drops the copy; its record sets and queries must not be used any more.
void Close(Database& database);

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

}
