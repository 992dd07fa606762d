// A temporary installation for tests: the folder tree of a real one, the process facts pointing
// into it, message boxes answered from a script, and the program's end observable.
#pragma once

#include "platform/window/message_box.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// Names the installation of a test in the environment of its death tests, whose child processes
// then work in the same one.
inline constexpr const char* kSharedInstallation = "LOBIX_TEST_INSTALLATION";

class TempInstallation {
public:
    // Lays out <tmp>/Tools, <tmp>/parameter and <tmp>/Lobix, and resets every module's state.
    TempInstallation();
    ~TempInstallation();

    std::string Path(const std::string& relative) const { return (root / relative).string(); }
    void Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const; // "" when missing
    bool Exists(const std::string& relative) const;
    // Every file below parameter/ and Lobix/, by relative path, with its bytes.
    std::map<std::string, std::string> ProjectFiles() const;
    // An INI entry of a file below the installation folder; "<missing>" when it has none.
    std::string Entry(
        const std::string& relative, const std::string& section, const std::string& key) const;

    std::deque<platform::Answer> answers; // for the next boxes; none: the default button
    std::vector<platform::MessageBoxRequest> shown;

    // Puts `arguments` on the command line and reads the start mode from it.
    void SetArguments(const std::string& arguments) const;

    std::filesystem::path root;
};

inline constexpr const char* kThreeMachines = "[Project]\r\nNumberOfMachines=3\r\n"
                                              "[Machine1]\r\nMachineName=Filler\r\n"
                                              "[Machine2]\r\nMachineName=Packer\r\n"
                                              "[Machine3]\r\nMachineName=Labeller\r\n";

// Takes every write bit from a file or folder below the installation folder.
void ReadOnly(const TempInstallation& installation, const std::string& relative);

// Puts every module's state back to program start, as far as it can be reached from outside:
// not the process facts and the message-box handler, which the installation sets; not the watch
// of reports since the OK began, the time the window last processed messages while presets were
// built, nor a hold of profile writes (ended by its own scope).
void ResetModules();

// Runs `action`; returns the exit status it ended the program with, or -1 when it did not end it.
int EndStatus(const std::function<void()>& action);

// An error-log line as the error report writes it.
std::string ErrorLine(const std::string& procedure, long number, const std::string& description,
    const std::string& source = "Lobix_Config_Exe");

// Lines of a CR LF text.
std::vector<std::string> Lines(const std::string& text);

// The text in upper case, as the program shows paths.
std::string Upper(std::string text);

}
