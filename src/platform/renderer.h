#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/picture.h"

struct SDL_Surface;
struct SDL_Renderer;
struct SDL_Texture;
typedef struct _TTF_Font TTF_Font;

namespace slvn {

class Container;
class Control;
class Form;
class Forms;
class Label;
class ListBox;
class TextBox;
class WebBrowser;
struct Font;
struct MessageBox;

// Draws a form and its controls onto a surface of the form's size with SDL's
// software renderer. Pictures and texts are turned into textures once and
// kept while they are drawn frame after frame.
class Renderer {
 public:
  Renderer();
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // False when SDL could not make the renderer or open the font.
  bool Ok() const { return ok_; }

  // One full frame of the form (its size in pixels, its children back to
  // front). Labels with AutoSize take their text's size here.
  void Draw(Form& form);
  // Whether the form's window has the keyboard focus (so far taken as so):
  // without it a text box draws no caret.
  void SetWindowFocused(bool focused) { window_focused_ = focused; }
  // A message box: title, prompt and an OK button.
  void DrawMessageBox(const MessageBox& box, int width, int height);
  // A tool tip: the text on a pale box just its size.
  void DrawTip(const std::string& text);

  SDL_Surface* Surface() const { return surface_; }
  int Width() const;
  int Height() const;
  // 0xAARRGGBB of the last frame; 0 outside.
  uint32_t PixelAt(int x, int y) const;
  bool SavePng(const std::string& path) const;
  // Another renderer's last frame drawn over this one with its top-left
  // corner at (x, y), at opacity alpha (0-255).
  void Overlay(const Renderer& other, int x, int y, int alpha);

  // Size in pixels of a text in a font.
  std::pair<int, int> TextSize(const std::string& text, const Font& font);

  // A list row is one em high: 12 pixels for 9 points (the CJK faces the
  // lists name have ascent and descent adding up to the em), where our
  // font's own line is a fifth taller. The text is drawn at the largest
  // pixel size whose ink, descenders and brackets too, fits one row, raised
  // by the blank above that ink, so every glyph shows whole and no row
  // reaches into the next.
  struct ListRow {
    int pitch = 1;        // pixels from one row's top to the next
    int font_pixels = 1;  // the size the text is drawn at
    int raise = 0;        // the drawn line starts this far above the row
  };
  ListRow ListRowFor(const Font& font);

 private:
  struct CachedTexture {
    Picture keep;  // holds the picture so its address is not reused
    SDL_Texture* texture = nullptr;
    uint64_t version = 0;
    int width = 0;
    int height = 0;
    int ink_top = 0;  // a text's blank rows above its ink
    bool used = false;
  };

  bool Resize(int width, int height);
  void DrawChildren(const Container& container, int x, int y);
  void DrawContainer(const Container& container, int x, int y, int w, int h, bool fill);
  void DrawControl(Control& control, int x, int y, int w, int h);
  void DrawLabel(Label& label, int x, int y, int w, int h);
  void DrawTextBox(const TextBox& box, int x, int y, int w, int h);
  void DrawListBox(const ListBox& box, int x, int y, int w, int h);
  void DrawWebBrowser(const WebBrowser& pane, int x, int y, int w, int h);
  void DrawPicture(const Image* image, const Picture& keep, uint64_t version, int x, int y, int w,
                   int h);
  // Draws a line of text; returns its height. wrap_width > 0 wraps.
  int DrawText(const std::string& text, const Font& font, uint32_t color, int x, int y,
               int wrap_width = 0, int alignment = 0, int box_width = 0);
  CachedTexture* Text(const std::string& text, const Font& font, uint32_t color, int wrap_width,
                      int alignment = 0);
  TTF_Font* FontFor(const Font& font);
  void FillRect(int x, int y, int w, int h, uint32_t bgr);
  void FrameRect(int x, int y, int w, int h, uint32_t bgr);
  void PushClip(int x, int y, int w, int h);
  void PopClip();
  void DropUnused();
  void ApplyRegion(const Form& form);

  bool ok_ = false;
  bool window_focused_ = true;
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::map<const Image*, CachedTexture> pictures_;
  std::map<std::string, CachedTexture> texts_;
  std::map<std::pair<int, bool>, TTF_Font*> fonts_;
  std::map<std::pair<int, bool>, ListRow> list_rows_;  // by em and boldness
  struct Clip {
    int x, y, w, h;
  };
  std::vector<Clip> clips_;
};

// The screen as a person would see it: `base` with every other shown form
// drawn over it where it stands (and as translucent as it is), saved as a PNG.
bool SaveScreenPng(Forms& forms, Form& base, const std::string& path);

}  // namespace slvn
