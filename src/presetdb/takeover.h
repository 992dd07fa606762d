// Carries the limit values of the old preset definitions over into the rebuilt table.
#pragma once

#include "platform/database/database.h"

namespace presetdb {

// For every old row, gives the new row with the same machine_type, var_name and offset_or_bitno
// its abs_min, abs_max, min, max and pass. Ends the program (fatal report) when the new table
// lacks a column that the component configuration demands. Closes `oldRecords`.
void TakeoverMachineCopyMDBData(platform::Database& newDatabase, platform::Recordset& oldRecords);

}
