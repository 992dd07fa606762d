#include "diagnostics/start_modes.h"

diagnostics::StartModes& diagnostics::Modes()
{
    static StartModes modes;
    return modes;
}
