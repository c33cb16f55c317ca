#pragma once

#include <cstdint>

namespace slvn {

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
};

}  // namespace slvn
