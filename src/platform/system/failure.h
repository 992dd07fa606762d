// The run-time error: what a failing operation raises and an error scope reports.
#pragma once

#include <string>

namespace platform {

// Error numbers of the program's own table (the ones its procedures can raise).
enum ErrorNumber : long {
    kInvalidArgument = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kTypeMismatch = 13,
    kInternalError = 51,
    kFileNotFound = 53,
    kDeviceIo = 57,
    kDiskFull = 61,
    kPermissionDenied = 70,
    kPathFileAccess = 75,
    kObjectNotSet = 91,
    kInvalidUseOfNull = 94,
    kDatabaseError = 9999,
};

struct Failure {
    long number = 0;
    std::string source;
    std::string description;
};

// The source named in reports of failures that arise in the program's own code.
inline constexpr const char* kProgramSource = "Lobix_Config_Exe";

// The description the program's table gives for a number ("Overflow" for 6, ...).
std::string DescriptionOf(long number);

// Raises the failure `number` with its table description.
[[noreturn]] void Raise(long number, const std::string& source = kProgramSource);
[[noreturn]] void Raise(long number, const std::string& source, const std::string& description);

// Returns `value` as a 16-bit integer; raises an overflow outside -32768 to 32767.
short ToInteger(long long value);

// `number` rounded to a whole number, halves to the even one, as the language's conversions
// round; raises an overflow from `source` outside `lowest` to `highest`.
long long RoundToWhole(
    double number, double lowest, double highest, const std::string& source = kProgramSource);

}
