#include "shell/client.h"
#include "ui/button_bar.h"

namespace slvn {

namespace {

constexpr double kTwipsPerPixel = 15;
enum CaptionPicture { kNormalPicture = 1, kHoverPicture = 2, kPressedPicture = 3 };

void ShowCaptionPicture(ControlArray<ImageControl>& button, CaptionPicture which) {
  button[0].SetPicture(button[which].Picture());
}

void RestoreCaptionButtons(MainForm& f) {
  if (f.CaptionHoverReady) return;
  f.CaptionHoverReady = true;
  ShowCaptionPicture(f.ImgClose, kNormalPicture);
  ShowCaptionPicture(f.ImgMin, kNormalPicture);
}

}  // namespace

void PaintWindowSkin(Client& client) {
  MainForm& f = client.main_form;
  const Picture& skin = f.Skin.Picture();
  const double w = f.Width(), h = f.Height();
  // (destination x, y, width, height) from (source x, y, width, height), in twips.
  const double pieces[8][8] = {
      {0, 0, 120, 300, 0, 0, 120, 300},
      {120, 0, w - 240, 300, 120, 0, 120, 300},
      {w - 120, 0, 120, 300, 570, 0, 120, 300},
      {0, 300, 120, h - 420, 0, 300, 120, 2880},
      {w - 120, 300, 120, h - 420, 570, 300, 120, 2880},
      {0, h - 120, 120, 120, 0, 3180, 120, 120},
      {120, h - 120, w - 240, 120, 120, 3180, 120, 120},
      {w - 120, h - 120, 120, 120, 570, 3180, 120, 120},
  };
  if (skin) {
    for (const auto& p : pieces)
      f.PaintPicture(skin, p[0], p[1], p[2], p[3], p[4] / kTwipsPerPixel, p[5] / kTwipsPerPixel,
                     p[6] / kTwipsPerPixel, p[7] / kTwipsPerPixel);
  }
  // The window has no icon of its own, so ImgIcon keeps its design place.
  ImageControl& close = f.ImgClose[0];
  ShowCaptionPicture(f.ImgClose, kNormalPicture);
  close.Move(f.Width() - close.Width() - 70, 25);
  close.ZOrder(0);
  ImageControl& min = f.ImgMin[0];
  ShowCaptionPicture(f.ImgMin, kNormalPicture);
  min.Move(close.Left() - min.Width() - 30, 25);
  min.ZOrder(0);
  f.LbMove.Move(290, 0, min.Left() - 290, close.Height() + 50);
  f.lcaption.Move(300, 25);
  f.lcaption.SetForeColor(0xFFFFFF);
}

void CaptionButton_MouseMove(MainForm& f, ControlArray<ImageControl>& button, int index) {
  if (index != 0 || !f.CaptionHoverReady) return;
  ShowCaptionPicture(button, kHoverPicture);
  f.CaptionHoverReady = false;
}

void CaptionButton_MouseDown(ControlArray<ImageControl>& button, int index) {
  if (index == 0) ShowCaptionPicture(button, kPressedPicture);
}

void CaptionButton_MouseUp(ControlArray<ImageControl>& button, int index) {
  if (index == 0) ShowCaptionPicture(button, kHoverPicture);
}

void ImgClose_Click(Client& client, int index) {
  if (index == 0) AnNiu_Click(client, 8);
}

void ImgMin_Click(Client& client, int index) {
  if (index != 0) return;
  AnNiu_Click(client, 4);
  client.main_form.SetWindowState(kMinimized);
}

void LbMove_MouseMove(MainForm& f) {
  f.LbMove.SetMousePointer(1);
  RestoreCaptionButtons(f);
}

void Form_MouseMove(MainForm& f) {
  RestoreCaptionButtons(f);
}

}  // namespace slvn
