#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "video/bmp_frame.h"

namespace slvn {

class EventLoop;

// The video link: login to the video server, three user slots, frame
// transport. Slots are 1..UserCount.
class P2PSocket {
 public:
  virtual ~P2PSocket() = default;

  std::string ServerAddress;
  int32_t ServerPort = 0;
  int16_t UserCount = 0;

  // The name bound to a slot, "" for a free or unknown slot.
  virtual std::string UserID(int slot) const = 0;
  // 0 or less free; under 10 not linked; over 9 linked; 14, 15 ready for the
  // format; 15 takes every frame.
  virtual int16_t UserState(int slot) const = 0;
  virtual void LoginServer(const std::string& name) = 0;
  virtual void LogoutServer() = 0;
  virtual void ConnectUser(int slot, const std::string& name) = 0;
  virtual void DropUser(int slot) = 0;
  virtual void SendFormat(int slot, const std::vector<uint8_t>& header) = 0;
  virtual void SendParam(int slot, int16_t value) = 0;
  virtual void SendFrame(int slot, const VideoFrame& frame) = 0;

  std::function<void(int slot, const VideoFrame& frame)> FrameArrived;
  std::function<void(int16_t state)> LoginStateChanged;  // 2 = logged in
  std::function<void(int slot, int16_t state)> UserStateChanged;
};

// The own camera with its preview.
class VCap {
 public:
  virtual ~VCap() = default;

  int16_t CaptureParam = 0;
  bool CaptureSetting1 = false;
  bool CaptureSetting2 = false;
  bool CaptureSetting4 = false;

  virtual void OpenDevice() = 0;
  // 0 when capture runs; anything else: no camera, or it is busy.
  virtual int16_t StartCapture() = 0;
  virtual void StopCapture() = 0;
  virtual void CloseDevice() = 0;
  virtual std::vector<uint8_t> FormatHeader() const = 0;

  std::function<void(const VideoFrame& frame)> FrameCaptured;
};

// A peer's video display.
class VShow {
 public:
  virtual ~VShow() = default;

  bool DisplayOption0 = false;
  bool DisplayOption1 = false;

  virtual void ShowFrame(const VideoFrame& frame) = 0;
  const VideoFrame& LastShown() const { return last_shown_; }
  std::function<void(int button, int shift, float x, float y)> MouseMove;

 protected:
  VideoFrame last_shown_;
};

// The controls of one client: the link, the camera and three peer displays.
struct VideoControls {
  std::unique_ptr<P2PSocket> P2PSocket1;
  std::unique_ptr<VCap> vcap1;
  std::unique_ptr<VShow> vshow[4];  // 1..3 used, one per peer seat
  std::unique_ptr<VShow> zoom[4];   // in the zoom windows of seats 0..3
};

// What the toolbar asks of the desktop; tests put their own in.
struct VideoHooks {
  std::function<void(const std::string& folder)> OpenAlbum;  // shows the photo folder
  std::function<std::tm()> LocalTime;                        // names the snapshots
};
// The album through xdg-open, the time from the system's local clock.
VideoHooks MakeDesktopVideoHooks();

// Where the controls draw: the camera's preview, the peers' panels (1..3)
// and the zoom windows' displays (0..3).
struct VideoSurfaces {
  PictureBox* preview = nullptr;
  std::array<PictureBox*, 4> panels{};
  std::array<PictureBox*, 4> zoom{};
};

// The camera taken when SLVN_CAMERA names none.
inline constexpr const char* kDefaultCameraDevice = "/dev/video0";

// The client's video controls: the link to the video relay at ServerAddress
// (port SLVN_VIDEO_PORT when set, else ServerPort), the camera that
// CameraSource chooses from SLVN_CAMERA and the default device, and displays
// that draw into the surfaces.
VideoControls MakeVideoControls(EventLoop& loop, const VideoSurfaces& surfaces,
                                const std::string& default_device = kDefaultCameraDevice);

// The link over our own protocol to slvn-video-relay; port_override above 0
// replaces ServerPort.
std::unique_ptr<P2PSocket> MakeRelayLink(EventLoop& loop, int port_override);

// The camera: "none" (no camera), "test" (the moving test pattern) or a
// V4L2 device path; it paints its preview into `preview` when given.
std::unique_ptr<VCap> MakeCamera(EventLoop& loop, PictureBox* preview, const std::string& source);
// What SLVN_CAMERA's value chooses: the value when set, else the default
// device when it exists, else "none". The test pattern is a test aid, taken
// only when named: a player without a camera sends no picture.
std::string CameraSource(const char* setting, const std::string& default_device);

// A display that draws each good frame stretched over the box; its pointer
// moves reach MouseMove in twips.
std::unique_ptr<VShow> MakePictureVShow(PictureBox& box);

}  // namespace slvn
