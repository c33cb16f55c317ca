#include "platform/forms.h"

#include <algorithm>

#include "platform/event_loop.h"
#include "platform/input.h"
#include "platform/window_system.h"

namespace slvn {

namespace {
// Headless, a box nobody answers is taken as answered after this long, so a
// forgotten answer cannot hang the program.
constexpr double kHeadlessAnswerSeconds = 30;
// How often the modal wait looks at its box between events.
constexpr double kModalSlice = 0.02;
}  // namespace

Form::Form(Forms& forms) : Container(nullptr, true), forms_(forms) {
  Control::SetVisible(false);
  // Keys reach the form through its controls; a press on its bare surface
  // leaves the focus where it was.
  SetTakesFocusOnClick(false);
}

void Form::SetFocus(Control* control) {
  // A control of a form whose window lacks the keys brings them there.
  if (control && control != this && forms_.windows_) forms_.windows_->FocusWindowOf(*this);
  MoveFocus(control);
}

void Form::MoveFocus(Control* control) {
  if (control == focus_) return;
  Control* old = std::exchange(focus_, control);
  // A box that loses the focus loses its caret and any unfinished
  // composition; the one that gains it shows its caret.
  if (auto* box = InTree(*this, old) ? dynamic_cast<TextBox*>(old) : nullptr) {
    box->SetComposition("", 0);
    box->Invalidate();
  }
  if (InTree(*this, control) && dynamic_cast<TextBox*>(control)) control->Invalidate();
  // A control that left the tree is never touched.
  if (InTree(*this, old) && old->LostFocus) old->LostFocus();
  if (focus_ == control && InTree(*this, control) && control->GotFocus) control->GotFocus();
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  Change(visible_, v);
  if (v) return;
  Control* root = this;
  while (root->Parent()) root = root->Parent();
  auto* form = dynamic_cast<Form*>(root);
  if (form && form != this && form->Focus() && form->Focus() != form &&
      !CanHoldFocus(*form, form->Focus()))
    form->MoveFocus(FirstFocusable(*form));
}

void Form::SetVisible(bool v) {
  const bool was = Visible() && loaded_;
  if (v) Load();
  Control::SetVisible(v);
  if (!v || was) return;
  if (OnResize) OnResize();
  if (shows_without_focus_ || !Visible()) return;
  Activate();
  if (!CanHoldFocus(*this, focus_)) MoveFocus(FirstFocusable(*this));
}

void Form::SetTopmost(bool v) {
  if (v && !topmost_) restack_ = kToFront;
  Change(topmost_, v);
}

void Form::SetWindowState(int v) {
  if (v == window_state_) return;
  Change(window_state_, v);
  // The popups (bubbles, the card) go off the screen and come back with the
  // main window.
  if (forms_.main_ == this)
    for (Form* form : forms_.loaded_)
      if (form->Popup()) form->Invalidate();
  if (OnResize) OnResize();
}

Form::~Form() {
  if (forms_.main_ == this) forms_.main_ = nullptr;
  std::erase(forms_.loaded_, this);
  if (forms_.windows_) forms_.windows_->Forget(*this);
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  forms_.loaded_.push_back(this);
  if (OnLoad) OnLoad();
}

void Form::Show() {
  SetVisible(true);
}

void Form::ShowInactive() {
  const bool keep = std::exchange(shows_without_focus_, true);
  SetVisible(true);
  shows_without_focus_ = keep;
}

void Form::Unload() {
  if (!loaded_) return;
  if (OnUnload) OnUnload();
  SetVisible(false);
  loaded_ = false;
  std::erase(forms_.loaded_, this);
}

void Form::SetRegionFromPicture(const slvn::Picture& picture) {
  region_.clear();
  region_width_ = region_height_ = 0;
  if (picture && WellFormed(*picture)) {
    region_width_ = picture->width;
    region_height_ = picture->height;
    const uint32_t corner = picture->At(0, 0);
    region_.reserve(picture->pixels.size());
    for (uint32_t p : picture->pixels) region_.push_back(p != corner);
  }
  ++region_version_;
  Invalidate();
}

bool Form::InRegion(int x, int y) const {
  if (!HasRegion()) return true;
  if (x < 0 || y < 0 || x >= region_width_ || y >= region_height_) return false;
  return region_[static_cast<size_t>(y) * region_width_ + x];
}

Forms::Forms(EventLoop& loop) : loop_(loop) {}

Forms::~Forms() = default;

WindowSystem* Forms::OpenWindows() {
  if (!windows_) windows_ = std::make_unique<WindowSystem>(*this);
  return windows_.get();
}

const MessageBox* Forms::OpenMessageBox() const {
  return open_.empty() ? nullptr : &shown_[open_.back()];
}

void Forms::AnswerMessageBox() {
  if (!open_.empty()) shown_[open_.back()].answered = true;
}

void Forms::MsgBox(const std::string& prompt, const std::string& title) {
  const size_t index = shown_.size();
  shown_.push_back(MessageBox{prompt, title, false});
  open_.push_back(index);
  const bool on_screen = windows_ && windows_->HasDisplay();
  if (windows_) windows_->ShowMessageBox(shown_[index]);
  if (OnMessageBox)
    OnMessageBox(shown_[index]);
  else if (!on_screen)
    shown_[index].answered = true;
  const double give_up = loop_.Now() + kHeadlessAnswerSeconds;
  while (!shown_[index].answered && !loop_.Quitting()) {
    if (!on_screen && loop_.Now() >= give_up) break;
    loop_.WaitSeconds(kModalSlice);
  }
  shown_[index].answered = true;
  open_.pop_back();
  if (windows_) windows_->CloseMessageBox();
}

}  // namespace slvn
