#include "config/leftovers.h"

#include "config/installation_paths.h"
#include "diagnostics/program_location.h"
#include "config/project_settings.h"
#include "platform/system/leftover_files.h"
#include "platform/system/process.h"

void config::RemoveLeftoverTemporaries()
{
    // Composed rather than looked up: a file may be missing while its temporary file is not.
    std::string component = diagnostics::ComponentFolder() + "/" + diagnostics::GetOCXName();
    platform::RemoveLeftoverTemporaries({ config::InstallationProgramIniPath(), component + ".cfg",
                                            config::LanguageFilePath(), component + ".mdb",
                                            component + "_Source.mdb", component + ".mdb.jet",
                                            component + "_Source.mdb.jet" },
        platform::Process().startTime);
}
