/* The calls the fault seam counts, as its tally file holds them; shared by the preloaded library
 * (C) and the tests that read the tally (C++). */
#pragma once

enum FaultClass {
    kFaultRead,
    kFaultWrite,
    kFaultFsync,
    kFaultRename,
    kFaultClose,
    kFaultUnlink,
    kFaultLink,
    kFaultAny,
    kFaultClasses
};

struct FaultTally {
    long long calls[kFaultClasses]; /* by class, calls on files below the folder */
    long long bytes; /* written there */
};
