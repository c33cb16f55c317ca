#include "platform/input.h"

#include <vector>

#include "platform/forms.h"
#include "platform/text.h"

namespace slvn {

namespace {

constexpr int kDeleteKey = 46;
// The control characters of Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X.
constexpr int kSelectAllChar = 1;
constexpr int kCopyChar = 3;
constexpr int kPasteChar = 22;
constexpr int kCutChar = 24;

bool Inside(const Control& c, double x, double y) {
  return x >= c.Left() && y >= c.Top() && x < c.Left() + c.Width() && y < c.Top() + c.Height();
}

// The topmost visible, enabled control under (x, y), given in the
// container's own units; the container itself when none is.
Control* HitTest(Container& box, double x, double y) {
  const auto& children = box.Children();
  for (bool windowed : {true, false}) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      Control* c = *it;
      if (c->Windowed() != windowed || !c->Visible() || !c->Enabled() || !Inside(*c, x, y))
        continue;
      if (auto* inner = dynamic_cast<Container*>(c)) {
        double scale = box.InnerUnitsPerPixel() / inner->InnerUnitsPerPixel();
        return HitTest(*inner, (x - c->Left()) / scale, (y - c->Top()) / scale);
      }
      return c;
    }
  }
  return &box;
}

// A form pixel in the units the control's mouse events use.
void ToControlUnits(const Control& target, int px, int py, double& x, double& y) {
  double ox = 0, oy = 0;  // the control's origin in form pixels
  for (const Control* c = &target; c->Parent(); c = c->Parent()) {
    ox += c->Left() / c->UnitsPerPixel();
    oy += c->Top() / c->UnitsPerPixel();
  }
  const auto* box = dynamic_cast<const Container*>(&target);
  double u = box ? box->InnerUnitsPerPixel() : target.UnitsPerPixel();
  x = (px - ox) * u;
  y = (py - oy) * u;
}

bool Contains(const Container& box, const Control* control) {
  for (const Control* c : box.Children()) {
    if (c == control) return true;
    if (auto* inner = dynamic_cast<const Container*>(c); inner && Contains(*inner, control))
      return true;
  }
  return false;
}

// Calls f on the form (with KeyPreview) and then on the focused control.
template <typename F>
void FormThenFocus(Form& form, F&& f) {
  Control* focus = InTree(form, form.Focus()) ? form.Focus() : &form;
  if (form.KeyPreview() && focus != &form) f(static_cast<Control&>(form));
  f(*focus);
}

void KeyPress(Form& form, int& ascii) {
  FormThenFocus(form, [&](Control& c) {
    if (ascii && c.KeyPress) c.KeyPress(ascii);
  });
}

// KeyPress with a control character; true when no handler swallowed it.
bool ControlKeyPress(Form& form, int control_char) {
  int ascii = control_char;
  KeyPress(form, ascii);
  return ascii == control_char;
}

// A character's KeyPress code: ASCII as itself, any other character its
// code page 936 code (a two-byte code's lead byte high; the euro sign has
// the one byte 0x80), '?' when it has none.
int CharCode(const std::string& utf8_char) {
  if (utf8_char.size() == 1) return static_cast<unsigned char>(utf8_char[0]);
  const std::string gb = Utf8ToGb2312(utf8_char);
  if (gb.size() == 1) return static_cast<unsigned char>(gb[0]);
  if (gb.size() != 2) return '?';
  return static_cast<unsigned char>(gb[0]) << 8 | static_cast<unsigned char>(gb[1]);
}

// The character a KeyPress handler put in place of the typed one.
std::string CharOfCode(int code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  if (code > 0xFFFF) return "";
  if (code <= 0xFF) return Gb2312ToUtf8(std::string(1, static_cast<char>(code)));
  const char gb[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  return Gb2312ToUtf8(std::string_view(gb, 2));
}

// A text box's caret in pixels from its left edge, from a mouse event's x.
int BoxPixel(const TextBox& box, double x) {
  return static_cast<int>(x / box.UnitsPerPixel());
}

// A press gives the keyboard focus to the control, or to the nearest box
// holding it that can take it (a press on a tile focuses the table), before
// the control's own handler runs.
void FocusOnPress(Form& form, Control& target) {
  for (Control* c = &target; c; c = c->Parent()) {
    if (c->TakesFocusOnClick()) {
      form.MoveFocus(c);
      return;
    }
  }
}

}  // namespace

TextBox* FocusedTextBox(Form& form) {
  return InTree(form, form.Focus()) ? dynamic_cast<TextBox*>(form.Focus()) : nullptr;
}

bool InTree(const Form& form, const Control* control) {
  return control && (control == &form || Contains(form, control));
}

bool CanHoldFocus(const Form& form, const Control* control) {
  if (!control || control == &form || !InTree(form, control) || !control->TakesFocusOnClick())
    return false;
  for (const Control* c = control; c && c != &form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

Control* FirstFocusable(Form& form) {
  Control* first = nullptr;
  std::vector<const Container*> boxes{&form};
  while (!boxes.empty()) {
    const Container* box = boxes.back();
    boxes.pop_back();
    for (Control* c : box->Children()) {
      if (!c->Visible() || !c->Enabled()) continue;
      if (c->TakesFocusOnClick() && (!first || c->Serial() < first->Serial())) first = c;
      if (auto* inner = dynamic_cast<const Container*>(c)) boxes.push_back(inner);
    }
  }
  return first;
}

Control* DeliverMouse(Form& form, MouseAction action, int button, int shift, int px, int py,
                      int clicks) {
  const double u = form.InnerUnitsPerPixel();
  Control* under = form.InRegion(px, py) ? HitTest(form, px * u, py * u) : nullptr;
  Control* target = InTree(form, form.MouseCapture()) ? form.MouseCapture() : under;
  if (!target) return nullptr;
  double x = 0, y = 0;
  ToControlUnits(*target, px, py, x, y);
  switch (action) {
    case MouseAction::kMove:
      // A drag in a text box selects.
      if (auto* box = dynamic_cast<TextBox*>(target);
          box && (button & kLeftButton) && form.MouseCapture() == box)
        box->PlaceCaret(box->CharAtPixel(BoxPixel(*box, x)), true);
      if (target->MouseMove) target->MouseMove(button, shift, x, y);
      break;
    case MouseAction::kDown:
      form.SetMouseCapture(target);
      FocusOnPress(form, *target);
      if (!InTree(form, target)) break;
      // A press on a list selects the line under the pointer first.
      if (auto* list = dynamic_cast<ListBox*>(target); list && button == kLeftButton) {
        const int line = list->LineAt(y);  // y is measured from the list's own top
        if (line >= 0) list->SetListIndex(line);
      }
      // A press in a text box places its caret there (Shift: selects to it).
      if (auto* box = dynamic_cast<TextBox*>(target); box && button == kLeftButton)
        box->PlaceCaret(box->CharAtPixel(BoxPixel(*box, x)), (shift & kShiftMask) != 0);
      if (target->MouseDown) target->MouseDown(button, shift, x, y);
      if (clicks == 2 && InTree(form, target) && target->DblClick) target->DblClick();
      break;
    case MouseAction::kUp:
      form.SetMouseCapture(nullptr);
      if (target->MouseUp) target->MouseUp(button, shift, x, y);
      if (clicks == 1 && button == kLeftButton && target == under && InTree(form, target) &&
          target->Click)
        target->Click();
      break;
  }
  return InTree(form, under) ? under : nullptr;
}

void DeliverWheel(Form& form, int px, int py, int lines) {
  const double u = form.InnerUnitsPerPixel();
  Control* under = form.InRegion(px, py) ? HitTest(form, px * u, py * u) : nullptr;
  if (auto* list = dynamic_cast<ListBox*>(under)) list->ScrollBy(lines);
}

void DeliverKeyDown(Form& form, int key_code, int shift) {
  FormThenFocus(form, [&](Control& c) {
    if (c.KeyDown) c.KeyDown(key_code, shift);
  });
  if (TextBox* box = FocusedTextBox(form)) {
    if (box->MoveCaret(key_code, (shift & kShiftMask) != 0)) return;
    if (key_code == kDeleteKey) {
      box->Delete();
      return;
    }
    if (key_code == 'A' && shift == kCtrlMask) {
      if (ControlKeyPress(form, kSelectAllChar) && FocusedTextBox(form) == box) box->SelectAll();
      return;
    }
  }
  if (key_code != 8 && key_code != 13 && key_code != 27) return;
  int ascii = key_code;
  KeyPress(form, ascii);
  if (ascii == 8)
    if (TextBox* box = FocusedTextBox(form)) box->Backspace();
}

void DeliverKeyUp(Form& form, int key_code, int shift) {
  FormThenFocus(form, [&](Control& c) {
    if (c.KeyUp) c.KeyUp(key_code, shift);
  });
}

void DeliverText(Form& form, const std::string& utf8) {
  for (size_t at = 0; at < utf8.size();) {
    const std::string typed = CharLeft(std::string_view(utf8).substr(at), 1);
    at += typed.size();
    const int code = CharCode(typed);
    int key = code;
    KeyPress(form, key);
    if (key <= 0) continue;
    if (TextBox* box = FocusedTextBox(form)) box->Type(key == code ? typed : CharOfCode(key));
  }
}

bool DeliverPasteKey(Form& form) {
  return ControlKeyPress(form, kPasteChar) && FocusedTextBox(form);
}

void DeliverPasteText(Form& form, const std::string& clipboard) {
  if (TextBox* box = FocusedTextBox(form)) box->Paste(clipboard);
}

void DeliverPaste(Form& form, const std::string& clipboard) {
  if (DeliverPasteKey(form)) DeliverPasteText(form, clipboard);
}

std::string DeliverCopy(Form& form, bool cut) {
  TextBox* box = FocusedTextBox(form);
  if (!box || !ControlKeyPress(form, cut ? kCutChar : kCopyChar) || FocusedTextBox(form) != box)
    return "";
  std::string text = box->SelText();
  if (cut && !text.empty()) box->Delete();
  return text;
}

void DeliverComposition(Form& form, const std::string& utf8, int cursor) {
  if (TextBox* box = FocusedTextBox(form)) box->SetComposition(utf8, cursor);
}

}  // namespace slvn
