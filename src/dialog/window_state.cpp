#include "dialog/window_state.h"

dialog::WindowState& dialog::Window()
{
    static WindowState state;
    return state;
}
