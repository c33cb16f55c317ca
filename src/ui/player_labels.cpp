#include "ui/player_labels.h"

#include "shell/client.h"

namespace slvn {

namespace {

struct SeatLabelPlace {
  double left, name_top, coins_top, level_top;
};

// Bottom (own), left, top, right: beside each seat's avatar.
constexpr SeatLabelPlace kSeatLabels[] = {
    {181, 700, 724, 744}, {165, 15, 40, 64}, {509, 15, 40, 64}, {852, 15, 40, 64}};

}  // namespace

void LayoutPlayerInfo(Client& client) {
  MainForm& f = client.main_form;
  const double sx = client.data.ScaleX, sy = client.data.ScaleY;
  for (int seat = 0; seat < 4; ++seat) {
    const SeatLabelPlace& p = kSeatLabels[seat];
    for (auto [labels, top] : {std::pair{&f.Nid, p.name_top}, std::pair{&f.Cash, p.coins_top},
                               std::pair{&f.Level, p.level_top}}) {
      if (!labels->Exists(seat)) continue;
      (*labels)[seat].SetTop(top * sy);
      (*labels)[seat].SetLeft(p.left * sx);
    }
  }
  f.Location.SetTop(668 * sy);
  f.Location.SetLeft(760 * sx);
  f.imgword1.Move(640 * sx, 659 * sy, 57 * sx, 13 * sy);
  f.imgword2.Move(640 * sx, 675 * sy, 57 * sx, 13 * sy);
  f.imgLocation.SetStretch(true);
  f.imgLocation.Move(632 * sx, 654 * sy, 394 * sx, 39 * sy);
}

}  // namespace slvn
