// A record set's state, and the reading of its rows from a table or a Jet query.
#pragma once

#include "platform/database/database_connection.h"
#include "platform/database/database_statements.h"
#include "platform/database/database_values.h"

#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace platform {

struct Column {
    std::string name; // as the record set names it
    std::string origin; // the table column it shows; empty when it cannot be stored
    int type = 0; // DAO type of the column it comes from; 0 for a computed one
};

// How the rows of a table or a query are read and stored: compiled once, shared by every record
// set opened from it.
struct QueryState {
    std::shared_ptr<Connection> connection;
    std::string source; // the table a table's record set reads; empty for a query
    std::string table; // where changes are stored; empty when the rows cannot be stored
    std::string readOnly; // why they cannot, for the report
    std::string rowId; // the name the table's row ids are read under, leading each row
    std::vector<Column> columns;
    Statement select;
    int parameters = 0;
    Statement insert; // compiled on first use, storing the columns `inserted`
    std::vector<size_t> inserted;
    std::map<std::vector<size_t>, Statement> updates; // by the columns an update sets
};

struct Row {
    sqlite3_int64 key = 0; // the row id in the table
    std::vector<Value> values;
};

enum class Pending { None, NewRow, EditedRow };

struct RecordsetState {
    std::shared_ptr<QueryState> query;
    // A query's rows, read when it opens. A table's rows are walked instead, one at a time, by
    // its own statement: `rows` then holds the current row, or none past the end.
    std::vector<Row> rows;
    bool walking = false; // a table's walk has begun
    long count = 0;
    size_t position = 0; // the current row; rows.size() past the end
    Pending pending = Pending::None;
    std::vector<Value> buffer; // the pending row
    std::vector<bool> assigned; // the pending row's columns set since AddNew or Edit
};

// Compiles how a Jet query (it starts with SELECT) or a table reads its rows. Raises 3078 for a
// missing table, 3061/3075/3142 for a bad query.
std::shared_ptr<QueryState> CompileRows(
    const std::shared_ptr<Connection>& connection, const std::string& source);

// Reads the rows of the record set's query, with `values` bound to its parameters.
void LoadRows(RecordsetState& state, const std::vector<Value>& values);

// Moves a table's walk to its first row (`restart`) or to the next one.
void WalkRows(RecordsetState& state, bool restart);

// Counts the rows of the record set's table without reading them.
long CountRows(RecordsetState& state);

}
