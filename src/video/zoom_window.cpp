#include "video/zoom_window.h"

#include "shell/client.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"

namespace slvn {

namespace {

struct StepSize {
  double width, height;              // the window, twips
  double video_width, video_height;  // its display
  double video_left, video_top;
};

constexpr StepSize kSteps[] = {
    {2625, 2070, 2400, 1800, 110, 230},
    {4140, 3225, 3840, 2880, 150, 240},
    {6510, 5115, 6000, 4500, 240, 480},
};

void LoadSkin(Client& client, ZoomWindow& w, int step) {
  const auto id = ResourceNumber(client.images.VideoFramePics[static_cast<size_t>(step)]);
  if (id) LoadGifResource(client, *id + w.SkinOffset, "GIF", w);
}

void SizeDisplay(Client& client, ZoomWindow& w, int step) {
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  const StepSize& s = kSteps[step];
  w.vshow.SetWidth(s.video_width * sx);
  w.vshow.SetHeight(s.video_height * sy);
  w.vshow.SetTop(s.video_top * sy);
  w.vshow.SetLeft(s.video_left * sx);
}

// Where a step change puts the window, from the main window's place now.
// The large frm_Remote2's left edge and the large frm_Local's top edge are
// measured from the screen's edge, not the main window's: a table moved
// right or down leaves them where an unmoved table would have them.
void Place(Client& client, ZoomWindow& w, int step) {
  const MainForm& m = client.main_form;
  const double MW = m.Width(), MH = m.Height(), ML = m.Left(), MT = m.Top();
  const double W = w.Width(), H = w.Height();
  if (step != ZoomWindow::kLarge) {
    w.SetTop((MH - H) / 2 + MT + (w.seat == 0 ? 0.2 : -0.2) * MH);
    w.SetLeft((MW - W) / 2 + ML + (w.seat == 2 ? 0.2 : -0.2) * MW);
    return;
  }
  w.SetLeft(w.seat == 2 ? MW - W - 0.05 * MW : ML + 0.05 * MW);
  w.SetTop(w.seat == 0 ? MH - H - 0.07 * MH : MT + 0.07 * MH);
}

void ScaleButton(ImageControl& b, double factor) {
  b.SetWidth(b.Width() * factor);
  b.SetHeight(b.Height() * factor);
}

void LayOutButtons(Client& client, ZoomWindow& w, int step, int from) {
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  if (step == ZoomWindow::kNormal) {
    constexpr double kLefts[] = {3750, 3380, 3000};
    for (int i = 0; i < 3; ++i) {
      w.ImgCmd[i].SetLeft(kLefts[i] * sx);
      ScaleButton(w.ImgCmd[i], from == ZoomWindow::kSmall ? 1.5 : 2.0 / 3);
      w.ImgCmd[i].SetTop(0);
    }
    return;
  }
  const bool large = step == ZoomWindow::kLarge;
  const double factor = large ? 1.5 : 2.0 / 3, margin = large ? 150 : 80, top = large ? 80 : 30;
  for (int i = 0; i < 3; ++i) {
    ImageControl& b = w.ImgCmd[i];
    ScaleButton(b, factor);
    const double right = i == 0 ? w.Width() - margin * sx : w.ImgCmd[i - 1].Left() - 60 * sx;
    b.SetLeft(right - b.Width());
    b.SetTop(top * sy);
  }
}

void GoToStep(Client& client, ZoomWindow& w, int step) {
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  const int from = w.step;
  LoadSkin(client, w, step);
  w.SetWidth(kSteps[step].width * sx);
  w.SetHeight(kSteps[step].height * sy);
  Place(client, w, step);
  SizeDisplay(client, w, step);
  w.step = step;
  client.data.ZoomTarget = static_cast<int16_t>(w.seat);
  client.main_form.Timer_Zoom.SetEnabled(true);
  LayOutButtons(client, w, step, from);
}

Picture NamedPicture(std::string_view name) {
  return DecodePicture(NamedAssetBytes(name));
}

}  // namespace

ZoomWindow::ZoomWindow(Forms& forms, int seat_number) : Form(forms), seat(seat_number) {
  SetVisible(false);
  SetTopmost(true);
  constexpr const char* kArt[] = {"zoom_close", "zoom_enlarge", "zoom_shrink"};
  constexpr const char* kTips[] = {"关闭", "放大", "缩小"};
  ImgCmd[0].SetStretch(true);
  for (int i = 1; i < 3; ++i) ImgCmd.Load(i);
  for (int i = 0; i < 3; ++i) {
    ImgCmd[i].SetPicture(NamedPicture(kArt[i]));
    ImgCmd[i].SetVisible(true);
    if (seat == 0) ImgCmd[i].SetToolTipText(kTips[i]);
  }
}

ZoomWindow& ZoomWindowOf(Client& client, int seat) {
  switch (seat) {
    case 0:
      return client.frm_Local;
    case 1:
      return client.frm_Remote1;
    case 2:
      return client.frm_Remote2;
    default:
      return client.frm_Remote3;
  }
}

void ZoomWindow_Load(Client& client, ZoomWindow& w) {
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  w.SkinOffset = sx < 1 ? 3 : 0;
  w.step = ZoomWindow::kNormal;
  LoadSkin(client, w, ZoomWindow::kNormal);
  if (VShow* display = client.video.zoom[w.seat].get()) {
    display->DisplayOption0 = true;
    display->DisplayOption1 = true;
  }
  w.SetWidth(kSteps[ZoomWindow::kNormal].width * sx);
  w.SetHeight(kSteps[ZoomWindow::kNormal].height * sy);
  SizeDisplay(client, w, ZoomWindow::kNormal);
  for (int i = 0; i < 3; ++i) {
    ImageControl& b = w.ImgCmd[i];
    b.SetWidth(225 * sx);
    b.SetHeight(240 * sy);
    b.SetLeft(w.Width() - w.vshow.Left() - (i + 1) * b.Width() - 0.5 * i * b.Width());
    b.SetTop(0);
  }
}

void ZoomWindow_MouseDown(ZoomWindow& w, int button) {
  if (button == kLeftButton) w.BeginSystemMove();
}

void ZoomWindow_ImgCmd_Click(Client& client, ZoomWindow& w, int index) {
  switch (index) {
    case 0:
      w.Unload();
      break;
    case 1:
      if (w.step < ZoomWindow::kLarge) GoToStep(client, w, w.step + 1);
      break;
    case 2:
      if (w.step > ZoomWindow::kSmall) GoToStep(client, w, w.step - 1);
      break;
    default:
      break;
  }
}

void ConnectZoomWindows(Client& client) {
  for (int seat = 0; seat < 4; ++seat) {
    ZoomWindow& w = ZoomWindowOf(client, seat);
    w.OnLoad = [&client, &w] { ZoomWindow_Load(client, w); };
    w.MouseDown = [&w](int button, int, double, double) { ZoomWindow_MouseDown(w, button); };
    w.ImgCmd.Click = [&client, &w](int index) { ZoomWindow_ImgCmd_Click(client, w, index); };
  }
}

}  // namespace slvn
