#include "dispatch/hand_end.h"

#include <limits>
#include <string>

#include "chat/chat_state.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "settlement/hand_record.h"
#include "settlement/record_boards.h"
#include "settlement/score_sheet.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/general.h"
#include "table/claims.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr size_t kSumOffset = 16;
constexpr size_t kFlexCapByte = 24;
constexpr size_t kSubtotalSignByte = 25;
constexpr size_t kSubtotalOffset = 26;
constexpr size_t kPercentByte = 34;
constexpr size_t kPercentText = 35;
constexpr size_t kPercentTextLength = 20;
constexpr size_t kWallTilesOffset = 16;
constexpr size_t kResultRowOffset = 16;
constexpr size_t kStreakByte = 53;
constexpr int kRowsPerHand = 4;

int16_t WallPosition(int value) {
  return static_cast<int16_t>(((value % kWallPositions) + kWallPositions) % kWallPositions);
}

// Wall position of the tiles left after a hand: place 0 is the tail, 1 the
// tail's partner, 2 on the head and the positions after it.
int16_t EndWallPlace(const Data& d, int place) {
  if (place == 0) return WallPosition(d.WallTail);
  if (place == 1)
    return WallPosition(d.WallTail % 2 == 0 ? d.WallTail + 1 : d.WallTail - 3 + kWallPositions);
  return WallPosition(d.WallHead + place - 2);
}

// The hand goes to the item plug-in: its score information comes first.
void HandOverToPlugin(Client& client, bool drawn) {
  PropState& prop = client.prop;
  prop.ScoreHandOver = true;
  prop.ScoreWaitStart = -1;
  prop.SheetHandOver = 1;
  if (drawn) prop.DrawnHandOver = true;
  prop.ScoreInfoNames.clear();
  prop.ScoreInfoAmounts.clear();
  prop.ScoreInfoTexts.clear();
  InitShowEnd(client);
}

void ShowDrawnSheet(Client& client) {
  Data& d = client.data;
  ScoreForm& score = LoadScoreForm(client);
  HeroForm& hero = LoadHeroForm(client);
  d.HandRunning = false;
  client.prop.ScoreHandOver = false;
  AddHeroHandLine(client, d.juNum);
  for (int i = 0; i < kSeatCount; ++i) {
    score.State[i].AddItem("      黄  庄");
    score.State[i + 4].AddItem("最终分：0金币");
    hero.Grade[i].AddItem(PadRight("0", 9) + "金币");
  }
  if (!d.BossKey) {
    CentreOverTable(client, score);
    score.Show();
  }
  SaveHandRecord(client, d.juNum);
  SetSysmsgLine(client, 0, "请点击【继续】按钮继续游戏！");
  d.AnNiuState[2] = false;
  d.TableCleared = false;
  SetSysmsgLine(client, 1, "游戏将在15秒内开始");
  if (!d.WatchMode) StartReadyCountdown(client, 15);
}

void EndDrawnHand(Client& client) {
  const Data& d = client.data;
  ScoreForm& score = LoadScoreForm(client);
  for (int i = 0; i < kSeatCount; ++i) {
    SetBoardAvatar(client, score.Tou[i], d.ScoreNames[i][1]);
    score.ID[i].SetCaption(d.ScoreNames[i][0]);
  }
  if (client.prop.Prop_GameDllState > 0)
    HandOverToPlugin(client, true);
  else
    ShowDrawnSheet(client);
}

// The fee text's bytes up to the first zero; a two-byte character whose
// lead byte is the field's last byte takes the byte after the field with it.
std::string FeeText(const GamePacket& msg) {
  std::string bytes;
  for (size_t i = kPercentText; i < kPercentText + kPercentTextLength; ++i) {
    const uint8_t b = msg.Byte(i);
    if (b == 0) break;
    bytes += static_cast<char>(b);
    if (b < 0x80) continue;
    const uint8_t trail = msg.Byte(i + 1);
    if (trail == 0) break;
    bytes += static_cast<char>(trail);
    ++i;
  }
  return bytes;
}

}  // namespace

int64_t ReadSigned64(const GamePacket& packet, size_t offset) {
  uint64_t bits = 0;
  for (int b = 7; b >= 0; --b) bits = bits << 8 | packet.Byte(offset + static_cast<size_t>(b));
  return static_cast<int64_t>(bits);
}

int64_t NegateSaturated(int64_t value) {
  return value == std::numeric_limits<int64_t>::min() ? std::numeric_limits<int64_t>::max()
                                                      : -value;
}

void HandleHandEndRow(Client& client) {
  Data& d = client.data;
  HeartbeatState& hb = client.heartbeat;
  const GamePacket& msg = client.net.Msg;
  hb.HoldItem129 = true;
  hb.HoldItem386 = true;
  hb.HeldItemPacket1.fill(0);
  hb.HeldItemPacket2.fill(0);
  d.HandEnding = true;
  const int s = client.net.info.seat & 3;
  d.FlexibleCapFlags[s] = msg.Byte(kFlexCapByte) == 1 ? 1 : 0;
  if (msg.Byte(kPercentByte) != 0) d.PercentValue = msg.Byte(kPercentByte);
  d.HandRecordPending = false;
  ScoreForm& score = LoadScoreForm(client);
  score.State[s].Clear();
  score.State[s + 4].Clear();
  const int64_t sum = ReadSigned64(msg, kSumOffset);
  client.custom[s].sum = client.net.info.value[1] == 0 ? NegateSaturated(sum) : sum;
  const int64_t subtotal = ReadSigned64(msg, kSubtotalOffset);
  d.CoinSubtotal[s] = msg.Byte(kSubtotalSignByte) == 0 ? NegateSaturated(subtotal) : subtotal;
  if (++d.EndRowCount >= kRowsPerHand) {
    d.EndRowCount = 0;
    bool nobody_won = true;
    for (const PlayerHand& seat : client.custom) nobody_won = nobody_won && seat.sum == 0;
    if (nobody_won) {
      EndDrawnHand(client);
      d.HandEnding = false;
    }
  }
  if (client.net.info.value[1] == 1) d.PercentCaption = Gb2312ToUtf8(FeeText(msg));
  CloseVideo(client);
}

void HandleShownHand(Client& client) {
  Data& d = client.data;
  const GamePacket& msg = client.net.Msg;
  const uint8_t seat_bit = msg.Byte(packet_offset::kSeat) & 15;
  client.net.info.seat = seat_bit;
  const auto& v = client.net.info.value;
  ShowHandTiles(client, seat_bit, {v[0], v[1], v[2], v[3]});
  if (d.NextWallCount != 0) return;
  // Byte k is the tile at place k: the tail, its partner, then the head on.
  // A 0 is no tile there, so its place turns nothing up.
  uint8_t count = 0;
  for (size_t k = 0; k < d.NextWallTiles.size(); ++k) {
    const uint8_t tile = msg.Byte(kWallTilesOffset + k);
    d.NextWallTiles[k] = tile;
    d.NextWallImages[k] = tile == 0 ? -1 : EndWallPlace(d, static_cast<int>(k));
    count += tile != 0;
  }
  d.NextWallCount = count;
}

void HandleResultRow(Client& client) {
  Data& d = client.data;
  const GamePacket& msg = client.net.Msg;
  const int s = client.net.info.seat & 3;
  auto& row = d.ResultRows[s];
  row[0] = client.net.info.value[1];
  row[1] = client.net.info.value[3];
  for (size_t k = 0; k + 2 < row.size(); ++k) row[k + 2] = msg.Byte(kResultRowOffset + k);
  if (++d.ResultRowCount < kRowsPerHand) return;
  d.LianLaiCount = msg.Byte(kStreakByte);
  d.ResultRowCount = 0;
  if (client.prop.Prop_GameDllState > 0)
    HandOverToPlugin(client, false);
  else
    ShowScoreSheet(client);
}

}  // namespace slvn
