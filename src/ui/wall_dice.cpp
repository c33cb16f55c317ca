#include "ui/wall_dice.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "shell/client.h"
#include "shell/general.h"
#include "shell/lobby_link.h"
#include "table/hand_order.h"

namespace slvn {

namespace {

constexpr int kSoundShuffle = 4;
constexpr int kSoundDice = 5;
constexpr int kFirstTumbleFrame = 6;  // dice store: 0-5 the faces, 6-15 tumbling frames

void PlaySound(Client& client, int slot) {
  if (client.sound.SoundOn != 0) PlaySoundFile(client, client.sound.SoundBank[slot], false);
}

// Rnd seeded from the time of day, as each roll starts afresh.
class DiceRandom {
 public:
  DiceRandom() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    engine_.seed(static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(now).count() % 86400));
  }
  // Int(Rnd * n)
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

 private:
  std::minstd_rand engine_;
};

int16_t ClampFace(int16_t face) {
  return std::clamp<int16_t>(face, 1, 6);
}

void ShowDiceFrame(MainForm& f, int die, int store_entry) {
  if (f.SZ_Image.Exists(store_entry))
    f.Sai_Image[die].SetPicture(f.SZ_Image[store_entry].Picture());
}

// 21 to 25 tumbling frames on the given dice.
void TumbleDice(Client& client, int dice_count) {
  DiceRandom rnd;
  const int frames = rnd.Below(5) + 20;
  for (int j = 0; j <= frames; ++j) {
    for (int die = 0; die < dice_count; ++die)
      ShowDiceFrame(client.main_form, die, rnd.Below(10) + kFirstTumbleFrame);
    WaitSeconds(client, 0.002f);
  }
}

void ClearPerHandTables(Data& data) {
  data.HiddenKongImages.fill(0);
  data.HiddenKongTiles.fill(0);
  data.HiddenKongSeats.fill(0);
  data.HiddenKongCount = 0;
  data.KongDie = 0;
  data.ResultRowCount = 0;
  data.NextWallTiles.fill(0);
  data.NextWallImages.fill(0);
  data.WallState.fill(0);
  data.NextWallCount = 0;
}

}  // namespace

void BuildWall(Client& client) {
  MainForm& f = client.main_form;
  PlaySound(client, kSoundShuffle);
  if (!TableLaidOut(f)) {
    ClearPerHandTables(client.data);
    return;
  }
  // Stack 0 of every side: (image, face-down picture of its side).
  constexpr int kFirstStack[8][2] = {{1, 8},   {0, 8},   {31, 44},  {30, 44},
                                     {61, 80}, {60, 80}, {90, 116}, {91, 116}};
  for (const auto& [image, picture] : kFirstStack) ShowTileImage(client, image, picture);
  for (int k = 1; k <= 14; ++k) {
    for (const auto& [first, picture] : kFirstStack) {
      ImageControl& tile = f.MJ_Image[first + 2 * k];
      tile.SetPicture(f.MJ_Image[first].Picture());
      tile.SetVisible(true);
    }
    for (int i = 0; i < f.ImgProp.Count(); ++i)
      if (f.ImgProp.Exists(i)) f.ImgProp[i].ZOrder(0);
    WaitSeconds(client, 0.01f);
  }
  PostToLobby(client, kLobbyWallBuilt);
  ClearPerHandTables(client.data);
}

void RollTwoDice(Client& client, std::array<int16_t, 4>& dice) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  PlaySound(client, kSoundDice);
  dice[0] = ClampFace(dice[0]);
  dice[1] = ClampFace(dice[1]);
  f.Sai_Image[0].Move(400 * sx, 344 * sy);
  f.Sai_Image[1].Move(560 * sx, 344 * sy);
  f.Sai_Image[0].SetVisible(true);
  f.Sai_Image[1].SetVisible(true);
  TumbleDice(client, 2);
  ShowDiceFrame(f, 0, dice[0] - 1);
  ShowDiceFrame(f, 1, dice[1] - 1);
  SleepSeconds(client, 0.6f);
  f.Sai_Image[0].SetVisible(false);
  f.Sai_Image[1].SetVisible(false);
}

void RollOneDie(Client& client, int16_t face) {
  MainForm& f = client.main_form;
  PlaySound(client, kSoundDice);
  f.Sai_Image[0].Move(500 * client.data.ScaleX, 344 * client.data.ScaleY);
  f.Sai_Image[0].SetVisible(true);
  TumbleDice(client, 1);
  ShowDiceFrame(f, 0, ClampFace(face) - 1);
  SleepSeconds(client, 0.6f);
  f.Sai_Image[0].SetVisible(false);
}

}  // namespace slvn
