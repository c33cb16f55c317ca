#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/picture.h"
#include "platform/shared_library.h"
#include "plugin/prop_plugin.h"

namespace slvn {

// The plug-in object with the library it came from; the object goes first.
struct LoadedPropPlugin {
  std::unique_ptr<SharedLibrary> library;
  std::unique_ptr<PropPlugin> object;
};

// The item plug-in's state as the packet paths see it.
struct PropState {
  // 0 not loaded, failed or shut down; -1 not available; 1 active; 2 active
  // with treasure boxes.
  int16_t Prop_GameDllState = 0;
  bool PropScoreReady = false;  // the plug-in's score information is ready
  bool PropItemsReady = false;  // the plug-in's items are ready: polled every tick
  // End-of-hand hand-over to the plug-in; the table reset clears them.
  int16_t SheetHandOver = 0;
  bool PluginShutdownPending = false;
  bool DrawnHandOver = false;  // also DrawnHandResult
  bool ItemBarCleared = false;
  // The enlarged video of one hover: asked for already, and whose (1 + display seat, 0 none).
  bool VideoPopupAsked = false;
  int16_t VideoPopupSeat = 0;

  // The plug-in; kept after a shutdown, released when Initdll refuses.
  std::unique_ptr<LoadedPropPlugin> Prop_GameDll;
  // The treasure-box layout of the last load and its two pictures.
  BoxLayout Box;
  Picture BoxPicture;
  Picture OpenBoxPicture;

  // The poll's request arguments, kept between calls. The plug-in's picture
  // goes back to it as it left it; the client never shows it.
  PluginPicture RequestPicture;
  std::string RequestText;
  std::vector<uint8_t> RequestBytes;
  int16_t PluginRequestKind = -1;
  std::vector<int32_t> RequestLayout1;
  std::vector<int32_t> RequestLayout2;

  // The end-of-hand score information, filled by GetScoreInfo: names and
  // amounts by seat (0 the local seat), texts [0 or 1][seat].
  std::vector<std::string> ScoreInfoNames;
  std::vector<double> ScoreInfoAmounts;
  std::vector<std::vector<std::string>> ScoreInfoTexts;
  // The hand's end waits for the poll to show its score sheet (or, for a
  // drawn hand, its result panel).
  bool ScoreHandOver = false;
  // When the poll first asked for the score information of this hand-over
  // (seconds of the loop's clock), -1 before.
  double ScoreWaitStart = -1;

  // The treasure-box opening's countdown.
  bool BoxCountdownOn = false;
  int16_t BoxTicks = 0;
  int16_t BoxSeconds = 0;
  bool BoxChosen = false;  // the local player opened a box
  std::minstd_rand Rnd;    // the program's random generator (SeedRandom)

  // The treasure-box stage. Each stage gets a number; a stage goes on after
  // a pumping wait only while it is still the running one.
  std::array<int16_t, 4> Prop_BaoChs{-1, -1, -1, -1};  // per display seat: box picked, -1 none
  uint32_t StageCount = 0;                             // numbers given so far
  uint32_t RunningStage = 0;                           // number of the running stage, 0 none
  uint32_t OpenedStage = 0;                            // the stage whose boxes were opened
  bool BoxOpening = false;                             // settlement steps running
  int32_t BoxStep = 0;
  int32_t BoxSteps = 0;
  // A shutdown cut the stage short: the poll still shows the hand's sheet.
  bool StageSheetOwed = false;

  // The timed item label.
  bool EffectShown = false;
  int32_t EffectTicks = 0;
  int32_t EffectDuration = 0;
  // The warehouse button shows its hover picture.
  bool BankHovered = false;
};

}  // namespace slvn
