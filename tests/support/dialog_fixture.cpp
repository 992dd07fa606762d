#include "support/dialog_fixture.h"

#include "dialog/machine_tabs.h"
#include "dialog/main_window.h"
#include "platform/system/process.h"
#include "platform/profile/profile.h"
#include "platform/window/toolkit.h"

#include <QApplication>
#include <QTest>

namespace testing_support {

void DialogTest::LayOut(const std::string& cfg, const std::string& machineSections) const
{
    installation.Write("parameter/Program.ini", kThreeMachines);
    std::string section;
    for (const std::string& line : Lines(machineSections)) {
        size_t equals = line.find('=');
        if (line.front() == '[')
            section = line.substr(1, line.size() - 2);
        else if (equals != std::string::npos)
            platform::WritePrivateProfileString(section, line.substr(0, equals),
                line.substr(equals + 1), installation.Path("parameter/Program.ini"));
    }
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\n" + cfg);
}

void DialogTest::Load(const std::string& arguments)
{
    platform::Process().arguments = arguments;
    dialog::BuildWindow();
    dialog::Form_Load();
}

platform::Control& DialogTest::Find(const std::string& name, int index)
{
    platform::Control* control = platform::FindControl(name, index);
    if (!control)
        throw std::runtime_error("no control " + name);
    return *control;
}

void DialogTest::SelectTab(int tab)
{
    Find("TabStripMachine").SelectTab(tab);
    dialog::TabStripMachine_Click();
}

void DialogTest::ShowActive()
{
    QWidget* window = platform::WindowWidget();
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

std::vector<std::string> DialogTest::TabCaptions()
{
    platform::Control& tabs = Find("TabStripMachine");
    std::vector<std::string> captions;
    for (int tab = 1; tab <= tabs.TabCount(); ++tab)
        captions.push_back(tabs.TabCaption(tab));
    return captions;
}

}
