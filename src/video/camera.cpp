#include <poll.h>

#include "platform/camera_device.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/timer.h"
#include "video/video_controls.h"

namespace slvn {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFrameMs = 200;  // at most five frames a second

// The own camera: a V4L2 device watched by the loop, or the moving test
// pattern from a timer. Each frame is a complete BMP; the preview is painted
// into the main window's camera box.
class Camera final : public VCap {
 public:
  Camera(EventLoop& loop, PictureBox* preview, std::string source)
      : loop_(loop), preview_(preview), source_(std::move(source)), ticker_(loop) {
    ticker_.SetInterval(kFrameMs);
    ticker_.SetHandler([this] { Deliver(MakeTestPatternBmp(kWidth, kHeight, pattern_frame_++)); });
  }
  ~Camera() override { CloseDevice(); }

  void OpenDevice() override {
    if (source_ == "none" || open_) return;
    open_ = source_ == "test" || device_.Open(source_);
  }

  int16_t StartCapture() override {
    if (!open_) return 1;
    if (source_ == "test") {
      width_ = kWidth;
      height_ = kHeight;
      ticker_.SetEnabled(true);
      return 0;
    }
    if (watch_ != 0) return 0;  // already running
    if (!device_.Start(kWidth, kHeight)) return 2;
    width_ = device_.Width();
    height_ = device_.Height();
    watch_ = loop_.Watch(device_.Fd(), POLLIN, [this](short) { ReadDevice(); });
    return 0;
  }

  void StopCapture() override {
    ticker_.SetEnabled(false);
    if (watch_ != 0) loop_.Unwatch(watch_);
    watch_ = 0;
    device_.Stop();
  }

  void CloseDevice() override {
    StopCapture();
    device_.Close();
    open_ = false;
  }

  std::vector<uint8_t> FormatHeader() const override {
    const VideoFrame bmp =
        MakeTestPatternBmp(width_ > 0 ? width_ : kWidth, height_ > 0 ? height_ : kHeight, 0);
    return std::vector<uint8_t>(bmp.begin(), bmp.begin() + 54);
  }

 private:
  void ReadDevice() {
    if (!device_.ReadFrame(bgr_)) {
      if (device_.Failed()) StopCapture();
      return;
    }
    const double now = loop_.Now();
    if (now - last_delivered_ < kFrameMs / 1000.0) return;
    last_delivered_ = now;
    Deliver(BmpFromBgrRows(width_, height_, bgr_));
  }

  void Deliver(const VideoFrame& frame) {
    if (frame.empty()) return;
    if (preview_) {
      if (Picture picture = DecodePicture(frame)) {
        const double wide = preview_->Width() / preview_->UnitsPerPixel();
        const double high = preview_->Height() / preview_->UnitsPerPixel();
        const double inner = preview_->InnerUnitsPerPixel();
        preview_->PaintPicture(picture, 0, 0, wide * inner, high * inner, 0, 0, picture->width,
                               picture->height);
      }
    }
    if (FrameCaptured) FrameCaptured(frame);
  }

  EventLoop& loop_;
  PictureBox* preview_;
  std::string source_;
  CameraDevice device_;
  Timer ticker_;
  EventLoop::WatchId watch_ = 0;
  bool open_ = false;
  int width_ = 0;
  int height_ = 0;
  int pattern_frame_ = 0;
  double last_delivered_ = -1;
  std::vector<uint8_t> bgr_;
};

}  // namespace

std::unique_ptr<VCap> MakeCamera(EventLoop& loop, PictureBox* preview, const std::string& source) {
  return std::make_unique<Camera>(loop, preview, source);
}

}  // namespace slvn
