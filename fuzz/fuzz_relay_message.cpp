// Arbitrary bytes as the video relay's stream, fed in two pieces: the reader
// must stay in bounds, and every message it returns must encode back to a
// message that reads the same.
#include <cstdint>

#include "video/relay_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slvn::RelayReader reader;
  const size_t half = size / 2;
  reader.Feed({data, half});
  for (int pass = 0; pass < 2; ++pass) {
    while (auto m = reader.Next()) {
      slvn::RelayReader again;
      again.Feed(slvn::EncodeRelayMessage(*m));
      auto back = again.Next();
      if (!back || back->type != m->type || back->slot != m->slot || back->value != m->value ||
          back->name != m->name || back->bytes != m->bytes)
        __builtin_trap();
    }
    if (pass == 0) reader.Feed({data + half, size - half});
  }
  return 0;
}
