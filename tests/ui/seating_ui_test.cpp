#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "platform/renderer.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "support/fake_video.h"
#include "support/headless.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
#include "table/seat_records.h"
#include "ui/player_card.h"
#include "ui/seat_draw.h"
#include "ui/table_reset.h"
#include "ui/wealth_badge.h"

namespace slvn {
namespace {

class SeatingUiTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override {
    test::LayOutTable(client, GetParam());
    client.video = test::MakeRecordingVideoControls(video);
    WirePlayerCard(client);
  }
  bool Small() const { return GetParam() < 1; }
  Picture Resource(const std::string& number) {
    return LoadResourcePicture(client, *ResourceNumber(number));
  }

  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
  test::VideoCallLog video;
};

TEST_P(SeatingUiTest, SeatLabelsAndThePhraseStripStandAtTheirPlaces) {
  struct Case {
    const Control& control;
    double left, top, small_left, small_top;
  } cases[] = {
      {f.Nid[0], 181, 700, 141.40625, 546.875},  {f.Cash[0], 181, 724, 141.40625, 565.625},
      {f.Level[0], 181, 744, 141.40625, 581.25}, {f.Nid[1], 165, 15, 128.90625, 11.71875},
      {f.Level[2], 509, 64, 397.65625, 50},      {f.Nid[3], 852, 15, 665.625, 11.71875},
      {f.Cash[3], 852, 40, 665.625, 31.25},      {f.Level[3], 852, 64, 665.625, 50},
      {f.Location, 760, 668, 593.75, 521.875},   {f.imgword1, 640, 659, 500, 514.84375},
      {f.imgword2, 640, 675, 500, 527.34375},    {f.imgLocation, 632, 654, 493.75, 510.9375},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(c.control.Left(), Small() ? c.small_left : c.left);
    EXPECT_DOUBLE_EQ(c.control.Top(), Small() ? c.small_top : c.top);
  }
  // The labels keep their design sizes; the strip and its click areas shrink.
  EXPECT_DOUBLE_EQ(f.Nid[2].Width(), 161);
  EXPECT_DOUBLE_EQ(f.Cash[1].Height(), 17);
  EXPECT_DOUBLE_EQ(f.imgLocation.Width(), Small() ? 307.8125 : 394);
  EXPECT_DOUBLE_EQ(f.imgLocation.Height(), Small() ? 30.46875 : 39);
  EXPECT_DOUBLE_EQ(f.imgword2.Width(), Small() ? 44.53125 : 57);
  EXPECT_TRUE(f.imgLocation.Stretch());
  EXPECT_EQ(f.Nid[1].ForeColor(), 0xFFFF80u);
  EXPECT_EQ(f.Level[1].Font().size, Small() ? 8 : 10.5);
}

TEST_P(SeatingUiTest, TheWindDrawCentresFourTilesAndTheCompassShowsTheOwnWind) {
  ClearTableTiles(client);
  ResetTableView(client);
  ClearPlayerInfo(client);
  for (uint8_t wind : {8, 4, 2, 1, 0}) {
    SCOPED_TRACE(static_cast<int>(wind));
    client.custom[0].SeatWind = wind;
    const int index = wind == 8 ? 3 : wind == 4 ? 2 : wind == 2 ? 1 : 0;
    ShowSeatDraw(client, static_cast<int16_t>(index));
    const double w = Small() ? 28 : 36, h = Small() ? 39 : 50;
    int turned = 0;
    for (int i = 0; i < 4; ++i) {
      const ImageControl& tile = f.MJ_Image[i];
      EXPECT_DOUBLE_EQ(tile.Left(), (Small() ? 344 : 440) + i * w);
      EXPECT_DOUBLE_EQ(tile.Top(), Small() ? 261 : 334);
      EXPECT_DOUBLE_EQ(tile.Width(), w);
      EXPECT_DOUBLE_EQ(tile.Height(), h);
      EXPECT_FALSE(tile.Visible());
      if (tile.Picture() == Resource(client.images.TilePics[147 - index])) ++turned;
    }
    EXPECT_EQ(turned, 1);
    ShowCompass(client);
    EXPECT_TRUE(f.ZhiNan.Visible());
    EXPECT_EQ(f.ZhiNan.Picture(), Resource(client.images.CompassPics[index]));
    EXPECT_EQ(client.custom[0].SeatWind, wind == 0 ? 1 : wind);  // an unknown seat becomes North
  }
}

TEST_P(SeatingUiTest, TheWealthBadgeShowsTheSmallestValueAboveZero) {
  struct Case {
    std::array<int32_t, 4> wealth;
    const char* caption;
    double points;
    double left, top, small_left, small_top;
  } cases[] = {
      {{0, 5, 3, 0}, "3", 18, 62, 282, 74 * 0.78125, 351 * 0.78125},
      {{0, 0, 0, 0}, "0", 18, 62, 282, 74 * 0.78125, 351 * 0.78125},
      {{150, 0, 120, 0}, "120", 13, 58, 284, 72 * 0.78125, 355 * 0.78125},
      {{99, 100, 0, 0}, "99", 18, 62, 282, 74 * 0.78125, 351 * 0.78125},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    client.data.SeatWealth = c.wealth;
    f.Imgwealth.SetVisible(false);
    RefreshWealthBadge(client);
    EXPECT_EQ(f.lbwealth.Caption(), c.caption);
    EXPECT_EQ(f.lbwealth.Font().size, c.points);
    EXPECT_DOUBLE_EQ(f.lbwealth.Left(), Small() ? c.small_left : c.left);
    EXPECT_DOUBLE_EQ(f.lbwealth.Top(), Small() ? c.small_top : c.top);
    EXPECT_TRUE(f.Imgwealth.Visible());
    EXPECT_TRUE(f.lbwealth.Visible());
    // The value stands on its badge, and the badge under the dice badge.
    const double badge_w = 80, badge_h = 29;  // pixels at both scales
    EXPECT_GT(f.lbwealth.Left(), f.Imgwealth.Left());
    EXPECT_LT(f.lbwealth.Left(), f.Imgwealth.Left() + badge_w);
    EXPECT_GE(f.lbwealth.Top(), f.Imgwealth.Top());
    EXPECT_LT(f.lbwealth.Top(), f.Imgwealth.Top() + badge_h);
    EXPECT_GE(f.Imgwealth.Top(), f.imgBeishu.Top() + badge_h);
  }
}

// The dice and wealth values stand after the ×s their badges print: on the
// screen, the value's ink begins right of the cross's, at both scales, for
// a value of one digit and one of three in the smaller font.
TEST_P(SeatingUiTest, TheBadgeValuesStandAfterTheirCrosses) {
  test::UseHeadlessSdl();
  f.imgBeishu.SetVisible(true);
  f.lblDifen.SetCaption("7");
  Renderer renderer;
  for (auto [badge, value, wealth] :
       {std::tuple{&f.imgBeishu, &f.lblDifen, 0}, std::tuple{&f.Imgwealth, &f.lbwealth, 3},
        std::tuple{&f.Imgwealth, &f.lbwealth, 120}}) {
    if (wealth) {
      client.data.SeatWealth = {0, wealth, 0, 0};
      RefreshWealthBadge(client);
    }
    SCOPED_TRACE(value->Caption());
    const test::PixelRect at = test::FormPixels(*badge);
    const Image& art = *badge->Picture();
    // The cross: the art's green, right of the badge's words.
    int cross_right = -1;
    for (int y = 0; y < art.height; ++y)
      for (int x = 0; x < art.width; ++x) {
        const uint32_t p = art.At(x, y);
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if ((p >> 24) == 0xFF && g > 150 && g > r + 60 && g > b + 40)
          cross_right = std::max(cross_right, x);
      }
    ASSERT_GT(cross_right, 0);
    // The value's ink: what showing it changes on the main window.
    value->SetVisible(false);
    renderer.Draw(f);
    std::vector<uint32_t> bare;
    for (int y = 0; y < renderer.Height(); ++y)
      for (int x = 0; x < renderer.Width(); ++x) bare.push_back(renderer.PixelAt(x, y));
    value->SetVisible(true);
    renderer.Draw(f);
    int left = renderer.Width(), right = -1, top = renderer.Height(), bottom = -1;
    for (int y = 0; y < renderer.Height(); ++y)
      for (int x = 0; x < renderer.Width(); ++x)
        if (renderer.PixelAt(x, y) != bare[y * renderer.Width() + x]) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GE(right, left);
    EXPECT_GT(left, at.x + cross_right) << "the value's ink begins at " << left - at.x;
    EXPECT_LT(right, at.x + at.width);
    EXPECT_GE(top, at.y);
    EXPECT_LT(bottom, at.y + at.height);
  }
}

TEST_P(SeatingUiTest, TheCardShowsTheSeatsRowsAtItsPlace) {
  UserDetail& d = client.Detail[2];
  d.name = "卡萝";
  d.sex = 0;
  d.area = "杭州";
  d.score = 1234;
  d.credit = 0;
  d.logins = 4294967295LL;
  d.drops = 1;
  d.wins = 7;
  d.losses = 3;
  f.Level.MouseMove(2, 0, 0, 5, 5);  // the level label forwards to the avatar's handler
  InformationForm& card = client.Information;
  ASSERT_TRUE(card.Visible());
  const char* rows[] = {"卡萝", "女", "杭州", "1234", "0", "4294967295", "1", "7", "3"};
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(card.Inf[k].Caption(), rows[k]) << k;
    EXPECT_DOUBLE_EQ(card.Inf[k].Top(), 600 + 480 * k) << k;
    EXPECT_DOUBLE_EQ(card.Inf[k].Left(), 1920) << k;
    EXPECT_EQ(card.Inf[k].Font().size, 12) << k;
  }
  EXPECT_EQ(card.Label3.Caption(), "所 在 地");
  EXPECT_EQ(card.Alpha(), 200);
  EXPECT_DOUBLE_EQ(card.Top(), f.Top() + f.Pic1.Top() + 0.11 * f.Pic1.Height());
  EXPECT_DOUBLE_EQ(card.Left(),
                   f.Left() + f.Pic1.Left() + static_cast<int>(std::nearbyint(f.Pic1.Width())) / 3);
  // Shown already: another seat's avatar leaves it as it is.
  client.Detail[1].name = "鲍勃";
  Tou_MouseMove(client, 1, 0, 0, 0, 0);
  EXPECT_EQ(card.Inf[0].Caption(), "卡萝");
  card.Hide();
  // The own seat's card stands lower; an empty seat shows none.
  client.Detail[0].name = "我";
  client.Detail[0].sex = 255;
  Tou_MouseMove(client, 0, 0, 0, 0, 0);
  EXPECT_EQ(card.Inf[1].Caption(), "男");
  EXPECT_DOUBLE_EQ(card.Left(), f.Left() + f.Pic1.Left());
  EXPECT_DOUBLE_EQ(card.Top(), f.Top() + f.Pic1.Top() + (Small() ? 0.3 : 0.42) * f.Pic1.Height());
  card.Hide();
  for (int seat : {3, -1, 4}) Tou_MouseMove(client, seat, 0, 0, 0, 0);
  EXPECT_FALSE(card.Visible());
}

TEST_P(SeatingUiTest, AVideoPanelShowsTheCardOrAsksThePlugInOncePerHover) {
  client.Detail[1].name = "鲍勃";
  for (int seat : {1, 2}) f.vshow[seat].Move(f.vshow[seat].Left(), f.vshow[seat].Top(), 126, 105);
  struct Case {
    const char* name;
    int seat;
    double x, y;
    int16_t state;
    bool answer;
    bool card;
    const char* asked;  // the plug-in call, or null
    int16_t popup_seat;
  } cases[] = {
      {"no plug-in: the card", 1, 150, 150, 0, false, true, nullptr, 0},
      {"x = 0: nothing", 1, 0, 150, 0, false, false, nullptr, 0},
      {"y = 0: nothing", 1, 150, 0, 0, false, false, nullptr, 0},
      {"outside the panel: nothing", 1, 126 * 15 + 15, 150, 0, false, false, nullptr, 0},
      {"an empty seat: nothing", 2, 150, 150, 1, true, false, nullptr, 0},
      {"plug-in shows it", 1, 150, 150, 1, true, false, "ShowCvVideo 1 show", 2},
      {"plug-in declines", 1, 150, 150, 2, false, false, "ShowCvVideo 1 show", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
    plugin.cv_video_answer = c.answer;
    client.prop.Prop_GameDllState = c.state;
    client.prop.VideoPopupAsked = false;
    client.prop.VideoPopupSeat = 0;
    client.Information.Hide();
    client.video.vshow[c.seat]->MouseMove(0, 0, static_cast<float>(c.x), static_cast<float>(c.y));
    EXPECT_EQ(client.Information.Visible(), c.card);
    EXPECT_EQ(plugin.calls.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(plugin.calls[0], c.asked);
      // Asked once per hover.
      vshow_MouseMove(client, c.seat, 0, 0, c.x, c.y);
      EXPECT_EQ(plugin.calls.size(), 1u);
    }
    EXPECT_EQ(client.prop.VideoPopupSeat, c.popup_seat);
  }
  // The own video spot: its own label's size, whole-number division.
  client.Detail[0].name = "我";
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  plugin.cv_video_answer = true;
  client.prop.Prop_GameDllState = 1;
  client.prop.VideoPopupAsked = false;
  const double past = 15 * std::ceil(f.Proponeself.Width());
  for (auto [x, y] : {std::pair{0.0, 30.0}, std::pair{30.0, 0.0}, std::pair{past, 30.0}})
    Proponeself_MouseMove(client, 0, 0, x, y);
  EXPECT_TRUE(plugin.calls.empty());
  EXPECT_EQ(client.prop.VideoPopupSeat, 0);
  Proponeself_MouseMove(client, 0, 0, 7.4, 30);
  ASSERT_EQ(plugin.calls.size(), 1u);
  EXPECT_EQ(plugin.calls[0], "ShowCvVideo 0 show");
  EXPECT_EQ(client.prop.VideoPopupSeat, 1);
}

TEST_P(SeatingUiTest, ScreenshotOfTheSeatedTableAndThePlayerCard) {
  test::UseHeadlessSdl();
  if (!Small()) PaintWindowSkin(client);
  ClearTableTiles(client);
  ResetTableView(client);
  ClearPlayerInfo(client);
  const char* names[] = {"[新手] 小明", "[老手] 鲍勃", "[高手] 卡萝", "[新手] 大卫"};
  const char* coins[] = {"1000金币", "2500金币", "3000金币", "100金币"};
  const char* levels[] = {"书生", "秀才", "举人", "童生"};
  const int portraits[] = {2, 11, 9, 0};
  for (int s = 0; s < 4; ++s) {
    f.Nid[s].SetCaption(names[s]);
    f.Cash[s].SetCaption(coins[s]);
    f.Level[s].SetCaption(levels[s]);
    LoadGifResource(client, client.images.AvatarPics[portraits[s]], "GIF", f.Tou[s]);
  }
  f.Location.SetCaption("一号桌");
  client.data.SeatWealth = {0, 5, 3, 9};
  RefreshWealthBadge(client);
  client.custom[0].SeatWind = 8;
  ShowCompass(client);
  const std::string scale = Small() ? "800" : "1024";
  const Picture seated = test::ScreenShot(client, "seated_table_" + scale + ".png");
  ASSERT_TRUE(seated);
  // Every seat's portrait, and the compass, where they lie.
  for (int s = 0; s < 4; ++s) EXPECT_TRUE(test::ShowsPicture(*seated, f.Tou[s])) << s;
  EXPECT_TRUE(test::ShowsPicture(*seated, f.ZhiNan));
  UserDetail& d = client.Detail[1];
  d.name = "鲍勃";
  d.area = "杭州";
  d.score = 1234;
  d.credit = 56;
  d.logins = 120;
  d.wins = 40;
  d.losses = 38;
  Tou_MouseMove(client, 1, 0, 0, 0, 0);
  const Picture card = test::ScreenShot(client, "player_card_" + scale + ".png");
  ASSERT_TRUE(card);
  // The card lies over the table where it stands, 220 pixels wide.
  const test::PixelRect box = test::FormOver(client.Information, f);
  EXPECT_EQ(box.width, 220);
  const test::PixelRect changed = test::ChangedArea(*seated, *card);
  EXPECT_TRUE(changed.Inside(box));
  EXPECT_GT(changed.width * 2, box.width);
  EXPECT_GT(changed.height * 2, box.height);
}

INSTANTIATE_TEST_SUITE_P(BothScales, SeatingUiTest, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
