// An open record set's state, and the reading of its rows from a table or a Jet query.
#pragma once

#include "platform/database/database_connection.h"
#include "platform/database/database_values.h"

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

struct Row {
    sqlite3_int64 key = 0; // the row id in the table
    std::vector<Value> values;
};

enum class Pending { None, NewRow, EditedRow };

struct RecordsetState {
    std::shared_ptr<Connection> connection;
    std::string table; // where changes are stored; empty when the set is read-only
    std::string query; // reads the rows, each led by its row id when `keyed`
    bool keyed = false;
    std::vector<Column> columns;
    bool loaded = false; // a table's rows are read on first use: most opens only count them
    std::vector<Row> rows;
    long count = 0;
    size_t position = 0; // the current row; rows.size() past the end
    Pending pending = Pending::None;
    std::vector<Value> buffer; // the pending row
};

// Compiles the rows of `source` into `state`: a Jet query (it starts with SELECT) is read at
// once; a table is counted, and its rows are read on first use. Raises 3078 for a missing table,
// 3061/3075/3142 for a bad query.
void OpenRows(RecordsetState& state, const std::string& source);

// Reads the rows of a table's record set.
void LoadRows(RecordsetState& state);

}
