#include "platform/exit.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

static std::function<void(int)>& Handler()
{
    static std::function<void(int)> handler;
    return handler;
}

void SetEndHandler(std::function<void(int)> handler)
{
    Handler() = std::move(handler);
}

void EndProcess(int status)
{
    if (Handler())
        Handler()(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

}
