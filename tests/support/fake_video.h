#pragma once

#include <map>
#include <string>
#include <vector>

#include "video/video_controls.h"

namespace slvn::test {

// Video controls that record every call as a line ("LoginServer alice",
// "ConnectUser 1 bob", "StartCapture", "ShowFrame 2" for a panel, "ShowZoom 0"
// for a zoom window) and answer from settable values.
struct VideoCallLog {
  std::vector<std::string> calls;
  int16_t start_capture_result = 0;
  // A slot's state as set here; a slot without one is 15 while bound, else 0.
  std::map<int, int16_t> slot_states;
};

VideoControls MakeRecordingVideoControls(VideoCallLog& log);

}  // namespace slvn::test
