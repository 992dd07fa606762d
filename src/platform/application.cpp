#include "platform/application.h"

#include <QApplication>
#include <cstdlib>
#include <vector>

static bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

bool platform::HasDisplay()
{
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

int platform::RunApplication(int argc, char** argv, bool headless, const std::function<int()>& body)
{
    std::vector<char*> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    if (headless)
        arguments.insert(arguments.begin() + (arguments.empty() ? 0 : 1), { platformOption, offscreen });
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication application(count, arguments.data());
    return body();
}
