#include "platform/renderer.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

#include "platform/forms.h"
#include "platform/text.h"
#include "platform/web_pane.h"
#include "platform/word_wrap.h"

namespace slvn {

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
constexpr int kMaxSide = 8192;  // larger forms are drawn cut to this

// A list row is one line: its line breaks show as a space each.
std::string OneLine(std::string text) {
  size_t at = 0;
  while ((at = text.find_first_of("\r\n", at)) != std::string::npos) {
    const size_t n = text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
    text.replace(at, n, " ");
    ++at;
  }
  return text;
}

// Room between a text box's frame and its text.
constexpr int kTextBoxMargin = 3;

// Whether the box holds its form's keyboard focus.
bool HasFocus(const Control& box) {
  const Control* top = &box;
  while (top->Parent()) top = top->Parent();
  const auto* form = dynamic_cast<const Form*>(top);
  return form && form->Focus() == &box;
}

int Px(double units, double units_per_pixel) {
  return static_cast<int>(std::nearbyint(units / units_per_pixel));
}

// &HBBGGRR, or a system colour (high bit set) mapped to the usual defaults.
SDL_Color Bgr(uint32_t c) {
  if (c & 0x80000000u) {
    switch (c & 0xFF) {
      case 5:
        return {255, 255, 255, 255};  // window
      case 8:
        return {0, 0, 0, 255};  // window text
      case 18:
        return {0, 0, 0, 255};  // button text
      case 13:
        return {0, 120, 215, 255};  // selected text's ground
      case 14:
        return {255, 255, 255, 255};  // selected text
      default:
        return {240, 240, 240, 255};
    }
  }
  return {static_cast<Uint8>(c & 0xFF), static_cast<Uint8>((c >> 8) & 0xFF),
          static_cast<Uint8>((c >> 16) & 0xFF), 255};
}

std::string TextKey(const std::string& text, const Font& font, uint32_t color, int wrap,
                    int alignment) {
  return text + '\x1f' + std::to_string(font.size) + (font.bold ? "b" : "r") +
         std::to_string(color) + '/' + std::to_string(wrap) + '/' + std::to_string(alignment);
}

// Lines one under another, each aligned within `width`. SDL_ttf's own
// wrapping is not used: it breaks again a line that just fills the width,
// which pushes the rest of a label a line lower, out of a speech bubble.
SDL_Surface* RenderLines(TTF_Font* f, const std::vector<std::string>& lines, SDL_Color color,
                         int width, int alignment) {
  const int skip = std::max(1, TTF_FontLineSkip(f));
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(
      0, std::max(1, width), skip * static_cast<int>(lines.size()), 32, SDL_PIXELFORMAT_ARGB8888);
  if (!out) return nullptr;
  SDL_FillRect(out, nullptr, 0);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    SDL_Surface* line = TTF_RenderUTF8_Blended(f, lines[i].c_str(), color);
    if (!line) continue;
    int x = 0;
    if (alignment == kAlignRight) x = width - line->w;
    if (alignment == kAlignCenter) x = (width - line->w) / 2;
    SDL_SetSurfaceBlendMode(line, SDL_BLENDMODE_NONE);
    SDL_Rect at{x, static_cast<int>(i) * skip, line->w, line->h};
    SDL_BlitSurface(line, nullptr, out, &at);
    SDL_FreeSurface(line);
  }
  return out;
}

// The rows of a rendered text that hold ink: [first, after last).
std::pair<int, int> InkRows(SDL_Surface* s) {
  if (s->format->BytesPerPixel != 4 || SDL_LockSurface(s) != 0) return {0, s->h};
  auto blank = [s](int y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) + y * s->pitch);
    return std::none_of(row, row + s->w, [s](uint32_t p) { return (p & s->format->Amask) != 0; });
  };
  int top = 0, bottom = s->h;
  while (top < s->h && blank(top)) ++top;
  while (bottom > top && blank(bottom - 1)) --bottom;
  SDL_UnlockSurface(s);
  return {top, bottom};
}

// What a list row's ink must make room for: the CJK characters that reach
// highest at one size or another, descenders, bars and brackets.
constexpr const char* kRowProbe = "国总金最终币骰漂gjpqy|()[]（）";

int EmPixels(const Font& font) {
  return static_cast<int>(std::lround(font.size * 96.0 / 72.0));
}

// The font at a size in pixels rather than points.
Font AtPixels(Font font, int pixels) {
  font.size = pixels * 72.0 / 96.0;
  return font;
}

}  // namespace

Renderer::Renderer() {
  if (TTF_Init() != 0) return;
  ok_ = Resize(1, 1);
}

Renderer::~Renderer() {
  for (auto& [key, t] : pictures_) SDL_DestroyTexture(t.texture);
  for (auto& [key, t] : texts_) SDL_DestroyTexture(t.texture);
  for (auto& [key, f] : fonts_) TTF_CloseFont(f);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (surface_) SDL_FreeSurface(surface_);
  TTF_Quit();
}

bool Renderer::Resize(int width, int height) {
  width = std::clamp(width, 1, kMaxSide);
  height = std::clamp(height, 1, kMaxSide);
  if (surface_ && surface_->w == width && surface_->h == height) return true;
  // Textures belong to the renderer: a new surface starts a fresh cache.
  for (auto& [key, t] : pictures_) SDL_DestroyTexture(t.texture);
  for (auto& [key, t] : texts_) SDL_DestroyTexture(t.texture);
  pictures_.clear();
  texts_.clear();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (surface_) SDL_FreeSurface(surface_);
  renderer_ = nullptr;
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface_) return false;
  renderer_ = SDL_CreateSoftwareRenderer(surface_);
  return renderer_ != nullptr;
}

int Renderer::Width() const {
  return surface_ ? surface_->w : 0;
}

int Renderer::Height() const {
  return surface_ ? surface_->h : 0;
}

uint32_t Renderer::PixelAt(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  const auto* row = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch;
  return reinterpret_cast<const uint32_t*>(row)[x];
}

bool Renderer::SavePng(const std::string& path) const {
  return surface_ && IMG_SavePNG(surface_, path.c_str()) == 0;
}

void Renderer::Overlay(const Renderer& other, int x, int y, int alpha) {
  if (!surface_ || !other.surface_) return;
  SDL_SetSurfaceBlendMode(other.surface_, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(other.surface_, static_cast<Uint8>(std::clamp(alpha, 0, 255)));
  SDL_Rect at{x, y, other.surface_->w, other.surface_->h};
  // The drawing may have left a clip on the surface.
  SDL_SetClipRect(surface_, nullptr);
  SDL_BlitSurface(other.surface_, nullptr, surface_, &at);
  SDL_SetSurfaceAlphaMod(other.surface_, 255);
}

bool SaveScreenPng(Forms& forms, Form& base, const std::string& path) {
  Renderer screen;
  screen.Draw(base);
  for (Form* form : std::vector<Form*>(forms.LoadedForms())) {
    if (form == &base || !form->Visible()) continue;
    Renderer layer;
    layer.Draw(*form);
    screen.Overlay(layer, Px(form->Left() - base.Left(), 15), Px(form->Top() - base.Top(), 15),
                   form->Alpha());
  }
  return screen.SavePng(path);
}

void Renderer::Draw(Form& form) {
  if (!ok_) return;
  if (!Resize(Px(form.Width(), 15), Px(form.Height(), 15))) {
    ok_ = false;
    return;
  }
  for (auto& [k, t] : pictures_) t.used = false;
  for (auto& [k, t] : texts_) t.used = false;
  clips_.clear();
  SDL_RenderSetClipRect(renderer_, nullptr);
  DrawContainer(form, 0, 0, surface_->w, surface_->h, true);
  SDL_RenderFlush(renderer_);
  if (form.HasRegion()) ApplyRegion(form);
  DropUnused();
  form.ClearDirty();
}

void Renderer::ApplyRegion(const Form& form) {
  SDL_LockSurface(surface_);
  for (int y = 0; y < surface_->h; ++y) {
    auto* row =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface_->pixels) + y * surface_->pitch);
    for (int x = 0; x < surface_->w; ++x)
      if (!form.InRegion(x, y)) row[x] = 0;
  }
  SDL_UnlockSurface(surface_);
}

void Renderer::DropUnused() {
  std::erase_if(pictures_, [](auto& entry) {
    if (entry.second.used) return false;
    SDL_DestroyTexture(entry.second.texture);
    return true;
  });
  std::erase_if(texts_, [](auto& entry) {
    if (entry.second.used) return false;
    SDL_DestroyTexture(entry.second.texture);
    return true;
  });
}

void Renderer::PushClip(int x, int y, int w, int h) {
  if (!clips_.empty()) {
    const Clip& o = clips_.back();
    int x2 = std::min(x + w, o.x + o.w), y2 = std::min(y + h, o.y + o.h);
    x = std::max(x, o.x);
    y = std::max(y, o.y);
    w = std::max(0, x2 - x);
    h = std::max(0, y2 - y);
  }
  clips_.push_back({x, y, w, h});
  SDL_Rect r{x, y, w, h};
  SDL_RenderSetClipRect(renderer_, &r);
}

void Renderer::PopClip() {
  clips_.pop_back();
  if (clips_.empty()) {
    SDL_RenderSetClipRect(renderer_, nullptr);
  } else {
    SDL_Rect r{clips_.back().x, clips_.back().y, clips_.back().w, clips_.back().h};
    SDL_RenderSetClipRect(renderer_, &r);
  }
}

void Renderer::FillRect(int x, int y, int w, int h, uint32_t bgr) {
  SDL_Color c = Bgr(bgr);
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_Rect r{x, y, w, h};
  SDL_RenderFillRect(renderer_, &r);
}

void Renderer::FrameRect(int x, int y, int w, int h, uint32_t bgr) {
  SDL_Color c = Bgr(bgr);
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_Rect r{x, y, w, h};
  SDL_RenderDrawRect(renderer_, &r);
}

void Renderer::DrawContainer(const Container& box, int x, int y, int w, int h, bool fill) {
  PushClip(x, y, w, h);
  if (fill) FillRect(x, y, w, h, box.BackColor());
  if (const auto& p = box.Picture()) DrawPicture(p.get(), p, 0, x, y, p->width, p->height);
  if (const auto& canvas = box.Canvas())
    DrawPicture(canvas.get(), nullptr, box.CanvasVersion(), x, y, canvas->width, canvas->height);
  DrawChildren(box, x, y);
  PopClip();
}

void Renderer::DrawChildren(const Container& box, int x, int y) {
  const double u = box.InnerUnitsPerPixel();
  // Windowless controls first, then the windowed ones over them.
  for (bool windowed : {false, true}) {
    for (Control* c : box.Children()) {
      if (c->Windowed() != windowed || !c->Visible()) continue;
      DrawControl(*c, x + Px(c->Left(), u), y + Px(c->Top(), u), Px(c->Width(), u),
                  Px(c->Height(), u));
    }
  }
}

void Renderer::DrawControl(Control& c, int x, int y, int w, int h) {
  if (auto* image = dynamic_cast<ImageControl*>(&c)) {
    if (const auto& p = image->Picture()) {
      if (image->Stretch())
        DrawPicture(p.get(), p, 0, x, y, w, h);
      else
        DrawPicture(p.get(), p, 0, x, y, p->width, p->height);
    }
  } else if (auto* label = dynamic_cast<Label*>(&c)) {
    DrawLabel(*label, x, y, w, h);
  } else if (auto* text = dynamic_cast<TextBox*>(&c)) {
    DrawTextBox(*text, x, y, w, h);
  } else if (auto* list = dynamic_cast<ListBox*>(&c)) {
    DrawListBox(*list, x, y, w, h);
  } else if (auto* web = dynamic_cast<WebBrowser*>(&c)) {
    DrawWebBrowser(*web, x, y, w, h);
  } else if (auto* box = dynamic_cast<Container*>(&c)) {
    DrawContainer(*box, x, y, w, h, true);
  }
}

void Renderer::DrawPicture(const Image* image, const Picture& keep, uint64_t version, int x, int y,
                           int w, int h) {
  if (!image || !WellFormed(*image) || w <= 0 || h <= 0) return;
  CachedTexture& t = pictures_[image];
  if (!t.texture || t.version != version) {
    if (t.texture) SDL_DestroyTexture(t.texture);
    t.texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                  image->width, image->height);
    if (!t.texture) return;
    SDL_UpdateTexture(t.texture, nullptr, image->pixels.data(), image->width * 4);
    bool opaque = std::all_of(image->pixels.begin(), image->pixels.end(),
                              [](uint32_t p) { return (p >> 24) == 0xFF; });
    SDL_SetTextureBlendMode(t.texture, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    t.keep = keep;
    t.version = version;
  }
  t.used = true;
  SDL_Rect dst{x, y, w, h};
  SDL_RenderCopy(renderer_, t.texture, nullptr, &dst);
}

TTF_Font* Renderer::FontFor(const Font& font) {
  // Points at 96 dots per inch.
  int px = std::clamp(EmPixels(font), 4, 200);
  auto key = std::make_pair(px, font.bold);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  TTF_Font* f = TTF_OpenFont(kFontPath, px);
  if (f && font.bold) TTF_SetFontStyle(f, TTF_STYLE_BOLD);
  fonts_[key] = f;
  return f;
}

std::pair<int, int> Renderer::TextSize(const std::string& text, const Font& font) {
  TTF_Font* f = FontFor(font);
  int w = 0, h = 0;
  if (f) {
    if (text.empty())
      h = TTF_FontHeight(f);
    else
      TTF_SizeUTF8(f, text.c_str(), &w, &h);
  }
  return {w, h};
}

Renderer::CachedTexture* Renderer::Text(const std::string& text, const Font& font, uint32_t color,
                                        int wrap_width, int alignment) {
  if (text.empty()) return nullptr;
  CachedTexture& t = texts_[TextKey(text, font, color, wrap_width, alignment)];
  if (!t.texture) {
    TTF_Font* f = FontFor(font);
    if (!f) return nullptr;
    SDL_Surface* s = nullptr;
    if (wrap_width > 0) {
      // Our own breaks, so that no word is broken; a word wider than the
      // box stands alone on its line and the clip cuts it.
      auto measure = [f](const std::string& part) {
        int w = 0, h = 0;
        TTF_SizeUTF8(f, part.c_str(), &w, &h);
        return w;
      };
      const std::vector<std::string> lines = WrapWords(text, wrap_width, measure);
      int widest = 0;
      for (const std::string& line : lines) widest = std::max(widest, measure(line));
      if (lines.size() == 1)
        s = TTF_RenderUTF8_Blended(f, lines[0].c_str(), Bgr(color));
      else  // each line takes the alignment within the text
        s = RenderLines(f, lines, Bgr(color), std::max(wrap_width, widest), alignment);
    } else {
      s = TTF_RenderUTF8_Blended(f, text.c_str(), Bgr(color));
    }
    if (!s) return nullptr;
    t.texture = SDL_CreateTextureFromSurface(renderer_, s);
    t.width = s->w;
    t.height = s->h;
    t.ink_top = InkRows(s).first;
    SDL_FreeSurface(s);
    if (!t.texture) return nullptr;
    SDL_SetTextureBlendMode(t.texture, SDL_BLENDMODE_BLEND);
  }
  t.used = true;
  return &t;
}

int Renderer::DrawText(const std::string& text, const Font& font, uint32_t color, int x, int y,
                       int wrap_width, int alignment, int box_width) {
  CachedTexture* t = Text(text, font, color, wrap_width, alignment);
  if (!t) return TextSize("", font).second;
  int left = x;
  if (alignment == kAlignRight) left = x + box_width - t->width;
  if (alignment == kAlignCenter) left = x + (box_width - t->width) / 2;
  SDL_Rect dst{left, y, t->width, t->height};
  SDL_RenderCopy(renderer_, t->texture, nullptr, &dst);
  return t->height;
}

void Renderer::DrawLabel(Label& label, int x, int y, int w, int h) {
  if (label.AutoSize()) {
    auto [tw, th] = TextSize(label.Caption(), label.Font());
    const double u = label.UnitsPerPixel();
    label.SetWidth(tw * u);
    label.SetHeight(th * u);
    w = tw;
    h = th;
  }
  PushClip(x, y, w, h);
  if (label.BackStyle() == kBackOpaque) FillRect(x, y, w, h, label.BackColor());
  // A label lower than the font's line draws its line raised into the
  // blank above the ink, no further than it must, so the ink is not cut.
  const int wrap = label.AutoSize() ? 0 : w;
  int raise = 0;
  if (CachedTexture* t =
          Text(label.Caption(), label.Font(), label.ForeColor(), wrap, label.Alignment()))
    raise = std::clamp(TextSize("", label.Font()).second - h, 0, t->ink_top);
  DrawText(label.Caption(), label.Font(), label.ForeColor(), x, y - raise, wrap, label.Alignment(),
           w);
  PopClip();
}

void Renderer::DrawTextBox(const TextBox& box, int x, int y, int w, int h) {
  PushClip(x, y, w, h);
  FillRect(x, y, w, h, box.BackColor());
  FrameRect(x, y, w, h, 0x808080);
  // The composition stands at the caret, between the text's two parts.
  const std::string& text = box.Text();
  const std::string before = CharLeft(text, static_cast<size_t>(box.Caret()));
  const std::string& composing = box.Composition();
  const std::string shown = before + composing + text.substr(before.size());
  const Font& font = box.Font();
  const int caret =
      TextSize(before + CharLeft(composing, static_cast<size_t>(box.CompositionCursor())), font)
          .first;
  // The view scrolls only as far as it must to keep the caret, with the
  // whole character before it, inside, and back when the text no longer
  // fills it.
  const int inner = std::max(1, w - 2 * kTextBoxMargin);
  const int width = TextSize(shown, font).first;
  int scroll = box.ScrollPixels();
  if (caret < scroll) scroll = caret;
  if (caret > scroll + inner - 1) scroll = caret - inner + 1;
  scroll = std::min(scroll, std::max(0, width - inner + 1));
  box.SetScrollPixels(scroll);
  // A line taller than the box is centred in it, so its ink is not cut.
  const int line = TextSize("", font).second;
  const int top = line > h - 4 ? y + (h - line) / 2 : y + 2;
  const int left = x + kTextBoxMargin - scroll;
  // Each character boundary of the text as drawn, for clicks.
  std::vector<int> bounds;
  const int composed = TextSize(before + composing, font).first - TextSize(before, font).first;
  for (size_t i = 0, at = 0; at <= text.size(); ++i) {
    const int px = TextSize(text.substr(0, at), font).first;
    bounds.push_back(left - x + px + (static_cast<int>(i) > box.Caret() ? composed : 0));
    if (at == text.size()) break;
    at += CharLeft(std::string_view(text).substr(at), 1).size();
  }
  PushClip(x + 1, y + 1, w - 2, h - 2);
  DrawText(shown, font, box.ForeColor(), left, top);
  const bool focused = window_focused_ && HasFocus(box);
  if (focused && box.SelLength() > 0 && composing.empty() && bounds.size() > 1) {
    // The selection: its own ground, its text drawn again over it.
    const int from = x + bounds[std::min<size_t>(box.SelStart(), bounds.size() - 1)];
    const int to =
        x + bounds[std::min<size_t>(box.SelStart() + box.SelLength(), bounds.size() - 1)];
    FillRect(from, y + 2, to - from, h - 4, 0x8000000D);
    PushClip(from, y + 1, to - from, h - 2);
    DrawText(shown, font, 0x8000000E, left, top);
    PopClip();
  }
  TTF_Font* f = FontFor(font);
  const int baseline = top + (f ? TTF_FontAscent(f) : line);
  if (!composing.empty()) {
    const int from = TextSize(before, font).first;
    FillRect(left + from, std::min(baseline + 2, y + h - 2), std::max(1, composed), 1,
             box.ForeColor());
  }
  box.SetLayout(std::move(bounds), left - x + caret);
  if (focused) {
    // The caret spans the font's em, from the ascent down.
    const int em = static_cast<int>(std::lround(font.size * 96.0 / 72.0));
    const int caret_top = std::max(y + 2, baseline - em + em / 8);
    const int caret_bottom = std::min(y + h - 2, caret_top + em + 1);
    FillRect(left + caret, caret_top, 1, std::max(1, caret_bottom - caret_top), box.ForeColor());
  }
  PopClip();
  PopClip();
}

Renderer::ListRow Renderer::ListRowFor(const Font& font) {
  const int em = std::clamp(EmPixels(font), 1, 200);
  const auto key = std::make_pair(em, font.bold);
  if (auto it = list_rows_.find(key); it != list_rows_.end()) return it->second;
  ListRow row{.pitch = em, .font_pixels = std::max(em, 4), .raise = 0};
  for (int px = row.font_pixels; px >= 4; --px) {
    TTF_Font* f = FontFor(AtPixels(font, px));
    if (!f) return row;  // nothing is drawn without the font: nothing to keep
    SDL_Surface* s = TTF_RenderUTF8_Blended(f, kRowProbe, SDL_Color{0, 0, 0, 255});
    if (!s) return row;
    const auto [top, bottom] = InkRows(s);
    SDL_FreeSurface(s);
    row.font_pixels = px;
    row.raise = top;
    if (bottom - top <= em) break;
  }
  list_rows_[key] = row;
  return row;
}

void Renderer::DrawListBox(const ListBox& box, int x, int y, int w, int h) {
  PushClip(x, y, w, h);
  FillRect(x, y, w, h, box.BackColor());
  FrameRect(x, y, w, h, 0x808080);
  const ListRow row = ListRowFor(box.Font());
  const Font font = AtPixels(box.Font(), row.font_pixels);
  box.SetLinePixels(row.pitch);
  const int first = y + 1;
  // Below the first row only whole rows show: a row the bottom frame would
  // cut waits for a scroll.
  for (int i = box.TopIndex(), top = first;
       i < box.ListCount() && (top == first || top + row.pitch < y + h); ++i, top += row.pitch) {
    bool selected = i == box.ListIndex();
    if (selected) FillRect(x + 1, top, w - 2, row.pitch, 0x6A240A);
    DrawText(OneLine(box.List(i)), font, selected ? 0xFFFFFF : box.ForeColor(), x + 2,
             top - row.raise);
  }
  PopClip();
}

void Renderer::DrawWebBrowser(const WebBrowser& pane, int x, int y, int w, int h) {
  PushClip(x, y, w, h);
  FillRect(x, y, w, h, 0xFFFFFF);
  FrameRect(x, y, w, h, 0x808080);
  Font title_font{.size = 10.5, .bold = true};
  Font address_font{.size = 9};
  int top = y + 4;
  top += DrawText(pane.Busy() ? "…" : pane.LocationName(), title_font, 0, x + 4, top, w - 8);
  DrawText(pane.LocationURL(), address_font, 0x808080, x + 4, top + 2, w - 8);
  PopClip();
}

void Renderer::DrawTip(const std::string& text) {
  const Font font{.size = 9};
  auto [w, h] = TextSize(text, font);
  if (!ok_ || !Resize(w + 8, h + 4)) return;
  for (auto& [k, t] : texts_) t.used = false;
  clips_.clear();
  SDL_RenderSetClipRect(renderer_, nullptr);
  FillRect(0, 0, surface_->w, surface_->h, 0xE1FFFF);
  FrameRect(0, 0, surface_->w, surface_->h, 0x404040);
  DrawText(text, font, 0, 4, 2);
  SDL_RenderFlush(renderer_);
  DropUnused();
}

void Renderer::DrawMessageBox(const MessageBox& box, int width, int height) {
  if (!ok_ || !Resize(width, height)) return;
  for (auto& [k, t] : texts_) t.used = false;
  clips_.clear();
  SDL_RenderSetClipRect(renderer_, nullptr);
  const int w = surface_->w, h = surface_->h;
  FillRect(0, 0, w, h, 0xF0F0F0);
  FrameRect(0, 0, w, h, 0x808080);
  int top = 8 + DrawText(box.title, Font{.size = 9, .bold = true}, 0, 10, 8, w - 20);
  DrawText(box.prompt, Font{.size = 10.5}, 0, 10, top + 12, w - 20);
  const int bw = 80, bh = 26, bx = (w - bw) / 2, by = h - bh - 10;
  FillRect(bx, by, bw, bh, 0xE1E1E1);
  FrameRect(bx, by, bw, bh, 0x404040);
  DrawText("确定", Font{.size = 10.5}, 0, bx, by + 4, 0, kAlignCenter, bw);
  SDL_RenderFlush(renderer_);
  DropUnused();
}

}  // namespace slvn
