#include "settlement/score_sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "chat/chat_state.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "settlement/hand_record.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/general.h"
#include "ui/amount_text.h"

namespace slvn {

namespace {

constexpr int kSeats = 4;
constexpr const char* kRule = "-------------------------";
constexpr const char* kTotalRule = "====================";
constexpr uint32_t kMaxColour = 0xFFFFFF;
constexpr int kColourDigits = 8;

// Columns of a result row.
constexpr int kStake = 0;
constexpr int kCurrency = 1;
constexpr int kWinFlags = 5;
constexpr int kFloats = 6;
constexpr int kSelfDrawOrRobbed = 12;
constexpr int kDealer = 13;
constexpr int kLevelTitle = 14;
constexpr int kFinalSign = 30;
constexpr int kFinalLow = 31;
constexpr int kKongReplacement = 40;
constexpr int kKongs = 41;
constexpr int kWinLow = 49;
constexpr int kWinSign = 57;

// One seat's values of the sheet.
struct SeatSheet {
  double final_amount = 0;
  double win = 0;
  int64_t stake = 0;
  bool coins = true;
  std::string currency;
};

// A magnitude of eight columns, least significant first, with its sign column.
double Magnitude(const std::array<int16_t, 81>& row, int low, int sign) {
  double value = 0;
  for (int c = low + 7; c >= low; --c) value = value * 256 + (row[c] & 0xFF);
  return row[sign] == 0 ? -value : value;
}

std::string Whole(int64_t value) {
  return std::to_string(value);
}

// The tile of a kong as the sheet names it; winds have no name.
std::string KongTileText(int code) {
  const int rank = code & 0x0F;
  switch (code & 0xF0) {
    case 0x10:
      return rank == 5 ? "红中" : rank == 6 ? "发财" : rank == 7 ? "白板" : "";
    case 0x20:
      return std::to_string(rank) + "条";
    case 0x40:
      return std::to_string(rank) + "万";
    case 0x80:
      return std::to_string(rank) + "筒";
    default:
      return "";
  }
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The seat's item coins of the hand, taken: its entries are emptied.
double TakeItemCoins(PropState& prop, size_t seat) {
  double coins = 0;
  if (seat < prop.ScoreInfoAmounts.size()) coins = std::exchange(prop.ScoreInfoAmounts[seat], 0);
  if (seat < prop.ScoreInfoNames.size()) prop.ScoreInfoNames[seat].clear();
  return coins;
}

// The sheet is saved under the hand's number; a shutdown the hand's end
// asked for happens now, otherwise the plug-in learns the sheet is shown.
void SaveSheetAndSettlePlugin(Client& client) {
  PropState& prop = client.prop;
  SaveHandRecord(client, client.data.juNum);
  if (prop.PluginShutdownPending) {
    if (prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 0);
    prop.SheetHandOver = 0;
  } else {
    prop.SheetHandOver = 2;
  }
}

}  // namespace

std::vector<std::string> SplitItemText(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) return parts;
    start = bar + 1;
  }
}

ItemLine SplitItemPart(const std::string& part) {
  ItemLine line{part, -1};
  std::string_view number = part;
  const size_t length = CharLength(part);
  if (length >= kColourDigits) {
    // The last eight characters are the colour's place, digits or not.
    line.text = CharLeft(part, length - kColourDigits);
    number = std::string_view(part).substr(line.text.size());
  }
  if (AllDigits(number)) {
    const uint64_t colour = std::stoull(std::string(number));
    if (colour <= kMaxColour) line.colour = static_cast<int64_t>(colour);
  }
  return line;
}

std::string StreakMultiplier(uint8_t count) {
  if (count <= 62) return Whole(int64_t{1} << count);
  return FormatAmount(std::ldexp(1.0, count));
}

void ShowScoreSheet(Client& client) {
  Data& d = client.data;
  PropState& prop = client.prop;
  MainForm& f = client.main_form;
  ScoreForm& score = LoadScoreForm(client);
  HeroForm& hero = LoadHeroForm(client);
  std::array<SeatSheet, kSeats> seats;
  auto add = [&score](int seat, std::string line) { score.State[seat].AddItem(std::move(line)); };
  auto every = [&add](const std::string& line) {
    for (int s = 0; s < kSeats; ++s) add(s, line);
  };

  // 1-2: the amounts and the level titles.
  for (int s = 0; s < kSeats; ++s) {
    const auto& row = d.ResultRows[s];
    SeatSheet& seat = seats[s];
    seat.final_amount = Magnitude(row, kFinalLow, kFinalSign);
    seat.win = Magnitude(row, kWinLow, kWinSign);
    seat.stake = row[kStake];
    seat.coins = (row[kCurrency] & 0xFF) == 1;
    seat.currency = seat.coins ? "金币" : "金条";
    d.CoinAmounts[s] = seat.final_amount;
    d.RunningTotals[s] += seat.final_amount;
    std::string title;
    for (int j = 0; j <= 14 && (row[kLevelTitle + j] & 0xFF) != 0; j += 2) {
      title += static_cast<char>(row[kLevelTitle + j]);
      title += static_cast<char>(row[kLevelTitle + j + 1]);
    }
    client.Detail[s].grade = Gb2312ToUtf8(title);
    if (f.Level.Exists(s)) f.Level[s].SetCaption(client.Detail[s].grade);
  }
  // 3-4: the hand's line and the winner.
  AddHeroHandLine(client, d.juNum);
  int winner = d.WinnerSeat >= 0 && d.WinnerSeat < kSeats ? d.WinnerSeat : -1;
  if (winner < 0)
    for (int s = 0; s < kSeats; ++s)
      if (seats[s].win > 0) winner = s;

  // 5-6: head lines.
  for (int s = 0; s < kSeats; ++s) {
    add(s, "初始：" + (f.Cash.Exists(s) ? f.Cash[s].Caption() : std::string()));
    add(s, "房间底金:  " + Whole(seats[s].stake));
    if (d.LianLaiCount > 0) add(s, "   连赖  ×" + StreakMultiplier(d.LianLaiCount));
    add(s, d.ResultRows[s][kDealer] == 1 ? "庄家" : " ");
  }
  every(kRule);
  // 7: every kong at the table in every column; an unknown kind ends the seat's list.
  for (int s = 0; s < kSeats; ++s) {
    for (int k = 0; k < 4; ++k) {
      const int kind = d.ResultRows[s][kKongs + 2 * k];
      if (kind <= 0 || kind > 3) break;
      const char* word = kind == 1 ? "直杠:" : kind == 2 ? "开杠:" : "暗杠:";
      const int64_t unit = seats[s].stake * (kind == 3 ? 2 : 1);
      const std::string text = KongTileText(d.ResultRows[s][kKongs + 2 * k + 1] & 0xFF) + word;
      for (int c = 0; c < kSeats; ++c) add(c, text + Whole(c == s ? unit * 3 : -unit));
    }
  }
  every(kRule);
  every("");
  // 9: how the hand was won; without a winner nobody's column says anything.
  for (int s = 0; s < kSeats; ++s) {
    if (winner < 0) {
      add(s, "");
      continue;
    }
    const auto& w = d.ResultRows[winner];
    const bool is_winner = s == winner;
    const bool lost = seats[s].win < 0;
    if (w[kWinFlags] & 0x10)
      add(s, is_winner ? "抢杠" : d.ResultRows[s][kSelfDrawOrRobbed] >= 1 ? "被抢杠" : "");
    else if (w[kWinFlags] & 0x20)
      add(s, is_winner ? "杠上炮" : lost ? "点炮" : "");
    else if (w[kKongReplacement] <= 0 && w[kSelfDrawOrRobbed] == 2)
      add(s, is_winner ? "自摸" : "");
    else if (w[kKongReplacement] <= 0)
      add(s, is_winner ? "胡牌" : lost ? "点炮" : "");
    else
      add(s, is_winner ? "杠开" : "");
  }
  for (int s = 0; s < kSeats; ++s) add(s, "胡牌得分:  " + FormatAmount(seats[s].win));
  every(kRule);
  // 12-13: float bets; a losing seat that floated pays the winner.
  std::array<int64_t, kSeats> piao{};
  for (int s = 0; s < kSeats; ++s) {
    const int64_t floats = d.ResultRows[s][kFloats];
    if (floats <= 0) {
      add(s, "");
      continue;
    }
    add(s, "漂:    " + Whole(floats) + "个");
    if (winner >= 0 && s != winner && seats[s].win < 0) {
      const int64_t amount = (floats + d.ResultRows[winner][kFloats]) * seats[s].stake;
      piao[winner] += amount;
      piao[s] -= amount;
    }
  }
  for (int s = 0; s < kSeats; ++s) add(s, piao[s] != 0 ? "漂得分:   " + Whole(piao[s]) : "");
  every(kRule);
  // 15: the doublings.
  for (int s = 0; s < kSeats; ++s) {
    if (d.DiceDoubling != 0 || d.WealthMultiplier != 0)
      add(s, "小计:" + Whole(d.CoinSubtotal[s]) + "金币");
    if (d.DiceDoubling != 0) add(s, "骰子加倍 ×" + f.lblDifen.Caption());
    if (d.WealthMultiplier != 0) add(s, "财富加倍 ×" + d.WealthCaption);
  }
  // 16: the records and totals.
  std::array<int, kSeats> line_counts{};
  int largest = 0;
  for (int s = 0; s < kSeats; ++s) {
    UserDetail& detail = client.Detail[s];
    const double final_amount = seats[s].final_amount;
    const int64_t sum = client.custom[s].sum;
    detail.ucoin = std::max(0.0, detail.ucoin + final_amount);
    if (final_amount > 0 || (final_amount == 0 && sum > 0))
      ++detail.wins;
    else
      ++detail.losses;
    detail.score += final_amount;
    if (detail.score < 0) detail.score = 1;
    add(s, kTotalRule);
    line_counts[s] = score.State[s].ListCount();
    largest = std::max(largest, line_counts[s]);
    add(s, "总分：" + Whole(sum) + seats[s].currency);
    if (seats[s].coins) {
      add(s, sum != final_amount && sum < 0 && final_amount < 0 ? "封顶" : " ");
      add(s, d.FlexibleCapFlags[s] == 1 ? "灵活封顶" : "");
    }
  }
  for (int s = 0; s < kSeats; ++s)
    add(s, seats[s].final_amount > 0 ? d.PercentCaption + Whole(d.PercentValue) + "%" : " ");
  // 18: the final lines, the item lines and what they pay, the boards.
  for (int s = 0; s < kSeats; ++s) {
    SeatSheet& seat = seats[s];
    UserDetail& detail = client.Detail[s];
    ListBox& column = score.State[s];
    add(s, "最终分：" + FormatAmount(seat.final_amount) + seat.currency);
    column.SetForeColor(0);
    const size_t i = static_cast<size_t>(s);
    if (i < prop.ScoreInfoNames.size() && !prop.ScoreInfoNames[i].empty()) {
      for (const std::string& part : SplitItemText(prop.ScoreInfoNames[i])) {
        const ItemLine line = SplitItemPart(part);
        if (line.colour >= 0) column.SetForeColor(static_cast<uint32_t>(line.colour));
        add(s, line.text);
      }
      const double coins = TakeItemCoins(prop, i);
      seat.final_amount += coins;
      detail.ucoin += coins;
      d.RunningTotals[s] += coins;
      d.CoinAmounts[s] = seat.final_amount;
    }
    if (f.Cash.Exists(s)) f.Cash[s].SetCaption(FormatAmount(detail.ucoin) + seat.currency);
    score.State[s + 4].AddItem("最终分：" + FormatAmount(seat.final_amount) + seat.currency);
    hero.Grade[s].AddItem(PadRight(FormatAmount(seat.final_amount), 9) + seat.currency);
    hero.sumScore[s].SetCaption(FormatAmount(d.RunningTotals[s]) + seat.currency);
    for (int k = 0; k < largest - line_counts[s] + 1; ++k)
      column.AddItem("", line_counts[s] - 1 + k);
  }
  // 19-20: names and avatars, and the sheet shown.
  for (int s = 0; s < kSeats; ++s) {
    SetBoardAvatar(client, score.Tou[s], d.ScoreNames[s][1]);
    score.ID[s].SetCaption(d.ScoreNames[s][0]);
  }
  ShowScoreBoard(client);
  // 21-23: the end of the hand.
  SetSysmsgLine(client, 0, "请点击【继续】按钮继续游戏！");
  d.AnNiuState[2] = false;
  d.HandRunning = false;
  d.TableCleared = false;
  SetSysmsgLine(client, 1, "游戏将在15秒内开始");
  d.HandEnding = false;
  prop.ScoreHandOver = false;
  if (!d.WatchMode) StartReadyCountdown(client, d.AutoPlayOn ? 3 : 15);
  SaveSheetAndSettlePlugin(client);
}

void ShowHandResult(Client& client) {
  Data& d = client.data;
  PropState& prop = client.prop;
  MainForm& f = client.main_form;
  ScoreForm& score = LoadScoreForm(client);
  HeroForm& hero = LoadHeroForm(client);
  d.HandRunning = false;
  prop.ScoreHandOver = false;
  AddHeroHandLine(client, d.juNum);
  for (int s = 0; s < kSeats; ++s) {
    const size_t i = static_cast<size_t>(s);
    score.State[s].AddItem("      黄  庄");
    d.CoinAmounts[s] = 0;
    if (i < prop.ScoreInfoNames.size() && !prop.ScoreInfoNames[i].empty()) {
      score.State[s].AddItem("");
      for (const std::string& part : SplitItemText(prop.ScoreInfoNames[i]))
        score.State[s].AddItem(part);
      score.State[s].AddItem("");
      const double coins = TakeItemCoins(prop, i);
      d.CoinAmounts[s] += coins;
      client.Detail[s].ucoin += coins;
      d.RunningTotals[s] += coins;
    }
    if (f.Cash.Exists(s)) f.Cash[s].SetCaption(FormatAmount(client.Detail[s].ucoin) + "金币");
    score.State[s + 4].AddItem("最终分：" + FormatAmount(d.CoinAmounts[s]) + "金币");
    hero.Grade[s].AddItem(PadRight(FormatAmount(d.CoinAmounts[s]), 9) + "金币");
    hero.sumScore[s].SetCaption(FormatAmount(d.RunningTotals[s]) + "金币");
  }
  if (!d.BossKey) {
    CentreOverTable(client, score);
    score.Show();
  }
  SaveSheetAndSettlePlugin(client);
  SetSysmsgLine(client, 0, "请点击【继续】按钮继续游戏！");
  d.AnNiuState[2] = false;
  d.TableCleared = false;
  SetSysmsgLine(client, 1, "游戏将在15秒内开始");
  d.HandEnding = false;
  if (!d.WatchMode) StartReadyCountdown(client, 15);
}

}  // namespace slvn
