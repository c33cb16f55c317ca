#include "platform/key_gate.h"

#include <utility>

namespace slvn {

void KeyGate::Take(const SDL_Event& event, bool x_key_press, bool text_input,
                   std::vector<SDL_Event>& out) {
  const bool after_x_key = std::exchange(after_x_key_, false);
  const bool after_key = std::exchange(after_key_, false);
  switch (event.type) {
    case SDL_KEYDOWN: {
      // SDL puts a key on its queue right after its X event, once the input
      // method answered or SDL stopped waiting for it.
      const bool late = text_input && after_x_key && event.key.timestamp - x_key_at_ >= kLateMs;
      after_key_ = true;
      key_alt_ = (event.key.keysym.mod & KMOD_ALT) != 0;
      key_late_ = late;
      key_held_ = late || Holding();
      if (late) {
        Hold(event, true);
      } else if (Holding()) {
        // The input method answers in order: it has answered the held keys.
        answered_ = true;
        Hold(event, false);
      } else {
        out.push_back(event);
      }
      return;
    }
    case SDL_TEXTINPUT:
      if (!after_key) {
        // Not a key's own text: the input method commits.
        InputMethodSpoke(out);
        out.push_back(event);
      } else if (!key_alt_) {
        if (key_held_)
          Hold(event, key_late_);
        else
          out.push_back(event);
      }
      return;
    case SDL_KEYUP:
      if (Holding())
        Hold(event, false);
      else
        out.push_back(event);
      return;
    case SDL_TEXTEDITING:
    case SDL_TEXTEDITING_EXT:
      InputMethodSpoke(out);
      out.push_back(event);
      return;
    default:
      if (x_key_press) {
        after_x_key_ = true;
        x_key_at_ = event.common.timestamp;
      }
      out.push_back(event);
      return;
  }
}

void KeyGate::Settle(std::vector<SDL_Event>& out) {
  if (std::exchange(answered_, false)) Release(out);
}

void KeyGate::GiveUp(std::vector<SDL_Event>& out) {
  Release(out);
}

void KeyGate::Drop() {
  held_.clear();
  answered_ = false;
}

void KeyGate::Hold(const SDL_Event& event, bool late) {
  held_.push_back({event, late});
}

void KeyGate::InputMethodSpoke(std::vector<SDL_Event>& out) {
  for (const Held& h : held_)
    if (!h.late) out.push_back(h.event);
  Drop();
}

void KeyGate::Release(std::vector<SDL_Event>& out) {
  for (const Held& h : held_) out.push_back(h.event);
  Drop();
}

}  // namespace slvn
