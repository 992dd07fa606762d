// The toolkit's event orders on real widgets, driven as a user drives them.
#include "platform/window/toolkit.h"

#include <QApplication>
#include <QImage>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;
using Log = std::vector<std::string>;

namespace {

class Toolkit : public testing::Test {
protected:
    void SetUp() override { CreateWindow(6000, 3000, "Test"); }
    void TearDown() override { DestroyWindow(); }

    static Control& Add(ControlType type, int top = 0)
    {
        return AddControl({ .type = type, .name = "C", .top = top, .width = 3000, .height = 600 });
    }

    Log log;
};

}

// A change handler that repairs an emptied text runs again inside itself, and the outer run sees
// the repair. Setting the same text raises nothing; typing raises the change.
TEST_F(Toolkit, TextChangeHandlerRunsNestedInsideItself)
{
    Control& box = Add(ControlType::TextBox);
    box.SetText("5");
    box.onChange = [&] {
        log.push_back("enter " + box.Text());
        if (box.Text().empty())
            box.SetText("0");
        log.push_back("leave " + box.Text());
    };
    box.SetText("");
    box.SetText("0");
    QTest::keyClick(box.Widget(), Qt::Key_7);
    EXPECT_EQ(log, (Log { "enter ", "enter 0", "leave 0", "leave 0", "enter 70", "leave 70" }));
}

// The caret stops at the end of the text; a selection runs from the caret to at most the end.
TEST_F(Toolkit, CaretAndSelectionStayWithinTheText)
{
    Control& box = Add(ControlType::TextBox);
    box.SetText("359");
    for (const auto& [caret, length, caretAfter, lengthAfter] :
        { std::array { 1, 1, 1, 1 }, { 359, 0, 3, 0 }, { 1, 5, 1, 2 } }) {
        box.SetCaretPosition(caret);
        box.SetSelectionLength(length);
        EXPECT_EQ(box.CaretPosition(), caretAfter) << caret;
        EXPECT_EQ(box.SelectionLength(), lengthAfter) << caret;
    }
}

// Entering a box by mouse or by keyboard keeps the selection its got-focus handler made; the box
// left raises its lost-focus first, and a mouse entry ends with the click.
TEST_F(Toolkit, SelectionMadeOnGotFocusStandsAfterEntry)
{
    Control& first = Add(ControlType::TextBox);
    Control& second = Add(ControlType::TextBox, 900);
    first.onLostFocus = [&] { log.push_back("lost first"); };
    second.onGotFocus = [&] {
        log.push_back("got second");
        second.SetCaretPosition(1);
        second.SetSelectionLength(2);
    };
    second.onClick = [&] { log.push_back("click second"); };
    second.SetText("abcd");
    const auto selected
        = [&] { return second.Text().substr(second.CaretPosition(), second.SelectionLength()); };
    // Active, so that focus moves as for a user.
    WindowWidget()->show();
    QApplication::setActiveWindow(WindowWidget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(WindowWidget()));
    first.Widget()->setFocus();
    QTest::mouseClick(second.Widget(), Qt::LeftButton, {}, { 9, 9 });
    EXPECT_EQ(selected(), "bc");
    QTest::keyClick(second.Widget(), Qt::Key_Backtab);
    QTest::keyClick(first.Widget(), Qt::Key_Tab);
    EXPECT_EQ(selected(), "bc");
    EXPECT_EQ(
        log, (Log { "lost first", "got second", "click second", "lost first", "got second" }));
}

// A different state set raises the click at once, also inside the click handler (here putting the
// box back, as help mode does). A mouse click ticks a grayed box; after a click or the space bar,
// the click handler and then the release handler see the new state. Other keys' releases reach the
// key handler.
TEST_F(Toolkit, CheckBoxClickSeesTheNewStateBeforeTheRelease)
{
    Control& box = Add(ControlType::CheckBox);
    const auto logState = [&](std::string event) {
        return [&, event] { log.push_back(event + " " + std::to_string(box.Value())); };
    };
    bool reverted = false;
    box.onClick = [&] {
        logState("click")();
        if (box.Value() == 1 && !std::exchange(reverted, true))
            box.SetValue(0);
    };
    box.onMouseUp = logState("mouse up");
    box.onKeyUp = logState("key up");
    box.SetValue(1);
    box.SetValue(0);
    box.SetValue(2);
    QTest::mouseClick(box.Widget(), Qt::LeftButton, {}, { 7, box.Widget()->height() / 2 });
    QTest::keyClick(box.Widget(), Qt::Key_Space);
    QTest::keyClick(box.Widget(), Qt::Key_A);
    EXPECT_EQ(log,
        (Log { "click 1", "click 0", "click 2", "click 1", "mouse up 1", "click 0", "key up 0",
            "key up 0" }));
}

// Adding, removing and selecting tabs by code raise no click; a user's choice by mouse or arrow
// key does, with the chosen tab already selected.
TEST_F(Toolkit, TabStripClickComesOnlyFromTheUser)
{
    Control& strip = Add(ControlType::TabStrip);
    strip.onClick = [&] { log.push_back("click " + std::to_string(strip.SelectedTab())); };
    for (const char* caption : { "placeholder", "A", "B", "C" })
        strip.AddTab(caption);
    strip.SelectTab(2);
    strip.RemoveTab(1);
    strip.SelectTab(3);
    auto* bar = qobject_cast<QTabBar*>(strip.Widget());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(log, (Log { "click 1", "click 2" }));
    EXPECT_EQ(strip.TabCaption(2), "B");
}

// Green paints the button face green; the system button face colour brings back its first look.
TEST_F(Toolkit, GreenBackColorIsUndoneByTheButtonFaceColor)
{
    Control& button = Add(ControlType::CommandButton);
    const QImage face = button.Widget()->grab().toImage();
    button.SetBackColor(kGreen);
    const QColor green = button.Widget()->grab().toImage().pixelColor(10, 20);
    EXPECT_GT(green.green(), 200);
    EXPECT_LT(std::max(green.red(), green.blue()), green.green() - 100);
    button.SetBackColor(kButtonFaceColor);
    EXPECT_EQ(button.Widget()->grab().toImage(), face);
}

// A close request that the handler cancels leaves the window open; the next one closes it and
// ends the run with status 0. The window is activated once shown.
TEST_F(Toolkit, CancelledCloseRequestKeepsTheWindowOpen)
{
    Events().onActivate = [&] {
        log.push_back("activate");
        QTimer::singleShot(0, [&] {
            WindowWidget()->close();
            log.push_back(WindowWidget()->isVisible() ? "open" : "closed");
            WindowWidget()->close();
        });
    };
    int requests = 0;
    Events().onQueryUnload = [&](bool& cancel) {
        log.push_back("query unload");
        cancel = ++requests == 1;
    };
    // Ends a run that a lost close request would keep going, so that the test fails, not hangs.
    const QObject giveUp;
    QTimer::singleShot(5000, &giveUp, [&] {
        log.push_back("gave up");
        QCoreApplication::exit();
    });
    EXPECT_EQ(ShowWindowAndRun(), 0);
    EXPECT_EQ(log, (Log { "activate", "query unload", "open", "query unload" }));
    EXPECT_FALSE(WindowWidget()->isVisible());
}

// Return, keypad Enter and Space press a focused button; Escape that no control takes is a close
// request; Return in a text box raises nothing.
TEST_F(Toolkit, ReturnPressesAButtonAndEscapeRequestsClosing)
{
    Control& box = Add(ControlType::TextBox);
    Control& button = Add(ControlType::CommandButton, 900);
    button.onClick = [&] { log.push_back("click"); };
    box.onChange = [&] { log.push_back("change"); };
    Events().onQueryUnload = [&](bool& cancel) {
        log.push_back("query unload");
        cancel = true;
    };
    WindowWidget()->show();
    for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape })
        QTest::keyClick(button.Widget(), key);
    QTest::keyClick(box.Widget(), Qt::Key_Return);
    QTest::keyClick(box.Widget(), Qt::Key_Escape);
    EXPECT_EQ(log, (Log { "click", "click", "click", "query unload", "query unload" }));
    EXPECT_TRUE(WindowWidget()->isVisible());
}
