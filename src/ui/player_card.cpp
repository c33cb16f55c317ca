#include "ui/player_card.h"

#include <array>
#include <string>

#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/resources/embedded.h"
#include "ui/amount_text.h"

namespace slvn {

namespace {

constexpr double kCardWidth = 3300;  // twips: a 220 x 330 pixel background
constexpr double kCardHeight = 4950;
constexpr double kCaptionLeft = 360;
constexpr double kValueLeft = 1920;
constexpr double kFirstRowTop = 600;
constexpr double kRowStep = 480;
constexpr int kRows = 9;
constexpr int kTranslucent = 200;
constexpr uint32_t kCaptionColor = 0x80E0FF;  // light amber
constexpr uint32_t kValueColor = 0xFFFFFF;

constexpr std::array<const char*, kRows> kCaptions = {"玩家昵称", "性    别", "所 在 地",
                                                      "积    分", "信 用 度", "登录次数",
                                                      "掉线次数", "胜场次数", "败场次数"};

std::array<Label*, kRows> CaptionLabels(InformationForm& card) {
  return {&card.Label1, &card.Label2, &card.Label3, &card.Label4, &card.Label5,
          &card.Label6, &card.Label7, &card.Label8, &card.Label9};
}

std::array<std::string, kRows> CardValues(const UserDetail& d) {
  return {d.name,
          d.sex == 0 ? "女" : "男",
          d.area,
          FormatAmount(d.score),
          FormatAmount(d.credit),
          std::to_string(d.logins),
          std::to_string(d.drops),
          std::to_string(d.wins),
          std::to_string(d.losses)};
}

// Seat 0 below the middle of the table; seats 1-3 side by side in its upper part.
void PlaceCard(Client& client, int seat) {
  MainForm& f = client.main_form;
  InformationForm& card = client.Information;
  const double left = f.Left() + f.Pic1.Left(), top = f.Top() + f.Pic1.Top();
  if (seat == 0) {
    card.SetLeft(left);
    card.SetTop(top + (client.data.ScaleX < 1.0f ? 0.3 : 0.42) * f.Pic1.Height());
  } else {
    card.SetTop(top + 0.11 * f.Pic1.Height());
    card.SetLeft(left + RoundHalfEven((seat - 1) * f.Pic1.Width()) / 3);
  }
}

bool ValidSeat(int seat) {
  return seat >= 0 && seat < kSeatCount;
}

// The enlarged video of a seat, asked of an active plug-in once per hover.
void AskVideoPopup(Client& client, int16_t seat) {
  PropState& prop = client.prop;
  if (prop.VideoPopupAsked) return;
  prop.VideoPopupAsked = true;
  if (ShowCvVideo(client, seat, true)) prop.VideoPopupSeat = static_cast<int16_t>(seat + 1);
}

}  // namespace

InformationForm::InformationForm(Forms& forms) : Form(forms) {
  SetCaption("玩家信息");
  SetPopup(true);
  Move(0, 0, kCardWidth, kCardHeight);
  Background.SetStretch(true);
  Background.Move(0, 0, kCardWidth, kCardHeight);
  Background.SetPicture(DecodePicture(NamedAssetBytes("player_card")));
  for (int k = 1; k < kRows; ++k) Inf.Load(k);
  const std::array<Label*, kRows> captions = CaptionLabels(*this);
  for (int k = 0; k < kRows; ++k) {
    const double top = kFirstRowTop + kRowStep * k;
    Label& caption = *captions[k];
    caption.SetCaption(kCaptions[k]);
    caption.SetBackStyle(kBackTransparent);
    caption.SetForeColor(kCaptionColor);
    caption.SetFontSize(12);
    caption.SetAutoSize(true);
    caption.Move(kCaptionLeft, top);
    Inf[k].SetForeColor(kValueColor);
    Inf[k].Move(kValueLeft, top);
    Inf[k].SetVisible(true);
  }
}

void Information_Load(Client& client) {
  InformationForm& card = client.Information;
  card.SetAlpha(kTranslucent);
  for (int k = 0; k < kRows; ++k) {
    card.Inf[k].SetAutoSize(true);
    card.Inf[k].SetFontSize(12);
    card.Inf[k].SetBackStyle(kBackTransparent);
  }
}

void Tou_MouseMove(Client& client, int seat, int, int, int, int) {
  InformationForm& card = client.Information;
  if (!ValidSeat(seat) || card.Visible() || client.Detail[seat].name.empty()) return;
  PlaceCard(client, seat);
  const std::array<std::string, kRows> values = CardValues(client.Detail[seat]);
  for (int k = 0; k < kRows; ++k) card.Inf[k].SetCaption(values[k]);
  card.Show();
}

void Nid_MouseMove(Client& client, int seat, int button, int shift, int x, int y) {
  Tou_MouseMove(client, seat, button, shift, x, y);
}

void Cash_MouseMove(Client& client, int seat, int button, int shift, int x, int y) {
  Tou_MouseMove(client, seat, button, shift, x, y);
}

void Level_MouseMove(Client& client, int seat, int button, int shift, int x, int y) {
  Tou_MouseMove(client, seat, button, shift, x, y);
}

void vshow_MouseMove(Client& client, int seat, int, int, double x, double y) {
  MainForm& f = client.main_form;
  if (seat < 1 || seat > 3 || !f.vshow.Exists(seat)) return;
  if (client.Information.Visible() || client.Detail[seat].name.empty()) return;
  const PictureBox& panel = f.vshow[seat];
  if (!(x > 0 && panel.Width() > x / 15 && y > 0 && panel.Height() > y / 15)) return;
  if (client.prop.Prop_GameDllState < 1) return Tou_MouseMove(client, seat, 0, 0, 0, 0);
  AskVideoPopup(client, static_cast<int16_t>(seat));
}

void Proponeself_MouseMove(Client& client, int, int, double x, double y) {
  const Label& spot = client.main_form.Proponeself;
  const int32_t px = RoundHalfEven(x) / 15, py = RoundHalfEven(y) / 15;
  if (!(x > 0 && spot.Width() > px && y > 0 && spot.Height() > py)) return;
  if (client.prop.Prop_GameDllState < 1) return Tou_MouseMove(client, 0, 0, 0, 0, 0);
  AskVideoPopup(client, 0);
}

void WirePlayerCard(Client& client) {
  MainForm& f = client.main_form;
  client.Information.OnLoad = [&client] { Information_Load(client); };
  using Handler = void (*)(Client&, int, int, int, int, int);
  f.Tou.MouseMove = [&client](int seat, int button, int shift, double x, double y) {
    Tou_MouseMove(client, seat, button, shift, static_cast<int>(x), static_cast<int>(y));
  };
  for (auto [labels, handler] :
       {std::pair{&f.Nid, Handler{Nid_MouseMove}}, std::pair{&f.Cash, Handler{Cash_MouseMove}},
        std::pair{&f.Level, Handler{Level_MouseMove}}}) {
    const Handler forward = handler;  // a structured binding cannot be captured
    labels->MouseMove = [&client, forward](int seat, int button, int shift, double x, double y) {
      forward(client, seat, button, shift, static_cast<int>(x), static_cast<int>(y));
    };
  }
  f.Proponeself.MouseMove = [&client](int button, int shift, double x, double y) {
    Proponeself_MouseMove(client, button, shift, x, y);
  };
  f.vshow.MouseMove = [&client](int seat, int button, int shift, double x, double y) {
    vshow_MouseMove(client, seat, button, shift, x, y);
  };
  for (int seat = 1; seat <= 3; ++seat) {
    if (!client.video.vshow[seat]) continue;
    client.video.vshow[seat]->MouseMove = [&client, seat](int button, int shift, float x, float y) {
      vshow_MouseMove(client, seat, button, shift, x, y);
    };
  }
  f.imgword1.Click = [&client] { imgword1_Click(client); };
  f.imgword2.Click = [&client] { imgword2_Click(client); };
}

}  // namespace slvn
