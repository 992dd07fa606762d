// The Qt widgets behind the controls.
#pragma once

#include "platform/window/control.h"

class QWidget;

namespace platform {

// A new widget of the control's kind with its caption (and picture), a child of `parent`.
QWidget* MakeWidget(const ControlSpec& design, QWidget* parent);

// Ties the widget's events to `control`; nullptr unties them, so that no handler runs while the
// window is torn down.
void BindWidget(QWidget* widget, Control* control);

}
