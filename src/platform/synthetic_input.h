#pragma once

namespace slvn {

class Form;
class WindowSystem;

// Input put on the window system's own queue, as a person's would arrive:
// for tests and tools that drive the windows on a display (the pointer's
// motion comes from the display itself). Each takes effect
// when the event loop next dispatches; false when there is no window to aim
// at (headless, or the form has not been shown yet).

// A press (down) or release of a mouse button (kLeftButton...) at form pixel
// (x, y).
bool PushMouseButton(WindowSystem& windows, const Form& form, int button, bool down, int x, int y);
// The wheel turned by `notches` (positive towards the user) over the form.
bool PushWheel(WindowSystem& windows, const Form& form, int notches);
// A key (a virtual key code: F1 = 112, Esc = 27, Alt = 18, 'A'-'Z') pressed or
// released in the window that has the keyboard focus.
bool PushKey(int key_code, bool down);

}  // namespace slvn
