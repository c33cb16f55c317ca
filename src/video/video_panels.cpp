#include "video/video_panels.h"

#include "shell/client.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"
#include "video/video_toolbar.h"

namespace slvn {

namespace {

Picture NamedPicture(std::string_view name) {
  return DecodePicture(NamedAssetBytes(name));
}

// The video panels' own pictures: frames, bars, reopen buttons and the
// toolbar's normal pictures.
void LoadVideoDesign(Client& client) {
  MainForm& f = client.main_form;
  for (int s = 1; s <= 3; ++s) f.ImgKuang[s].SetPicture(NamedPicture("video_frame"));
  f.PicLocal[0].SetPicture(NamedPicture("video_bar_own"));
  for (int s = 1; s <= 3; ++s) f.PicLocal[s].SetPicture(NamedPicture("video_bar"));
  for (int s = 0; s <= 3; ++s) f.ImgShow[s].SetPicture(NamedPicture("video_open"));
  for (int i = 0; i < 16; ++i)
    LoadGifResource(client, ToolbarPicture(i, false), "GIF", *f.ImCmd[i]);
}

void PlaceToolbarIcons(MainForm& f) {
  constexpr double kOwnLefts[] = {10.0 / 3, 24, 136.0 / 3, 64};
  constexpr double kPeerLefts[] = {8, 40, 72, 104};
  constexpr const char* kPeerTips[] = {"屏蔽", "放大", "照相", "加为好友"};
  for (int i = 0; i < 16; ++i) {
    ImageControl& icon = *f.ImCmd[i];
    icon.Move(i < 4 ? kOwnLefts[i] : kPeerLefts[i % 4], 0);
    if (i >= 4) icon.SetToolTipText(kPeerTips[i % 4]);
  }
}

}  // namespace

void LayoutVideoPanels(Client& client) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  LoadVideoDesign(client);
  PlaceToolbarIcons(f);
  // Frames.
  constexpr double kFrameLefts[] = {0, 342, 685};
  for (int s = 1; s <= 3; ++s) {
    f.ImgKuang[s].SetWidth(126 * sx);
    f.ImgKuang[s].SetHeight(105 * sy);
    f.ImgKuang[s].SetTop(3);
    f.ImgKuang[s].SetLeft(kFrameLefts[s - 1] * sx);
    f.ImgKuang[s].SetVisible(false);
  }
  // Title bars: the peers' start where their frames end.
  f.PicLocal[0].Move(9 * sx, 742 * sy, 87 * sx, 17 * sy);
  for (int s = 1; s <= 3; ++s)
    f.PicLocal[s].Move(f.ImgKuang[s].Left() + f.ImgKuang[s].Width(), 88 * sy, 145 * sx, 17 * sy);
  for (int s = 0; s <= 3; ++s) f.PicLocal[s].SetVisible(false);
  for (int s = 0; s <= 3; ++s) f.ImgShow[s].SetVisible(false);
  // Displays, 5 pixels inside their frames.
  for (int s = 1; s <= 3; ++s) {
    if (client.video.vshow[s]) client.video.vshow[s]->DisplayOption1 = true;
    const ImageControl& frame = f.ImgKuang[s];
    f.vshow[s].Move(frame.Left() + 5 * sx, frame.Top() + 5 * sy, frame.Width() - 10 * sx,
                    frame.Height() - 10 * sx);
  }
  for (int s = 1; s <= 3; ++s) f.vshow[s].SetVisible(false);
  // Reopen buttons; the own one keeps its design size.
  constexpr double kShowLefts[] = {32, 380, 720};
  for (int s = 1; s <= 3; ++s) f.ImgShow[s].Move(kShowLefts[s - 1] * sx, 80 * sy, 16 * sx, 14 * sy);
  f.ImgShow[0].Move(104 * sx, 688 * sy, 16, 14);
  // Toolbar icons: the hand pointer on all; scaled down on a small screen.
  for (int i = 1; i < 16; ++i) f.ImCmd[i]->SetMousePointer(f.ImCmd[0]->MousePointer());
  if (sx < 1) {
    for (auto& icon : f.ImCmd) {
      icon->SetStretch(true);
      icon->SetWidth(icon->Width() * sx);
      icon->SetHeight(icon->Height() * sy);
      icon->SetLeft(icon->Left() * sx);
      icon->SetTop(icon->Top() * sy);
    }
  }
}

}  // namespace slvn
