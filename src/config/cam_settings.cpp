#include "config/cam_settings.h"

config::CamModel& config::Model()
{
    static CamModel model;
    return model;
}

short& config::CamCell(short (&values)[kMaxMachines + 1][kCams + 1], int machine, int cam)
{
    short(&cams)[kCams + 1] = MachineCell(values, machine);
    if (cam < 1 || cam > kCams)
        platform::Raise(platform::kSubscriptOutOfRange);
    return cams[cam];
}

const config::CamArray config::kCamArrays[kCamArrayCount] = {
    { &CamModel::ScaleBegin, "CamScaleBegin", 0 },
    { &CamModel::ScaleEnd, "CamScaleEnd", 359 },
    { &CamModel::ScaleUnit, "CamUnit", 1 },
};

std::string config::MachineSection(int machine) { return "Machine" + std::to_string(machine); }
