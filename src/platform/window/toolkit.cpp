// The window toolkit over Qt Widgets: the one window, its controls and its events.
#include "platform/window/toolkit.h"

#include "platform/window/control_widgets.h"
#include "platform/window/widget_glue.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QShortcut>
#include <memory>
#include <utility>

namespace platform {

namespace {

    class DialogWindow;

    struct Toolkit {
        DialogWindow* window = nullptr; // owns every widget; deleted by DestroyWindow
        std::vector<std::unique_ptr<Control>> owned;
        std::vector<Control*> controls;
        WindowEvents events;
        int pointer = kDefaultPointer;
        QEventLoop* loop = nullptr; // the loop of ShowWindowAndRun while it runs
    };

}

static Toolkit& State()
{
    static Toolkit state;
    return state;
}

namespace {

    class DialogWindow final : public QWidget {
    public:
        DialogWindow()
            : QWidget(nullptr, Qt::Dialog)
        {
        }

    protected:
        bool event(QEvent* event) override
        {
            const bool handled = QWidget::event(event);
            if (event->type() == QEvent::WindowActivate)
                Fire(State().events.onActivate);
            return handled;
        }

        void resizeEvent(QResizeEvent*) override { Fire(State().events.onResize); }

        // Keys that no control took come here.
        void keyPressEvent(QKeyEvent* event) override
        {
            if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
                close();
            else
                QWidget::keyPressEvent(event);
        }

        void closeEvent(QCloseEvent* event) override
        {
            bool cancel = false;
            if (auto handler = State().events.onQueryUnload)
                handler(cancel);
            event->setAccepted(!cancel);
            if (!cancel && State().loop)
                State().loop->quit();
        }
    };
}

static DialogWindow& TheWindow()
{
    if (!State().window)
        Raise(kObjectNotSet);
    return *State().window;
}

// The platform's sans family, condensed: its usual faces run wider than the MS Sans Serif that
// the window's captions were laid out for, and would be clipped. Text boxes narrower still, so
// that six characters ("-32768") show whole in a box of 600 twips.
static QFont FontOf(const ControlSpec& design)
{
    QFont font = QApplication::font();
    font.setStretch(design.type == ControlType::TextBox ? QFont::ExtraCondensed : QFont::Condensed);
    font.setPointSizeF(design.fontPoints);
    font.setBold(design.bold);
    return font;
}

// Deletes the window and its controls, first unbinding them so that no handler runs meanwhile.
static void RemoveWindow()
{
    Toolkit& state = State();
    for (Control* control : state.controls)
        BindWidget(control->Widget(), nullptr);
    delete std::exchange(state.window, nullptr);
    state.controls.clear();
    state.owned.clear();
}

// Shortcuts rather than key handlers, so that no control takes these keys first. Shift+Tab comes
// as Backtab from most platforms, as Tab with Shift from some.
static void AddTabSwitchKeys(QWidget& window)
{
    const std::pair<QKeyCombination, int> keys[] = { { Qt::CTRL | Qt::Key_Tab, 1 },
        { Qt::CTRL | Qt::Key_PageDown, 1 }, { Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1 },
        { Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1 }, { Qt::CTRL | Qt::Key_PageUp, -1 } };
    for (const auto& [key, step] : keys)
        QObject::connect(new QShortcut(key, &window), &QShortcut::activated, [step] {
            if (auto handler = State().events.onSwitchTab)
                handler(step);
        });
}

void CreateWindow(int clientWidth, int clientHeight, const std::string& caption)
{
    RemoveWindow();
    auto* window = new DialogWindow;
    window->setFixedSize(Pixels(clientWidth), Pixels(clientHeight));
    window->setWindowTitle(ToQt(caption));
    AddTabSwitchKeys(*window);
    State().window = window;
}

void DestroyWindow()
{
    RemoveWindow();
    SetMousePointer(kDefaultPointer);
    State().events = {};
}

Control& AddControl(const ControlSpec& design)
{
    QWidget* parent = design.parent ? design.parent->Widget() : &TheWindow();
    QWidget* widget = MakeWidget(design, parent);
    widget->setGeometry(
        Pixels(design.left), Pixels(design.top), Pixels(design.width), Pixels(design.height));
    widget->setFont(FontOf(design));
    widget->setEnabled(design.enabled);
    widget->setAccessibleName(ToQt(design.accessibleName));
    widget->show();
    Toolkit& state = State();
    Control& control = *state.owned.emplace_back(std::make_unique<Control>(design, widget));
    BindWidget(widget, &control);
    state.controls.push_back(&control);
    return control;
}

const std::vector<Control*>& Controls() { return State().controls; }

Control* FindControl(const std::string& name, int index)
{
    for (Control* control : State().controls) {
        if (control->Name() == name && control->Index() == index)
            return control;
    }
    return nullptr;
}

std::string WindowCaption() { return FromQt(TheWindow().windowTitle()); }

void SetWindowCaption(const std::string& caption) { TheWindow().setWindowTitle(ToQt(caption)); }

void SetMousePointer(int pointer)
{
    Toolkit& state = State();
    const bool wasWaiting = state.pointer == kHourglassPointer;
    const bool waiting = pointer == kHourglassPointer;
    state.pointer = pointer;
    if (waiting && !wasWaiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (wasWaiting && !waiting)
        QApplication::restoreOverrideCursor();
}

void ProcessPendingMessages() { QCoreApplication::processEvents(); }

WindowEvents& Events() { return State().events; }

int ShowWindowAndRun()
{
    DialogWindow& window = TheWindow();
    QEventLoop loop;
    const QScopedValueRollback running(State().loop, &loop);
    window.show();
    // A handler may have closed the window while it was shown; quit() before exec() is lost.
    if (window.isVisible())
        loop.exec();
    return 0;
}

QWidget* WindowWidget() { return State().window; }

}
