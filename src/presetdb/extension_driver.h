// Brings the component's databases up to date with the cam configuration on OK.
#pragma once

namespace presetdb {

// Rebuilds PRESET_DEFS in the source database, carries old values over, and replaces the
// component database; the source database keeps its file times.
void WorkOnMDB();

}
