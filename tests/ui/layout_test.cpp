#include "ui/layout_table.h"

#include <gtest/gtest.h>

#include "dispatch/turn_commands.h"
#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

struct Box {
  double left, top, width, height;
};

void ExpectBox(const Control& c, Box b, const char* what) {
  EXPECT_DOUBLE_EQ(c.Left(), b.left) << what;
  EXPECT_DOUBLE_EQ(c.Top(), b.top) << what;
  if (b.width >= 0) {
    EXPECT_DOUBLE_EQ(c.Width(), b.width) << what;
    EXPECT_DOUBLE_EQ(c.Height(), b.height) << what;
  }
}

class LayoutTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override { test::LayOutTable(client, GetParam()); }
  bool Small() const { return GetParam() < 1; }
  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

TEST_P(LayoutTest, PlacesChosenControlsAtTheirDesignPlaces) {
  struct Case {
    const char* what;
    const Control& control;
    Box large, small;
  } cases[] = {
      {"Jokra", f.Jokra, {932, 92, 74, 130}, {728.125, 71.875, 74, 130}},
      {"CV_Image", f.CV_Image, {952, 151, 36, 56}, {748.125, 130.875, 36, 56}},
      {"Tou0", f.Tou[0], {10, 668, 85, 90}, {7.8125, 521.875, 66.40625, 70.3125}},
      {"Tou2", f.Tou[2], {350, 15, 70, 62}, {273.4375, 11.71875, 54.6875, 48.4375}},
      {"send button", f.AnNiu[0], {573, 730, 48, 30}, {447.65625, 570.3125, 48, 30}},
      {"exit button", f.AnNiu[8], {858, 731, 55, 31}, {670.3125, 571.09375, 43, 24}},
      {"OK1", f.OK[1], {100, 280, 41, 49}, {85.9375, 218.75, 41, 49}},
      {"Bank", f.Bank, {699, 658, 54, 31}, {546.09375, 514.0625, 42.1875, 24.21875}},
      {"piaoOpt3", f.img_piaoOpt[3], {580, 470, 66, 38}, {453.125, 367.1875, 51.5625, 29.6875}},
      {"piaoKuang",
       f.img_piaoKuang,
       {850, 115, 173, 110},
       {664.0625, 89.84375, 135.15625, 85.9375}},
      {"playerName2", f.lbl_playerName[2], {880, 182, -1, -1}, {687.5, 142.1875, -1, -1}},
      {"piaoNum3", f.lbl_piaoNum[3], {985, 202, -1, -1}, {769.53125, 157.8125, -1, -1}},
      {"Time_Img", f.Time_Img, {922, 242, 81, 38}, {728.125, 217.5, 63.28125, 29.6875}},
      {"Number", f.Number, {970, 247, 24, 24}, {767.625, 221.40625, 18.75, 18.75}},
      {"Operation1", f.Operation[1], {408, 461, 50, 69}, {329.6875, 360.15625, 50, 69}},
      {"Operation4", f.Operation[4], {558, 461, 50, 69}, {479.6875, 360.15625, 50, 69}},
      {"Sysmsg0", f.Sysmsg[0], {312, 696, 281, 13}, {243.75, 541.75, 219.53125, 12.15625}},
      {"Sysmsg1", f.Sysmsg[1], {312, 709, 281, 13}, {243.75, 553.90625, 219.53125, 12.15625}},
      {"Lbchat", f.Lbchat, {594, 694, 25, 33}, {464.0625, 542.1875, 19.53125, 25.78125}},
      {"Chat", f.Chat, {312, 732, 250, 33}, {243.75, 571.875, 195.3125, 25.78125}},
      {"WebBrowser1", f.WebBrowser1, {938, 682, 82, 80}, {733.25, 533.25, 64.0625, 62.5}},
      {"Proponeself", f.Proponeself, {0, 658, 100, 118}, {-2.1875, 511.875, 81.40625, 99.84375}},
      {"imgBeishu", f.imgBeishu, {10, 248, 80, 29}, {7.8125, 242.96875, 80, 29}},
      {"lblDifen", f.lblDifen, {62, 249, -1, -1}, {57.8125, 243.75, -1, -1}},
      {"imgsezi1", f.imgsezi[1], {55, 221, 24, 24}, {42.96875, 217.96875, 24, 24}},
      {"lbfont2", f.lbfont[2], {424, 344, -1, -1}, {321.25, 268.75, -1, -1}},
      {"lianLaiBack",
       f.img_lianLaiBack,
       {420, 270, 150, 150},
       {328.125, 210.9375, 117.1875, 117.1875}},
  };
  for (const Case& c : cases) ExpectBox(c.control, Small() ? c.small : c.large, c.what);
}

TEST_P(LayoutTest, LeavesTheStartStateOfFlagsPicturesAndVisibility) {
  const Data& data = client.data;
  EXPECT_TRUE(data.TableGameOn);
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(data.AnNiuState[i], i == 2) << i;
  // Button 3 carries settings, not the continue picture of pair 3.
  const int settings = Small() ? 387 : 109;
  EXPECT_EQ(f.AnNiu[3].Picture(), LoadResourcePicture(client, settings));
  EXPECT_EQ(f.Operation[2].Picture(), LoadResourcePicture(client, 147));
  for (int i = 0; i <= 15; ++i)
    EXPECT_EQ(f.SZ_Image[i].Picture(), LoadResourcePicture(client, 161 + i)) << i;
  EXPECT_EQ(f.MJ_Image.Count(), 120);
  EXPECT_EQ(f.Cash[0].Font().size, 9);
  EXPECT_EQ(f.Cash[1].Font().size, Small() ? 8 : 9);
  EXPECT_EQ(f.Level[0].Font().size, Small() ? 8 : 10.5);
  EXPECT_EQ(f.Number.Font().size, Small() ? 12 : 18);
  EXPECT_EQ(f.lbl_piaoNum[1].Font().size, Small() ? 8.5 : 12);
  EXPECT_EQ(f.FontSize(), 10);  // the window's own, at both scales
  using Controls = std::initializer_list<const Control*>;
  for (const Control* shown :
       Controls{&f.Sysmsg[0], &f.Sysmsg[1], &f.Chat, &f.Bird, &f.Bank, &f.Tou[3], &f.AnNiu[8]})
    EXPECT_TRUE(shown->Visible());
  for (const Control* hidden :
       Controls{&f.Jokra, &f.OK[0], &f.MJ_Image[119], &f.Operation[0], &f.uc_lianLai,
                &f.img_lianLaiBack, &f.WebBrowser1, &f.vcap1, &f.Time_Img})
    EXPECT_FALSE(hidden->Visible());
  EXPECT_TRUE(f.Proponeself.Enabled());
  EXPECT_EQ(f.Sysmsg[1].Font().size, Small() ? 8 : 9);
  EXPECT_DOUBLE_EQ(f.Pic1.Left(), Small() ? 0 : 120);
  EXPECT_DOUBLE_EQ(f.Pic1.Width(), Small() ? 12000 : 15360);
  EXPECT_DOUBLE_EQ(f.Host.Left(), 6);
  EXPECT_EQ(f.uc_lianLai.Gif().FrameCount(), 0);
}

// Every seat's turn clock and its digits lie on the table, clear of the
// compass and the dealer badge.
TEST_P(LayoutTest, EverySeatsTurnClockLiesOnTheTable) {
  const double width = 1024 * GetParam(), height = 768 * GetParam();
  client.custom[0].SeatWind = 8;
  f.ZhiNan.SetVisible(true);
  f.Host.SetVisible(true);
  auto apart = [](const Control& a, const Control& b) {
    return a.Left() + a.Width() <= b.Left() || b.Left() + b.Width() <= a.Left() ||
           a.Top() + a.Height() <= b.Top() || b.Top() + b.Height() <= a.Top();
  };
  for (int seat = 0; seat <= 3; ++seat) {
    SCOPED_TRACE(seat);
    client.net.Msg.SetByte(packet_offset::kSeat, seat == 0 ? 8 : 1);
    client.net.info.seat = static_cast<uint8_t>(seat);
    HandleTurnPrompt(client);
    for (const Control* c : std::initializer_list<const Control*>{&f.Time_Img, &f.Number}) {
      EXPECT_GE(c->Left(), 0);
      EXPECT_GE(c->Top(), 0);
      EXPECT_LE(c->Left() + c->Width(), width);
      EXPECT_LE(c->Top() + c->Height(), height);
    }
    EXPECT_TRUE(apart(f.Time_Img, f.ZhiNan));
    EXPECT_TRUE(apart(f.Time_Img, f.Host));
  }
}

INSTANTIATE_TEST_SUITE_P(BothScales, LayoutTest, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
