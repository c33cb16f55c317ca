#include "plugin/treasure_boxes.h"

#include <algorithm>
#include <random>
#include <string>

#include "plugin/item_bar.h"
#include "plugin/prop_bridge.h"
#include "settlement/coin_settlement.h"
#include "settlement/score_sheet.h"
#include "shell/client.h"
#include "shell/general.h"

namespace slvn {

namespace {

constexpr int kBoxes = 15;
constexpr int kGroupSize = 5;
constexpr int kCountdownSeconds = 5;
constexpr int kSlideSteps = 5;
constexpr int kSlideStepMs = 37;
constexpr int kPromptWidthPerByte = 14;
constexpr int kPromptHeight = 50;
constexpr uint32_t kPromptColor = 0x0000FF;  // red
constexpr int kFallbackIntervalMs = 50;
constexpr const char* kChoosePrompt = "请选择一个宝箱打开";
constexpr const char* kWaitPrompt = "请等待其他玩家打开宝箱";

bool Active(const Client& client) {
  return client.prop.Prop_GameDllState > 0;
}

bool StageGoesOn(Client& client, uint32_t stage, int box) {
  return stage != 0 && client.prop.RunningStage == stage && client.main_form.ImgProp.Exists(box);
}

void ShowClosedBox(Client& client, int box, bool enabled) {
  ControlArray<ImageControl>& boxes = client.main_form.ImgProp;
  if (!boxes.Exists(box)) return;
  const BoxLayout& layout = client.prop.Box;
  ImageControl& image = boxes[box];
  image.Move(layout.BoxPos[box][0], layout.BoxPos[box][1], layout.BoxSize[0], layout.BoxSize[1]);
  image.SetPicture(client.prop.BoxPicture);
  image.SetVisible(true);
  image.SetEnabled(enabled);
  image.ZOrder(0);
}

void ShowPrompt(Client& client, const std::string& prompt) {
  Label& label = client.main_form.LbProp;
  const BoxLayout& layout = client.prop.Box;
  const double width = kPromptWidthPerByte * AnsiByteLength(prompt);
  label.SetAlignment(kAlignCenter);
  label.Move(layout.BoxPromptPos[0] - width / 2, layout.BoxPromptPos[1], width, kPromptHeight);
  label.SetCaption(prompt + "\r\n" + std::to_string(kCountdownSeconds));
  label.SetForeColor(kPromptColor);
  label.SetVisible(true);
  label.ZOrder(0);
}

bool AnySeatTakesPart(const PropState& prop) {
  for (int seat = 0; seat < 4; ++seat)
    if (TakesPart(prop, seat)) return true;
  return false;
}

bool ValidBox(int box) {
  return box >= 0 && box < kBoxes;
}

}  // namespace

int RandomInGroup(PropState& prop) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  return std::clamp(RoundHalfEven(unit(prop.Rnd) * 4), 0, kGroupSize - 1);
}

bool TakesPart(const PropState& prop, int seat) {
  if (seat < 0 || seat > 3) return false;
  const size_t s = static_cast<size_t>(seat);
  if (s < prop.ScoreInfoAmounts.size() && prop.ScoreInfoAmounts[s] > 0) return true;
  // The two box texts: the name line (0) and the tally lines (1).
  for (size_t which = 0; which < 2 && which < prop.ScoreInfoTexts.size(); ++which) {
    const std::vector<std::string>& texts = prop.ScoreInfoTexts[which];
    if (s < texts.size() && !texts[s].empty()) return true;
  }
  return false;
}

void ShowHandEnd(Client& client) {
  if (client.prop.DrawnHandOver)
    ShowHandResult(client);
  else
    ShowScoreSheet(client);
}

void PlayTreasureBoxes(Client& client) {
  PropState& prop = client.prop;
  SetItemLabel(client, "");
  prop.Prop_BaoChs.fill(-1);
  if (!AnySeatTakesPart(prop)) {
    ShowHandEnd(client);
    if (Active(client)) InitShowNext(client, false);
    return;
  }
  if (++prop.StageCount == 0) ++prop.StageCount;
  prop.RunningStage = prop.StageCount;
  const bool boxes_shown = prop.Prop_GameDllState == 2;
  std::string prompt;
  if (TakesPart(prop, 0)) {
    if (boxes_shown)
      for (int box = 0; box < kGroupSize; ++box) ShowClosedBox(client, box, true);
    prompt = kChoosePrompt;
  } else {
    int group = 0;
    for (int seat = 1; seat <= 3; ++seat) {
      if (!TakesPart(prop, seat)) continue;
      const int first = kGroupSize * group++;
      if (boxes_shown)
        for (int box = first; box < first + kGroupSize; ++box) ShowClosedBox(client, box, false);
      prop.Prop_BaoChs[seat] = static_cast<int16_t>(first + RandomInGroup(prop));
    }
    prompt = kWaitPrompt;
  }
  ShowPrompt(client, prompt);
  prop.EffectShown = false;
  prop.BoxTicks = 0;
  prop.BoxSeconds = kCountdownSeconds;
  prop.BoxCountdownOn = true;
}

void OpenTreasureBoxes(Client& client, int box) {
  PropState& prop = client.prop;
  if (box != -1 && !ValidBox(box)) return;
  const uint32_t stage = prop.RunningStage;
  // One opening a stage: a click or the countdown that comes during the
  // slides finds it under way.
  if (stage == 0 || prop.OpenedStage == stage) return;
  prop.OpenedStage = stage;
  if (box == -1) {
    for (int seat = 1; seat <= 3; ++seat)
      if (prop.Prop_BaoChs[seat] != -1 && !AnimateBoxOpen(client, prop.Prop_BaoChs[seat], true, 0))
        return;
  } else {
    prop.Prop_BaoChs[0] = static_cast<int16_t>(box);
    if (!AnimateBoxOpen(client, box, true, 0)) return;
  }
  ControlArray<ImageControl>& boxes = client.main_form.ImgProp;
  for (int16_t pick : prop.Prop_BaoChs) {
    if (!boxes.Exists(pick)) continue;
    boxes[pick].SetVisible(false);
    boxes[pick].SetEnabled(false);
  }
  if (prop.Prop_GameDllState == 2) ShowGif(client, 1, true);
  if (prop.RunningStage != stage) return;  // the plug-in failed and was shut down
  // An interval below 1 would never fire, and no steps would divide by 0.
  const int interval = prop.Box.BoxTiming[0] < 1 ? kFallbackIntervalMs : prop.Box.BoxTiming[0];
  Timer& timer = client.main_form.TimerProp;
  timer.SetInterval(interval);
  prop.BoxStep = 0;
  prop.BoxSteps = std::max<int32_t>(1, prop.Box.BoxTiming[1]);
  prop.BoxOpening = true;
  prop.EffectShown = false;
  ShowCoinSettlement(client, -1);
  timer.SetEnabled(true);
}

void BoxOpeningStep(Client& client) {
  PropState& prop = client.prop;
  const uint32_t stage = prop.RunningStage;
  if (++prop.BoxStep < prop.BoxSteps) {
    ShowCoinSettlement(client, static_cast<int16_t>(prop.BoxStep));
    client.main_form.TimerProp.SetEnabled(true);
    return;
  }
  prop.BoxOpening = false;
  prop.BoxStep = 0;
  ShowCoinSettlement(client, static_cast<int16_t>(prop.BoxSteps));
  if (Active(client)) ShowGif(client, 1, false);
  if (prop.Prop_BaoChs[0] != -1) {
    if (!AnimateBoxOpen(client, prop.Prop_BaoChs[0], false, 0)) return;
  } else {
    for (int seat = 1; seat <= 3; ++seat)
      if (prop.Prop_BaoChs[seat] != -1 &&
          !AnimateBoxOpen(client, prop.Prop_BaoChs[seat], false, seat))
        return;
  }
  if (stage == 0 || prop.RunningStage != stage) return;
  SleepSeconds(client, 1);
  // The stage is over before the sheet: a shutdown the sheet makes owes nothing.
  prop.RunningStage = 0;
  ShowHandEnd(client);
  if (!Active(client)) return;
  InitShowNext(client, false);
  SleepSeconds(client, 1);
  client.main_form.LbProp.SetVisible(false);
}

bool AnimateBoxOpen(Client& client, int box, bool opening, int seat) {
  PropState& prop = client.prop;
  const uint32_t stage = prop.RunningStage;
  ControlArray<ImageControl>& boxes = client.main_form.ImgProp;
  if (!ValidBox(box) || !boxes.Exists(box) || seat < 0 || seat > 3) return true;
  const BoxLayout& layout = prop.Box;
  ImageControl& image = boxes[box];
  if (opening) {
    image.SetEnabled(false);
    const int first = box / kGroupSize * kGroupSize;
    for (int other = first; other < first + kGroupSize; ++other) {
      if (other == box || !boxes.Exists(other) || !boxes[other].Visible()) continue;
      boxes[other].SetVisible(false);
      boxes[other].SetEnabled(false);
    }
    const double x1 = RoundHalfEven(layout.BoxCentre[0] - layout.BoxSize[0] / 2.0);
    const double y1 = RoundHalfEven(layout.BoxCentre[1] - layout.BoxSize[1] / 2.0);
    if (!SlideControl(client, RoundHalfEven(image.Left()), RoundHalfEven(image.Top()), x1, y1, box,
                      stage))
      return false;
    boxes[box].SetVisible(false);
    return true;
  }
  image.Move(layout.BoxCentre[0] - layout.OpenBoxSize[0] / 2.0,
             layout.BoxCentre[1] - layout.OpenBoxSize[1] / 2.0, layout.OpenBoxSize[0],
             layout.OpenBoxSize[1]);
  image.SetPicture(prop.OpenBoxPicture);
  image.SetVisible(true);
  return SlideControl(client, RoundHalfEven(image.Left()), RoundHalfEven(image.Top()),
                      layout.BoxSeatPos[seat][0], layout.BoxSeatPos[seat][1], box, stage);
}

bool SlideControl(Client& client, double x0, double y0, double x1, double y1, int box,
                  uint32_t stage) {
  const float dx = static_cast<float>((x1 - x0) / kSlideSteps);
  const float dy = static_cast<float>((y1 - y0) / kSlideSteps);
  for (int i = 1; i <= kSlideSteps; ++i) {
    if (!StageGoesOn(client, stage, box)) return false;
    client.main_form.ImgProp[box].Move(x0 + i * dx, y0 + i * dy);
    WaitMs(client, kSlideStepMs);
  }
  return StageGoesOn(client, stage, box);
}

void WaitMs(Client& client, int ms) {
  WaitSeconds(client, static_cast<float>(ms) / 1000.0f);
}

void ImgProp_Click(Client& client, int index) {
  PropState& prop = client.prop;
  if (prop.Prop_GameDllState == 2) {
    if (prop.BoxChosen) return;
    prop.BoxChosen = true;
    OpenTreasureBoxes(client, index);
    return;
  }
  // Not inside the handler: the clicked picture is one of those removed.
  client.loop.Post([&client] {
    ControlArray<ImageControl>& boxes = client.main_form.ImgProp;
    for (int i = 1; i < boxes.Count(); ++i) boxes.Unload(i);
  });
}

void EndTreasureBoxStage(Client& client, bool shutdown) {
  PropState& prop = client.prop;
  client.main_form.TimerProp.SetEnabled(false);
  prop.BoxCountdownOn = false;
  prop.BoxOpening = false;
  prop.BoxStep = 0;
  prop.EffectShown = false;
  prop.EffectTicks = 0;
  client.main_form.LbProp.SetVisible(false);
  if (shutdown && prop.RunningStage != 0) {
    prop.ScoreHandOver = true;
    prop.StageSheetOwed = true;
  } else if (!shutdown && prop.StageSheetOwed) {
    // A new hand: the old hand's sheet is not shown any more.
    prop.StageSheetOwed = false;
    prop.ScoreHandOver = false;
  }
  prop.RunningStage = 0;
}

}  // namespace slvn
