#include "anigif/ani_gif.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <iterator>

#include "anigif/gif_encode.h"

namespace slvn {

namespace {

constexpr int kDelayedDecodeMs = 20;
// A remote GIF larger than this, or slower than this, fails to load.
constexpr size_t kMaxRemoteBytes = 16 << 20;
constexpr long kRemoteTimeoutMs = 15000;

// A local file, read as a download would bring it: at most one byte past the
// limit, so that a larger file fails like a larger download.
std::vector<uint8_t> ReadAtMost(std::ifstream& in, size_t limit) {
  std::vector<uint8_t> bytes;
  char chunk[4096];
  while (bytes.size() <= limit && (in.read(chunk, sizeof chunk) || in.gcount() > 0))
    bytes.insert(bytes.end(), chunk, chunk + in.gcount());
  return bytes;
}

}  // namespace

ucAniGIF::ucAniGIF(EventLoop& loop, AniGifHost& host)
    : host_(host),
      timer_(loop,
             [this] {
               if (timer_kind_ == 2)
                 DelayedDecodeTimerProc();
               else
                 AnimationTimerProc();
             }),
      remote_(loop),
      local_read_(loop, [this] {
        local_read_.SetEnabled(false);
        const std::vector<uint8_t> bytes = std::exchange(local_bytes_, {});
        if (bytes.size() > kMaxRemoteBytes)
          AsyncReadProgress(true);
        else
          AsyncReadComplete(bytes);
      }) {
  local_read_.SetInterval(1);
}

ucAniGIF::~ucAniGIF() {
  ClearGIF();
}

// ---- Loading -------------------------------------------------------------

int32_t ucAniGIF::ProcessGIF() {
  ClearGIF();
  CanvasWidth = CanvasHeight = LoopCount = 0;
  DrawScaleX = DrawScaleY = 0;
  int32_t count = 0;
  if (!GifBytes_.empty()) {
    anim_.scan = ScanGIF(GifBytes_);
    count = anim_.FrameCount();
    ReportFrame = count;
    CanvasWidth = anim_.scan.CanvasWidth;
    CanvasHeight = anim_.scan.CanvasHeight;
    LoopCount = anim_.scan.LoopCount;
    if (count) DecodeFrames();
    host_.Repaint();  // frame 1 shows at once
  }
  if (count == 0) {
    GifBytes_.clear();
    ClearGIF();
  }
  return count;
}

void ucAniGIF::ClearGIF() {
  decode_pending_ = false;  // a new load or the end: the frames are not wanted
  first_mirrored_ = false;
  StopTimer();
  anim_ = GifAnimation{};
  CurrentFrame = 0;
}

// Decodes frame 1, then the others at once or on the 20 ms timer, so that the
// first frame shows without waiting for the rest.
void ucAniGIF::DecodeFrames() {
  const bool run = host_.UserMode();
  const int count = anim_.FrameCount();
  PlanComposite(anim_, run && count > 1);
  DecodeFrame(anim_, GifBytes_, 1);
  CurrentFrame = 1;
  int w = host_.ScaleWidth(), h = host_.ScaleHeight();
  CalcScale(Stretch_, CanvasWidth, CanvasHeight, w, h, DrawScaleX, DrawScaleY);
  if (run && count > 1 && DelayAnimation_ != 0) {
    MirrorFrames(anim_, 0, Mirrored_, 1, 1, false);
    first_mirrored_ = true;
    decode_pending_ = true;
    SetAnimationTimer(2);
    return;
  }
  if (run && count > 1) DecodeRemainingFrames();
  FinishDecoding(true);
}

void ucAniGIF::DecodeRemainingFrames() {
  for (int i = 2; i <= anim_.FrameCount(); ++i) DecodeFrame(anim_, GifBytes_, i);
}

void ucAniGIF::FinishDecoding(bool start) {
  const bool run = host_.UserMode();
  if (decode_pending_) DecodeRemainingFrames();
  decode_pending_ = false;
  MirrorFrames(anim_, 0, Mirrored_, first_mirrored_ ? 2 : 1, run ? anim_.FrameCount() : 1, false);
  first_mirrored_ = false;
  if (!run) return;
  GifBytes_.clear();
  GifBytes_.shrink_to_fit();
  if (start && !(DelayAnimation_ & 2)) SetAnimationTimer(1);
}

bool ucAniGIF::EndLoad(int32_t count) {
  if (count && (Stretch_ == 1 || Stretch_ == 3 || Stretch_ == 4)) Resize();
  return count != 0;
}

bool ucAniGIF::LoadAnimatedGIF_File(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (in) GifBytes_.assign(std::istreambuf_iterator<char>(in), {});
  return EndLoad(ProcessGIF());
}

bool AsyncReadRemoteGIF(ucAniGIF& control, std::string_view path) {
  CancelAsyncReadRemoteGIF(control);
  if (path.find("://") == std::string_view::npos) {
    std::ifstream in{std::string(path), std::ios::binary};
    if (!in) return false;
    control.local_bytes_ = ReadAtMost(in, kMaxRemoteBytes);
    control.local_read_.SetEnabled(true);
    return true;
  }
  control.remote_.Start(std::string(path), kRemoteTimeoutMs, kMaxRemoteBytes,
                        [&control](FetchResult result) {
                          if (!result.Ok()) return control.AsyncReadProgress(true);
                          const auto* data = reinterpret_cast<const uint8_t*>(result.body.data());
                          control.AsyncReadComplete({data, result.body.size()});
                        });
  return true;
}

void CancelAsyncReadRemoteGIF(ucAniGIF& control) {
  control.remote_.Cancel();
  control.local_read_.SetEnabled(false);
  control.local_bytes_.clear();
}

bool ucAniGIF::LoadAnimatedGIF_Array(std::span<const uint8_t> bytes) {
  if (!bytes.empty()) GifBytes_.assign(bytes.begin(), bytes.end());
  return EndLoad(ProcessGIF());
}

void ucAniGIF::LoadAnimatedGIF_Remote(const std::string& path) {
  if (path.empty()) return;
  if (!AsyncReadRemoteGIF(*this, path) && RemoteLoadFailure) RemoteLoadFailure();
}

void ucAniGIF::AsyncReadProgress(bool error) {
  if (!error) return;
  CancelAsyncReadRemoteGIF(*this);
  if (RemoteLoadFailure) RemoteLoadFailure();
}

void ucAniGIF::AsyncReadComplete(std::span<const uint8_t> bytes) {
  if (bytes.size() < 15) {
    if (RemoteLoadFailure) RemoteLoadFailure();
    return;
  }
  // The earlier animation's frames are decoded before its bytes give way.
  if (decode_pending_) DelayedDecodeTimerProc();
  // In a designer the bytes are the copy stored with the form: only a
  // download that loads replaces them.
  const bool run = host_.UserMode();
  std::vector<uint8_t> stored = run ? std::vector<uint8_t>{} : GifBytes_;
  GifBytes_.assign(bytes.begin(), bytes.begin() + 10);  // the signature and the screen size
  if (!IsGifSignature(GifBytes_)) {
    if (!run) GifBytes_ = std::move(stored);
    if (RemoteLoadFailure) RemoteLoadFailure();
    return;
  }
  bool cancel = false;
  if (RemoteLoadComplete)
    RemoteLoadComplete(std::floor(ToSize(bytes[6] | bytes[7] << 8, false)),
                       std::floor(ToSize(bytes[8] | bytes[9] << 8, true)), cancel);
  GifBytes_.clear();
  if (cancel) {  // the earlier animation keeps running
    if (!run) GifBytes_ = std::move(stored);
    return;
  }
  GifBytes_.assign(bytes.begin(), bytes.end());
  EndLoad(ProcessGIF());
}

// ---- Properties ----------------------------------------------------------

Picture ucAniGIF::AnimatedGIF() const {
  if (!anim_.Decoded(CurrentFrame)) return nullptr;
  const GIFFrame& f = anim_.Frame(CurrentFrame);
  const auto& palette = anim_.scan.Palettes[static_cast<size_t>(f.PaletteIndex)];
  return DecodePicture(EncodeFrameGIF({anim_.Strip[static_cast<size_t>(CurrentFrame) - 1], f.Width,
                                       f.Height, &palette, f.TransFlag == 1, f.TransIndex}));
}

void ucAniGIF::SetAnimatedGIF(const Picture& picture) {
  GifBytes_.clear();
  if (picture) GifBytes_ = picture->gif_file;
  if (ProcessGIF() && !host_.UserMode()) {
    int32_t stretch = std::exchange(Stretch_, 4);
    Resize();
    Stretch_ = stretch;
    DrawScaleX = DrawScaleY = 1.0f;
  }
  host_.Repaint();
  host_.PropertyChanged("AnimatedGIF");
}

void ucAniGIF::SetEnabled(bool on) {
  host_.SetEnabled(on);
  host_.PropertyChanged("Enabled");
}

float ucAniGIF::ToSize(int px, bool vertical) const {
  return host_.ToContainerSize(static_cast<float>(px), vertical);
}

int32_t ucAniGIF::ActualWidth() const {
  return static_cast<int32_t>(std::floor(ToSize(CanvasWidth, false)));
}

int32_t ucAniGIF::ActualHeight() const {
  return static_cast<int32_t>(std::floor(ToSize(CanvasHeight, true)));
}

void ucAniGIF::SetStretch(int32_t mode) {
  if (mode < 0 || mode > 4 || mode == Stretch_) return;
  Stretch_ = mode;
  int32_t was = PlayState;
  SetAction(2);
  Resize();
  if (was == 1)
    SetAction(1);
  else
    host_.Repaint();
  host_.PropertyChanged("Stretch");
}

void ucAniGIF::SetMinFrameDelay(int32_t ms) {
  ms = std::clamp(ms, 10, 32700);
  if (ms == MinFrameDelay_) return;
  MinFrameDelay_ = ms;
  host_.PropertyChanged("Delay");
}

void ucAniGIF::Setloops(int32_t n) {
  if (n == LoopCount) return;
  LoopCount = n == INT32_MIN ? INT32_MAX : std::abs(n);
  host_.PropertyChanged("Loops");
}

int32_t ucAniGIF::LoopsRemaining() const {
  if (CurrentFrame == 0) return -1;
  return LoopCount == 0 ? 0 : LoopCount - LoopCounter;
}

void ucAniGIF::SetMirrored(int32_t value) {
  if (value < 0 || value > 3) return;
  if (CurrentFrame != 0 && value != Mirrored_) {
    int32_t was = PlayState;
    SetAction(2);  // also finishes a pending decode, so every frame is flipped
    const bool run = host_.UserMode();
    MirrorFrames(anim_, Mirrored_, value, 1, run ? anim_.FrameCount() : 1, run);
    if (was == 1)
      SetAction(1);
    else
      host_.Repaint();
  }
  Mirrored_ = value;
  host_.PropertyChanged("Mirrored");
}

void ucAniGIF::SetAction(int32_t value) {
  if (CurrentFrame == 0 || !host_.UserMode()) return;
  switch (value) {
    case 0:
      SetAnimationTimer(0);
      LoopCounter = CurrentFrame = 0;
      host_.Repaint();
      break;
    case 1:
      SetAnimationTimer(1);
      break;
    case 2:
      if (PlayState != 0) {
        SetAnimationTimer(0);
        PlayState = 2;
      }
      break;
    case 3:
      SetAnimationTimer(0);
      CurrentFrame = CurrentFrame % anim_.FrameCount() + 1;
      PlayState = 2;
      host_.Repaint();
      break;
    case 4:
      SetAnimationTimer(0);
      LoopCounter = 0;
      CurrentFrame = 1;
      host_.Repaint();
      SetAnimationTimer(1);
      break;
    default:
      break;
  }
}

void ucAniGIF::SetDelayAnimation(int32_t value) {
  if (value < 0 || value > 3 || value == DelayAnimation_) return;
  DelayAnimation_ = value;
  host_.PropertyChanged("DelayAnimation");
}

void ucAniGIF::SetMouseIcon(Picture icon) {
  if (!icon) host_.SetMousePointer(0);
  host_.SetMouseIcon(std::move(icon));
  host_.PropertyChanged("MouseIcon");
}

// ---- Stored properties ---------------------------------------------------

void ucAniGIF::WriteProperties(StoredProperties& bag) const {
  bag.Write("GIF", GifBytes_);
  if (MinFrameDelay_ != 50) bag.Write("Delay", MinFrameDelay_);
  if (Stretch_ != 1) bag.Write("Stretch", Stretch_);
  if (LoopCount != 0) bag.Write("Loops", LoopCount);
  if (DelayAnimation_ != 1) bag.Write("DelayLoad", DelayAnimation_);
  if (Mirrored_ != 0) bag.Write("Mirror", Mirrored_);
  if (host_.MouseIcon()) bag.Write("MouseIcon", host_.MouseIcon());
  if (host_.MousePointer() != 0) bag.Write("MousePointer", int32_t{host_.MousePointer()});
  if (!host_.Enabled()) bag.Write("Enabled", false);
}

// Saved values come from a file too: each is checked against its range.
void ucAniGIF::ReadProperties(const StoredProperties& bag) {
  auto in_range = [](int32_t v, int32_t lo, int32_t hi, int32_t fallback) {
    return v >= lo && v <= hi ? v : fallback;
  };
  GifBytes_ = bag.Read("GIF", GifBytes_);
  MinFrameDelay_ = std::clamp(bag.Read("Delay", MinFrameDelay_), 10, 32700);
  Stretch_ = in_range(bag.Read("Stretch", int32_t{1}), 0, 4, 1);
  DelayAnimation_ = in_range(bag.Read("DelayLoad", int32_t{1}), 0, 3, 1);
  Mirrored_ = in_range(bag.Read("Mirror", int32_t{0}), 0, 3, 0);
  host_.SetEnabled(bag.Read("Enabled", true));
  host_.SetMouseIcon(bag.Read("MouseIcon", Picture{}));
  host_.SetMousePointer(static_cast<int16_t>(
      in_range(bag.Read("MousePointer", int32_t{0}), INT16_MIN, INT16_MAX, 0)));
  if (ProcessGIF()) {
    int32_t loops = bag.Read("Loops", LoopCount);
    LoopCount = loops == INT32_MIN ? INT32_MAX : std::abs(loops);
  }
}

// ---- Host notifications --------------------------------------------------

void ucAniGIF::Resize() {
  if (CurrentFrame == 0 || resizing_) return;
  resizing_ = true;  // the control's own resize comes back here
  int w = host_.ScaleWidth(), h = host_.ScaleHeight();
  CalcScale(Stretch_, CanvasWidth, CanvasHeight, w, h, DrawScaleX, DrawScaleY);
  host_.SizeTo(w, h);
  resizing_ = false;
}

std::optional<FrameDraw> ucAniGIF::Paint() {
  auto draw = DrawFrame(anim_, CurrentFrame, DrawScaleX, DrawScaleY);
  if (CurrentFrame != 0 && CurrentFrame == ReportFrame && reportOver) reportOver(CurrentFrame);
  return draw;
}

void ucAniGIF::OnClick() {
  if (Click) Click();
}

void ucAniGIF::RaiseMouse(const std::function<void(int16_t, int16_t, float, float)>& event,
                          int16_t button, int16_t shift, float x_px, float y_px) {
  if (!event) return;
  event(button, shift, std::floor(host_.ToContainerPosition(x_px, false)),
        std::floor(host_.ToContainerPosition(y_px, true)));
}

void ucAniGIF::OnMouseDown(int16_t button, int16_t shift, float x, float y) {
  RaiseMouse(MouseDown, button, shift, x, y);
}
void ucAniGIF::OnMouseUp(int16_t button, int16_t shift, float x, float y) {
  RaiseMouse(MouseUp, button, shift, x, y);
}
void ucAniGIF::OnMouseMove(int16_t button, int16_t shift, float x, float y) {
  RaiseMouse(MouseMove, button, shift, x, y);
}

// ---- Animation timers ----------------------------------------------------

int ucAniGIF::FrameDelay(int frame) const {
  return std::max(anim_.Frame(frame).DelayMs, MinFrameDelay_);
}

void ucAniGIF::StopTimer() {
  timer_.SetEnabled(false);
  PlayState = 0;
}

// Kind 0 stops; 1 animates from the frame shown; 2 decodes the remaining
// frames shortly. Stopping during the delayed decode finishes the decode
// first, so a pause or a setting changed then never leaves frames blank.
bool ucAniGIF::SetAnimationTimer(int kind) {
  if (kind == 0) {
    StopTimer();
    if (decode_pending_) FinishDecoding(false);
    return false;
  }
  if (PlayState == 1) return false;
  PlayState = 0;
  if (CurrentFrame == 0 || !host_.UserMode() || (kind == 1 && anim_.FrameCount() < 2)) return false;
  timer_kind_ = kind;
  timer_.SetInterval(kind == 2 ? kDelayedDecodeMs : FrameDelay(CurrentFrame));
  timer_.SetEnabled(true);
  PlayState = 1;
  return true;
}

void ucAniGIF::AnimationTimerProc() {
  timer_.SetEnabled(false);  // every tick is one-shot
  bool pass_done = ++CurrentFrame > anim_.FrameCount();
  if (pass_done) CurrentFrame = 1;
  if (pass_done && LoopCount != 0 && ++LoopCounter >= LoopCount) {
    PlayState = 0;
    SetAction(0);
    if (LoopsEnded) LoopsEnded();
    return;
  }
  host_.Repaint();
  if (PlayState != 1 || CurrentFrame == 0) return;  // the paint's handlers stopped it
  timer_.SetInterval(FrameDelay(CurrentFrame));
  timer_.SetEnabled(true);
}

void ucAniGIF::DelayedDecodeTimerProc() {
  StopTimer();
  FinishDecoding(true);
}

}  // namespace slvn
