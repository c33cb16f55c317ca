// Arbitrary bytes as the lobby's launch line.
#include <cstdint>
#include <string_view>

#include "shell/launch_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto result = slvn::ParseLaunchLine(text);
  if (result.line) {
    auto packet = slvn::BuildLoginPacket(result.line->LoginName, result.line->LoginString2);
    if (packet[3] != 18 || packet[260] != 0) __builtin_trap();
  }
  return 0;
}
