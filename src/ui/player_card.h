#pragma once

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// The player card: a small translucent window with nine rows (nickname,
// sex, home area, points, credit, logins, drops, wins, losses).
class InformationForm : public Form {
 public:
  explicit InformationForm(Forms& forms);

  ImageControl Background{this};
  Label Label1{this};             // "玩家昵称"
  Label Label2{this};             // "性    别"
  Label Label3{this};             // "所 在 地"
  Label Label4{this};             // "积    分"
  Label Label5{this};             // "信 用 度"
  Label Label6{this};             // "登录次数"
  Label Label7{this};             // "掉线次数"
  Label Label8{this};             // "胜场次数"
  Label Label9{this};             // "败场次数"
  ControlArray<Label> Inf{this};  // the nine values
};

void Information_Load(Client& client);
// The card of display seat `seat` (0-3), unless a card shows already or the
// seat is empty. The seat's name, coins and level labels forward to it.
void Tou_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
void Nid_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
void Cash_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
void Level_MouseMove(Client& client, int seat, int button, int shift, int x, int y);
// The pointer on a peer's video panel `vshow` (seats 1-3), or on the own
// video spot: the card, or with the item plug-in active its enlarged video
// (asked once per hover). x and y are twips, the panel's size pixels.
void vshow_MouseMove(Client& client, int seat, int button, int shift, double x, double y);
void Proponeself_MouseMove(Client& client, int button, int shift, double x, double y);
// Connects the card's handlers to the main window's controls.
void WirePlayerCard(Client& client);

}  // namespace slvn
