#include "platform/system/failure.h"

#include <cmath>

namespace platform {

std::string DescriptionOf(long number)
{
    switch (number) {
    case kInvalidArgument:
        return "Invalid procedure call or argument";
    case kOverflow:
        return "Overflow";
    case kOutOfMemory:
        return "Out of memory";
    case kSubscriptOutOfRange:
        return "Subscript out of range";
    case kTypeMismatch:
        return "Type mismatch";
    case kInternalError:
        return "Internal error";
    case kFileNotFound:
        return "File not found";
    case kDeviceIo:
        return "Device I/O error";
    case kDiskFull:
        return "Disk full";
    case kPermissionDenied:
        return "Permission denied";
    case kPathFileAccess:
        return "Path/File access error";
    case kObjectNotSet:
        return "Object variable or With block variable not set";
    case kInvalidUseOfNull:
        return "Invalid use of Null";
    case kDatabaseError:
        return "Database-Error - Contact Administrator!";
    default:
        return "Application-defined or object-defined error";
    }
}

void Raise(long number, const std::string& source)
{
    throw Failure { number, source, DescriptionOf(number) };
}

void Raise(long number, const std::string& source, const std::string& description)
{
    throw Failure { number, source, description };
}

short ToInteger(long long value)
{
    if (value < -32768 || value > 32767)
        Raise(kOverflow);
    return static_cast<short>(value);
}

long long RoundToWhole(double number, double lowest, double highest, const std::string& source)
{
    double rounded = std::nearbyint(number);
    if (!(rounded >= lowest && rounded <= highest))
        Raise(kOverflow, source);
    return static_cast<long long>(rounded);
}

}
