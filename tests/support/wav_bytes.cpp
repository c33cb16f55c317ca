#include "support/wav_bytes.h"

#include <cstdint>

namespace slvn::test {

std::string WavBytes(int frames, int rate) {
  auto le = [](uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string data(static_cast<size_t>(frames) * 2, '\x10');
  return "RIFF" + le(36 + static_cast<uint32_t>(data.size()), 4) + "WAVEfmt " + le(16, 4) +
         le(1, 2) + le(1, 2) + le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" +
         le(static_cast<uint32_t>(data.size()), 4) + data;
}

}  // namespace slvn::test
