#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/forms.h"

namespace slvn {

struct Client;

// A detached, borderless window that shows one seat's video larger:
// frm_Local the own camera (seat 0), frm_Remote1-3 the seats 1-3. Three size
// steps (small, normal, large), each with its skin; close, enlarge and
// shrink buttons along the top edge; dragged by its skin.
class ZoomWindow : public Form {
 public:
  enum Step : int { kSmall = 0, kNormal = 1, kLarge = 2 };

  ZoomWindow(Forms& forms, int seat);

  const int seat;                           // the ZoomTarget value this window sets
  PictureBox vshow{this};                   // where the seat's frames show
  ControlArray<ImageControl> ImgCmd{this};  // 0 close, 1 enlarge, 2 shrink
  int16_t SkinOffset = 0;                   // 3 on a small screen: the small skins
  int step = kNormal;                       // kept while loaded

  // Loaded and visible.
  bool Shown() const { return Loaded() && Visible(); }
};

// The zoom window of seat 0..3.
ZoomWindow& ZoomWindowOf(Client& client, int seat);

// The window's handlers.
void ZoomWindow_Load(Client& client, ZoomWindow& w);
void ZoomWindow_MouseDown(ZoomWindow& w, int button);
void ZoomWindow_ImgCmd_Click(Client& client, ZoomWindow& w, int index);

// Hooks the four windows' handlers to the client.
void ConnectZoomWindows(Client& client);

}  // namespace slvn
