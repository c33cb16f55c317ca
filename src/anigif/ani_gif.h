#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "anigif/gif_frames.h"
#include "platform/http_fetch.h"
#include "platform/picture.h"
#include "platform/timer.h"

namespace slvn {

class EventLoop;

// What the control needs from the form that holds it.
class AniGifHost {
 public:
  virtual ~AniGifHost() = default;
  virtual bool UserMode() const = 0;   // true when the program runs, false in a designer
  virtual int ScaleWidth() const = 0;  // the control's client size in pixels
  virtual int ScaleHeight() const = 0;
  virtual void SizeTo(int width_px, int height_px) = 0;
  // Repaints at once: the host calls Paint() and draws what it returns.
  virtual void Repaint() = 0;
  // Pixels to the container's size or position units.
  virtual float ToContainerSize(float px, bool vertical) const = 0;
  virtual float ToContainerPosition(float px, bool vertical) const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual Picture MouseIcon() const = 0;
  virtual void SetMouseIcon(Picture icon) = 0;
  virtual int16_t MousePointer() const = 0;
  virtual bool SetMousePointer(int16_t pointer) = 0;  // false when refused
  virtual void PropertyChanged(std::string_view name) = 0;
};

// The control's saved properties, in the order they were written.
using StoredValue = std::variant<std::vector<uint8_t>, int32_t, bool, Picture>;
struct StoredProperties {
  std::vector<std::pair<std::string, StoredValue>> items;

  void Write(std::string key, StoredValue value) {
    items.emplace_back(std::move(key), std::move(value));
  }
  template <typename T>
  T Read(std::string_view key, T fallback) const {
    for (const auto& [k, v] : items)
      if (k == key) return std::holds_alternative<T>(v) ? std::get<T>(v) : fallback;
    return fallback;
  }
};

class ucAniGIF;

// The control's remote load: a background fetch of `path` (http or https),
// or of a local file when `path` has no scheme, reporting to the control by
// AsyncReadProgress (failure) and AsyncReadComplete from the loop. A new read
// replaces the one under way. False when the read cannot start.
bool AsyncReadRemoteGIF(ucAniGIF& control, std::string_view path);
void CancelAsyncReadRemoteGIF(ucAniGIF& control);

// Shows an animated GIF: loads it from a picture, a file, bytes or a remote
// address, animates its frames on a timer with the file's delays and loop
// count, and gives back the frame shown as a one-frame GIF picture.
class ucAniGIF {
 public:
  ucAniGIF(EventLoop& loop, AniGifHost& host);
  ~ucAniGIF();
  ucAniGIF(const ucAniGIF&) = delete;
  ucAniGIF& operator=(const ucAniGIF&) = delete;

  // Properties.
  Picture AnimatedGIF() const;
  void SetAnimatedGIF(const Picture& picture);
  bool Enabled() const { return host_.Enabled(); }
  void SetEnabled(bool on);
  int32_t FrameCount() const { return CurrentFrame ? anim_.FrameCount() : 0; }
  int32_t ActualWidth() const;
  int32_t ActualHeight() const;
  int32_t Stretch() const { return Stretch_; }
  void SetStretch(int32_t mode);
  int32_t MinFrameDelay() const { return MinFrameDelay_; }
  void SetMinFrameDelay(int32_t ms);
  int32_t loops() const { return LoopCount; }
  void Setloops(int32_t n);
  int32_t LoopsRemaining() const;
  int32_t Mirrored() const { return Mirrored_; }
  void SetMirrored(int32_t value);
  int32_t Action() const { return PlayState; }
  void SetAction(int32_t value);
  int32_t DelayAnimation() const { return DelayAnimation_; }
  void SetDelayAnimation(int32_t value);
  Picture MouseIcon() const { return host_.MouseIcon(); }
  void SetMouseIcon(Picture icon);
  int16_t MousePointer() const { return host_.MousePointer(); }
  void SetMousePointer(int16_t pointer) { host_.SetMousePointer(pointer); }

  // Methods.
  bool LoadAnimatedGIF_File(const std::string& file);
  void LoadAnimatedGIF_Remote(const std::string& path);
  bool LoadAnimatedGIF_Array(std::span<const uint8_t> bytes);
  void Refresh() { host_.Repaint(); }

  // Events.
  std::function<void()> Click;
  std::function<void(int16_t button, int16_t shift, float x, float y)> MouseDown, MouseUp,
      MouseMove;
  std::function<void()> LoopsEnded;
  std::function<void(float width, float height, bool& cancel)> RemoteLoadComplete;
  std::function<void()> RemoteLoadFailure;
  std::function<void(int32_t frame)> reportOver;

  // The host's notifications.
  void ReadProperties(const StoredProperties& bag);
  void WriteProperties(StoredProperties& bag) const;
  void Resize();
  void Show() { SetAnimationTimer(1); }
  void Hide() { SetAction(2); }
  // Draws the frame shown; the host puts the result on the control (and, in
  // design mode, a dotted outline around it).
  std::optional<FrameDraw> Paint();
  bool HitTest(int, int) const { return true; }
  void OnClick();
  void OnMouseDown(int16_t button, int16_t shift, float x_px, float y_px);
  void OnMouseUp(int16_t button, int16_t shift, float x_px, float y_px);
  void OnMouseMove(int16_t button, int16_t shift, float x_px, float y_px);
  // The remote read's reports: a failed progress report, the data read.
  void AsyncReadProgress(bool error);
  void AsyncReadComplete(std::span<const uint8_t> bytes);

  // State the tests and the host read.
  int32_t CanvasWidth = 0;
  int32_t CanvasHeight = 0;
  int32_t CurrentFrame = 0;
  int32_t PlayState = 0;  // 0 no timer, 1 a timer runs, 2 paused
  int32_t LoopCount = 0;
  int32_t LoopCounter = 0;
  int32_t ReportFrame = 0;
  float DrawScaleX = 0;
  float DrawScaleY = 0;
  const std::vector<uint8_t>& GifBytes() const { return GifBytes_; }
  const GifAnimation& Animation() const { return anim_; }
  int TimerInterval() const { return timer_.Enabled() ? timer_.Interval() : 0; }

 private:
  friend bool AsyncReadRemoteGIF(ucAniGIF&, std::string_view);
  friend void CancelAsyncReadRemoteGIF(ucAniGIF&);

  int32_t ProcessGIF();
  void ClearGIF();
  void DecodeFrames();
  void DecodeRemainingFrames();
  void FinishDecoding(bool start);
  bool SetAnimationTimer(int kind);
  void StopTimer();
  void AnimationTimerProc();
  void DelayedDecodeTimerProc();
  int FrameDelay(int frame) const;
  bool EndLoad(int32_t count);
  float ToSize(int px, bool vertical) const;
  void RaiseMouse(const std::function<void(int16_t, int16_t, float, float)>& event, int16_t button,
                  int16_t shift, float x_px, float y_px);

  AniGifHost& host_;
  Timer timer_;
  HttpFetch remote_;
  Timer local_read_;                  // delivers a local file's bytes from the loop
  std::vector<uint8_t> local_bytes_;  // what it delivers
  int timer_kind_ = 0;                // 1 animation, 2 delayed decoding
  std::vector<uint8_t> GifBytes_;
  GifAnimation anim_;
  int32_t MinFrameDelay_ = 50;
  int32_t Stretch_ = 1;
  int32_t DelayAnimation_ = 1;
  int32_t Mirrored_ = 0;
  bool decode_pending_ = false;  // frames 2.. wait for the delayed decode
  bool first_mirrored_ = false;  // frame 1 got the mirroring ahead of the others
  bool resizing_ = false;
};

}  // namespace slvn
