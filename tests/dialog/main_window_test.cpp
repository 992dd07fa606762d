// The window after start-up: one tab per edited machine, its values, options and names in the
// fields, switching between machines, and help mode holding the machine still. Shown as an
// engineer meets it: every text fits its control, a box shows its whole value wherever the caret
// stands (screenshots/main_window.png in the build folder shows it), long machine names leave the
// tabs as they are; where Tab goes, what Return does; Cancel and the close box (Escape) ask before
// discarding, OK saves.
#include "config/cam_settings.h"
#include "dialog/window_state.h"
#include "platform/system/exit.h"
#include "support/dialog_fixture.h"
#include "support/program_run.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <unistd.h>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

std::string Shown(const char* box, int cam) { return DialogTest::Find(box, cam).Text(); }

struct ShownWindow : DialogTest {
    void SetUp() override
    {
        Load();
        ShowActive();
    }

    static std::string Focused()
    {
        for (platform::Control* control : platform::Controls())
            if (control->Widget()->hasFocus())
                return control->Name()
                    + (control->Index() < 0 ? "" : std::to_string(control->Index()));
        return "nothing";
    }
};

// This test again, in a process of its own with `variable` set to `value`; its exit status.
int RunAgainWith(const char* variable, const char* value)
{
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter
        = std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name();
    pid_t child = fork();
    if (child == 0) {
        setenv(variable, value, 1);
        execl("/proc/self/exe", "lobix_tests", filter.c_str(), nullptr);
        _exit(127);
    }
    return WaitForProgram(child);
}

}

TEST_F(DialogTest, TabsShowTheMachinesMarkedForEditingOrValidForTheHost)
{
    struct Case {
        const char* arguments;
        const char* cfg;
        Strings tabs;
        std::vector<short> machines;
        const char* programIni = nullptr; // instead of the three machines
    } cases[] = {
        { "", "ForMachine2=true\r\nForMachine3=True\r\n", { "Packer", "Labeller" }, { 2, 3 } },
        // Machines beyond the fifth are left alone.
        { "", "ForMachine5=true\r\nForMachine6=true\r\nForMachine7=true\r\n", { "" }, { 5 },
            "[Project]\r\nNumberOfMachines=7\r\n[Machine7]\r\nCamScaleEnd1=5\r\n" },
        { "/EXTERNAL=TVXCFG", "ValidMachines=all\r\n", { "Filler", "Packer", "Labeller" },
            { 1, 2, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=Labeller2,FILLER\r\n", { "Filler", "Labeller" },
            { 1, 3 } },
        { "/EXTERNAL=TVXCFG", "ValidMachines=\r\n", {}, {} },
    };
    for (const Case& c : cases) {
        ResetModules();
        if (c.programIni)
            installation.Write("parameter/Program.ini", c.programIni);
        installation.Write("parameter/tvxconfiguration.ini",
            "[Common]\r\nSaveAndRestore=" + installation.Path("save")
                + "\r\nNameM1=Filler\r\nNameM2=Packer\r\nNameM3=Labeller\r\nNameM4=-\r\n");
        installation.Write("save/parameter/program.ini", kThreeMachines);
        Load(c.cfg, c.arguments);
        const config::CamModel& model = config::Model();
        platform::Control& tabs = Find("TabStripMachine");
        Strings captions;
        for (int tab = 1; tab <= tabs.TabCount(); ++tab)
            captions.push_back(tabs.TabCaption(tab));
        EXPECT_EQ(captions, c.tabs) << c.cfg;
        EXPECT_EQ(
            std::vector<short>(model.TabMachine + 1, model.TabMachine + 1 + c.machines.size()),
            c.machines);
        EXPECT_EQ(platform::WindowCaption(),
            *c.arguments ? "Erweiterte Konfiguration Tools - integriert"
                         : "Erweiterte Konfiguration Tools - standalone");
    }
    EXPECT_FALSE(Find("TextScalaEnde", 7).Enabled()) << "no machine, no fields";
    EXPECT_TRUE(installation.shown.empty());
}

// Stored values and defaults are shown per machine; edits go to the shown machine, switching tabs
// changes nothing, and in help mode the tabs do not switch. Packer has the speed option stored, the
// project the 270 cams: a click clears what is ticked.
TEST_F(DialogTest, EachTabShowsItsMachineAndEditsGoToTheShownOne)
{
    Load();
    const config::CamModel& model = config::Model();
    Find("TextScalaEnde", 3).SetText("200");
    SelectTab(2);
    EXPECT_EQ(model.CurrentMachine, 2);
    EXPECT_EQ(Shown("TextScalaAnfang", 7) + " " + Shown("TextScalaEnde", 7) + " "
            + Shown("TextEinheit", 7) + " " + Shown("TextScalaEnde", 3),
        "5 300 1 359");
    SelectTab(1);
    EXPECT_EQ(Shown("TextScalaEnde", 7) + " " + Shown("TextScalaEnde", 3), "359 200");

    platform::Control& help = Find("CommandQuest");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kGreen);
    EXPECT_FALSE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(model.CurrentMachine, 1);
    EXPECT_EQ(Shown("TextScalaEnde", 7), "359");
    dialog::CommandQuest_Click();
    EXPECT_EQ(help.BackColor(), platform::kButtonFaceColor);
    EXPECT_TRUE(Find("TabStripMachine").Enabled());
    SelectTab(2);
    EXPECT_EQ(Shown("TextScalaEnde", 7), "300");

    Click("CheckSpeedControl");
    SelectTab(1);
    Click("CheckSpeedControl");
    EXPECT_TRUE(model.WithoutSpeedControl[1]);
    EXPECT_FALSE(model.WithoutSpeedControl[2]);
    Click("Check270Kurven");
    EXPECT_FALSE(model.Cams270);
    SelectTab(2);
    EXPECT_EQ(Find("CheckSpeedControl").Value() + Find("Check270Kurven").Value(), 0);
    QTest::keyClick(Find("Check270Kurven").Widget(), Qt::Key_Space);
    EXPECT_TRUE(model.Cams270);
}

// Ctrl+Tab and Ctrl+Page Down go to the next machine, round the tabs, Ctrl+Shift+Tab and
// Ctrl+Page Up to the one before, from wherever the focus is, as a click on the tab does; the
// first scale begin then has the focus with its text selected. In help mode they do nothing.
TEST_F(DialogTest, TabKeysSwitchMachinesAsAClickOnTheTabDoes)
{
    Load("ForMachine1=true\r\nForMachine2=true\r\nForMachine3=true\r\n");
    ShowActive();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* from;
        int index;
        short machine;
    } presses[] = { { Qt::Key_Tab, Qt::ControlModifier, "TextScalaEnde", 7, 2 },
        { Qt::Key_PageDown, Qt::ControlModifier, "CheckSpeedControl", -1, 3 },
        { Qt::Key_Tab, Qt::ControlModifier, "TabStripMachine", -1, 1 },
        { Qt::Key_PageUp, Qt::ControlModifier, "TextScalaAnfang", 1, 3 },
        { Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, "TextEinheit", 40, 2 },
        { Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, "Check270Kurven", -1, 1 } };
    const char* names[] = { "", "Filler", "Packer", "Labeller" };
    platform::Control& first = Find("TextScalaAnfang", 1);
    for (const auto& press : presses) {
        Find(press.from, press.index).Widget()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
        EXPECT_EQ(
            first.AccessibleName(), names[press.machine] + std::string(", cam 1, scale begin"));
        EXPECT_TRUE(first.Widget()->hasFocus()) << names[press.machine];
        EXPECT_EQ(first.SelectionLength(), int(first.Text().size())) << names[press.machine];
    }
    dialog::CommandQuest_Click();
    for (Qt::Key key : { Qt::Key_Tab, Qt::Key_PageDown })
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
    EXPECT_EQ(config::Model().CurrentMachine, 1);
    EXPECT_EQ(Find("TabStripMachine").SelectedTab(), 1);
}

TEST_F(ShownWindow, EveryTextFitsItsControl)
{
    QApplication::focusWidget()->clearFocus(); // no caret in the pictures compared below
    for (platform::Control* control : platform::Controls()) {
        QWidget* widget = control->Widget();
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            box->setCursorPosition(0);
            const QImage start = box->grab().toImage();
            box->setCursorPosition(static_cast<int>(box->text().size()));
            EXPECT_EQ(box->grab().toImage(), start)
                << control->Name() << control->Index() << " scrolls";
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                           : label->sizeHint().height();
            EXPECT_LE(needed, label->height()) << control->Name() << control->Index();
            EXPECT_LE(label->fontMetrics().boundingRect(label->text()).width()
                    / (label->wordWrap() ? 2 : 1),
                label->width())
                << control->Name() << control->Index();
        }
        if (auto* box = qobject_cast<QCheckBox*>(widget);
            box && box->sizeHint().width() > box->width())
            ADD_FAILURE() << control->Name() << " is cut off";
    }
    QDir().mkpath(QStringLiteral(LOBIX_SCREENSHOT_DIR));
    platform::WindowWidget()->grab().save(QStringLiteral(LOBIX_SCREENSHOT_DIR "/main_window.png"));
}

// From the first scale begin, where the window starts, Tab goes cam by cam, the options, the
// buttons and the tab strip, and round again. Return in a box does nothing.
TEST_F(ShownWindow, TabsCamByCamAndReturnInABoxDoesNothing)
{
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter);
    EXPECT_TRUE(installation.shown.empty());
    EXPECT_EQ(Find("TextScalaAnfang", 1).Text(), "-32768");

    Strings expected;
    for (int cam = 1; cam <= 40; ++cam)
        for (const char* family : { "TextScalaAnfang", "TextScalaEnde", "TextEinheit" })
            expected.push_back(family + std::to_string(cam));
    expected.erase(expected.begin());
    for (const char* control : { "CheckSpeedControl", "Check270Kurven", "CommandQuest", "CommandOK",
             "CommandCancel", "TabStripMachine", "TextScalaAnfang1" })
        expected.push_back(control);
    Strings visited;
    for (size_t step = 0; step < expected.size(); ++step) {
        Press(Qt::Key_Tab);
        visited.push_back(Focused());
    }
    EXPECT_EQ(visited, expected);
}

// Cancel and Escape ask, Escape also in help mode; nothing asks while OK works. After all that,
// OK still saves the edit and ends.
TEST_F(ShownWindow, CancelAndEscapeAskAndDiscardOnlyOnYesAndOkSaves)
{
    Find("TextScalaEnde", 7).SetText("250");
    std::string programIni = installation.Read("parameter/Program.ini");
    installation.answers
        = { platform::kNo, platform::kNo, platform::kNo, platform::kYes, platform::kYes };
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), -1);
    Press(Qt::Key_Escape);
    dialog::CommandQuest_Click();
    Press(Qt::Key_Escape);
    dialog::Window().OkSequenceRunning = true;
    Press(Qt::Key_Escape);
    Find("CommandOK").SetEnabled(false);
    dialog::Form_Activate();
    EXPECT_FALSE(Find("CommandOK").Enabled()) << "no second OK while the first works";
    EXPECT_TRUE(platform::WindowWidget()->isVisible());

    dialog::Window().OkSequenceRunning = false;
    dialog::CommandQuest_Click();
    EXPECT_EQ(EndStatus([] { Find("CommandCancel").onClick(); }), 0);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(platform::WindowWidget()->isVisible());
    ASSERT_EQ(installation.shown.size(), 5u) << "none while OK works";
    for (const platform::MessageBoxRequest& box : installation.shown)
        EXPECT_EQ(box.title + box.prompt,
            "Cancel?Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
    EXPECT_EQ(installation.shown[0].defaultButton, platform::kNo);
    EXPECT_EQ(installation.shown[0].icon, platform::kExclamation);
    EXPECT_EQ(Lines(installation.Read("TVXcfglog.txt")),
        std::vector<std::string>(2, "Konfigurations-EXE wurde abgebrochen:     Lobix"));
    EXPECT_EQ(installation.Read("parameter/Program.ini"), programIni);

    Find("CommandOK").SetEnabled(true);
    EXPECT_EQ(EndStatus([] { Find("CommandOK").onClick(); }), 0);
    EXPECT_EQ(installation.Entry("parameter/Program.ini", "Machine1", "CamScaleEnd7"), "250");
    EXPECT_FALSE(Find("CommandOK").Enabled() || Find("CommandCancel").Enabled());
    EXPECT_EQ(installation.shown.size(), 5u);
}

// Five long machine names overflow the tab strip: its row of tabs stays as tall as the tabs, with
// the buttons that scroll them beside them at that height, and Shift+Tab from the first value
// reaches the tabs themselves. A name with "&" shows the "&". At scale 1, and at 1.5 in a second
// run of this test.
TEST_F(DialogTest, LongMachineNamesLeaveTheTabsAsTallAsTheirCaptions)
{
    std::string programIni = "[Project]\r\nNumberOfMachines=5\r\n", cfg;
    for (const char* m : { "1", "2", "3", "4", "5" }) {
        programIni += "[Machine" + std::string(m) + "]\r\nMachineName=Verpackungsmaschine Linie "
            + m + (*m == '5' ? " & 6" : "") + "\r\n";
        cfg += "ForMachine" + std::string(m) + "=true\r\n";
    }
    installation.Write("parameter/Program.ini", programIni);
    Load(cfg);
    ShowActive();
    QTabBar& tabs = Tabs();
    EXPECT_EQ(tabs.height(), tabs.tabRect(0).height());
    int scrolls = 0;
    for (QToolButton* scroll : tabs.findChildren<QToolButton*>())
        if (scroll->isVisible()) {
            ++scrolls;
            EXPECT_EQ(scroll->height(), tabs.height());
        }
    EXPECT_EQ(scrolls, 2) << "the names overflow";
    Press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), &tabs);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&tabs)->child(4)->text(QAccessible::Name),
        QStringLiteral("Verpackungsmaschine Linie 5 & 6"));
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        EXPECT_EQ(platform::WindowWidget()->devicePixelRatio(), 1.5);
    else
        EXPECT_EQ(RunAgainWith("QT_SCALE_FACTOR", "1.5"), 0);
}

// Typed as an engineer types, one key at a time, into the window the run shows: the focus starts
// in the first scale begin with its text selected, so "-5" replaces it; a lone minus sign in the
// scale end keeps its value; Shift+Tab goes back past the tab strip and Cancel to OK. Return or
// Space there runs the OK sequence, which ends the run: in a child process, the parent reading
// what it saved.
[[noreturn]] static void TypeAndPress(Qt::Key press)
{
    platform::SetEndHandler({});
    QTimer::singleShot(0, [press] {
        QWindow* window = platform::WindowWidget()->windowHandle();
        if (!QTest::qWaitForWindowActive(window))
            std::_Exit(3);
        for (char key : std::string("-5\t-"))
            QTest::keyClick(window, key);
        for (int step = 0; step < 4; ++step)
            QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(window, press);
        std::_Exit(4); // OK did not end the run
    });
    dialog::RunDialog();
    std::_Exit(5); // the window closed otherwise
}

class KeyboardRun : public testing::TestWithParam<Qt::Key> { };

TEST_P(KeyboardRun, TypedNegativeValueIsSavedOnOk)
{
    TempInstallation installation;
    installation.Write("parameter/Program.ini",
        "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n"
        "CamScaleBegin1=10\r\nCamScaleEnd1=350\r\n");
    installation.Write("Lobix/Lobix.cfg", "[Project]\r\nForMachine1=true\r\n");
    setenv(kSharedInstallation, installation.root.c_str(), 1);
    EXPECT_EXIT(TypeAndPress(GetParam()), testing::ExitedWithCode(0), "");
    unsetenv(kSharedInstallation);
    const char* ini = "parameter/Program.ini";
    EXPECT_EQ(installation.Entry(ini, "Machine1", "CamScaleBegin1"), "-5");
    EXPECT_EQ(installation.Entry(ini, "Machine1", "CamScaleEnd1"), "350");
    EXPECT_EQ(installation.Entry(ini, "Machine1", "CamUnit1"), "1");
    EXPECT_FALSE(installation.Exists("TVXcfglog.txt")) << installation.Read("TVXcfglog.txt");
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardRun, testing::Values(Qt::Key_Return, Qt::Key_Space),
    [](const testing::TestParamInfo<Qt::Key>& info) {
        return std::string(info.param == Qt::Key_Return ? "Return" : "Space");
    });
