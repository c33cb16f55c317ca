#include "ui/main_form.h"

#include <string_view>

#include "platform/event_loop.h"
#include "shell/client.h"
#include "shell/resources/embedded.h"

namespace slvn {

namespace {

constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kLightCyan = 0xFFFF80;
constexpr double kDefaultFontPoints = 9;  // the window's default font

// Loads elements 1..count-1 of an array, as the window's design has them.
template <class T>
void LoadDesignElements(ControlArray<T>& array, int count) {
  for (int i = 1; i < count; ++i) array.Load(i);
}

void SetTransparentLabel(Label& label, uint32_t color, double points, bool bold = false) {
  label.SetBackStyle(kBackTransparent);
  label.SetForeColor(color);
  label.SetFontSize(points);
  label.SetFontBold(bold);
}

void SetHiddenPicture(ImageControl& image, bool stretch, double width = 0, double height = 0) {
  image.SetVisible(false);
  image.SetStretch(stretch);
  if (width > 0) image.Move(image.Left(), image.Top(), width, height);
}

Picture NamedPicture(std::string_view name) {
  return DecodePicture(NamedAssetBytes(name));
}

// Elements 1..3 hold the normal, hover and pressed pictures; element 0 shows one.
void WireCaptionButton(Client& client, ControlArray<ImageControl>& button, const std::string& art,
                       void (*click)(Client&, int)) {
  MainForm& f = client.main_form;
  for (int i = 1; i <= 3; ++i) button[i].SetPicture(NamedPicture(art + std::to_string(i - 1)));
  button[0].SetPicture(button[1].Picture());
  button.Click = [&client, click](int index) { click(client, index); };
  button.MouseMove = [&f, &button](int index, int, int, double, double) {
    CaptionButton_MouseMove(f, button, index);
  };
  button.MouseDown = [&button](int index, int, int, double, double) {
    CaptionButton_MouseDown(button, index);
  };
  button.MouseUp = [&button](int index, int, int, double, double) {
    CaptionButton_MouseUp(button, index);
  };
}

}  // namespace

MainForm::MainForm(Forms& forms)
    : Form(forms),
      TimerBong(forms.Loop()),
      TimerKeepAlive(forms.Loop()),
      TimerChat(forms.Loop()),
      TimerShuffle(forms.Loop()),
      TimerProp(forms.Loop()),
      WebBrowser1(&Pic1, forms.Loop()),
      WebBrowser2(&Pic1, forms.Loop()) {
  TimerBong.SetInterval(50);
  TimerKeepAlive.SetInterval(5000);
  TimerShuffle.SetInterval(300);
  TimerProp.SetInterval(50);

  // The large window with its painted frame; start-up sets the geometry
  // for the screen it finds.
  Move(0, 0, 15600, 11940);
  Pic1.Move(120, 300, 15360, 11520);
  Pic1.SetScaleMode(ScaleMode::kPixels);
  Pic1.SetBackColor(0);
  Pic2.Move(120, 300, 12000, 9000);
  Pic2.SetScaleMode(ScaleMode::kPixels);
  Pic2.SetVisible(false);
  SZ_Image[0].SetStretch(true);
  SZ_Image[0].Move(1500, 1500, 750, 840);  // under the table area: never seen
  Skin.SetVisible(false);
  lcaption.SetCaption("Selvarin");
  lcaption.SetBackStyle(kBackTransparent);
  lcaption.SetAutoSize(true);
  LbMove.SetBackStyle(kBackTransparent);
  ImgMin[0].SetToolTipText("最小化");
  ImgClose[0].SetToolTipText("关闭");
  LoadDesignElements(ImgMin, 4);
  LoadDesignElements(ImgClose, 4);

  SetHiddenPicture(Jokra, true, 74, 130);
  SetHiddenPicture(CV_Image, true, 36, 56);
  Tou[0].SetStretch(true);
  AnNiu[0].SetMousePointer(kPointerCustom);
  SetHiddenPicture(OK[0], true, 41, 49);
  SetHiddenPicture(Bank, true, 54, 31);
  Bank.SetMousePointer(kPointerCustom);
  Bank.SetToolTipText("单击打开您的道具仓库");
  SetHiddenPicture(img_lianLaiBack, true);
  uc_lianLai.SetVisible(false);
  // The room caption's design: green 12-point text on the table.
  Location.Move(760, 668, 161, 25);
  Location.SetBackStyle(kBackTransparent);
  Location.SetForeColor(0x00FF00);
  Location.SetFontSize(12);
  ImgShuffle.SetVisible(false);
  // The seat-change caption, written on the left of its notice picture.
  SetTransparentLabel(LblShuffle, kYellow, 15.75, true);
  LblShuffle.Move(0, 0, 320, 32);
  LblShuffle.SetAlignment(kAlignCenter);
  LblShuffle.SetVisible(false);
  // The seat labels: light cyan, left-aligned, fixed size; the level title in 10.5-point 宋体.
  for (auto [label, height] :
       {std::pair{&Nid[0], 25}, std::pair{&Cash[0], 17}, std::pair{&Level[0], 17}}) {
    SetTransparentLabel(*label, kLightCyan, kDefaultFontPoints);
    label->SetAlignment(kAlignLeft);
    label->Move(0, 0, 161, height);
  }
  Level[0].SetFontName("宋体");
  Level[0].SetFontSize(10.5);
  imgLocation.SetVisible(true);
  for (ImageControl* area : {&imgword1, &imgword2}) {
    area->SetMousePointer(kPointerCustom);
    area->Move(0, 0, 57, 13);
  }

  SetHiddenPicture(img_piaoOpt[0], false);
  LoadDesignElements(img_piaoOpt, 4);
  lbl_playerName[0].SetCaption("玩家");
  lbl_piaoNum[0].SetCaption("3");
  for (auto [labels, points] : {std::pair{&lbl_playerName, 10.5}, std::pair{&lbl_piaoNum, 12.0}}) {
    Label& label = (*labels)[0];
    SetTransparentLabel(label, kYellow, points, true);
    label.SetAlignment(kAlignCenter);
    label.SetAutoSize(true);
    label.SetVisible(false);
    LoadDesignElements(*labels, 4);
  }
  SetHiddenPicture(ZhiNan, true, 77, 77);
  SetHiddenPicture(Time_Img, true, 81, 38);
  Number.SetCaption("9");
  SetTransparentLabel(Number, kGreen, 18);
  Number.SetAlignment(kAlignCenter);
  Number.SetVisible(false);
  Operation[0].SetMousePointer(kPointerCustom);
  SetHiddenPicture(MJ_Image[0], true, 52, 59);
  SetHiddenPicture(Sai_Image[0], false);
  LoadDesignElements(Sai_Image, 2);
  SetHiddenPicture(Host, false);
  SetTransparentLabel(Zhuang, kYellow, 10.5, true);
  Zhuang.SetAutoSize(true);
  SetHiddenPicture(Speak[0], false);
  LoadDesignElements(Speak, 3);
  SetHiddenPicture(Words, false);
  SetHiddenPicture(Chi[0], false);
  LoadDesignElements(Chi, 6);
  SetHiddenPicture(Gang[0], false);
  LoadDesignElements(Gang, 5);
  SetHiddenPicture(ImgProp[0], false);
  SetTransparentLabel(LbProp, kYellow, 12, true);
  LbProp.SetVisible(false);

  Sysmsg[0].SetBackColor(0);
  Sysmsg[0].SetForeColor(0x80FF80);
  LoadDesignElements(Sysmsg, 2);
  Lbchat.SetBackStyle(kBackTransparent);
  Lbchat.SetMousePointer(kPointerCustom);
  Chat.SetBackColor(0);
  Chat.SetForeColor(0xFFFF80);
  Chat.SetFontSize(15.75);
  Chat.SetMaxLength(100);
  Bird.SetStretch(true);
  Bird.Move(0, 0, 82, 80);
  WebBrowser1.SetVisible(false);
  WebBrowser2.SetVisible(false);
  vcap1.SetVisible(false);
  Proponeself.SetBackStyle(kBackTransparent);
  Proponeself.SetEnabled(false);
  SetHiddenPicture(imgBeishu, true, 80, 29);
  SetHiddenPicture(Imgwealth, true, 80, 29);
  for (auto [label, caption] : {std::pair{&lblDifen, "1"}, std::pair{&lbwealth, "10"}}) {
    label->SetCaption(caption);
    SetTransparentLabel(*label, kGreen, 18);
    label->SetAutoSize(true);
    label->SetVisible(false);
  }
  SetHiddenPicture(imgsezi[0], false);
  LoadDesignElements(imgsezi, 2);
  Label& legend = lbfont[0];
  SetTransparentLabel(legend, kYellow, 14.25, true);
  legend.SetFontName("楷体_GB2312");
  legend.SetAlignment(kAlignCenter);
  legend.SetVisible(false);
  legend.Move(0, 0, 180, 24);
  LoadDesignElements(lbfont, 3);
  lbfont[0].SetCaption("骰子点数加倍");
  lbfont[1].SetCaption("最少金币定倍数");
  lbfont[2].SetCaption("个人金币数封顶");

  // Video chat: the frames, displays and title bars that exist from the start.
  ImgKuang[0].SetVisible(false);
  ImgKuang[0].SetStretch(true);
  LoadDesignElements(ImgKuang, 4);
  vshow[0].SetVisible(false);
  LoadDesignElements(vshow, 4);
  PicLocal[0].SetScaleMode(ScaleMode::kPixels);
  PicLocal[0].SetVisible(false);
  LoadDesignElements(PicLocal, 4);
  for (size_t i = 0; i < ImCmd.size(); ++i)
    ImCmd[i] = std::make_unique<ImageControl>(&PicLocal[static_cast<int>(i / 4)]);
  ImCmd[0]->SetMousePointer(kPointerCustom);
  ImgShow[0].SetStretch(true);
  ImgShow[0].SetToolTipText("打开视频");
  ImgShow[0].SetMousePointer(kPointerCustom);
  LoadDesignElements(ImgShow, 4);
  Tiplbl.SetVisible(false);
  Timer_Vshow1.SetInterval(30);
  Timer_Vshow2.SetInterval(30);
  Timer_Vshow3.SetInterval(30);
  Timer_Zoom.SetInterval(100);
}

void LoadMainFormDesign(Client& client) {
  MainForm& f = client.main_form;
  f.Pic1.SetPicture(NamedPicture("table_1024"));
  f.Pic2.SetPicture(NamedPicture("table_800"));
  f.Skin.SetPicture(NamedPicture("window_skin"));
  f.Jokra.SetPicture(NamedPicture("wild_box"));
  f.OK[0].SetPicture(NamedPicture("ready_mark"));
  f.Time_Img.SetPicture(NamedPicture("time_plate"));
  f.Bird.SetPicture(NamedPicture("bird"));
  f.imgBeishu.SetPicture(NamedPicture("dice_badge"));
  f.Imgwealth.SetPicture(NamedPicture("wealth_badge"));
  f.imgLocation.SetPicture(NamedPicture("phrase_strip"));
  f.ImgShuffle.SetPicture(NamedPicture("shuffle_notice"));
  f.Host.SetPicture(NamedPicture("dealer_badge"));
  for (int i = 0; i < f.Speak.Count(); ++i)
    f.Speak[i].SetPicture(NamedPicture("claim_bubble_" + std::to_string(i)));
  constexpr int kDesignTile = 345;  // an own standing tile
  LoadGifResource(client, kDesignTile, "GIF", f.CV_Image);
  LoadGifResource(client, kDesignTile, "GIF", f.MJ_Image[0]);
  LoadGifResource(client, 161, "GIF", f.SZ_Image[0]);
  LoadGifResource(client, 450, "GIF", f.Bank);
  LoadGifResource(client, 126, "GIF", f.ZhiNan);
  for (int i = 0; i < f.imgsezi.Count(); ++i) LoadGifResource(client, 600 + i, "GIF", f.imgsezi[i]);
  WireCaptionButton(client, f.ImgClose, "caption_close_", ImgClose_Click);
  WireCaptionButton(client, f.ImgMin, "caption_min_", ImgMin_Click);
  f.LbMove.MouseMove = [&f](int, int, double, double) { LbMove_MouseMove(f); };
  f.MouseMove = [&f](int, int, double, double) { Form_MouseMove(f); };
}

void PlaceTableArea(Client& client, bool tall, bool wide) {
  MainForm& f = client.main_form;
  f.Pic1.SetHeight(tall ? f.Height() - 420 : f.Height());
  f.Pic1.SetTop(tall ? 300 : 0);
  f.Pic1.SetWidth(wide ? f.Width() - 240 : f.Width());
  f.Pic1.SetLeft(wide ? 120 : 0);
}

void PrepareSmallLayout(Client& client) {
  MainForm& f = client.main_form;
  f.Pic1.SetPicture(nullptr);
  f.Pic1.SetPicture(f.Pic2.Picture());
  f.Pic1.ZOrder(1);
  f.Host.Move(6, 192);
  f.Zhuang.Move(45, 192);
  f.Sysmsg[0].SetFontSize(8);
  f.Sysmsg[1].SetFontSize(8);
  // Above the dealer badge, below the left seat's avatar, left of where the
  // left seat's speech bubble starts.
  f.ZhiNan.Move(0, 112);
}

// The full table's own places of the compass and the dealer badge, under the
// left seat: the badge's clock for the left seat (20 below it) ends above the
// small dice, the top seat's (40 above it) clears the top avatar, and the
// compass stands beside them.
void PrepareFullLayout(Client& client) {
  MainForm& f = client.main_form;
  f.Host.Move(6, 118);
  f.Zhuang.Move(47, 128);
  f.ZhiNan.Move(72, 98);
}

bool TableLaidOut(const MainForm& f) {
  return f.MJ_Image.Exists(kWallPositions - 1) && f.SZ_Image.Exists(15) && f.Operation.Exists(4);
}

}  // namespace slvn
