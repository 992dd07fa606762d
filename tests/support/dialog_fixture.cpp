#include "support/dialog_fixture.h"

#include "dialog/machine_tabs.h"
#include "dialog/main_window.h"
#include "platform/system/process.h"

#include <QApplication>
#include <QTest>

namespace testing_support {

void DialogTest::Load(const std::string& cfg, const std::string& arguments) const
{
    if (!installation.Exists("parameter/Program.ini"))
        installation.Write("parameter/Program.ini",
            "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=Filler\r\n"
            "CamScaleBegin1=-32768\r\nCamScaleEnd1=32767\r\nCamUnit1=-32768\r\nCamScaleEnd40=-"
            "32768\r\n"
            "CamNr270=TRUE\r\n[Machine2]\r\nMachineName=Packer\r\nCamScaleBegin7=5\r\n"
            "CamScaleEnd7=300\r\nCamUnit7=-1\r\nCamWithoutSpeedControl=true\r\n"
            "[Machine3]\r\nMachineName=Labeller\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\n" + cfg);
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

std::vector<std::string> DialogTest::TabCaptions()
{
    platform::Control& tabs = Find("TabStripMachine");
    std::vector<std::string> captions;
    for (int tab = 1; tab <= tabs.TabCount(); ++tab)
        captions.push_back(tabs.TabCaption(tab));
    return captions;
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

void DialogTest::Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

void DialogTest::Click(const std::string& name)
{
    QWidget* widget = Find(name).Widget();
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
}

}
