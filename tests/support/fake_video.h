#pragma once

#include <string>
#include <vector>

#include "video/video_controls.h"

namespace slvn::test {

// Video controls that record every call as a line ("LoginServer alice",
// "ConnectUser 1 bob", "StartCapture") and answer from settable values.
struct VideoCallLog {
  std::vector<std::string> calls;
  int16_t start_capture_result = 0;
};

VideoControls MakeRecordingVideoControls(VideoCallLog& log);

}  // namespace slvn::test
