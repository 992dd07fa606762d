// The window as an engineer sees it: every text fits its control, a box shows its whole value
// wherever the caret stands, and a picture of the window with two machine tabs is left in the
// build folder (screenshots/main_window.png).
#include "support/dialog_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

using testing_support::DialogTest;

TEST_F(DialogTest, EveryTextFitsItsControl)
{
    Load(); // with the widest values
    QWidget* window = platform::WindowWidget();
    window->show();
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus(); // no caret in the pictures compared below
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
    EXPECT_TRUE(window->grab().save(QStringLiteral(LOBIX_SCREENSHOT_DIR "/main_window.png")));
}
