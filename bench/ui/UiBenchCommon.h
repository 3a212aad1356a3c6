#pragma once
// What both forms of the display benchmark measure: a visual tick per mode, as a share of the
// fastest visual interval and beside a copy of the same bitmap.
namespace uibench {
void VisualTicks();
// The Windows form adds the title, the on-screen display and the regions.
void WindowTicks();
}
