// The toolkit's event orders on real widgets, driven as a user drives them.
#include "platform/window/application.h"
#include "platform/window/toolkit.h"

#include <QApplication>
#include <QImage>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform;
using Log = std::vector<std::string>;

namespace {

struct Toolkit : testing::Test {
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
// the repair; the same text raises nothing, typing does. A mouse entry raises lost-focus, got-focus
// and click in that order, and keeps the selection that the got-focus handler made.
TEST_F(Toolkit, TextBoxChangesCaretAndEntry)
{
    Control& other = Add(ControlType::TextBox);
    Control& box = Add(ControlType::TextBox, 900);
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

    other.onLostFocus = [&] { log.push_back("lost other"); };
    box.onClick = [&] { log.push_back("click"); };
    box.onGotFocus = [&] {
        log.push_back("got");
        box.SetCaretPosition(0);
        box.SetSelectionLength(1);
    };
    WindowWidget()->show(); // active, so that focus moves as for a user
    QApplication::setActiveWindow(WindowWidget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(WindowWidget()));
    other.Widget()->setFocus();
    QTest::mouseClick(box.Widget(), Qt::LeftButton, {}, { 20, 9 });
    EXPECT_EQ(box.Text().substr(box.CaretPosition(), box.SelectionLength()), "7");
    EXPECT_EQ(log,
        (Log { "enter ", "enter 0", "leave 0", "leave 0", "enter 70", "leave 70", "lost other",
            "got", "click" }));
}

// A state set by code raises the click when it differs; a mouse click ticks a grayed box. Releases
// of keys other than Space reach the key handler too (the dialog tests prove the release handlers
// see the new state).
TEST_F(Toolkit, CheckBoxClickComesWithEachNewState)
{
    Control& box = Add(ControlType::CheckBox);
    box.onClick = [&] { log.push_back("click " + std::to_string(box.Value())); };
    box.onKeyUp = [&] { log.push_back("key up"); };
    for (int state : { 1, 1, 0, 2 })
        box.SetValue(state);
    QTest::mouseClick(box.Widget(), Qt::LeftButton, {}, { 7, box.Widget()->height() / 2 });
    QTest::keyClick(box.Widget(), Qt::Key_A);
    EXPECT_EQ(log, (Log { "click 1", "click 0", "click 2", "click 1", "key up" }));
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
    QTabBar* bar = qobject_cast<QTabWidget*>(strip.Widget())->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(log, (Log { "click 1", "click 2" }));
    EXPECT_EQ(strip.TabCaption(2), "B");
}

// Green paints a button's face, the button face colour restores it. In the activated window keypad
// Enter and Space press the button (Return: the keyboard run); Escape is a close request, as the
// close box is: the first, cancelled, leaves the window open; the next closes it and ends the run.
TEST_F(Toolkit, ButtonFaceKeysAndCloseRequests)
{
    Control& button = Add(ControlType::CommandButton);
    const QImage face = button.Widget()->grab().toImage();
    button.SetBackColor(kGreen);
    const QColor green = button.Widget()->grab().toImage().pixelColor(10, 20);
    EXPECT_GT(green.green(), 200);
    EXPECT_LT(std::max(green.red(), green.blue()), green.green() - 100);
    button.SetBackColor(kButtonFaceColor);
    EXPECT_EQ(button.Widget()->grab().toImage(), face);
    button.onClick = [&] { log.push_back("click"); };
    Events().onActivate = [&] {
        log.push_back("activate");
        QTimer::singleShot(0, [&] {
            for (Qt::Key key : { Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape })
                QTest::keyClick(button.Widget(), key);
            log.push_back(WindowWidget()->isVisible() ? "open" : "closed");
            WindowWidget()->close();
        });
    };
    int requests = 0;
    Events().onQueryUnload = [&](bool& cancel) {
        log.push_back("query unload");
        cancel = ++requests == 1;
    };
    const QObject giveUp; // a lost close request fails the test instead of hanging it
    QTimer::singleShot(5000, &giveUp, [] { QCoreApplication::exit(); });
    EXPECT_EQ(ShowWindowAndRun(), 0);
    EXPECT_EQ(log, (Log { "activate", "click", "click", "query unload", "open", "query unload" }));
    EXPECT_FALSE(WindowWidget()->isVisible());
}

// Platforms that need no server are there; X11, the default, and Wayland only when their server
// answers; of a list, any one that is there will do.
TEST(Display, IsThereWhenThePlatformQtWouldUseIsThere)
{
    const char* const names[] = { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" };
    std::vector<QByteArray> kept;
    for (const char* name : names)
        kept.push_back(qgetenv(name));
    qputenv("DISPLAY", ":199");
    qputenv("WAYLAND_DISPLAY", "/nonexistent/wayland-9");
    const std::pair<const char*, bool> cases[] = { { "offscreen", true },
        { "vnc:size=800x600:port=5999", true }, { "minimal", true }, { "xcb", false },
        { "wayland", false }, { "wayland;xcb", false }, { "xcb;offscreen", true }, { "", false } };
    for (const auto& [platform, there] : cases) {
        qputenv("QT_QPA_PLATFORM", platform);
        EXPECT_EQ(HasDisplay(), there) << platform;
    }
    for (size_t i = 0; i < kept.size(); ++i)
        kept[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], kept[i]);
}
