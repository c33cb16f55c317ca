#pragma once

#include <string>

namespace slvn {

class Control;
class Form;
class TextBox;

enum class MouseAction { kMove, kDown, kUp };

// Delivers a mouse event at form pixel (px, py) to the topmost visible,
// enabled control under it (windowed before windowless, front to back);
// after a press, moves and the release go to the pressed control. The
// handlers get x and y relative to the control in its container's units (a
// container's own events in its own units). A release on the pressed control
// is a Click; a second press in quick succession (clicks == 2) a DblClick.
// Returns the control under the pointer (for its mouse pointer), or null.
Control* DeliverMouse(Form& form, MouseAction action, int button, int shift, int px, int py,
                      int clicks = 1);

// The wheel turned over form pixel (px, py): a list under it scrolls by
// `lines` (positive downwards).
void DeliverWheel(Form& form, int px, int py, int lines);

// Key events go to the focused control, the form first when it has
// KeyPreview. Keys that type no text (backspace, enter, escape) also raise
// KeyPress with their control character. A focused text box then edits:
// Left, Right, Home and End move its caret (with Shift they select),
// Delete and Backspace remove the selection or a character (Backspace only
// when KeyPress left it 8), Ctrl+A selects all (after KeyPress with 1).
void DeliverKeyDown(Form& form, int key_code, int shift);
void DeliverKeyUp(Form& form, int key_code, int shift);
// Typed text, one character at a time: each raises KeyPress with its code
// (ASCII, or a Chinese character's two-byte code page 936 code, lead byte
// high), which may swallow (0) or change it, before a focused text box
// takes it.
void DeliverText(Form& form, const std::string& utf8);
// Ctrl+V after its key down: KeyPress with 22 (which may swallow it); true
// when a focused text box then waits for the clipboard's text, which
// DeliverPasteText gives it as one line when it comes.
bool DeliverPasteKey(Form& form);
void DeliverPasteText(Form& form, const std::string& clipboard);
// Both at once, for a clipboard already at hand.
void DeliverPaste(Form& form, const std::string& clipboard);
// Ctrl+C (Ctrl+X with cut) in a focused text box: KeyPress with 3 (24),
// which may swallow it; returns the selection for the clipboard ("" none),
// which the cut removes.
std::string DeliverCopy(Form& form, bool cut);
// An input method's composition so far (cursor in characters into it), shown
// in the focused text box at its caret; "" ends it.
void DeliverComposition(Form& form, const std::string& utf8, int cursor);
// The form's focused control when it is a text box, else null.
TextBox* FocusedTextBox(Form& form);

// Whether control is still in the form's tree (compares addresses only, so a
// destroyed control is never touched).
bool InTree(const Form& form, const Control* control);

// Whether the control can hold the form's keyboard focus: in the form, able
// to take it, enabled and shown with every box that holds it.
bool CanHoldFocus(const Form& form, const Control* control);
// The first control in tab order that can hold the focus, or null.
Control* FirstFocusable(Form& form);

}  // namespace slvn
