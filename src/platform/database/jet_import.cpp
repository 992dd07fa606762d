// Reading a Jet file into a copy, and the name its original is kept under.
#include "platform/database/jet_import.h"

#include "platform/database/database_connection.h"
#include "platform/database/jet_tables.h"
#include "platform/system/failure.h"
#include "platform/system/files.h"

#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool IsJetFile(const std::string& path)
{
    constexpr size_t kOffset = 4;
    constexpr std::string_view kJet = "Standard Jet DB", kAce = "Standard ACE DB";
    char header[kOffset + kJet.size()];
    std::ifstream file(ResolvePath(path), std::ios::binary);
    if (!file.read(header, sizeof header))
        return false;
    std::string_view signature(header + kOffset, kJet.size());
    return signature == kJet || signature == kAce;
}

Database ImportJetDatabase(const std::string& path)
{
    std::string found = ResolvePath(path);
    try {
        struct stat info { };
        if (stat(found.c_str(), &info) != 0)
            JetUnreadable("the file cannot be read");
        Database database;
        database.connection.reset(NewConnection(path));
        CopyJetTables(found, info.st_size, *database.connection);
        return database;
    } catch (const Failure& failure) {
        Raise(3343, kDatabaseSource,
            "Cannot import the Jet database '" + path + "': " + failure.description + ".");
    }
}

std::string KeptJetName(const std::string& path)
{
    std::string found = ResolvePath(path), original;
    ReadWholeFile(found, original);
    for (int n = 1;; ++n) {
        std::string kept = found;
        if (n > 1)
            kept.append(".").append(std::to_string(n));
        kept.append(".jet");
        std::string content;
        if (access(kept.c_str(), F_OK) != 0)
            return kept;
        if (ReadWholeFile(kept, content) && content == original)
            return {};
    }
}

}
