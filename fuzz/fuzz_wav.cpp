// Arbitrary bytes as a WAV sound: reading and converting must stay in bounds.
#include <cstdint>

#include "platform/sound_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto sound = slvn::DecodeWav({data, size});
  if (sound && sound->samples.size() % 2 != 0) __builtin_trap();
  return 0;
}
