#include "editing/localised_texts.h"

#include "config/ini_access.h"
#include "config/project_settings.h"
#include "diagnostics/error_report.h"
#include "diagnostics/error_scope.h"
#include "editing/editing_state.h"
#include "platform/profile/profile.h"
#include "platform/system/text.h"
#include "platform/window/toolkit.h"

#include <map>

// "Caption_" / "TTT_" + name + index (array members only) + "_" + tag.
static std::string TextKey(
    const std::string& prefix, const platform::Control& control, bool arrayMember)
{
    std::string key = prefix + control.Name();
    if (arrayMember)
        key += std::to_string(control.Index());
    return key + "_" + control.Tag();
}

static bool HasText(const std::string& value) { return !value.empty() && value != "0"; }

static bool HasCaption(const platform::Control& control)
{
    using platform::ControlType;
    ControlType type = control.Type();
    return type == ControlType::Label || type == ControlType::CommandButton
        || type == ControlType::CheckBox;
}

void editing::LoadToolTipTexts()
{
    // The language code and the missing keys are written to the file together, at the end.
    platform::HeldProfileWrites held;
    const std::string language = config::GetLanguage();
    const std::string file = config::LanguageFilePath();
    const bool german = language == "1031";
    auto save = [&](const std::string& value, const std::string& key) {
        config::SaveIni(value, language, key, file);
    };
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
                    save(german ? control->Caption() : std::string("0"), key);

                if (long number = control->HelpId(); number != 0) {
                    std::string& help = HelpText(number);
                    std::string helpKey = "Help" + std::to_string(number);
                    help = config::LoadIniString(language, helpKey, file, false);
                    if (!HasText(help))
                        save("0", helpKey);
                }
            }
            if (!platform::FindIgnoringCase(control->Tag(), "NOTTT")) {
                std::string key = TextKey("TTT_", *control, arrayMember);
                std::string value = config::LoadIniString(language, key, file, false);
                if (HasText(value))
                    control->SetToolTip(value);
                else
                    save("0", key);
            }
        });
    }
    bool written = held.Store().file.empty() && !config::WasNotWritten(file);
    // A file that could not be read was reported when it was met; it is never written.
    if (!written && !config::WasNotRead(file))
        diagnostics::ShowFault("File '" + file + "' could not be written." + diagnostics::kLfCr
            + "Its missing texts were not added.");
}
