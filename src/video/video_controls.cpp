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

}  // namespace

VideoControls MakeLocalVideoControls(EventLoop& loop, bool with_camera) {
  VideoControls c;
  c.P2PSocket1 = std::make_unique<LocalP2PSocket>(loop);
  c.vcap1 = std::make_unique<LocalVCap>(loop, with_camera);
  for (int i = 1; i <= 3; ++i) c.vshow[i] = std::make_unique<LocalVShow>();
  return c;
}

}  // namespace slvn
