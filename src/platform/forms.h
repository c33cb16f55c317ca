#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"

namespace slvn {

class EventLoop;
class Forms;
class WindowSystem;

enum WindowState : int { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// A top-level window. Left/Top/Width/Height are twips on the screen; the
// controls on it use its ScaleMode (twips unless set otherwise).
class Form : public Container {
 public:
  explicit Form(Forms& forms);
  ~Form() override;

  Forms& Registry() const { return forms_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string v) { Change(caption_, std::move(v)); }
  int WindowState() const { return window_state_; }
  void SetWindowState(int v);
  // The window is gone, and whatever state it last reported with it: the
  // form's next window opens normal. Raises no resize.
  void ForgetWindowState() { Change(window_state_, static_cast<int>(kNormal)); }
  bool Topmost() const { return topmost_; }
  // Making a window topmost also brings it to the front, where it stays
  // when it stops being topmost.
  void SetTopmost(bool v);
  // 255 opaque; the game makes some windows translucent with 200.
  int Alpha() const { return alpha_; }
  void SetAlpha(int v) { Change(alpha_, v < 0 ? 0 : v > 255 ? 255 : v); }
  // The window opens without taking the keyboard focus from the window that
  // has it: for cards and bubbles that come and go while the player types.
  bool ShowsWithoutFocus() const { return shows_without_focus_; }
  void SetShowsWithoutFocus(bool v) { shows_without_focus_ = v; }
  // A short-lived picture (a speech bubble, the player card): its window is
  // one the window manager leaves alone, never framed, placed or focused,
  // and it shows without the focus.
  bool Popup() const { return popup_; }
  void SetPopup(bool v) {
    popup_ = v;
    if (v) shows_without_focus_ = true;
  }
  // Asks for the window to come to the front with the keyboard focus (the
  // form's own SetFocus); the window system grants it when it next shows the
  // form, and drops it for a hidden one.
  void Activate() {
    activate_ = true;
    Invalidate();
  }
  bool ActivationPending() const { return activate_; }
  bool TakeActivation() { return std::exchange(activate_, false); }
  // 0 brings the window to the front of the screen's windows, 1 sends it to
  // the back; the window system does it when it next shows the form.
  void ZOrder(int position = 0) {
    restack_ = position == 1 ? kToBack : kToFront;
    Invalidate();
  }
  enum Restack { kNoRestack, kToFront, kToBack };
  Restack TakeRestack() { return std::exchange(restack_, kNoRestack); }
  // The form sees key events before the control that has the focus.
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool v) { key_preview_ = v; }
  // The window's own font size (points), for text the window itself
  // draws; its controls keep their own fonts.
  double FontSize() const { return font_size_; }
  void SetFontSize(double v) {
    if (v > 0) font_size_ = v;
  }

  // Loading puts the form into the registry's list; Show loads and shows it,
  // Hide only hides; Unload hides it and takes it off the list. Showing a
  // form that takes the focus activates it, and the keys go to its first
  // control that can hold them unless one already has them.
  void Load();
  void Show();
  // Shows the form as a window placed over the others is shown: the keys
  // stay where they are.
  void ShowInactive();
  void Hide() { SetVisible(false); }
  // Making a form visible loads it, as Show does.
  void SetVisible(bool v) override;
  void Unload();
  bool Loaded() const { return loaded_; }

  // The window's shape: the picture's pixels that differ from its pixel
  // (0,0). A null or empty picture makes the window rectangular again.
  void SetRegionFromPicture(const slvn::Picture& picture);
  // Whether the form pixel (x, y) belongs to the window.
  bool InRegion(int x, int y) const;
  bool HasRegion() const { return region_width_ > 0; }
  // Counts the region's changes, so a window knows when to take its shape.
  uint32_t RegionVersion() const { return region_version_; }

  // The control that receives typed keys. Moving the focus raises
  // LostFocus on the control that had it, then GotFocus on the new one.
  Control* Focus() const { return focus_; }
  // The program's SetFocus: the keys also come to the form's window when
  // another window has them.
  void SetFocus(Control* control);
  // Moves the focus inside the form only (a press, a show, a hide).
  void MoveFocus(Control* control);
  // The control that got the last button press, until the release.
  Control* MouseCapture() const { return capture_; }
  void SetMouseCapture(Control* control) { capture_ = control; }

  // The window follows the mouse until the button is released, as the
  // window system's own move does.
  void BeginSystemMove() { moving_ = true; }
  void EndSystemMove() { moving_ = false; }
  bool Moving() const { return moving_; }

  ClickHandler OnLoad;
  ClickHandler OnUnload;
  // Shown, restored or resized: when the form becomes visible and whenever
  // its window state changes.
  ClickHandler OnResize;
  // The window got or lost the keyboard focus of the screen.
  ClickHandler OnActivate;
  ClickHandler OnDeactivate;
  // The window manager's close (its button, Alt+F4), or the window destroyed
  // by another program; without a handler the form unloads.
  ClickHandler OnClose;

 private:
  Forms& forms_;
  std::string caption_;
  int window_state_ = kNormal;
  bool topmost_ = false;
  int alpha_ = 255;
  bool key_preview_ = false;
  double font_size_ = 9;
  bool shows_without_focus_ = false;
  bool activate_ = false;
  bool popup_ = false;
  Restack restack_ = kNoRestack;
  bool loaded_ = false;
  bool moving_ = false;
  Control* focus_ = nullptr;
  Control* capture_ = nullptr;
  std::vector<bool> region_;
  int region_width_ = 0;
  int region_height_ = 0;
  uint32_t region_version_ = 0;
};

// An OK-only message box as it was shown.
struct MessageBox {
  std::string prompt;
  std::string title;
  bool answered = false;
};

// The forms of one client: the list of loaded forms, the window system once
// it is opened, and the open message boxes.
class Forms {
 public:
  explicit Forms(EventLoop& loop);
  ~Forms();
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

  EventLoop& Loop() const { return loop_; }
  // Loaded forms in load order.
  const std::vector<Form*>& LoadedForms() const { return loaded_; }
  // The program's main window: every other form that is not a popup is
  // owned by it and stays in front of it.
  Form* MainForm() const { return main_; }
  void SetMainForm(Form* form) { main_ = form; }

  // Opens the window system: windows when there is a display, otherwise
  // surfaces only (also when the display cannot be opened).
  WindowSystem* OpenWindows();
  WindowSystem* Windows() const { return windows_.get(); }

  // Shows an OK-only message box and pumps the loop until it is answered:
  // timers and sockets keep running, input to the forms is held back. With a
  // window system it is answered by OK or Enter; headless (or without
  // windows) OnMessageBox answers it, at once or later from a timer, and
  // with no handler it is answered at once. It is recorded in Shown().
  void MsgBox(const std::string& prompt, const std::string& title);
  // Answers the open message box (the innermost), if any.
  void AnswerMessageBox();
  const std::deque<MessageBox>& Shown() const { return shown_; }
  // The box being waited for, or null.
  const MessageBox* OpenMessageBox() const;
  std::function<void(const MessageBox&)> OnMessageBox;

 private:
  friend class Form;
  EventLoop& loop_;
  std::vector<Form*> loaded_;
  Form* main_ = nullptr;
  std::unique_ptr<WindowSystem> windows_;
  std::deque<MessageBox> shown_;
  std::vector<size_t> open_;  // indexes into shown_, innermost last
};

}  // namespace slvn
