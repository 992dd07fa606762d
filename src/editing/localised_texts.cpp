#include "editing/localised_texts.h"

#include "config/ini_access.h"
#include "config/project_settings.h"
#include "diagnostics/error_scope.h"
#include "editing/editing_state.h"
#include "platform/profile/profile.h"
#include "platform/system/text.h"
#include "platform/window/toolkit.h"

#include <map>

// "Caption_" / "TTT_" + name + index (array members only) + "_" + tag.
static std::string TextKey(const std::string& prefix, const platform::Control& control, bool arrayMember)
{
    std::string key = prefix + control.Name();
    if (arrayMember)
        key += std::to_string(control.Index());
    return key + "_" + control.Tag();
}

static bool HasText(const std::string& value)
{
    return !value.empty() && value != "0";
}

static bool HasCaption(const platform::Control& control)
{
    std::string type = platform::TypeName(control.Type());
    return type == "LABEL" || type == "COMMANDBUTTON" || type == "CHECKBOX";
}

void editing::LoadToolTipTexts()
{
    // The language code and the missing keys are written to the file together, at the end.
    platform::HeldProfileWrites held;
    const std::string language = config::GetLanguage();
    const std::string file = config::LanguageFilePath();
    const bool german = language == "1031";
    std::map<std::string, int> namesakes;
    for (platform::Control* control : platform::Controls())
        ++namesakes[control->Name()];

    for (platform::Control* control : platform::Controls()) {
        bool arrayMember = namesakes[control->Name()] > 1;
        diagnostics::ErrorScope scope("LoadToolTipTexts", diagnostics::ErrorScope::Silenced);
        scope.Run([&] {
            if (HasCaption(*control)) {
                std::string key = TextKey("Caption_", *control, arrayMember);
                std::string value = config::LoadIniString(language, key, file, false);
                if (HasText(value))
                    control->SetCaption(value);
                else
                    config::SaveIni(german ? control->Caption() : std::string("0"), language, key, file);

                if (long number = control->HelpId(); number != 0) {
                    std::string& help = HelpText(number);
                    std::string helpKey = "Help" + std::to_string(number);
                    help = config::LoadIniString(language, helpKey, file, false);
                    if (!HasText(help))
                        config::SaveIni(std::string("0"), language, helpKey, file);
                }
            }
            if (!platform::FindIgnoringCase(control->Tag(), "NOTTT")) {
                std::string key = TextKey("TTT_", *control, arrayMember);
                std::string value = config::LoadIniString(language, key, file, false);
                if (HasText(value))
                    control->SetToolTip(value);
                else
                    config::SaveIni(std::string("0"), language, key, file);
            }
        });
    }
    held.Store();
}
