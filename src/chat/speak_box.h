#pragma once

#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/timer.h"

namespace slvn {

struct Client;

// One seat's speech bubble: a window cut to its bubble picture that fades
// in, holds, fades out and leaves the screen. Tagged "speak" & seat.
class SpeakBoxForm : public Form {
 public:
  SpeakBoxForm(Forms& forms, Client& client);

  PictureBox picSplash{this};
  ControlArray<ImageControl> imgSpeakBox{this};  // the bubble picture of each seat 0..3
  Label labPhrase{this};
  Timer tmrFadeIn;

  // The animation's state, set by showMe.
  int16_t level = 0;
  int16_t max_alpha = 0;
  int16_t fade_in_step = 0;
  int16_t fade_out_step = 0;
  int16_t hold = 0;
  int16_t bubble_seat = 0;

 private:
  Client& client_;
};

// The fade timer's period: the bubble's tick counts (26 in, hold to 276, out
// to 328) then last about five seconds.
constexpr int kSpeakTickMs = 16;

// The received-chat display's bubble: phrase `number` of the own list
// `list` beside display seat `seat`; nothing for a phrase the lists do not
// hold, an empty one, or while the main window is minimised or maximised.
void ShowSpeakBubble(Client& client, int seat, int list, int number);

// Makes sure the seat's bubble window exists, parked off the screen.
void PrepareSpeakBox(Client& client, int16_t seat);
// Tags and shapes a new window; false when the seat's window exists already.
bool ShapeSpeakBox(Client& client, SpeakBoxForm& form, int16_t seat);
// False for an alpha outside 0..255, which is not applied.
bool SetFormAlpha(Form& form, int alpha);
void SetTopMost(Form& form, bool on);
// The first loaded window tagged "speak" & seat, or null.
SpeakBoxForm* FindSpeakBox(Client& client, int seat);
void showMe(Client& client, SpeakBoxForm& form, int16_t seat, const std::string& phrase,
            int16_t max_alpha, int16_t fade_in_step, int16_t fade_out_step, int16_t hold);
void tmrFadeIn_Timer(Client& client, SpeakBoxForm& form);

}  // namespace slvn
