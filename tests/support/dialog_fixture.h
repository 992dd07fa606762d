// The dialog over a temporary installation with three machines (Filler, Packer, Labeller), loaded
// as at start-up, and the ways a user reaches its controls.
#pragma once

#include "dialog/main_window.h"
#include "platform/system/process.h"
#include "platform/window/toolkit.h"
#include "support/installation.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace testing_support {

struct DialogTest : testing::Test {
    TempInstallation installation;

    // Lays out program.ini unless the test wrote its own (Filler: the widest values, the 270 cams;
    // Packer: cam 7, the speed option) and Lobix.cfg; builds the window and loads it.
    void Load(const std::string& cfg = "ForMachine1=true\r\nForMachine2=true\r\n",
        const std::string& arguments = "") const
    {
        if (!installation.Exists("parameter/Program.ini"))
            installation.Write("parameter/Program.ini",
                "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=Filler\r\nCamNr270="
                "TRUE\r\n"
                "CamScaleBegin1=-32768\r\nCamScaleEnd1=32767\r\nCamUnit1=-32768\r\n"
                "CamScaleEnd40=-32768\r\n[Machine2]\r\nMachineName=Packer\r\nCamScaleBegin7=5\r\n"
                "CamScaleEnd7=300\r\nCamUnit7=-1\r\nCamWithoutSpeedControl=true\r\n"
                "[Machine3]\r\nMachineName=Labeller\r\n");
        installation.Write("Lobix/Lobix.cfg", "[Project]\r\n" + cfg);
        platform::Process().arguments = arguments;
        dialog::BuildWindow();
        dialog::Form_Load();
    }

    static platform::Control& Find(const std::string& name, int index = -1)
    {
        if (platform::Control* control = platform::FindControl(name, index))
            return *control;
        throw std::invalid_argument("no control " + name); // a misspelt name fails its test
    }

    // The row of tabs of the machine tab strip.
    static QTabBar& Tabs()
    {
        return *qobject_cast<QTabWidget*>(Find("TabStripMachine").Widget())->tabBar();
    }

    // The user's click on machine tab `tab`.
    static void SelectTab(int tab)
    {
        QTest::mouseClick(&Tabs(), Qt::LeftButton, {}, Tabs().tabRect(tab - 1).center());
    }

    // Shows the window and makes it the active one, so that keys and focus move as for a user.
    static void ShowActive()
    {
        platform::WindowWidget()->show();
        QApplication::setActiveWindow(platform::WindowWidget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(platform::WindowWidget()));
    }

    static void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    // A click near the left edge, where a check box has its indicator.
    static void Click(const std::string& name)
    {
        QWidget* widget = Find(name).Widget();
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, widget->height() / 2));
    }
};

}
