#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/picture.h"

namespace slvn {

class Container;

// Whether a picture has as many pixels as its size says: anything else is
// neither drawn nor read.
inline bool WellFormed(const Image& image) {
  return image.width > 0 && image.height > 0 &&
         image.pixels.size() == static_cast<size_t>(image.width) * image.height;
}

// Mouse pointers the game sets; anything else shows the default arrow.
enum MousePointerKind : int { kPointerDefault = 0, kPointerSizeAll = 15, kPointerCustom = 99 };
// Mouse buttons and shift state as the handlers receive them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftState : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

using ClickHandler = std::function<void()>;
// (button, shift, x, y), x and y in the container's units.
using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
// (key code, shift); key codes are the window system's virtual keys (F1 = 112).
using KeyHandler = std::function<void(int key_code, int shift)>;
// The handler may change the character; 0 swallows it.
using KeyPressHandler = std::function<void(int& key_ascii)>;

// One control of the retained tree. Geometry is kept in the container's units
// as computed (fractions too); the renderer turns it into pixels. Every setter
// that changes what is seen marks the form for a redraw.
class Control {
 public:
  // windowed: picture, text and list boxes, which always sit above the
  // windowless images and labels of the same container.
  Control(Container* parent, bool windowed);
  virtual ~Control();
  // Copies the properties and handlers, not the place in the tree: control
  // arrays make their new elements this way.
  Control(const Control& other);
  Control& operator=(const Control&) = delete;

  Container* Parent() const { return parent_; }
  bool Windowed() const { return windowed_; }

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void SetLeft(double v) { Change(left_, v); }
  void SetTop(double v) { Change(top_, v); }
  void SetWidth(double v) { ChangeSize(width_, v); }
  void SetHeight(double v) { ChangeSize(height_, v); }
  // Negative width or height keep the current one.
  void Move(double left, double top, double width = -1, double height = -1);

  bool Visible() const { return visible_; }
  // Hiding the control that has its form's keys (or a box around it) hands
  // them to the form's first control that can hold them.
  virtual void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  int MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(int v) { mouse_pointer_ = v; }
  const std::string& ToolTipText() const { return tool_tip_; }
  void SetToolTipText(std::string v) { tool_tip_ = std::move(v); }
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string v) { tag_ = std::move(v); }

  // 0 brings the control to the front of its kind (windowed or windowless)
  // among its siblings, 1 sends it to the back.
  void ZOrder(int position = 0);

  // Marks the form the control is on for a redraw.
  void Invalidate();
  bool Dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = false; }

  // Converts between the container's units and pixels of the form.
  double UnitsPerPixel() const;

  // Whether a press on the control gives it the keyboard focus: windowed
  // controls (picture, text and list boxes) can hold it; images and labels
  // cannot, and a press on one focuses the box that holds it, if any.
  bool TakesFocusOnClick() const { return takes_focus_; }
  void SetTakesFocusOnClick(bool v) { takes_focus_ = v; }
  // The order the control joined its form in: the tab order.
  uint64_t Serial() const { return serial_; }

  ClickHandler Click;
  ClickHandler DblClick;
  MouseHandler MouseDown;
  MouseHandler MouseUp;
  MouseHandler MouseMove;
  KeyHandler KeyDown;
  KeyHandler KeyUp;
  KeyPressHandler KeyPress;
  // The control got or lost its form's keyboard focus (Form::SetFocus).
  ClickHandler GotFocus;
  ClickHandler LostFocus;

 protected:
  template <typename T>
  void Change(T& field, T value) {
    if (field == value) return;
    field = std::move(value);
    Invalidate();
  }
  void AttachTo(Container* parent);
  void Detach();
  // Called after the width or the height changed.
  virtual void Resized() {}

 private:
  friend class Container;
  void ChangeSize(double& field, double value) {
    value = value < 0 ? 0 : value;
    if (field == value) return;
    Change(field, value);
    Resized();
  }

  Container* parent_ = nullptr;
  bool windowed_;
  bool takes_focus_;
  uint64_t serial_ = 0;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  int mouse_pointer_ = kPointerDefault;
  std::string tool_tip_;
  std::string tag_;
  bool dirty_ = true;
};

enum class ScaleMode { kTwips, kPixels };

// A control that holds others (forms and picture boxes): its children in
// z-order, back to front, its own picture and a canvas PaintPicture draws on.
class Container : public Control {
 public:
  Container(Container* parent, bool windowed) : Control(parent, windowed) {}
  ~Container() override;
  Container(const Container& other);  // children are not copied

  const std::vector<Control*>& Children() const { return children_; }

  ScaleMode Scale() const { return scale_; }
  void SetScaleMode(ScaleMode mode) { Change(scale_, mode); }
  double InnerUnitsPerPixel() const { return scale_ == ScaleMode::kTwips ? 15.0 : 1.0; }

  const slvn::Picture& Picture() const { return picture_; }
  void SetPicture(slvn::Picture picture) { Change(picture_, std::move(picture)); }
  // &HBBGGRR; drawn under the picture.
  uint32_t BackColor() const { return back_color_; }
  void SetBackColor(uint32_t v) { Change(back_color_, v); }

  // Copies the source rectangle of a picture (pixels) onto this container's
  // canvas at the destination rectangle (this container's units), scaling
  // as needed; transparent pixels leave the canvas as it was.
  void PaintPicture(const slvn::Picture& picture, double x, double y, double width, double height,
                    double src_x, double src_y, double src_width, double src_height);
  void Cls();
  const std::shared_ptr<Image>& Canvas() const { return canvas_; }
  uint64_t CanvasVersion() const { return canvas_version_; }

 private:
  friend class Control;
  std::vector<Control*> children_;
  uint64_t next_serial_ = 1;  // kept by the form, the tree's root
  ScaleMode scale_ = ScaleMode::kTwips;
  slvn::Picture picture_;
  uint32_t back_color_ = 0x8000000F;  // the system's button face colour
  std::shared_ptr<Image> canvas_;
  uint64_t canvas_version_ = 0;
};

class PictureBox : public Container {
 public:
  explicit PictureBox(Container* parent) : Container(parent, true) {}
};

// The windowless picture control.
class ImageControl : public Control {
 public:
  explicit ImageControl(Container* parent) : Control(parent, false) {}

  const slvn::Picture& Picture() const { return picture_; }
  // Without Stretch the control takes the picture's size.
  void SetPicture(slvn::Picture picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { Change(stretch_, v); }

 private:
  slvn::Picture picture_;
  bool stretch_ = false;
};

enum Alignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };
enum BackStyle : int { kBackTransparent = 0, kBackOpaque = 1 };

// Font properties; every name maps onto the one CJK font.
struct Font {
  std::string name = "宋体";
  double size = 9;  // points
  bool bold = false;
  bool operator==(const Font&) const = default;
};

// Controls that draw text share the font and colours.
class TextControl : public Control {
 public:
  using Control::Control;
  const struct Font& Font() const { return font_; }
  void SetFontName(std::string v);
  void SetFontSize(double v);
  void SetFontBold(bool v);
  uint32_t ForeColor() const { return fore_color_; }  // &HBBGGRR
  void SetForeColor(uint32_t v) { Change(fore_color_, v); }
  uint32_t BackColor() const { return back_color_; }
  void SetBackColor(uint32_t v) { Change(back_color_, v); }

 private:
  struct Font font_;
  uint32_t fore_color_ = 0;
  uint32_t back_color_ = 0x80000005;  // the system's window colour
};

class Label : public TextControl {
 public:
  explicit Label(Container* parent) : TextControl(parent, false) { SetBackColor(0x8000000F); }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string v) { Change(caption_, std::move(v)); }
  int Alignment() const { return alignment_; }
  void SetAlignment(int v) { Change(alignment_, v); }
  int BackStyle() const { return back_style_; }
  void SetBackStyle(int v) { Change(back_style_, v); }
  // With AutoSize the renderer sizes the label to its text when it draws it.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v) { Change(auto_size_, v); }

 private:
  std::string caption_;
  int alignment_ = kAlignLeft;
  int back_style_ = kBackOpaque;
  bool auto_size_ = false;
};

// A one-line edit box: the text, a caret in it, and the composition an input
// method is building at the caret. Counting is in characters (a Chinese
// character is one), never in bytes, so no edit splits a character.
class TextBox : public TextControl {
 public:
  explicit TextBox(Container* parent) : TextControl(parent, true) {}
  const std::string& Text() const { return text_; }
  // Any change of the text, typed or set here, raises Change once the text
  // is in place; the caret stays where it was, within the new text.
  void SetText(std::string v);
  // Typed and pasted input stops at MaxLength characters; 0 means no limit.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v) { max_length_ = v < 0 ? 0 : v; }
  // The selection, in characters from the start: SelStart is its first
  // character (the caret when nothing is selected), SelLength its length.
  // The caret stands at the selection's moving end.
  int SelStart() const { return std::min(caret_, anchor_); }
  void SetSelStart(int v);  // places the caret there, selecting nothing
  int SelLength() const { return std::abs(caret_ - anchor_); }
  void SetSelLength(int v);  // from SelStart, within the text
  int Caret() const { return caret_; }
  std::string SelText() const;
  void SelectAll();
  // Places the caret at character `index`; with `extend` the selection
  // grows from its fixed end to there instead (Shift+click, a drag).
  void PlaceCaret(int index, bool extend);
  // Typing: replaces the selection with text (UTF-8), the caret past it. As
  // much of it as MaxLength leaves room for goes in, whole characters only;
  // bytes that are not UTF-8 go in as U+FFFD. Ends any composition.
  void Type(const std::string& utf8);
  // Pasting: as Type, with each line break (CR LF, CR or LF) and tab made a
  // blank, as a one-line box must, and other control characters dropped; a
  // composition stays, at the caret after the pasted text.
  void Paste(const std::string& utf8);
  // A backspace removes the selection or the character before the caret, a
  // delete the selection or the one after it; each returns whether there
  // was one.
  bool Backspace();
  bool Delete();
  // Left, Right, Home and End (virtual keys 37, 39, 36, 35) move the caret,
  // with `extend` (Shift) growing the selection; false for any other key.
  bool MoveCaret(int key_code, bool extend = false);

  // What an input method is composing (not yet part of Text), shown at the
  // caret with its own cursor (characters into it); "" when none.
  const std::string& Composition() const { return composition_; }
  int CompositionCursor() const { return composition_cursor_; }
  void SetComposition(std::string utf8, int cursor);

  // The renderer keeps the caret in view by scrolling the text: the pixels
  // of text left of the box's inner edge, kept from frame to frame so the
  // view moves only when the caret would leave it.
  int ScrollPixels() const { return scroll_pixels_; }
  void SetScrollPixels(int pixels) const { scroll_pixels_ = pixels < 0 ? 0 : pixels; }
  // Where the renderer last drew each character boundary of the text, in
  // pixels from the box's left edge (scrolling applied), and the caret, so
  // that a click finds its character and the input method its place.
  void SetLayout(std::vector<int> boundaries, int caret_pixel) const;
  int CaretPixel() const { return caret_pixel_; }
  // The character boundary nearest to pixel x (from the box's left edge).
  int CharAtPixel(double x) const;

  ClickHandler Change;

 private:
  // Removes the selection; false when there is none.
  bool DeleteSelection();
  // Puts well-formed text in the selection's place, as MaxLength allows.
  void Insert(std::string typed);
  void Select(int anchor, int caret);

  std::string text_;
  int max_length_ = 0;
  int caret_ = 0;
  int anchor_ = 0;  // the selection's fixed end
  std::string composition_;
  int composition_cursor_ = 0;
  mutable int scroll_pixels_ = 0;
  mutable std::vector<int> boundaries_;
  mutable int caret_pixel_ = 0;
};

class ListBox : public TextControl {
 public:
  explicit ListBox(Container* parent) : TextControl(parent, true) {}
  // index -1 appends.
  void AddItem(std::string item, int index = -1);
  void RemoveItem(int index);
  void Clear();
  // "" for an index out of range.
  std::string List(int index) const;
  int ListCount() const { return static_cast<int>(items_.size()); }
  int ListIndex() const { return list_index_; }
  // -1 deselects; other values out of range are ignored. A change raises Click.
  void SetListIndex(int index);
  // The first line shown. Setting it scrolls that line to the top, or as far
  // as the list scrolls: the last page always stays full, so the last index
  // shows the last page with that line at the bottom. Out of range changes
  // nothing.
  int TopIndex() const { return top_index_; }
  void SetTopIndex(int index);
  // Replaces line `index`; out of range changes nothing.
  void SetList(int index, std::string item);

  // The user's own scrolling (the wheel): TopIndex moves by `lines` within
  // the scroll range and Scroll follows when it moved. Setting TopIndex
  // raises none.
  void ScrollBy(int lines);
  ClickHandler Scroll;

  // Whole lines the list's height holds (at least one).
  int VisibleRows() const;
  // The largest TopIndex: the one that shows the last page full.
  int MaxTopIndex() const;

  // The renderer notes the height of a line in pixels when it draws the
  // list, so that a press can pick the line under the pointer; a changed
  // height changes the scroll range, and TopIndex stays within it.
  void SetLinePixels(int pixels) const;
  // The line at y (the list's container units, from the list's top), -1 none.
  int LineAt(double y) const;

 protected:
  void Resized() override { top_index_ = std::min(top_index_, MaxTopIndex()); }

 private:
  std::vector<std::string> items_;
  int list_index_ = -1;
  mutable int top_index_ = 0;
  // The 9-point font's line until the renderer measures it.
  mutable int line_pixels_ = 16;
};

// A control array grown at run time: element 0 exists from the start; Load
// makes a new element as a copy of element 0 that starts hidden. The array's
// handlers receive the element's index first.
template <typename T>
class ControlArray {
 public:
  explicit ControlArray(Container* parent) {
    elements_.push_back(std::make_unique<T>(parent));
    Wire(0);
  }
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  // A missing element throws std::out_of_range; check Exists first with an
  // index that comes from outside.
  T& operator[](int index) { return *Checked(index); }
  const T& operator[](int index) const { return *Checked(index); }
  int Count() const { return static_cast<int>(elements_.size()); }
  bool Exists(int index) const {
    return index >= 0 && index < Count() && elements_[static_cast<size_t>(index)];
  }

  // Loads element `index` (a copy of element 0, hidden); false when it is
  // already loaded or the index is negative.
  bool Load(int index) {
    if (index < 0 || Exists(index)) return false;
    if (static_cast<size_t>(index) >= elements_.size()) elements_.resize(index + 1);
    auto element = std::make_unique<T>(*elements_[0]);
    element->SetVisible(false);
    elements_[static_cast<size_t>(index)] = std::move(element);
    Wire(index);
    return true;
  }
  // Unloads a loaded element other than 0.
  void Unload(int index) {
    if (index > 0 && Exists(index)) elements_[static_cast<size_t>(index)].reset();
  }

  std::function<void(int)> Click;
  std::function<void(int)> DblClick;
  std::function<void(int, int, int, double, double)> MouseDown;
  std::function<void(int, int, int, double, double)> MouseUp;
  std::function<void(int, int, int, double, double)> MouseMove;
  std::function<void(int, int, int)> KeyDown;  // index, key code, shift

 private:
  void Wire(int index) {
    T& c = *elements_[static_cast<size_t>(index)];
    c.Click = [this, index] {
      if (Click) Click(index);
    };
    c.DblClick = [this, index] {
      if (DblClick) DblClick(index);
    };
    c.MouseDown = [this, index](int b, int s, double x, double y) {
      if (MouseDown) MouseDown(index, b, s, x, y);
    };
    c.MouseUp = [this, index](int b, int s, double x, double y) {
      if (MouseUp) MouseUp(index, b, s, x, y);
    };
    c.MouseMove = [this, index](int b, int s, double x, double y) {
      if (MouseMove) MouseMove(index, b, s, x, y);
    };
    c.KeyDown = [this, index](int key, int shift) {
      if (KeyDown) KeyDown(index, key, shift);
    };
  }

  T* Checked(int index) const {
    if (!Exists(index)) throw std::out_of_range("control array element " + std::to_string(index));
    return elements_[static_cast<size_t>(index)].get();
  }

  std::vector<std::unique_ptr<T>> elements_;
};

}  // namespace slvn
