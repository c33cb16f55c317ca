#include "video/video_controls.h"

#include <map>

#include "platform/event_loop.h"
#include "platform/timer.h"

namespace slvn {

namespace {

class LocalP2PSocket final : public P2PSocket {
 public:
  explicit LocalP2PSocket(EventLoop& loop) : loop_(loop) {}

  std::string UserID(int slot) const override {
    auto it = slots_.find(slot);
    return it == slots_.end() ? "" : it->second;
  }
  int16_t UserState(int slot) const override { return slots_.count(slot) ? 1 : 0; }
  void LoginServer(const std::string&) override {
    // Answered like a server would: later, as an event.
    loop_.Post([this] {
      if (LoginStateChanged) LoginStateChanged(2);
    });
  }
  void LogoutServer() override { slots_.clear(); }
  void ConnectUser(int slot, const std::string& name) override {
    if (slot < 1 || slot > UserCount) return;
    slots_[slot] = name;
  }
  void DropUser(int slot) override { slots_.erase(slot); }
  void SendFormat(int, const std::vector<uint8_t>&) override {}
  void SendParam(int, int16_t) override {}
  void SendFrame(int, const VideoFrame&) override {}

 private:
  EventLoop& loop_;
  std::map<int, std::string> slots_;
};

class LocalVCap final : public VCap {
 public:
  LocalVCap(EventLoop& loop, bool with_camera) : with_camera_(with_camera), ticker_(loop) {
    ticker_.SetInterval(200);
    ticker_.SetHandler([this] {
      if (FrameCaptured) FrameCaptured(MakeTestPatternBmp(kWidth, kHeight, frame_number_++));
    });
  }
  void OpenDevice() override { open_ = with_camera_; }
  int16_t StartCapture() override {
    if (!open_) return 1;
    ticker_.SetEnabled(true);
    return 0;
  }
  void StopCapture() override { ticker_.SetEnabled(false); }
  void CloseDevice() override {
    StopCapture();
    open_ = false;
  }
  std::vector<uint8_t> FormatHeader() const override {
    VideoFrame bmp = MakeTestPatternBmp(kWidth, kHeight, 0);
    return std::vector<uint8_t>(bmp.begin(), bmp.begin() + 54);
  }

 private:
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 120;
  bool with_camera_;
  bool open_ = false;
  int frame_number_ = 0;
  Timer ticker_;
};

class LocalVShow final : public VShow {
 public:
  void ShowFrame(const VideoFrame& frame) override { last_shown_ = frame; }
};

void PutLe(VideoFrame& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

VideoControls MakeLocalVideoControls(EventLoop& loop, bool with_camera) {
  VideoControls c;
  c.P2PSocket1 = std::make_unique<LocalP2PSocket>(loop);
  c.vcap1 = std::make_unique<LocalVCap>(loop, with_camera);
  for (int i = 1; i <= 3; ++i) c.vshow[i] = std::make_unique<LocalVShow>();
  return c;
}

VideoFrame MakeTestPatternBmp(int width, int height, int frame_number) {
  const uint32_t row = static_cast<uint32_t>((width * 3 + 3) & ~3);
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  VideoFrame bmp(54 + pixels, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLe(bmp, 2, 54 + pixels, 4);
  PutLe(bmp, 10, 54, 4);
  PutLe(bmp, 14, 40, 4);
  PutLe(bmp, 18, static_cast<uint32_t>(width), 4);
  PutLe(bmp, 22, static_cast<uint32_t>(height), 4);
  PutLe(bmp, 26, 1, 2);
  PutLe(bmp, 28, 24, 2);
  PutLe(bmp, 34, pixels, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t at = 54 + y * row + x * 3;
      bmp[at] = static_cast<uint8_t>(x * 255 / std::max(width - 1, 1));
      bmp[at + 1] = static_cast<uint8_t>(y * 255 / std::max(height - 1, 1));
      bmp[at + 2] = static_cast<uint8_t>(frame_number * 16);
    }
  return bmp;
}

}  // namespace slvn
