#include "video/video_controls.h"

#include <cstdlib>
#include <filesystem>

#include "platform/desktop.h"
#include "platform/picture.h"

namespace slvn {

namespace {

class PictureVShow final : public VShow {
 public:
  explicit PictureVShow(PictureBox& box) : box_(box) {}

  // A frame that fails the check or does not decode leaves the display as it was.
  void ShowFrame(const VideoFrame& frame) override {
    if (!CheckBmpFrame(frame)) return;
    Picture picture = DecodePicture(frame);
    if (!picture) return;
    const double pixels_wide = box_.Width() / box_.UnitsPerPixel();
    const double pixels_high = box_.Height() / box_.UnitsPerPixel();
    const double inner = box_.InnerUnitsPerPixel();
    box_.PaintPicture(picture, 0, 0, pixels_wide * inner, pixels_high * inner, 0, 0, picture->width,
                      picture->height);
    last_shown_ = frame;
  }

 private:
  PictureBox& box_;
};

int PortOverride() {
  const char* text = std::getenv("SLVN_VIDEO_PORT");
  if (!text) return 0;
  const int port = std::atoi(text);
  return port > 0 && port < 65536 ? port : 0;
}

}  // namespace

VideoHooks MakeDesktopVideoHooks() {
  auto opener = std::make_shared<DesktopOpener>();
  VideoHooks hooks;
  hooks.OpenAlbum = [opener](const std::string& folder) { opener->Open(folder); };
  hooks.LocalTime = [] { return LocalTimeNow(); };
  return hooks;
}

std::string CameraSource(const char* setting, const std::string& default_device) {
  if (setting && *setting) return setting;
  std::error_code ignored;
  return std::filesystem::exists(default_device, ignored) ? default_device : "none";
}

std::unique_ptr<VShow> MakePictureVShow(PictureBox& box) {
  return std::make_unique<PictureVShow>(box);
}

VideoControls MakeVideoControls(EventLoop& loop, const VideoSurfaces& surfaces,
                                const std::string& default_device) {
  VideoControls c;
  c.P2PSocket1 = MakeRelayLink(loop, PortOverride());
  c.vcap1 =
      MakeCamera(loop, surfaces.preview, CameraSource(std::getenv("SLVN_CAMERA"), default_device));
  for (int i = 1; i <= 3; ++i)
    if (surfaces.panels[i]) c.vshow[i] = MakePictureVShow(*surfaces.panels[i]);
  for (int i = 0; i <= 3; ++i)
    if (surfaces.zoom[i]) c.zoom[i] = MakePictureVShow(*surfaces.zoom[i]);
  return c;
}

}  // namespace slvn
