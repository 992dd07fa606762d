#include "editing/editing_state.h"

#include "platform/system/failure.h"

editing::EditingState& editing::State()
{
    static EditingState state;
    return state;
}

std::string& editing::HelpText(long number)
{
    if (number < 1 || number > kHelpTextCount)
        platform::Raise(platform::kSubscriptOutOfRange);
    return State().HelpTexts[number];
}
