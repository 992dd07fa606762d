// What every fuzz target shares: a process that reports failures without a window or a log on
// disk, and the input cut into the pieces a target needs.
#pragma once

#include "platform/system/process.h"
#include "platform/window/message_box.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Failures are reported as resumable and answered "resume"; the error log would lie in a folder
// that does not exist, so nothing is written. Returns the number of boxes shown so far.
inline int& BoxesShown()
{
    static int shown = 0;
    return shown;
}

inline void QuietProcess()
{
    static bool done = [] {
        platform::ProcessFacts& facts = platform::Process();
        facts.programFolder = "/nonexistent-lobix-fuzz/Tools";
        facts.executableName = "Lobix_Config";
        facts.servicePackLogPath = "/nonexistent-lobix-fuzz/servicepack.log";
        platform::SetMessageBoxHandler([](const platform::MessageBoxRequest& request) {
            ++BoxesShown();
            return request.buttons == platform::Buttons::YesNo ? platform::kYes : platform::kOk;
        });
        return true;
    }();
    (void)done;
}

// The input cut at NUL bytes into at most `count` pieces; the last piece keeps the rest.
inline std::vector<std::string> Pieces(const std::uint8_t* data, size_t size, size_t count)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && pieces.size() < count)
            pieces.emplace_back();
        else
            pieces.back() += static_cast<char>(data[i]);
    }
    pieces.resize(count);
    return pieces;
}

// A broken property: printed with the input's piece, then abort, which the fuzzer records.
[[noreturn]] inline void Broken(const char* property, std::string_view detail)
{
    std::fprintf(
        stderr, "property broken: %s\n  [%.*s]\n", property, int(detail.size()), detail.data());
    std::abort();
}

}
