// The two option check boxes: the speed option of the shown machine and the project-wide cam
// count. The model follows a box when a key or mouse button is released over it.
#pragma once

namespace editing {

void CheckSpeedControl_KeyUp();
void CheckSpeedControl_MouseUp();
void CheckSpeedControl_Click();
void Check270Kurven_KeyUp();
void Check270Kurven_MouseUp();
void Check270Kurven_Click();

}
