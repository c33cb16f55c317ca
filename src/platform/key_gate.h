#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace slvn {

// Stands between SDL's queue and the forms for the keys of a text box.
//
// SDL asks the input method about each key and waits 300 ms for its answer;
// past that it types the key itself, and an input method that answers later
// may still take the key into its composition: the key would go in twice.
// A key SDL let through only after that wait (its X key event came that long
// before it) is held here until the input method shows what it did: a
// composition or a commit means it took the key, which is dropped; a later
// key it answered in time, or a long silence, means it did not, and the held
// keys go on in their order.
//
// A character typed with Alt held is the key's own text that SDL sends
// beside an Alt chord: a chord types nothing, so it is dropped.
class KeyGate {
 public:
  // SDL waits this long for the input method; a key that took nearly as
  // long came without its answer.
  static constexpr uint32_t kLateMs = 250;
  // After this long without a word from the input method, held keys go on.
  static constexpr uint32_t kGiveUpMs = 3000;

  // Takes the next event from SDL's queue; appends to `out` what the forms
  // get now. `x_key_press` tells that the event is SDL's copy of an X key
  // press (an SDL_SYSWMEVENT), `text_input` that the input method hears the
  // keys.
  void Take(const SDL_Event& event, bool x_key_press, bool text_input, std::vector<SDL_Event>& out);
  // SDL's queue is empty: keys held behind one the input method has answered
  // since go on.
  void Settle(std::vector<SDL_Event>& out);
  // The input method's silence has lasted long enough (when Holding()).
  void GiveUp(std::vector<SDL_Event>& out);
  // The text box lost the keys: the input method drops what it held, and so
  // does the gate.
  void Drop();
  bool Holding() const { return !held_.empty(); }

 private:
  struct Held {
    SDL_Event event;
    bool late;  // a late key's own press or text, which the input method may hold
  };
  void Hold(const SDL_Event& event, bool late);
  // The input method composed or committed: the late keys were its.
  void InputMethodSpoke(std::vector<SDL_Event>& out);
  void Release(std::vector<SDL_Event>& out);

  std::vector<Held> held_;
  bool answered_ = false;  // a key behind the held ones was answered in time
  // The event before this one: the X key press behind a key, the key behind
  // its own text.
  bool after_x_key_ = false;
  uint32_t x_key_at_ = 0;
  bool after_key_ = false;
  bool key_alt_ = false;
  bool key_late_ = false;
  bool key_held_ = false;
};

}  // namespace slvn
