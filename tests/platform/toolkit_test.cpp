#include "platform/toolkit.h"

#include <QApplication>
#include <QImage>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class ToolkitTest : public testing::Test {
protected:
    void SetUp() override { CreateWindow(6000, 3000, "Test"); }
    void TearDown() override { DestroyWindow(); }

    static Control& Add(ControlType type, const std::string& name, int top = 0, int index = -1)
    {
        ControlSpec spec;
        spec.type = type;
        spec.name = name;
        spec.index = index;
        spec.top = top;
        spec.width = 3000;
        spec.height = 600;
        return AddControl(spec);
    }

    // Shows the window and waits until it is active, so that focus moves as for a user.
    static void ShowActive()
    {
        WindowWidget()->show();
        QApplication::setActiveWindow(WindowWidget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(WindowWidget()));
    }

    // A point on the check box's indicator, which takes the user's clicks.
    static QPoint Indicator(const Control& box) { return { 7, box.Widget()->height() / 2 }; }

    static std::string Selected(const Control& box)
    {
        return box.Text().substr(box.CaretPosition(), box.SelectionLength());
    }

    std::vector<std::string> log;
};

using ToolkitTextBox = ToolkitTest;
using ToolkitCheckBox = ToolkitTest;
using ToolkitTabStrip = ToolkitTest;
using ToolkitButton = ToolkitTest;
using ToolkitWindow = ToolkitTest;

}

// A change handler that repairs an emptied text runs again inside itself; the outer run then sees
// the repaired text. Setting the same text raises nothing; typing raises the change too.
TEST_F(ToolkitTextBox, ChangeHandlerRepairingTheTextRunsNested)
{
    Control& box = Add(ControlType::TextBox, "Box");
    box.SetText("5");
    box.onChange = [&] {
        log.push_back("enter " + box.Text());
        if (box.Text().empty())
            box.SetText("0");
        log.push_back("leave " + box.Text());
    };
    box.SetText("");
    EXPECT_EQ(log, (std::vector<std::string> { "enter ", "enter 0", "leave 0", "leave 0" }));

    log.clear();
    box.SetText("0");
    EXPECT_TRUE(log.empty());

    QTest::keyClick(box.Widget(), Qt::Key_7);
    EXPECT_EQ(log, (std::vector<std::string> { "enter 70", "leave 70" }));
}

// The caret stops at the end of the text; a selection runs from the caret to at most the end.
TEST_F(ToolkitTextBox, CaretAndSelectionStayWithinTheText)
{
    struct Case {
        int caret, length, caretAfter;
        std::string selected;
    };
    const Case cases[]
        = { { 1, 1, 1, "5" }, { 359, 0, 3, "" }, { 1, 5, 1, "59" }, { 0, 3, 0, "359" } };
    Control& box = Add(ControlType::TextBox, "Box");
    box.SetText("359");
    for (const Case& c : cases) {
        box.SetCaretPosition(c.caret);
        box.SetSelectionLength(c.length);
        EXPECT_EQ(box.CaretPosition(), c.caretAfter) << c.caret;
        EXPECT_EQ(Selected(box), c.selected) << c.caret;
    }
}

// Entering a box by mouse or by keyboard keeps the selection that its got-focus handler made;
// the box left raises its lost-focus first, and a mouse entry ends with the click.
TEST_F(ToolkitTextBox, SelectionMadeOnGotFocusStandsAfterEntry)
{
    Control& first = Add(ControlType::TextBox, "First");
    Control& second = Add(ControlType::TextBox, "Second", 900);
    first.onLostFocus = [&] { log.push_back("lost first"); };
    second.onGotFocus = [&] {
        log.push_back("got second");
        second.SetCaretPosition(1);
        second.SetSelectionLength(2);
    };
    second.onClick = [&] { log.push_back("click second"); };
    ShowActive();
    for (bool byMouse : { true, false }) {
        second.SetText("abcd");
        first.Widget()->setFocus(Qt::OtherFocusReason);
        log.clear();
        if (byMouse)
            QTest::mouseClick(second.Widget(), Qt::LeftButton, {}, { 9, 9 });
        else
            QTest::keyClick(first.Widget(), Qt::Key_Tab);
        std::vector<std::string> expected = { "lost first", "got second" };
        if (byMouse)
            expected.push_back("click second");
        EXPECT_EQ(log, expected) << byMouse;
        EXPECT_EQ(Selected(second), "bc") << byMouse;
    }
}

// A click by mouse or the space bar toggles the box; its click handler and then its release
// handler see the new state. Any other key released on the box reaches the key handler.
TEST_F(ToolkitCheckBox, ReleaseHandlersComeAfterTheToggle)
{
    Control& box = Add(ControlType::CheckBox, "Check");
    box.onClick = [&] { log.push_back("click " + std::to_string(box.Value())); };
    box.onMouseUp = [&] { log.push_back("mouse up " + std::to_string(box.Value())); };
    box.onKeyUp = [&] { log.push_back("key up " + std::to_string(box.Value())); };
    ShowActive();
    box.Widget()->setFocus();
    QTest::mouseClick(box.Widget(), Qt::LeftButton, {}, Indicator(box));
    QTest::keyClick(box.Widget(), Qt::Key_Space);
    QTest::keyClick(box.Widget(), Qt::Key_A);
    EXPECT_EQ(log,
        (std::vector<std::string> { "click 1", "mouse up 1", "click 0", "key up 0", "key up 0" }));
}

// Setting a different state raises the click at once, also from inside the click handler (which
// here puts the box back, as help mode does); the same state raises nothing. A user's click on a
// grayed box ticks it.
TEST_F(ToolkitCheckBox, SetValueRaisesClickOnlyForADifferentState)
{
    Control& box = Add(ControlType::CheckBox, "Check");
    bool reverting = false;
    box.onClick = [&] {
        log.push_back("click " + std::to_string(box.Value()));
        if (box.Value() == 1 && !std::exchange(reverting, true))
            box.SetValue(0);
    };
    box.SetValue(1);
    EXPECT_EQ(log, (std::vector<std::string> { "click 1", "click 0" }));
    EXPECT_EQ(box.Value(), 0);

    log.clear();
    box.SetValue(0);
    box.SetValue(2);
    QTest::mouseClick(box.Widget(), Qt::LeftButton, {}, Indicator(box));
    EXPECT_EQ(log, (std::vector<std::string> { "click 2", "click 1" }));
    EXPECT_EQ(box.Value(), 1);
}

// Adding, removing and selecting tabs by code raise no click; a user's choice by mouse or arrow
// key does, with the chosen tab already selected.
TEST_F(ToolkitTabStrip, OnlyTheUsersChoiceRaisesClick)
{
    Control& strip = Add(ControlType::TabStrip, "Tabs");
    strip.onClick = [&] { log.push_back("click " + std::to_string(strip.SelectedTab())); };
    for (const char* caption : { "placeholder", "A", "B", "C" })
        strip.AddTab(caption);
    strip.SelectTab(2);
    strip.RemoveTab(1);
    strip.SelectTab(3);
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(strip.TabCount(), 3);

    auto* bar = qobject_cast<QTabBar*>(strip.Widget());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(log, (std::vector<std::string> { "click 1", "click 2" }));
    EXPECT_EQ(strip.TabCaption(2), "B");
}

// Green paints the button face green; the system button face colour brings back the look the
// button had before.
TEST_F(ToolkitButton, GreenBackColorIsUndoneByTheButtonFaceColor)
{
    Control& button = Add(ControlType::CommandButton, "Help");
    ShowActive();
    const QImage face = button.Widget()->grab().toImage();
    button.SetBackColor(kGreen);
    const QColor green = button.Widget()->grab().toImage().pixelColor(10, 20);
    EXPECT_GT(green.green(), 200);
    EXPECT_LT(green.red(), green.green() - 100);
    EXPECT_LT(green.blue(), green.green() - 100);
    button.SetBackColor(kButtonFaceColor);
    EXPECT_EQ(button.Widget()->grab().toImage(), face);
}

// A close request that the handler cancels leaves the window open; the next one closes it and
// ends the run with status 0. The window is activated once shown.
TEST_F(ToolkitWindow, CancelledCloseRequestKeepsTheWindowOpen)
{
    int requests = 0;
    Events().onActivate = [&] {
        log.push_back("activate");
        QTimer::singleShot(0, [&] {
            WindowWidget()->close();
            log.push_back(WindowWidget()->isVisible() ? "open" : "closed");
            WindowWidget()->close();
        });
    };
    Events().onQueryUnload = [&](bool& cancel) {
        log.push_back("query unload");
        cancel = ++requests == 1;
    };
    // Ends a run that a lost close request would keep going, so that the test fails, not hangs.
    const QObject giveUp;
    QTimer::singleShot(5000, &giveUp, [] {
        Events().onQueryUnload = nullptr;
        WindowWidget()->show();
        WindowWidget()->close();
    });
    EXPECT_EQ(ShowWindowAndRun(), 0);
    EXPECT_EQ(
        log, (std::vector<std::string> { "activate", "query unload", "open", "query unload" }));
    EXPECT_FALSE(WindowWidget()->isVisible());
}
