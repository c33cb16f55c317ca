#include "ui/seat_draw.h"

#include <chrono>
#include <random>

#include "shell/client.h"
#include "shell/general.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "table/hand_order.h"

namespace slvn {

namespace {

constexpr int kSoundDraw = 3;
constexpr int16_t kCoveredTile = 7;      // back of an own standing tile
constexpr int16_t kNorthStanding = 147;  // 147 - wind index: the own-hand winds
constexpr float kHold = 0.5f;
constexpr double kTwipsPerPixel = 15;

// Int(Rnd * 4) with the generator seeded from the time of day.
int DrawnTile() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  std::minstd_rand engine(
      static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count() % 86400));
  return std::uniform_int_distribution<int>(0, 3)(engine);
}

}  // namespace

void ShowSeatDraw(Client& client, int16_t wind_index) {
  MainForm& f = client.main_form;
  if (client.sound.SoundOn == -1) PlaySoundFile(client, client.sound.SoundBank[kSoundDraw], false);
  const int16_t w = client.data.TileWidth[0], h = client.data.TileHeight[0];
  const double x0 = f.Pic1.Width() / kTwipsPerPixel / 2 - 2.0 * w;
  const double y = RoundHalfEven(f.Pic1.Height() / kTwipsPerPixel / 2 - h);
  for (int16_t i = 0; i < 4; ++i) {
    if (!f.MJ_Image.Exists(i)) return;
    f.MJ_Image[i].Move(x0 + i * w, y, w, h);
    ShowTileImage(client, i, kCoveredTile);
    f.MJ_Image[i].SetVisible(true);
  }
  // The rule legend in the middle of the table stays readable over the tiles.
  for (int i = 0; i < f.lbfont.Count(); ++i)
    if (f.lbfont.Exists(i)) f.lbfont[i].ZOrder(0);
  SleepSeconds(client, kHold);
  const auto turned = static_cast<int16_t>(kNorthStanding - (wind_index & 3));
  ShowTileImage(client, static_cast<int16_t>(DrawnTile()), turned);
  SleepSeconds(client, kHold);
  for (int i = 0; i < 4; ++i) f.MJ_Image[i].SetVisible(false);
}

void ShowCompass(Client& client) {
  MainForm& f = client.main_form;
  uint8_t& wind = client.custom[0].SeatWind;
  if (wind == 0) wind = 1;  // a seat still unknown sits North from now on
  LoadGifResource(client, client.images.CompassPics[BitIndex(wind) & 3], "GIF", f.ZhiNan);
  f.ZhiNan.SetVisible(true);
}

}  // namespace slvn
