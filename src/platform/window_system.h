#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/renderer.h"
#include "platform/timer.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace slvn {

class Control;
class Form;
class Forms;
class KeyGate;
struct MessageBox;

// The window system as an event source of the loop. Every loaded, visible
// form is drawn when something on it changed; with a display each has an SDL
// window that shows its surface and whose mouse and key events reach the
// control under the pointer. Headless (no display, or SDL_VIDEODRIVER set to
// offscreen) the forms are drawn all the same, without windows.
class WindowSystem : public EventSource {
 public:
  explicit WindowSystem(Forms& forms);
  ~WindowSystem() override;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  bool HasDisplay() const { return display_; }

  int Fd() const override;
  bool Pending() override;
  void Dispatch() override;

  // Draws every changed form and shows it.
  void Present();
  // The renderer of a form that has been drawn, or null.
  Renderer* RendererOf(const Form& form);
  void Forget(const Form& form);
  // The form whose window has the keyboard focus, or null.
  Form* FocusedForm();
  // The keyboard focus goes to the form's window, when it is on the screen
  // and another window has it: a control of the form was given the focus.
  void FocusWindowOf(const Form& form);
  // Whether the form's window is cut to its region.
  bool HasShapedWindow(const Form& form) const;
  // The X11 id of the form's window; 0 while it has none (or headless).
  uint64_t NativeHandle(const Form& form) const;
  // The form's window, once it has been shown on a display; else null.
  SDL_Window* WindowOf(const Form& form) const;
  // A window's place and size on the screen, in pixels.
  struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
  };
  // The form's window as the display has it; nullopt without one.
  std::optional<ScreenRect> WindowRect(const Form& form) const;
  // The tool tip being shown; nullopt when none is.
  std::optional<ScreenRect> TipRect() const;
  // Where the input method was last told the caret is (in its window);
  // nullopt while no text box has the keys.
  std::optional<ScreenRect> TextInputRect() const;

  void ShowMessageBox(const MessageBox& box);
  void CloseMessageBox();

 private:
  struct Screen {
    std::unique_ptr<Renderer> renderer;
    SDL_Window* window = nullptr;
    bool shown = false;
    bool exposed = false;     // the display lost the window's pixels: blit again
    bool off_screen = false;  // wholly outside the screen, so left unmapped
    bool owned = false;       // marked as the main window's (transient)
    bool shaped = false;      // made as a shaped window (the form had a region)
    bool withdrawn = false;   // minimised where no window manager does it
    std::string name;         // the caption last set as the window's name
    bool focused = true;      // not known to lack the keyboard focus
    // What this side last asked of the window, and when (SDL ticks), so the
    // window's own reports of it, and older ones still on their way, are not
    // taken for the window manager's doing.
    int asked_state = 0;        // kNormal
    bool state_asking = false;  // not yet reported back
    uint64_t state_asked_at = 0;
    int asked_x = 0, asked_y = 0;
    bool place_asking = false;
    uint64_t place_asked_at = 0;
    // The region and size the window's shape was cut from.
    uint32_t shape_version = 0;
    int shape_w = 0, shape_h = 0;
  };

  bool AnyChanged() const;
  void SyncWindow(Form& form, Screen& screen);
  bool MakeWindow(Form& form, Screen& screen, int w, int h);
  void CutShape(const Form& form, Screen& screen, int w, int h);
  void HandleEvent(const SDL_Event& event);
  // Hands the events the key gate lets through to HandleEvent.
  void HandleGated(std::vector<SDL_Event>& events);
  // The input method said nothing of the held keys for long enough.
  void KeysGiveUp();
  // What the window manager did to a window reaches its form.
  void HandleWindowEvent(const SDL_Event& event);
  void WindowStateReported(Form& form, Screen& screen, int state);
  void WindowMoved(Form& form, Screen& screen, int x, int y);
  // Shows a card's or a bubble's window, the keys staying where they are.
  void ShowWithoutFocus(SDL_Window* w);
  // The form's window went off the screen or comes back, for its state.
  void SyncWindowState(Form& form, Screen& screen, SDL_Window* w);
  // The window manager's close, or the window destroyed by another program.
  void CloseForm(Form& form);
  void WindowDestroyed(uint64_t x11_window);
  // A hidden form's window that had the keys hands them to the main window.
  void FocusOwner(const Form& form);
  // The window's place and size; false when it lies wholly off the screen.
  bool OnScreen(int x, int y, int w, int h) const;
  void MarkOwned(const Form& form, Screen& screen);
  Screen* ScreenOfWindow(unsigned window_id, Form** form);
  void HandleMouse(const SDL_Event& event);
  // A press in a window that lacks the keyboard focus gives it the focus.
  void FocusWindowOnPress(const Form& form);
  // While a form moves with the mouse: true when the event was used for it.
  bool FollowMouse(Form& form, const SDL_Event& event);
  void HandleKey(const SDL_Event& event);
  // A key down; Ctrl+C and Ctrl+X then copy a text box's selection, Ctrl+V
  // asks for the clipboard's text.
  void HandleKeyDown(Form& form, int key_code, int shift);
  void Paste(Form& form);
  // The clipboard owner's answer to a paste, among the X events.
  void ClipboardEvent(const SDL_Event& event);
  void EndPaste();
  // Releases the modifiers SDL holds that the X server did not hold at an
  // X event (an SDL event watch).
  static int SyncModifiers(void* unused, SDL_Event* event);
  void WindowFocused(Form& form, Screen& screen, bool focused);
  // An input method's text being composed, shown in the focused text box.
  void HandleComposition(const SDL_Event& event);
  // Switches text input on while a text box has the keys, and tells the
  // input method where its caret is.
  void PlaceTextInput();
  Form* FormOfWindow(unsigned window_id);
  void SetCursor(int pointer);

  Forms& forms_;
  int move_dx_ = 0, move_dy_ = 0;  // the grab point inside the moving window
  bool move_started_ = false;
  bool display_ = false;
  int fd_ = -1;
  void* x_display_ = nullptr;  // the X connection, once a window was made
  std::map<const Form*, Screen> screens_;
  SDL_Cursor* cursor_ = nullptr;
  int cursor_id_ = 0;  // SDL_SYSTEM_CURSOR_ARROW
  SDL_Window* box_window_ = nullptr;
  std::unique_ptr<Renderer> box_renderer_;
  // The tool tip of the control the pointer rests on, shown after a pause.
  void PointerOver(Control* control, int screen_x, int screen_y);
  void ShowTip();
  void HideTip();
  Control* tip_control_ = nullptr;
  const Form* tip_form_ = nullptr;
  int tip_x_ = 0, tip_y_ = 0;
  Timer tip_timer_;
  SDL_Window* tip_window_ = nullptr;
  std::unique_ptr<Renderer> tip_renderer_;
  // Where the input method was last told the focused text box is.
  SDL_Window* input_window_ = nullptr;
  ScreenRect input_rect_;
  // The text box that had the keys at the last pass (compared, never used).
  const void* input_box_ = nullptr;
  // Keys of a text box wait here while the input method may still take them.
  std::unique_ptr<KeyGate> keys_;
  Timer keys_timer_;
  // A paste waiting for the clipboard owner's answer, for at most the
  // timer's interval each time; a large text comes in parts.
  const Form* paste_form_ = nullptr;
  SDL_Window* paste_window_ = nullptr;
  Timer paste_timer_;
  bool paste_in_parts_ = false;
  std::string paste_text_;
};

}  // namespace slvn
