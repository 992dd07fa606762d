// Fills PRESET_DEFS from the template rows: one block per machine that takes part, with the
// machine's name, the HMI system's variable names, running IDs and positions.
#pragma once

#include "platform/database/database.h"

#include <string>

namespace presetdb {

// Adds the blocks to PRESET_DEFS of the open source database, which has the template's columns.
void CreateRecordSets(platform::Database& database);

// Gives the component database's rows named after the other HMI system (name0: VisiWin32,
// name1: VisiWin Studio) this project's name; works on the run's copy (ComponentDatabase), and
// does nothing without one.
void VarNameInQuelleErsetzen(const std::string& name0, const std::string& name1);

// Renames a column "categorie" (any case) of the component database's PRESET_DEFS to
// "category_id", in the run's copy; nothing without one.
void CategorieNachCategoryID();

}
