#include "platform/exit.h"

#include "platform/database.h"

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
    // The database work stores each update at once as far as callers can tell; keep it.
    StoreDatabaseFilesAtEnd();
    std::fflush(nullptr);
    std::_Exit(status);
}

}
