#include "state/data.h"

namespace slvn {

void SetStartValues(Data& data) {
  data.CountdownStart = 8;
  data.LastTileImage = -1;
  data.DrawFromHead = true;  // no kong is pending before the first hand
  data.WildTile = -1;        // nor is a wild tile known
  data.PrevBlinkImage = -1;
  data.ChatGate = true;
  data.ScaleX = 1.0f;
  data.ScaleY = 1.0f;
  data.SeatWaitText = {"正在随机换座中..", "正在随机换座中...", "正在随机换座中....",
                       "正在随机换座中....."};
}

}  // namespace slvn
