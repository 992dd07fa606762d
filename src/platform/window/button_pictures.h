// The pictures of the picture buttons, drawn anew on a transparent background.
#pragma once

#include "platform/window/window_types.h"

#include <QPixmap>

namespace platform {

// The picture at its design size (question 41x45, tick 44x36, cross 37x39 pixels), sharp at the
// application's pixel ratio; a null pixmap for ButtonPicture::None.
QPixmap DrawButtonPicture(ButtonPicture picture);

}
