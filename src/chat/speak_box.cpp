#include "chat/speak_box.h"

#include <algorithm>

#include "chat/huifu.h"
#include "shell/client.h"
#include "shell/resources/embedded.h"

namespace slvn {

namespace {

constexpr double kTwips = 15;

struct BubblePlace {
  double label_left, label_top;  // the phrase inside the bubble
  double shown_left, shown_top;  // from the main window's corner
  bool leaves_left;              // seats 0 and 1 leave to the left, 2 and 3 upwards
};

// Twips, times ScaleX (lefts) and ScaleY (tops).
constexpr BubblePlace kPlaces[4] = {
    {260, 180, 1500, 8550, true},
    {570, 350, 1050, 3000, true},
    {450, 620, 6150, 1050, false},
    {270, 470, 11400, 3000, false},
};

bool ValidSeat(int seat) {
  return seat >= 0 && seat < 4;
}

void Park(Client& client, SpeakBoxForm& form, int seat) {
  const BubblePlace& p = kPlaces[seat];
  const MainForm& f = client.main_form;
  const double sx = client.data.ScaleX, sy = client.data.ScaleY;
  if (p.leaves_left) {
    form.SetLeft(-form.Width());
    form.SetTop(f.Top() + p.shown_top * sy);
  } else {
    form.SetLeft(f.Left() + p.shown_left * sx);
    form.SetTop(-form.Height());
  }
  form.labPhrase.SetLeft(p.label_left * sx);
  form.labPhrase.SetTop(p.label_top * sy);
}

}  // namespace

SpeakBoxForm::SpeakBoxForm(Forms& forms, Client& client)
    : Form(forms), tmrFadeIn(forms.Loop()), client_(client) {
  SetCaption("speakbox");
  SetPopup(true);
  Move(0, 0, 2580, 1335);
  picSplash.SetVisible(false);
  for (int i = 1; i < 4; ++i) imgSpeakBox.Load(i);
  for (int i = 0; i < 4; ++i) {
    imgSpeakBox[i].SetVisible(false);
    imgSpeakBox[i].SetPicture(DecodePicture(NamedAssetBytes("speak_box_" + std::to_string(i))));
  }
  labPhrase.Move(0, 0, 2100, 750);
  labPhrase.SetFontName("宋体");
  labPhrase.SetFontSize(10.5);
  labPhrase.SetBackStyle(kBackTransparent);
  tmrFadeIn.SetInterval(kSpeakTickMs);
  tmrFadeIn.SetHandler([this] { tmrFadeIn_Timer(client_, *this); });
}

SpeakBoxForm* FindSpeakBox(Client& client, int seat) {
  const std::string tag = "speak" + std::to_string(seat);
  for (Form* form : client.forms.LoadedForms())
    if (form->Tag() == tag) return dynamic_cast<SpeakBoxForm*>(form);
  return nullptr;
}

bool ShapeSpeakBox(Client& client, SpeakBoxForm& form, int16_t seat) {
  if (FindSpeakBox(client, seat)) return false;
  form.SetTag("speak" + std::to_string(seat));
  if (form.imgSpeakBox.Exists(seat)) {
    const Picture& picture = form.imgSpeakBox[seat].Picture();
    form.SetPicture(picture);
    form.Hide();
    if (picture) {
      form.SetWidth(picture->width * kTwips);
      form.SetHeight(picture->height * kTwips);
    }
    form.SetRegionFromPicture(picture);
  }
  return true;
}

bool SetFormAlpha(Form& form, int alpha) {
  if (alpha < 0 || alpha > 255) return false;
  form.SetAlpha(alpha);
  return true;
}

void SetTopMost(Form& form, bool on) {
  form.SetTopmost(on);
}

void PrepareSpeakBox(Client& client, int16_t seat) {
  auto form = std::make_unique<SpeakBoxForm>(client.forms, client);
  if (!ShapeSpeakBox(client, *form, seat)) return;
  form->labPhrase.SetCaption("  ");
  if (ValidSeat(seat)) Park(client, *form, seat);
  SetTopMost(*form, true);
  form->Show();
  client.speak_boxes.push_back(std::move(form));
}

void showMe(Client& client, SpeakBoxForm& form, int16_t seat, const std::string& phrase,
            int16_t max_alpha, int16_t fade_in_step, int16_t fade_out_step, int16_t hold) {
  if (ValidSeat(seat)) {
    const BubblePlace& p = kPlaces[seat];
    const MainForm& f = client.main_form;
    form.SetLeft(f.Left() + p.shown_left * client.data.ScaleX);
    form.SetTop(f.Top() + p.shown_top * client.data.ScaleY);
  }
  form.max_alpha = max_alpha;
  form.fade_in_step = fade_in_step;
  form.fade_out_step = fade_out_step;
  form.hold = hold;
  form.bubble_seat = seat;
  form.labPhrase.SetCaption(phrase);
  form.tmrFadeIn.SetEnabled(true);
  form.level = 0;
}

void tmrFadeIn_Timer(Client&, SpeakBoxForm& form) {
  form.level = static_cast<int16_t>(form.level + form.fade_in_step);
  if (form.level < form.max_alpha) SetFormAlpha(form, form.level);
  if (form.level > form.max_alpha + form.hold) {
    form.max_alpha = static_cast<int16_t>(form.max_alpha - form.fade_out_step);
    SetFormAlpha(form, form.max_alpha);
    if (form.max_alpha <= 1) {
      form.tmrFadeIn.SetEnabled(false);
      form.labPhrase.SetCaption("");
      if (form.bubble_seat == 0 || form.bubble_seat == 1)
        form.SetLeft(-2 * form.Width());
      else if (form.bubble_seat == 2 || form.bubble_seat == 3)
        form.SetTop(-2 * form.Height());
    }
  }
}

void ShowSpeakBubble(Client& client, int seat, int list, int number) {
  const std::string phrase = QuickPhrase(client, list, number);
  if (phrase.empty() || client.main_form.WindowState() != kNormal) return;
  PrepareSpeakBox(client, static_cast<int16_t>(seat));
  SpeakBoxForm* form = FindSpeakBox(client, seat);
  if (!form) return;
  showMe(client, *form, static_cast<int16_t>(seat), phrase, 210, 8, 4, 2000);
  form->SetVisible(true);
}

}  // namespace slvn
