#include "support/reset.h"

#include "config/project_settings.h"
#include "dialog/cam_model.h"
#include "dialog/main_window.h"
#include "editing/editing_state.h"
#include "platform/toolkit.h"
#include "startup/command_line.h"

void testing_support::ResetModules()
{
    startup::Modes() = {};
    config::Project() = {};
    dialog::Model() = {};
    dialog::Window() = {};
    editing::State() = {};
    platform::DestroyWindow();
}
