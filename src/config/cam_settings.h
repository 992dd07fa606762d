// The cam settings of the run, for up to five machines of 40 cams each: loaded from program.ini
// at start-up, edited in the window, saved on OK and read by the preset builder.
#pragma once

#include "config/project_settings.h"
#include "platform/system/failure.h"

#include <string>

namespace config {

inline constexpr int kCams = 40;

struct CamModel {
    // Indexed [machine 1..5][cam 1..40]; index 0 unused.
    short ScaleBegin[kMaxMachines + 1][kCams + 1] {};
    short ScaleEnd[kMaxMachines + 1][kCams + 1] {};
    short ScaleUnit[kMaxMachines + 1][kCams + 1] {};
    bool WithoutSpeedControl[kMaxMachines + 1] {};
    bool Cams270 = false;
    short TabMachine[kMaxMachines + 1] {}; // machine number shown by tab 1..5
    short CurrentMachine = 0; // machine of the selected tab
};

CamModel& Model();

// One of the three cam arrays with its program.ini key and its fallback: the value a missing
// entry loads as and an emptied field falls back to.
struct CamArray {
    short (CamModel::*values)[kMaxMachines + 1][kCams + 1];
    const char* iniKey;
    short fallback;
};

inline constexpr int kCamArrayCount = 3;
extern const CamArray kCamArrays[kCamArrayCount]; // ScaleBegin, ScaleEnd, ScaleUnit

// The element [machine] of a per-machine array (TabMachine: [tab]); raises "Subscript out of
// range" outside 1 to 5.
template <class T> T& MachineCell(T (&values)[kMaxMachines + 1], int machine)
{
    if (machine < 1 || machine > kMaxMachines)
        platform::Raise(platform::kSubscriptOutOfRange);
    return values[machine];
}

// The element [machine][cam] of one of the three cam arrays; raises "Subscript out of range"
// for a machine outside 1 to 5 or a cam outside 1 to 40.
short& CamCell(short (&values)[kMaxMachines + 1][kCams + 1], int machine, int cam);

// The program.ini section of a machine: "Machine" & number.
std::string MachineSection(int machine);

}
