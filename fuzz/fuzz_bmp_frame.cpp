// Arbitrary bytes as a peer's video frame: the check must stay in bounds, and
// whatever passes it must decode to a picture of the size it claims.
#include <cstdint>
#include <cstdlib>

#include "platform/picture.h"
#include "video/bmp_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  if (!slvn::CheckBmpFrame(bytes)) return 0;
  slvn::Picture picture = slvn::DecodePicture(bytes);
  if (picture && (picture->width < 1 || picture->width > slvn::kMaxFrameWidth ||
                  picture->height < 1 || picture->height > slvn::kMaxFrameHeight))
    __builtin_trap();
  return 0;
}
