// A temporary installation for tests: the folder tree of a real one, the process facts pointing
// into it, message boxes answered from a script, and the program's end observable.
#pragma once

#include "platform/message_box.h"

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// Thrown by the end of the program while a TempInstallation is active.
struct ProgramEnded {
    int status;
};

class TempInstallation {
public:
    // Lays out <tmp>/Tools, <tmp>/parameter and <tmp>/Lobix, and resets every module's state.
    TempInstallation();
    ~TempInstallation();

    std::string Path(const std::string& relative) const; // below the installation folder
    void Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const; // "" when missing
    bool Exists(const std::string& relative) const;

    // Answers for the next message boxes, in order; a box without an answer gets its default.
    std::deque<platform::Answer> answers;
    // Every box shown, in order.
    std::vector<platform::MessageBoxRequest> shown;

    void SetArguments(const std::string& arguments) const;

    std::filesystem::path root;
};

// Lines of a CR LF text.
std::vector<std::string> Lines(const std::string& text);

}
