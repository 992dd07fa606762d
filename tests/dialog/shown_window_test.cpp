// The shown window as an engineer meets it: every text fits its control, a box shows its whole
// value wherever the caret stands (screenshots/main_window.png in the build folder shows it); where
// Tab goes, what Return does; Cancel and the close box (Escape) ask before discarding, OK saves.
#include "dialog/window_state.h"
#include "support/dialog_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct ShownWindow : DialogTest {
    void SetUp() override
    {
        Load();
        ShowActive();
    }

    static std::string Focused()
    {
        for (platform::Control* control : platform::Controls())
            if (control->Widget() == QApplication::focusWidget())
                return control->Name()
                    + (control->Index() < 0 ? "" : std::to_string(control->Index()));
        return "nothing";
    }
};

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
    EXPECT_TRUE(platform::WindowWidget()->grab().save(
        QStringLiteral(LOBIX_SCREENSHOT_DIR "/main_window.png")));
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
