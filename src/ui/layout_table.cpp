#include "ui/layout_table.h"

#include "shell/client.h"
#include "ui/player_labels.h"
#include "video/video_panels.h"

namespace slvn {

namespace {

struct Spot {
  double left, top;
};

void LayoutWildTileBox(MainForm& f, float sx, float sy) {
  f.Jokra.SetLeft(932 * sx);
  f.Jokra.SetTop(92 * sy);
  f.CV_Image.SetWidth(36);
  f.CV_Image.SetHeight(56);
  f.CV_Image.SetLeft(f.Jokra.Left() + 20);
  f.CV_Image.SetTop(f.Jokra.Top() + 59);
  f.CV_Image.ZOrder(0);
  f.CV_Image.SetVisible(false);
}

void LayoutAvatars(MainForm& f, float sx, float sy) {
  f.Tou[0].Move(10 * sx, 668 * sy, 85 * sx, 90 * sy);
  constexpr Spot kOthers[] = {{7, 15}, {350, 15}, {693, 15}};
  for (int i = 1; i <= 3; ++i) {
    f.Tou.Load(i);
    f.Tou[i].Move(kOthers[i - 1].left * sx, kOthers[i - 1].top * sy, 70 * sx, 62 * sy);
    f.Tou[i].SetVisible(true);
  }
}

void LayoutButtonBar(Client& client, float sx, float sy) {
  MainForm& f = client.main_form;
  Data& data = client.data;
  for (int i = 1; i <= 8; ++i) {
    f.AnNiu.Load(i);
    f.AnNiu[i].SetVisible(true);
    f.AnNiu[i].ZOrder(0);
  }
  for (int i = 0; i <= 8; ++i) {
    data.AnNiuState[i] = false;
    data.AnNiuHover[i] = false;
    f.AnNiu[i].SetWidth((i == 0 ? 50 : 60) * sx);
    f.AnNiu[i].SetHeight(30 * sy);
    // Normal pictures of pairs 0-2 and 4-9: pair 3 (continue) is on no button.
    int pair_entry = i < 3 ? 2 * i : 2 * i + 2;
    LoadGifResource(client, client.images.ButtonPics[pair_entry], "GIF", f.AnNiu[i]);
  }
  data.AnNiuState[2] = true;
  f.AnNiu[0].Move(573 * sx, 730 * sy);
  f.AnNiu[1].Move(648 * sx, 699 * sy);
  for (int i = 2; i <= 8; ++i) {
    ImageControl& before = f.AnNiu[i == 5 ? 1 : i - 1];
    if (i == 5)
      f.AnNiu[i].Move(before.Left(), before.Top() + 32 * sy);
    else
      f.AnNiu[i].Move(before.Left() + 70 * sx, before.Top());
  }
}

void CreateSeatLabels(MainForm& f, bool small) {
  for (int k = 1; k <= 3; ++k) {
    for (ControlArray<Label>* labels : {&f.Nid, &f.Cash, &f.Level}) {
      labels->Load(k);
      (*labels)[k].SetVisible(true);
    }
    if (small) {
      f.Cash[k].SetFontSize(8);
      f.Level[k].SetFontSize(8);
      f.Level[0].SetFontSize(8);
    }
  }
}

void LayoutReadyMarks(MainForm& f, float sx, float sy, bool small) {
  constexpr Spot kMarks[] = {{460, 630}, {100, 280}, {460, 100}, {900, 280}};
  for (int i = 1; i <= 3; ++i) f.OK.Load(i);
  for (int i = 0; i <= 3; ++i) f.OK[i].Move(kMarks[i].left * sx, kMarks[i].top * sy);
  if (small) f.OK[1].SetLeft(110 * sx);
}

}  // namespace

// The streak spot and its backdrop share one place; the spot itself stays
// cleared and hidden.
void PlaceStreakSpot(MainForm& f, float sx, float sy) {
  f.img_lianLaiBack.Move(420 * sx, 270 * sy, 150 * sx, 150 * sy);
  f.uc_lianLai.Move(420 * sx, 270 * sy, 150 * sx, 150 * sy);
  f.uc_lianLai.Gif().SetAnimatedGIF(nullptr);
  f.uc_lianLai.SetVisible(false);
}

void LayoutTable(Client& client) {
  MainForm& f = client.main_form;
  Data& data = client.data;
  const float sx = data.ScaleX, sy = data.ScaleY;
  const bool small = sx < 1;
  data.TableGameOn = true;
  LayoutWildTileBox(f, sx, sy);
  LayoutAvatars(f, sx, sy);
  LayoutVideoPanels(client);
  LayoutButtonBar(client, sx, sy);
  CreateSeatLabels(f, small);
  data.SeatNamesSeen = false;
  LayoutPlayerInfo(client);
  data.HandRecordPending = false;
  LayoutReadyMarks(f, sx, sy, small);
  client.prop.PluginShutdownPending = false;
  client.prop.SheetHandOver = 0;
  if (small) {
    f.Bank.SetWidth(f.Bank.Width() * sx);
    f.Bank.SetHeight(f.Bank.Height() * sy);
  }
  f.Bank.Move(699 * sx, 658 * sy);
  f.Bank.SetVisible(true);
  f.Bank.ZOrder(0);
  PlaceStreakSpot(f, sx, sy);
}

}  // namespace slvn
