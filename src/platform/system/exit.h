// Ending the program at once: no further window events, nothing saved.
#pragma once

#include <functional>

namespace platform {

// Ends the process with `status` (0 normal end, 1 end through an error report).
[[noreturn]] void EndProcess(int status);

// Runs `action` when EndProcess ends the program, before anything else of the end (once each).
void AtEnd(std::function<void()> action);

// Replaces the end (tests observe it; the handler must not return, for example it throws).
void SetEndHandler(std::function<void(int status)> handler);

}
