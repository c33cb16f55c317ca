#include "shell/client.h"
#include "ui/layout_table.h"

namespace slvn {

namespace {

void LayoutPiaoWidgets(Client& client, float sx, float sy, bool small) {
  MainForm& f = client.main_form;
  for (int i = 0; i <= 3; ++i) {
    ImageControl& option = f.img_piaoOpt[i];
    option.SetStretch(true);
    option.Move(340 * sx + 80 * i * sx, 470 * sy, 66 * sx, 38 * sy);
  }
  f.img_piaoKuang.SetVisible(false);
  f.img_piaoKuang.SetStretch(true);
  f.img_piaoKuang.Move(850 * sx, 115 * sy, 173 * sx, 110 * sy);
  LoadGifResource(client, small ? 441 : 440, "GIF", f.img_piaoKuang);
  for (int i = 0; i <= 3; ++i) {
    for (auto [labels, left, points, small_points] : {std::tuple{&f.lbl_playerName, 880, 10.5, 9.0},
                                                      std::tuple{&f.lbl_piaoNum, 985, 12.0, 8.5}}) {
      Label& label = (*labels)[i];
      label.SetVisible(false);
      label.SetAlignment(kAlignCenter);
      label.SetAutoSize(true);
      label.SetFontSize(small ? small_points : points);
      label.Move(left * sx, (142 + 20 * i) * sy);
    }
  }
}

void LayoutCountdownClock(MainForm& f, float sx, float sy, bool small) {
  f.Time_Img.Move(f.Jokra.Left() - 10 * sx, f.Jokra.Top() + f.Jokra.Height() + 20 * sy, 81 * sx,
                  38 * sy);
  f.Number.Move(f.Time_Img.Left() + 48 * sx, f.Time_Img.Top() + 5 * sy, 24 * sx, 24 * sy);
  if (!small) return;
  f.Time_Img.SetLeft(f.Jokra.Left());
  f.Number.SetFontSize(12);
  f.Number.SetLeft(f.Time_Img.Left() + 48 * sx + 2);
}

void LayoutClaimButtons(Client& client, float sx, float sy) {
  MainForm& f = client.main_form;
  f.Operation[0].Move(358 * sx, 461 * sy);
  for (int i = 1; i <= 4; ++i) f.Operation.Load(i);
  for (int i = 0; i <= 4; ++i) {
    ImageControl& button = f.Operation[i];
    button.SetWidth(50 * sx);
    button.SetHeight(71 * sy);
    LoadGifResource(client, client.images.ClaimButtonPics[3 * i], "GIF", button);
    if (i > 0) {
      button.SetTop(f.Operation[0].Top());
      button.SetLeft(f.Operation[i - 1].Left() + f.Operation[0].Width());
    }
    button.SetEnabled(false);
    button.SetVisible(false);
  }
}

void CreateTileImagesAndDice(Client& client) {
  MainForm& f = client.main_form;
  for (int i = 1; i < kWallPositions; ++i) {
    f.MJ_Image.Load(i);
    f.MJ_Image[i].ZOrder(0);
  }
  f.MJ_Image[0].ZOrder(0);
  for (int i = 1; i <= 15; ++i) {
    f.SZ_Image.Load(i);
    LoadGifResource(client, client.images.DicePics[i], "GIF", f.SZ_Image[i]);
  }
  LoadGifResource(client, client.images.DicePics[0], "GIF", f.SZ_Image[0]);
}

void LayoutMessageStripAndChat(MainForm& f, float sx, float sy, bool small) {
  ListBox& upper = f.Sysmsg[0];
  ListBox& lower = f.Sysmsg[1];
  if (small) {
    upper.SetHeight((26 * sy + 4) / 2);
    lower.SetHeight(upper.Height());
    upper.SetTop(696 * sy - 2);
  } else {
    upper.SetHeight(13);
    lower.SetHeight(upper.Height());
    upper.SetTop(696);
  }
  lower.SetTop(upper.Top() + upper.Height());
  f.Lbchat.Move(594 * sx, 694 * sy, 25 * sx, 33 * sy);
  upper.SetWidth(281 * sx);
  upper.SetLeft(312 * sx);
  lower.SetWidth(upper.Width());
  lower.SetLeft(upper.Left());
  upper.SetVisible(true);
  lower.SetVisible(true);
  f.Chat.SetVisible(true);
  f.Chat.Move(312 * sx, 732 * sy, 250 * sx, 33 * sy);
}

void LayoutOwnVideoSpot(MainForm& f, float sx) {
  ImageControl& avatar = f.Tou[0];
  f.vcap1.Move(avatar.Left(), avatar.Top(), avatar.Width(), avatar.Height() - 7 * sx);
  f.Proponeself.Move(f.vcap1.Left() - 10, f.vcap1.Top() - 10, f.vcap1.Width() + 15,
                     f.vcap1.Height() + 35);
  f.Proponeself.SetEnabled(true);
  f.Proponeself.ZOrder(0);
  f.vcap1.SetVisible(false);
}

void LayoutBadges(MainForm& f, float sx, float sy, bool small) {
  struct Place {
    Control* control;
    double left, top, small_left, small_top;
  };
  const Place places[] = {
      {&f.imgBeishu, 10, 248, 10, 311},
      {&f.lblDifen, 62, 249, 74, 312},
      // At the small scale the wealth badge stands under the dice badge, as
      // at full scale, with its value where the badge refresh puts it.
      {&f.Imgwealth, 10, 280, 10, 349},
      {&f.lbwealth, 62, 282, 74, 351},
      {&f.imgsezi[0], 25, 221, 25, 279},
      {&f.imgsezi[1], 55, 221, 55, 279},
  };
  for (const Place& p : places) {
    p.control->Move((small ? p.small_left : p.left) * sx, (small ? p.small_top : p.top) * sy);
    p.control->ZOrder(0);
    p.control->SetVisible(false);
  }
  f.lbwealth.SetFontSize(18);
  f.lblDifen.SetFontSize(18);
  for (int i = 0; i <= 2; ++i) {
    f.lbfont[i].SetVisible(false);
    f.lbfont[i].SetTop((280 + 32 * i) * sy);
    f.lbfont[i].SetLeft(small ? 424 * sx - 10 : 424 * sx);
  }
}

}  // namespace

void LayoutTableWidgets(Client& client) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  const bool small = sx < 1;
  f.Jokra.SetVisible(false);
  LayoutPiaoWidgets(client, sx, sy, small);
  f.ZhiNan.SetVisible(false);
  LayoutCountdownClock(f, sx, sy, small);
  LayoutClaimButtons(client, sx, sy);
  CreateTileImagesAndDice(client);
  LayoutMessageStripAndChat(f, sx, sy, small);
  f.SetFontSize(10);
  f.Bird.Move(936 * sx, 680 * sy, 82 * sx, 80 * sy);
  f.WebBrowser1.SetVisible(false);
  f.WebBrowser1.Move(f.Bird.Left() + 2, f.Bird.Top() + 2, 82 * sx, 80 * sy);
  PlaceStreakSpot(f, sx, sy);
  LoadGifResource(client, 877, "GIF", f.img_lianLaiBack);
  LayoutOwnVideoSpot(f, sx);
  LayoutBadges(f, sx, sy, small);
  client.data.SeatWealth.fill(0);
}

}  // namespace slvn
