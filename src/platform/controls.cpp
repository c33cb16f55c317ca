#include "platform/controls.h"

#include <algorithm>
#include <cmath>

namespace slvn {

Control::Control(Container* parent, bool windowed) : windowed_(windowed), takes_focus_(windowed) {
  AttachTo(parent);
}

Control::Control(const Control& o)
    : Click(o.Click),
      DblClick(o.DblClick),
      MouseDown(o.MouseDown),
      MouseUp(o.MouseUp),
      MouseMove(o.MouseMove),
      KeyDown(o.KeyDown),
      KeyUp(o.KeyUp),
      KeyPress(o.KeyPress),
      GotFocus(o.GotFocus),
      LostFocus(o.LostFocus),
      windowed_(o.windowed_),
      takes_focus_(o.takes_focus_),
      left_(o.left_),
      top_(o.top_),
      width_(o.width_),
      height_(o.height_),
      visible_(o.visible_),
      enabled_(o.enabled_),
      mouse_pointer_(o.mouse_pointer_),
      tool_tip_(o.tool_tip_),
      tag_(o.tag_) {
  AttachTo(o.parent_);
}

Control::~Control() {
  Detach();
}

void Control::AttachTo(Container* parent) {
  parent_ = parent;
  if (!parent_) return;
  Container* root = parent_;
  while (root->parent_) root = root->parent_;
  serial_ = root->next_serial_++;
  parent_->children_.push_back(this);  // a new control starts in front
  Invalidate();
}

void Control::Detach() {
  if (!parent_) return;
  Invalidate();
  std::erase(parent_->children_, this);
  parent_ = nullptr;
}

void Control::Move(double left, double top, double width, double height) {
  SetLeft(left);
  SetTop(top);
  if (width >= 0) SetWidth(width);
  if (height >= 0) SetHeight(height);
}

void Control::ZOrder(int position) {
  if (!parent_) return;
  auto& list = parent_->children_;
  std::erase(list, this);
  if (position == 1)
    list.insert(list.begin(), this);
  else
    list.push_back(this);
  Invalidate();
}

void Control::Invalidate() {
  Control* root = this;
  while (root->parent_) root = root->parent_;
  root->dirty_ = true;
}

double Control::UnitsPerPixel() const {
  return parent_ ? parent_->InnerUnitsPerPixel() : 15.0;
}

Container::~Container() {
  for (Control* c : children_) c->parent_ = nullptr;
}

Container::Container(const Container& o)
    : Control(o), scale_(o.scale_), picture_(o.picture_), back_color_(o.back_color_) {}

namespace {

// Source pixel over destination pixel: alpha 0 leaves it, anything else
// replaces it (pictures have one transparent colour, no partial alpha).
void CopyScaled(const Image& src, double sx, double sy, double sw, double sh, Image& dst, int dx,
                int dy, int dw, int dh) {
  if (!WellFormed(src) || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  for (int y = std::max(0, -dy); y < dh && dy + y < dst.height; ++y) {
    int from_y = static_cast<int>(std::floor(sy + (y + 0.5) * sh / dh));
    if (from_y < 0 || from_y >= src.height) continue;
    for (int x = std::max(0, -dx); x < dw && dx + x < dst.width; ++x) {
      int from_x = static_cast<int>(std::floor(sx + (x + 0.5) * sw / dw));
      if (from_x < 0 || from_x >= src.width) continue;
      uint32_t p = src.At(from_x, from_y);
      if (p >> 24) dst.pixels[static_cast<size_t>(dy + y) * dst.width + dx + x] = p;
    }
  }
}

int ToPixels(double units, double units_per_pixel) {
  return static_cast<int>(std::nearbyint(units / units_per_pixel));
}

}  // namespace

void Container::PaintPicture(const slvn::Picture& picture, double x, double y, double width,
                             double height, double src_x, double src_y, double src_width,
                             double src_height) {
  if (!picture) return;
  const double u = InnerUnitsPerPixel();
  const double outer = UnitsPerPixel();
  int w = ToPixels(Width(), outer), h = ToPixels(Height(), outer);
  if (w <= 0 || h <= 0) return;
  if (!canvas_ || canvas_->width != w || canvas_->height != h) {
    auto fresh = std::make_shared<Image>();
    fresh->width = w;
    fresh->height = h;
    fresh->pixels.assign(static_cast<size_t>(w) * h, 0);
    if (canvas_)
      CopyScaled(*canvas_, 0, 0, canvas_->width, canvas_->height, *fresh, 0, 0, canvas_->width,
                 canvas_->height);
    canvas_ = std::move(fresh);
  }
  CopyScaled(*picture, src_x, src_y, src_width, src_height, *canvas_, ToPixels(x, u),
             ToPixels(y, u), ToPixels(width, u), ToPixels(height, u));
  ++canvas_version_;
  Invalidate();
}

void Container::Cls() {
  if (!canvas_) return;
  canvas_.reset();
  ++canvas_version_;
  Invalidate();
}

void ImageControl::SetPicture(slvn::Picture picture) {
  if (picture && !stretch_) {
    SetWidth(picture->width * UnitsPerPixel());
    SetHeight(picture->height * UnitsPerPixel());
  }
  Change(picture_, std::move(picture));
}

void TextControl::SetFontName(std::string v) {
  auto f = font_;
  f.name = std::move(v);
  Change(font_, f);
}

void TextControl::SetFontSize(double v) {
  auto f = font_;
  f.size = v > 0 ? v : f.size;
  Change(font_, f);
}

void TextControl::SetFontBold(bool v) {
  auto f = font_;
  f.bold = v;
  Change(font_, f);
}

namespace {

size_t Utf8Length(const std::string& s) {
  return static_cast<size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Byte offset of character `chars` of a UTF-8 text (its length past the end).
size_t Utf8Offset(const std::string& s, int chars) {
  size_t i = 0;
  for (int n = 0; i < s.size() && n < chars; ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// The length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
size_t SequenceAt(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char lead = b(0);
  size_t n = lead < 0x80                    ? 1
             : lead >= 0xC2 && lead <= 0xDF ? 2
             : lead >= 0xE0 && lead <= 0xEF ? 3
             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                            : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((b(k) & 0xC0) != 0x80) return 0;
  // No overlong forms, surrogates or code points past U+10FFFF.
  if ((lead == 0xE0 && b(1) < 0xA0) || (lead == 0xED && b(1) > 0x9F) ||
      (lead == 0xF0 && b(1) < 0x90) || (lead == 0xF4 && b(1) > 0x8F))
    return 0;
  return n;
}

// Whole, well-formed characters: anything else becomes U+FFFD, so the caret
// counts the same characters the text holds.
std::string WellFormedUtf8(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    const size_t n = SequenceAt(s, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(s, i, n);
      i += n;
    }
  }
  return out;
}

// One line of text: line breaks and tabs become blanks, other control
// characters go.
std::string OneLineText(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;  // CR LF is one break
    if (c == '\r' || c == '\n' || c == '\t')
      out += ' ';
    else if (c >= 0x20 && c != 0x7F)
      out += static_cast<char>(c);
  }
  return out;
}

}  // namespace

void TextBox::SetText(std::string v) {
  if (text_ == v) return;
  Control::Change(text_, std::move(v));
  const int length = static_cast<int>(Utf8Length(text_));
  caret_ = std::min(caret_, length);
  anchor_ = std::min(anchor_, length);
  if (Change) Change();
}

void TextBox::Select(int anchor, int caret) {
  const int length = static_cast<int>(Utf8Length(text_));
  anchor_ = std::clamp(anchor, 0, length);
  caret_ = std::clamp(caret, 0, length);
  Invalidate();
}

void TextBox::SetSelStart(int v) {
  Select(v, v);
}

void TextBox::SetSelLength(int v) {
  const int start = SelStart();
  Select(start, start + std::max(0, v));
}

std::string TextBox::SelText() const {
  const size_t begin = Utf8Offset(text_, SelStart());
  return text_.substr(begin, Utf8Offset(text_, SelStart() + SelLength()) - begin);
}

void TextBox::SelectAll() {
  Select(0, static_cast<int>(Utf8Length(text_)));
}

void TextBox::PlaceCaret(int index, bool extend) {
  Select(extend ? anchor_ : index, index);
}

bool TextBox::DeleteSelection() {
  if (SelLength() == 0) return false;
  std::string t = text_;
  const size_t begin = Utf8Offset(t, SelStart());
  t.erase(begin, Utf8Offset(t, SelStart() + SelLength()) - begin);
  caret_ = anchor_ = SelStart();
  SetText(std::move(t));
  return true;
}

void TextBox::Type(const std::string& utf8) {
  SetComposition("", 0);
  Insert(WellFormedUtf8(utf8));
}

void TextBox::Paste(const std::string& utf8) {
  // The input method keeps composing: its text stays shown after the paste.
  Insert(OneLineText(WellFormedUtf8(utf8)));
}

void TextBox::Insert(std::string typed) {
  if (typed.empty()) return;
  // What is typed takes the selection's place.
  const bool removed = DeleteSelection();
  if (max_length_ > 0) {
    const size_t length = Utf8Length(text_);
    const size_t room = length < static_cast<size_t>(max_length_) ? max_length_ - length : 0;
    typed.resize(Utf8Offset(typed, static_cast<int>(std::min(room, Utf8Length(typed)))));
  }
  if (typed.empty()) {
    if (removed) Invalidate();
    return;
  }
  std::string t = text_;
  t.insert(Utf8Offset(t, caret_), typed);
  // The caret moves before Change runs, so a handler sees it past the text.
  caret_ = anchor_ = caret_ + static_cast<int>(Utf8Length(typed));
  SetText(std::move(t));
}

bool TextBox::Backspace() {
  if (DeleteSelection()) return true;
  if (caret_ <= 0 || text_.empty()) return false;
  std::string t = text_;
  size_t end = Utf8Offset(t, caret_);
  size_t begin = Utf8Offset(t, caret_ - 1);
  t.erase(begin, end - begin);
  caret_ = anchor_ = caret_ - 1;
  SetText(std::move(t));
  return true;
}

bool TextBox::Delete() {
  if (DeleteSelection()) return true;
  const size_t begin = Utf8Offset(text_, caret_);
  if (begin >= text_.size()) return false;
  std::string t = text_;
  t.erase(begin, Utf8Offset(t, caret_ + 1) - begin);
  SetText(std::move(t));
  return true;
}

bool TextBox::MoveCaret(int key_code, bool extend) {
  const int length = static_cast<int>(Utf8Length(text_));
  int to = caret_;
  switch (key_code) {
    case 37:
      // Without Shift an arrow first puts the selection away at its edge.
      to = !extend && SelLength() ? SelStart() : caret_ - 1;
      break;
    case 39:
      to = !extend && SelLength() ? SelStart() + SelLength() : caret_ + 1;
      break;
    case 36:
      to = 0;
      break;
    case 35:
      to = length;
      break;
    default:
      return false;
  }
  PlaceCaret(std::clamp(to, 0, length), extend);
  return true;
}

void TextBox::SetLayout(std::vector<int> boundaries, int caret_pixel) const {
  boundaries_ = std::move(boundaries);
  caret_pixel_ = caret_pixel;
}

int TextBox::CharAtPixel(double x) const {
  int best = 0;
  for (size_t i = 1; i < boundaries_.size(); ++i)
    if (std::abs(boundaries_[i] - x) < std::abs(boundaries_[best] - x)) best = static_cast<int>(i);
  return std::min(best, static_cast<int>(Utf8Length(text_)));
}

void TextBox::SetComposition(std::string utf8, int cursor) {
  utf8 = OneLineText(WellFormedUtf8(utf8));
  cursor = std::clamp(cursor, 0, static_cast<int>(Utf8Length(utf8)));
  if (utf8 == composition_ && cursor == composition_cursor_) return;
  // What is composed will take the selection's place.
  if (!utf8.empty()) DeleteSelection();
  composition_ = std::move(utf8);
  composition_cursor_ = cursor;
  Invalidate();
}

void ListBox::AddItem(std::string item, int index) {
  if (index < 0 || index > ListCount()) index = ListCount();
  items_.insert(items_.begin() + index, std::move(item));
  if (list_index_ >= index) ++list_index_;
  Invalidate();
}

void ListBox::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) return;
  items_.erase(items_.begin() + index);
  if (list_index_ == index)
    list_index_ = -1;
  else if (list_index_ > index)
    --list_index_;
  top_index_ = std::min(top_index_, MaxTopIndex());
  Invalidate();
}

void ListBox::Clear() {
  items_.clear();
  list_index_ = -1;
  top_index_ = 0;
  Invalidate();
}

std::string ListBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return "";
  return items_[static_cast<size_t>(index)];
}

void ListBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount() || index == list_index_) return;
  list_index_ = index;
  Invalidate();
  if (Click) Click();
}

void ListBox::SetTopIndex(int index) {
  if (index < 0 || index >= ListCount()) return;
  Change(top_index_, std::min(index, MaxTopIndex()));
}

void ListBox::SetList(int index, std::string item) {
  if (index < 0 || index >= ListCount()) return;
  Change(items_[static_cast<size_t>(index)], std::move(item));
}

void ListBox::ScrollBy(int lines) {
  const int top = std::clamp(top_index_ + lines, 0, MaxTopIndex());
  if (top == top_index_) return;
  Change(top_index_, top);
  if (Scroll) Scroll();
}

int ListBox::VisibleRows() const {
  const double pixels = Height() / UnitsPerPixel() - 2;  // inside the frame
  return std::max(1, static_cast<int>(pixels / line_pixels_));
}

int ListBox::MaxTopIndex() const {
  return std::max(0, ListCount() - VisibleRows());
}

void ListBox::SetLinePixels(int pixels) const {
  line_pixels_ = pixels > 0 ? pixels : 1;
  top_index_ = std::min(top_index_, MaxTopIndex());
}

int ListBox::LineAt(double y) const {
  const double pixels = y / UnitsPerPixel() - 1;  // the frame's line
  if (pixels < 0) return -1;
  const int line = top_index_ + static_cast<int>(pixels / line_pixels_);
  return line < ListCount() ? line : -1;
}

}  // namespace slvn
