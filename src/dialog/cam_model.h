// The cam settings being edited, for up to five machines of 40 cams each, with their storage
// in program.ini: loaded once at start-up, saved once on OK.
#pragma once

#include "config/project_settings.h"

#include <string>

namespace dialog {

inline constexpr int kMaxMachines = config::kMaxMachines;
inline constexpr int kCams = 40;

struct CamModel {
    // Indexed [machine 1..5][cam 1..40]; index 0 unused.
    short ScaleBegin[kMaxMachines + 1][kCams + 1] {};
    short ScaleEnd[kMaxMachines + 1][kCams + 1] {};
    short ScaleUnit[kMaxMachines + 1][kCams + 1] {};
    bool WithoutSpeedControl[kMaxMachines + 1] {};
    bool Cams270 = false;
    short TabMachine[kMaxMachines + 1] {}; // machine number shown by tab 1..5
    short CurrentMachine = 0;              // machine of the selected tab
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

// The element [machine][cam] of one of the three cam arrays; raises "Subscript out of range"
// for a machine outside 1 to 5 or a cam outside 1 to 40.
short& CamCell(short (&values)[kMaxMachines + 1][kCams + 1], int machine, int cam);

// Loads the model from program.ini and builds one tab per edited machine, then shows the first.
void SetupUserInterFace();

// The installation's program.ini, composed when it does not exist yet.
std::string ProgramIniForSaving();

// Saves the model of every edited machine and the project-wide switch to the installation's
// program.ini (creating it when missing), then writes the edit-info record. Each file is
// replaced once, at the end; when one cannot be written, a fault message names it and the
// program ends with status 1, every file left as it was.
void WriteInputs();

}
