#include "ui/table_reset.h"

#include "chat/talk.h"
#include "plugin/treasure_boxes.h"
#include "shell/client.h"
#include "shell/general.h"
#include "table/seat_records.h"

namespace slvn {

namespace {

constexpr int kSideTiles = 30;

void ComputeTileSizes(Data& data) {
  constexpr int kWidth[] = {36, 48, 30, 48};
  constexpr int kHeight[] = {50, 35, 36, 35};
  for (int v = 0; v < 4; ++v) {
    data.TileWidth[v] = static_cast<int16_t>(RoundHalfEven(kWidth[v] * data.ScaleX));
    data.TileHeight[v] = static_cast<int16_t>(RoundHalfEven(kHeight[v] * data.ScaleY));
  }
}

void HideRunningHandWidgets(Client& client) {
  MainForm& f = client.main_form;
  for (int i = 0; i <= 3; ++i) f.img_piaoOpt[i].SetVisible(false);
  for (int i = 0; i <= 3; ++i) {
    f.lbl_piaoNum[i].SetVisible(false);
    f.lbl_playerName[i].SetVisible(false);
  }
  f.img_piaoKuang.SetVisible(false);
  for (int i = 0; i < kWallPositions; ++i) f.MJ_Image[i].SetVisible(false);
  f.Time_Img.SetVisible(false);
  f.Number.SetVisible(false);
  for (int i = 0; i <= 4; ++i) f.Operation[i].SetVisible(false);
  f.ZhiNan.SetVisible(false);
  f.Host.SetVisible(false);
  f.Zhuang.SetVisible(false);
  for (int i = 0; i <= 2; ++i) f.Speak[i].SetVisible(false);
  f.Words.SetVisible(false);
  for (int i = 0; i <= 5; ++i) f.Chi[i].SetVisible(false);
  for (int i = 0; i <= 4; ++i) f.Gang[i].SetVisible(false);
  HideTalkWindow(client);
}

// Each side's first stack and how the next stacks follow: the bottom and top
// walls step by the width of the previous tile, the left and right walls
// lean right as they climb or descend.
struct WallSide {
  double left, top;   // stack 0, upper tile (design units)
  int step_x_sign;    // bottom -1, top +1: step by the previous tile's width
  double lean_x;      // left and right walls: design step in x
  double step_y;      // design step in y
  double lower_drop;  // lower tile below the upper one
};
constexpr WallSide kSides[] = {
    {809, 476, -1, 0, 0, 22},
    {164, 476, 0, 4, -15, 20},
    {236, 192, 1, 0, 0, 16},
    {748, 192, 0, 4, 15, 20},
};

void PlaceWall(Client& client) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  for (int s = 0; s < 4; ++s)
    for (int i = 0; i < kSideTiles; ++i) {
      ImageControl& tile = f.MJ_Image[kSideTiles * s + i];
      tile.SetWidth(client.data.TileWidth[s]);
      tile.SetHeight(client.data.TileHeight[s]);
    }
  auto place_lower = [&](int upper) {
    ImageControl& top = f.MJ_Image[upper];
    f.MJ_Image[upper + 1].Move(top.Left(), top.Top() + kSides[upper / kSideTiles].lower_drop * sy);
  };
  for (int s = 0; s < 4; ++s) {
    f.MJ_Image[kSideTiles * s].Move(kSides[s].left * sx, kSides[s].top * sy);
    if (s == 3) f.MJ_Image[90].ZOrder(0);
    place_lower(kSideTiles * s);
  }
  for (int k = 1; k <= 14; ++k) {
    for (int s = 0; s < 4; ++s) {
      const WallSide& side = kSides[s];
      const int upper = kSideTiles * s + 2 * k;
      ImageControl& previous = f.MJ_Image[upper - 2];
      double left = side.step_x_sign != 0 ? previous.Left() + side.step_x_sign * previous.Width()
                                          : previous.Left() + side.lean_x * sx;
      f.MJ_Image[upper].Move(left, previous.Top() + side.step_y * sy);
      place_lower(upper);
    }
    f.MJ_Image[2 * k].ZOrder(0);
    f.MJ_Image[2 * k + 1].ZOrder(1);
    f.MJ_Image[60 + 2 * k].ZOrder(0);
    f.MJ_Image[61 + 2 * k].ZOrder(1);
    f.MJ_Image[91 + 2 * k].ZOrder(0);
    f.MJ_Image[90 + 2 * k].ZOrder(0);
  }
  f.MJ_Image[0].ZOrder(0);
  f.MJ_Image[2].ZOrder(0);
  for (int k = 0; k <= 14; ++k) {
    f.MJ_Image[59 - 2 * k].ZOrder(0);
    f.MJ_Image[58 - 2 * k].ZOrder(0);
  }
  f.MJ_Image[61].ZOrder(1);
  f.MJ_Image[63].ZOrder(1);
}

struct SeatOrigins {
  double hand_x, hand_y, discard_x, discard_y;
};
constexpr SeatOrigins kOrigins[] = {
    {19, 564, 358, 438}, {163, 192, 287, 238}, {842, 122, 635, 238}, {942, 560, 758, 438}};

void SetSeatOrigins(Client& client) {
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  auto round = [](double v) { return static_cast<int16_t>(RoundHalfEven(v)); };
  for (int seat = 0; seat < kSeatCount; ++seat) {
    client.custom[seat].HandX = round(kOrigins[seat].hand_x * sx);
    client.custom[seat].HandY = round(kOrigins[seat].hand_y * sy);
  }
  for (int seat = 0; seat < kSeatCount; ++seat) {
    PlayerHand& hand = client.custom[seat];
    hand.DiscardOriginX = round(kOrigins[seat].discard_x * sx);
    hand.DiscardOriginY = round(kOrigins[seat].discard_y * sy);
    hand.DiscardX = hand.DiscardOriginX;
    hand.DiscardY = hand.DiscardOriginY;
  }
}

void ResetMultiplierBadges(Client& client) {
  MainForm& f = client.main_form;
  f.lblDifen.SetCaption("1");
  f.lblDifen.SetVisible(false);
  f.imgsezi[0].SetVisible(false);
  f.imgsezi[1].SetVisible(false);
  f.imgBeishu.SetVisible(false);
  f.LbProp.SetVisible(false);
  for (int i = 0; i <= 2; ++i) f.lbfont[i].SetVisible(false);
  if (client.data.WealthMultiplier == 0) {
    f.lbwealth.SetCaption("1");
    f.lbwealth.SetVisible(false);
    f.Imgwealth.SetVisible(false);
  }
}

}  // namespace

void ClearTableTiles(Client& client) {
  Data& data = client.data;
  MainForm& f = client.main_form;
  data.LastTileImage = -1;
  data.PrevBlinkImage = -1;
  ComputeTileSizes(data);
  if (TableLaidOut(f)) {
    for (int i = 0; i < kWallPositions; ++i) f.MJ_Image[i].SetVisible(false);
    for (int i = 0; i <= 4; ++i) {
      f.Operation[i].SetEnabled(false);
      f.Operation[i].SetVisible(false);
    }
  }
  for (std::string& name : client.net.SeatNames) name.clear();
  f.CV_Image.SetVisible(false);
  if (!data.WatchMode) f.Zhuang.SetCaption("");
}

void ResetTableView(Client& client) {
  client.data.PiaoCountdownOn = false;
  client.data.PiaoChoicePending = false;
  const bool laid_out = TableLaidOut(client.main_form);
  if (laid_out) HideRunningHandWidgets(client);
  ComputeTileSizes(client.data);
  if (laid_out) PlaceWall(client);
  SetSeatOrigins(client);
  PropState& prop = client.prop;
  prop.PluginShutdownPending = false;
  prop.SheetHandOver = 0;
  prop.DrawnHandOver = false;
  prop.ScoreHandOver = false;
  prop.PropScoreReady = false;
  prop.ItemBarCleared = false;
  EndTreasureBoxStage(client, /*shutdown=*/false);
  client.main_form.Bank.SetVisible(true);
  client.main_form.Bank.ZOrder(0);
  ResetMultiplierBadges(client);
}

void ClearTableForNextHand(Client& client) {
  ClearTableTiles(client);
  ResetTableView(client);
  ClearPlayerInfo(client);
  client.data.TableCleared = true;
}

}  // namespace slvn
