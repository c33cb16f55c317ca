#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace slvn {

// A V4L2 camera through libv4l2, which converts what the device gives (YUYV,
// MJPEG...) to rows of blue, green, red bytes. Non-blocking: the event loop
// watches Fd() and ReadFrame takes a frame when one is ready.
class CameraDevice {
 public:
  CameraDevice() = default;
  ~CameraDevice() { Close(); }
  CameraDevice(const CameraDevice&) = delete;
  CameraDevice& operator=(const CameraDevice&) = delete;

  // False when the path is no video capture device or cannot be opened.
  bool Open(const std::string& path);
  // Asks for BGR24 at about width x height and starts the stream; false when
  // the device refuses, is busy or does not stream.
  bool Start(int width, int height);
  void Stop();
  void Close();

  int Fd() const { return fd_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // One frame as top-down BGR rows (width x 3 bytes each); false when none
  // is ready. Failed() tells when the device went away.
  bool ReadFrame(std::vector<uint8_t>& bgr);
  bool Failed() const { return failed_; }

 private:
  int fd_ = -1;
  int width_ = 0;
  int height_ = 0;
  bool streaming_ = false;
  bool failed_ = false;
};

}  // namespace slvn
