#include "support/fake_video.h"

#include <map>

namespace slvn::test {

namespace {

class RecordingP2PSocket final : public P2PSocket {
 public:
  explicit RecordingP2PSocket(VideoCallLog& log) : log_(log) {}
  std::string UserID(int slot) const override {
    auto it = slots_.find(slot);
    return it == slots_.end() ? "" : it->second;
  }
  int16_t UserState(int slot) const override {
    auto it = log_.slot_states.find(slot);
    if (it != log_.slot_states.end()) return it->second;
    return slots_.count(slot) ? 15 : 0;
  }
  void LoginServer(const std::string& name) override { Log("LoginServer " + name); }
  void LogoutServer() override { Log("LogoutServer"); }
  void ConnectUser(int slot, const std::string& name) override {
    slots_[slot] = name;
    Log("ConnectUser " + std::to_string(slot) + " " + name);
  }
  void DropUser(int slot) override {
    slots_.erase(slot);
    Log("DropUser " + std::to_string(slot));
  }
  void SendFormat(int slot, const std::vector<uint8_t>&) override {
    Log("SendFormat " + std::to_string(slot));
  }
  void SendParam(int slot, int16_t v) override {
    Log("SendParam " + std::to_string(slot) + " " + std::to_string(v));
  }
  void SendFrame(int slot, const VideoFrame& f) override {
    Log("SendFrame " + std::to_string(slot) + " " + std::to_string(f.size()));
  }

 private:
  void Log(std::string line) { log_.calls.push_back(std::move(line)); }
  VideoCallLog& log_;
  std::map<int, std::string> slots_;
};

class RecordingVCap final : public VCap {
 public:
  explicit RecordingVCap(VideoCallLog& log) : log_(log) {}
  void OpenDevice() override { log_.calls.push_back("OpenDevice"); }
  int16_t StartCapture() override {
    log_.calls.push_back("StartCapture");
    return log_.start_capture_result;
  }
  void StopCapture() override { log_.calls.push_back("StopCapture"); }
  void CloseDevice() override { log_.calls.push_back("CloseDevice"); }
  std::vector<uint8_t> FormatHeader() const override { return {'B', 'M'}; }

 private:
  VideoCallLog& log_;
};

class RecordingVShow final : public VShow {
 public:
  RecordingVShow(VideoCallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
  void ShowFrame(const VideoFrame& frame) override {
    last_shown_ = frame;
    log_.calls.push_back(name_);
  }

 private:
  VideoCallLog& log_;
  std::string name_;
};

}  // namespace

VideoControls MakeRecordingVideoControls(VideoCallLog& log) {
  VideoControls c;
  c.P2PSocket1 = std::make_unique<RecordingP2PSocket>(log);
  c.vcap1 = std::make_unique<RecordingVCap>(log);
  for (int i = 1; i <= 3; ++i)
    c.vshow[i] = std::make_unique<RecordingVShow>(log, "ShowFrame " + std::to_string(i));
  for (int i = 0; i <= 3; ++i)
    c.zoom[i] = std::make_unique<RecordingVShow>(log, "ShowZoom " + std::to_string(i));
  return c;
}

}  // namespace slvn::test
