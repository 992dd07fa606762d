// The window's texts from the language file: captions, tool tips and help texts of the current
// language. Every key the file lacks is written back at once (German: the design caption;
// otherwise "0"), so the file grows into a full list for a translator.
#pragma once

namespace editing {

// Walks every control of the window and applies, or writes back, its texts.
void LoadToolTipTexts();

}
