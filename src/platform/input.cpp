#include "platform/input.h"

#include <vector>

#include "platform/forms.h"

namespace slvn {

namespace {

constexpr int kDeleteKey = 46;
constexpr int kPasteChar = 22;  // Ctrl+V's control character

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
    if (box->MoveCaret(key_code)) return;
    if (key_code == kDeleteKey) {
      box->Delete();
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
  std::string text = utf8;
  if (text.size() == 1) {
    int ascii = static_cast<unsigned char>(text[0]);
    KeyPress(form, ascii);
    if (ascii <= 0 || ascii > 0x7F) return;
    text = std::string(1, static_cast<char>(ascii));
  }
  if (TextBox* box = FocusedTextBox(form)) box->Type(text);
}

void DeliverPaste(Form& form, const std::string& clipboard) {
  int ascii = kPasteChar;
  KeyPress(form, ascii);
  if (ascii != kPasteChar) return;
  if (TextBox* box = FocusedTextBox(form)) box->Paste(clipboard);
}

void DeliverComposition(Form& form, const std::string& utf8, int cursor) {
  if (TextBox* box = FocusedTextBox(form)) box->SetComposition(utf8, cursor);
}

}  // namespace slvn
