// Clearing up after a run that was killed while it replaced a file.
#pragma once

namespace config {

// Removes the temporary files that earlier runs left beside the files this program replaces:
// the installation's program.ini, the component configuration file, the language file and the
// component's databases with their kept Jet originals.
void RemoveLeftoverTemporaries();

}
