#include "platform/system/exit.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

static std::function<void(int)>& Handler()
{
    static std::function<void(int)> handler;
    return handler;
}

static std::vector<std::function<void()>>& EndActions()
{
    static std::vector<std::function<void()>> actions;
    return actions;
}

void AtEnd(std::function<void()> action) { EndActions().push_back(std::move(action)); }

void SetEndHandler(std::function<void(int)> handler) { Handler() = std::move(handler); }

void EndProcess(int status)
{
    std::vector<std::function<void()>> actions;
    actions.swap(EndActions());
    for (const auto& action : actions)
        action();
    if (Handler())
        Handler()(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

}
