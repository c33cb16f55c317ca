#include "platform/camera_device.h"

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>

namespace slvn {

namespace {

constexpr int kLargestWidth = 640;
constexpr int kLargestHeight = 480;

int Ioctl(int fd, unsigned long request, void* arg) {
  int r;
  do {
    r = v4l2_ioctl(fd, request, arg);
  } while (r < 0 && errno == EINTR);
  return r;
}

}  // namespace

bool CameraDevice::Open(const std::string& path) {
  Close();
  fd_ = v4l2_open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  v4l2_capability cap{};
  if (Ioctl(fd_, VIDIOC_QUERYCAP, &cap) < 0 || !(cap.capabilities & V4L2_CAP_VIDEO_CAPTURE)) {
    Close();
    return false;
  }
  failed_ = false;
  return true;
}

bool CameraDevice::Start(int width, int height) {
  if (fd_ < 0) return false;
  v4l2_format fmt{};
  fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  fmt.fmt.pix.width = static_cast<uint32_t>(width);
  fmt.fmt.pix.height = static_cast<uint32_t>(height);
  fmt.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
  fmt.fmt.pix.field = V4L2_FIELD_ANY;
  if (Ioctl(fd_, VIDIOC_S_FMT, &fmt) < 0) return false;
  if (fmt.fmt.pix.pixelformat != V4L2_PIX_FMT_BGR24) return false;
  const auto w = static_cast<int>(fmt.fmt.pix.width), h = static_cast<int>(fmt.fmt.pix.height);
  if (w < 1 || h < 1 || w > kLargestWidth || h > kLargestHeight) return false;
  width_ = w;
  height_ = h;
  // The first read starts the stream; nothing may be ready yet.
  std::vector<uint8_t> first(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  const ssize_t n = v4l2_read(fd_, first.data(), first.size());
  if (n < 0 && errno != EAGAIN) return false;
  streaming_ = true;
  failed_ = false;
  return true;
}

bool CameraDevice::ReadFrame(std::vector<uint8_t>& bgr) {
  if (fd_ < 0 || !streaming_) return false;
  bgr.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
  const ssize_t n = v4l2_read(fd_, bgr.data(), bgr.size());
  if (n < 0) {
    if (errno != EAGAIN && errno != EINTR) failed_ = true;
    return false;
  }
  return static_cast<size_t>(n) == bgr.size();
}

void CameraDevice::Stop() {
  if (!streaming_ || fd_ < 0) return;
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  Ioctl(fd_, VIDIOC_STREAMOFF, &type);
  streaming_ = false;
}

void CameraDevice::Close() {
  Stop();
  if (fd_ >= 0) v4l2_close(fd_);
  fd_ = -1;
}

}  // namespace slvn
